// trace.set, trace.get, trace.getcategories, trace.set.master and trace.get.master.
#include "commands/src/BuiltInCommands.h"
#include "commands/src/CommandText.h"

#include <tarncore/debug/Trace.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <list>

namespace tarncore {
namespace commands {
namespace trace {

using utility::UTF16String;
using utility::UTF8String;

namespace {

const UTF16String& Quote() {
    static const UTF16String quote(1, '"');
    return quote;
}

bool HasQuote(const UTF16String& inText) { return inText.find('"') != UTF16String::npos; }

// The text between the first and the second double quote (or the end).
UTF16String QuotedCategory(console::TokenReader& ioReader) {
    ioReader.Next();
    return ioReader.Next();
}

void WriteVolume(UTF16OutputStream& ioOut, const UTF16String& inCategory) {
    // Asking makes a category that is not yet known, with the default volume.
    const std::int32_t volume = tarncore::debug::GetTraceVolume(utility::UTF16to8(inCategory));
    text::Write(ioOut, "trace volume for category ");
    ioOut << inCategory;
    text::Write(ioOut, " is ");
    text::WriteNumber(ioOut, std::int64_t{volume});
    text::WriteLine(ioOut, ".");
}

}  // namespace

void Set::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    // `"My Cat" 3` names a category holding spaces; otherwise the category and the
    // volume are the first two words.
    UTF16String category, volumeText;
    if (HasQuote(inArguments)) {
        console::TokenReader reader(inArguments, Quote());
        category = QuotedCategory(reader);
        volumeText = reader.Next();
    } else {
        console::TokenReader reader(inArguments, UTF16String(1, ' '));
        category = reader.Next();
        volumeText = reader.Next();
    }
    if (volumeText.empty()) {
        WriteVolume(ioOut, category);
        return;
    }
    const std::int32_t volume = text::ReadNumber(volumeText);
    tarncore::debug::SetTraceVolume(utility::UTF16to8(category), volume);
    text::Write(ioOut, "trace category ");
    ioOut << category;
    text::Write(ioOut, " set to volume ");
    text::WriteNumber(ioOut, std::int64_t{volume});
    text::WriteLine(ioOut, ".");
}

void Get::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    if (HasQuote(inArguments)) {
        console::TokenReader reader(inArguments, Quote());
        WriteVolume(ioOut, QuotedCategory(reader));
    } else {
        WriteVolume(ioOut, inArguments);
    }
}

void GetCategories::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    text::WriteLine(ioOut, "Trace Categories:");
    std::list<UTF8String> categories;
    tarncore::debug::GetTraceCategories(categories);
    for (const UTF8String& category : categories) {
        text::Write(ioOut, category);
        console::WriteLineEnd(ioOut);
    }
}

void SetMaster::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    const std::int32_t volume = text::ReadNumber(inArguments);
    tarncore::debug::SetMasterTraceVolume(volume);
    text::Write(ioOut, "Master trace volume set to ");
    text::WriteNumber(ioOut, std::int64_t{volume});
    text::WriteLine(ioOut, ".");
}

void GetMaster::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    text::Write(ioOut, "Master trace volume is ");
    text::WriteNumber(ioOut, std::int64_t{tarncore::debug::GetMasterTraceVolume()});
    text::WriteLine(ioOut, ".");
}

}  // namespace trace
}  // namespace commands
}  // namespace tarncore
