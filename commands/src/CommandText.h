// What the built-in commands share: writing text and numbers to the console, reading numbers.
#pragma once

#include <tarncore/console/Command.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreams.h>

#include <cstdint>

namespace tarncore {
namespace commands {
namespace text {

// ASCII text, unit by unit (console::WriteAscii).
inline void Write(UTF16OutputStream& ioOut, const char* inAscii) { console::WriteAscii(ioOut, inAscii); }
// The text and a line end.
void WriteLine(UTF16OutputStream& ioOut, const char* inAscii);
// UTF-8 text, converted to UTF-16.
void Write(UTF16OutputStream& ioOut, const utility::UTF8String& inText);
// Decimal, whatever locale the stream has.
void WriteNumber(UTF16OutputStream& ioOut, std::int64_t inValue);
void WriteNumber(UTF16OutputStream& ioOut, std::uint64_t inValue);

// The number at the start of the text after white space: an optional sign and decimal
// digits, held to the int32 range; 0 when there is none.
std::int32_t ReadNumber(const utility::UTF16String& inText);

}  // namespace text
}  // namespace commands
}  // namespace tarncore
