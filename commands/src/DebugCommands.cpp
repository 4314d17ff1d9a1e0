// debug.get, debug.set, debug.list and debug.clear: the debug database from the console.
#include "commands/src/BuiltInCommands.h"
#include "commands/src/CommandText.h"

#include <tarncore/debug/DebugDatabase.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <list>

namespace tarncore {
namespace commands {
namespace debug {

using utility::UTF16String;
using utility::UTF8String;

namespace {

tarncore::debug::DebugDatabase& Database() { return tarncore::debug::DebugDatabase::Instance(); }

}  // namespace

void Get::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    // A missing variable is added, in memory, with an empty value.
    const UTF8String value = Database().GetEntry(utility::UTF16to8(inArguments), UTF8String());
    ioOut << inArguments;
    text::Write(ioOut, " = ");
    text::Write(ioOut, value);
    console::WriteLineEnd(ioOut);
}

void Set::Execute(const UTF16String& inArguments, UTF16OutputStream&) {
    // "path = value": the value ends at a second "=", if there is one.
    console::TokenReader reader(inArguments, UTF16String(1, '='));
    const UTF16String path = console::TrimSpaces(reader.Next());
    const UTF16String value = console::TrimSpaces(reader.Next());
    Database().SetEntry(utility::UTF16to8(path), utility::UTF16to8(value));
}

void List::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    static const char kTitle[] = "Listing contents of debug database!";
    text::WriteLine(ioOut, kTitle);
    console::WriteDashesUnder(ioOut, kTitle);
    std::list<UTF8String> keys;
    Database().GetDebugKeys(keys);
    for (const UTF8String& key : keys) {
        text::Write(ioOut, key);
        text::Write(ioOut, " = ");
        text::Write(ioOut, Database().GetEntry(key, UTF8String()));
        console::WriteLineEnd(ioOut);
    }
}

void Clear::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    text::WriteLine(ioOut, "Clearing contents of debug database!");
    Database().Clear();
}

}  // namespace debug
}  // namespace commands
}  // namespace tarncore
