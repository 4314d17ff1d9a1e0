// Arbitrary UTF-16 lines run through ExecuteCommand against a few registered names: no
// crash or undefined behaviour whatever the units, and the command that runs, and what
// it is given, match a plain reading of the line.
#include <tarncore/console/Command.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>

using tarncore::UTF16OutputStream;
using tarncore::console::Command;
using tarncore::utility::UTF16Char;
using tarncore::utility::UTF16String;
namespace console = tarncore::console;

namespace {

UTF16String sRanName, sRanArguments;

class Recording : public Command {
public:
    using Command::Command;
    void Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) override {
        sRanName = GetName();
        sRanArguments = inArguments;
        ioOut << inArguments;
        console::WriteLineEnd(ioOut);
    }
};

Command* Make(const UTF16String& inName, const UTF16String& inHelp) { return new Recording(inName, inHelp); }

// Names with upper and lower case, a prefix of another, Latin-1 and units above 255.
const UTF16String kNames[] = {
    {'a'},
    {'A', '.', 'b'},
    {'d', 'e', 'b', 'u', 'g', '.', 'l', 'i', 's', 't'},
    {0xC9, 'x'},
    {0x130, 'i'},
    {0xFF21},
    {0xD800, 0xDC00},
    {'['},
};

bool IsBlank(UTF16Char inUnit) { return inUnit == ' ' || inUnit == '\t'; }

UTF16String Trim(const UTF16String& inText) {
    std::size_t begin = 0, end = inText.size();
    while (begin < end && IsBlank(inText[begin])) ++begin;
    while (end > begin && IsBlank(inText[end - 1])) --end;
    return inText.substr(begin, end - begin);
}

bool SameName(const UTF16String& inLeft, const UTF16String& inRight) {
    if (inLeft.size() != inRight.size()) return false;
    for (std::size_t i = 0; i < inLeft.size(); ++i) {
        UTF16Char left = inLeft[i], right = inRight[i];
        if (left >= 'A' && left <= 'Z') left = static_cast<UTF16Char>(left + 32);
        if (right >= 'A' && right <= 'Z') right = static_cast<UTF16Char>(right + 32);
        if (left != right) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* inData, std::size_t inSize) {
    static const bool registered = [] {
        for (const UTF16String& name : kNames) console::CommandRegistry::RegisterCommand(name, name, &Make);
        return true;
    }();
    (void)registered;

    UTF16String line;
    for (std::size_t i = 0; i + 1 < inSize; i += 2)
        line.push_back(static_cast<UTF16Char>(inData[i] | (inData[i + 1] << 8)));

    // The word is what comes before the first space, the arguments what follows it.
    const std::size_t space = line.find(' ');
    const UTF16String word = Trim(line.substr(0, space));
    const UTF16String arguments = space == UTF16String::npos ? UTF16String() : Trim(line.substr(space + 1));
    const UTF16String* expected = nullptr;
    if (!word.empty())
        for (const UTF16String& name : kNames)
            if (SameName(word, name)) expected = &name;

    sRanName.clear();
    sRanArguments.clear();
    std::basic_stringbuf<UTF16Char> buffer;
    UTF16OutputStream out(&buffer);
    const bool ran = console::ExecuteCommand(line, out);
    if (ran != (expected != nullptr)) std::abort();
    if (!ran && !buffer.str().empty()) std::abort();
    if (ran && (sRanName != *expected || sRanArguments != arguments)) std::abort();
    if (console::CommandRegistry::IsCommandRegistered(word) != (expected != nullptr)) std::abort();

    std::basic_stringbuf<UTF16Char> listing;
    UTF16OutputStream listOut(&listing);
    console::ListCommands(listOut);
    return 0;
}
