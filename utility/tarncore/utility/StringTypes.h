// The UTF-16 and UTF-8 string types and their literal helpers.
#pragma once

#include <string>

/// @file
/// The library's two text types. UTF-16 holds paths, names and user-visible text;
/// UTF-8 holds keys, XML, settings and log text. Neither carries a byte-order mark.
namespace tarncore {
namespace utility {

using UTF16Char = unsigned short;                  ///< A UTF-16 code unit.
using UTF8Char = unsigned char;                    ///< A UTF-8 code unit.
using UTF16String = std::basic_string<UTF16Char>;  ///< UTF-16 text.
using UTF8String = std::basic_string<UTF8Char>;    ///< UTF-8 text.

/// Literal helpers: MakeUTF16(u"text") and MakeUTF8("text") copy the code units as
/// they stand (no conversion between the encodings).
/// @{
inline UTF16String MakeUTF16(const char16_t* text) {
    UTF16String result;
    for (; *text; ++text) result.push_back(static_cast<UTF16Char>(*text));
    return result;
}

inline UTF8String MakeUTF8(const char* text) {
    UTF8String result;
    for (; *text; ++text) result.push_back(static_cast<UTF8Char>(*text));
    return result;
}
/// @}

}  // namespace utility
}  // namespace tarncore
