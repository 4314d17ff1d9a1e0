// The command registry, running a command line, listing the commands, and the token reader.
#include <tarncore/console/Command.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace tarncore {
namespace console {

using utility::UTF16Char;
using utility::UTF16String;

namespace {

struct NameLess {
    bool operator()(const UTF16String& inLeft, const UTF16String& inRight) const {
        return CommandNameLess(inLeft, inRight);
    }
};

struct Entry {
    UTF16String name;
    UTF16String help;
    CommandFactory factory;
    std::unique_ptr<Command> command;  // made on the first line that names it
};

using Registry = std::map<UTF16String, Entry, NameLess>;

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

Command::Command(const UTF16String& inName, const UTF16String& inHelp) : mName(inName), mHelp(inHelp) {}

Command::~Command() = default;

namespace CommandRegistry {

void RegisterCommand(const UTF16String& inName, const UTF16String& inHelp, CommandFactory inFactory) {
    // emplace leaves an entry that compares equal as it is.
    TheRegistry().emplace(inName, Entry{inName, inHelp, inFactory, nullptr});
}

Command* UnregisterCommand(const UTF16String& inName) {
    Registry& registry = TheRegistry();
    const auto found = registry.find(inName);
    if (found == registry.end() || !found->second.command) return nullptr;
    Command* const command = found->second.command.release();
    registry.erase(found);
    return command;
}

void GetCommandNames(std::list<UTF16String>& ioNames) {
    for (const auto& item : TheRegistry()) ioNames.push_back(item.second.name);
}

bool IsCommandRegistered(const UTF16String& inName) { return TheRegistry().count(inName) != 0; }

}  // namespace CommandRegistry

bool ExecuteCommand(const UTF16String& inLine, UTF16OutputStream& ioOut) {
    TokenReader reader(inLine, UTF16String(1, UTF16Char(' ')));
    const UTF16String word = TrimSpaces(reader.Next());
    reader.SetDelimiters(UTF16String());
    const UTF16String arguments = TrimSpaces(reader.Next());
    if (word.empty()) return false;

    Registry& registry = TheRegistry();
    const auto found = registry.find(word);
    if (found == registry.end()) return false;
    Entry& entry = found->second;
    if (!entry.command) {
        entry.command.reset(entry.factory != nullptr ? entry.factory(entry.name, entry.help) : nullptr);
        if (!entry.command) return false;
    }
    entry.command->Execute(arguments, ioOut);
    return true;
}

void ListCommands(UTF16OutputStream& ioOut) {
    static const char kTitle[] = "Currently installed commands.";
    WriteAscii(ioOut, kTitle);
    WriteLineEnd(ioOut);
    WriteDashesUnder(ioOut, kTitle);
    for (const auto& item : TheRegistry()) {
        ioOut << item.second.help;
        WriteLineEnd(ioOut);
    }
    WriteLineEnd(ioOut);
}

void WriteLineEnd(UTF16OutputStream& ioOut) {
    ioOut.put(UTF16Char('\r'));
    ioOut.put(UTF16Char('\n'));
    ioOut.flush();
}

void WriteAscii(UTF16OutputStream& ioOut, const char* inAscii) {
    for (; *inAscii; ++inAscii) ioOut.put(static_cast<UTF16Char>(static_cast<unsigned char>(*inAscii)));
}

void WriteDashesUnder(UTF16OutputStream& ioOut, const char* inAscii) {
    for (std::size_t count = std::strlen(inAscii); count > 0; --count) ioOut.put(UTF16Char('-'));
    WriteLineEnd(ioOut);
}

UTF16Char FoldCommandNameUnit(UTF16Char inUnit) {
    return inUnit >= 'A' && inUnit <= 'Z' ? static_cast<UTF16Char>(inUnit - 'A' + 'a') : inUnit;
}

bool CommandNameLess(const UTF16String& inLeft, const UTF16String& inRight) {
    const std::size_t common = std::min(inLeft.size(), inRight.size());
    for (std::size_t i = 0; i < common; ++i) {
        const UTF16Char left = FoldCommandNameUnit(inLeft[i]);
        const UTF16Char right = FoldCommandNameUnit(inRight[i]);
        if (left != right) return left < right;
    }
    return inLeft.size() < inRight.size();
}

TokenReader::TokenReader(const UTF16String& inText, const UTF16String& inDelimiters)
    : mText(inText), mDelimiters(inDelimiters), mPosition(0) {}

UTF16String TokenReader::Next() {
    if (mPosition == UTF16String::npos) return UTF16String();
    const std::size_t delimiter =
        mDelimiters.empty() ? UTF16String::npos : mText.find_first_of(mDelimiters, mPosition);
    UTF16String token =
        mText.substr(mPosition, delimiter == UTF16String::npos ? UTF16String::npos : delimiter - mPosition);
    mPosition =
        delimiter == UTF16String::npos || delimiter + 1 >= mText.size() ? UTF16String::npos : delimiter + 1;
    return token;
}

UTF16String TrimSpaces(const UTF16String& inText) {
    const auto isSpace = [](UTF16Char inUnit) { return inUnit == ' ' || inUnit == '\t'; };
    std::size_t begin = 0, end = inText.size();
    while (begin < end && isSpace(inText[begin])) ++begin;
    while (end > begin && isSpace(inText[end - 1])) --end;
    return inText.substr(begin, end - begin);
}

}  // namespace console
}  // namespace tarncore
