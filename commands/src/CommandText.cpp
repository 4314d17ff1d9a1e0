// Writing ASCII, UTF-8 text and decimal numbers to the console, and reading a number from an argument.
#include "commands/src/CommandText.h"

#include <tarncore/console/Command.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <charconv>
#include <locale>

namespace tarncore {
namespace commands {
namespace text {

using utility::UTF16Char;
using utility::UTF16String;

void WriteLine(UTF16OutputStream& ioOut, const char* inAscii) {
    Write(ioOut, inAscii);
    console::WriteLineEnd(ioOut);
}

void Write(UTF16OutputStream& ioOut, const utility::UTF8String& inText) {
    ioOut << utility::UTF8to16(inText);
}

namespace {

template <class T>
void WriteDecimal(UTF16OutputStream& ioOut, T inValue) {
    // Formatted here rather than by the stream, whose locale might group the digits.
    char digits[24];
    *std::to_chars(digits, digits + sizeof digits - 1, inValue).ptr = '\0';
    Write(ioOut, digits);
}

}  // namespace

void WriteNumber(UTF16OutputStream& ioOut, std::int64_t inValue) { WriteDecimal(ioOut, inValue); }
void WriteNumber(UTF16OutputStream& ioOut, std::uint64_t inValue) { WriteDecimal(ioOut, inValue); }

std::int32_t ReadNumber(const UTF16String& inText) {
    // The stream skips white space and reads a sign and digits; it leaves 0 when there
    // is no number and the nearest limit when the number is out of range. The classic
    // locale keeps thousands separators of the user's out of it.
    iUTF16StringStream in(inText);
    in.imbue(utility::WithTextStreamFacets(std::locale::classic()));
    std::int32_t value = 0;
    in >> value;
    return value;
}

}  // namespace text
}  // namespace commands
}  // namespace tarncore
