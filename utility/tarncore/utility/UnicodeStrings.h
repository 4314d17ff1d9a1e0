// UTF-8 and UTF-16 conversion, surrogates, replacements in text and line endings.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstddef>

namespace tarncore {
namespace utility {

/// Which half of a surrogate pair a unit is, if either.
enum UnicodeSurrogateT : int { kSurrogateNone = 0, kSurrogateHigh = 1, kSurrogateLow = 2 };

/// The three line endings.
enum LineEndingType : int { kLineEndingCRLF = 0, kLineEndingCR = 1, kLineEndingLF = 2 };

/// Decodes UTF-8. Malformed or truncated input is never an error: the result is every
/// unit decoded before the first offending sequence. Three-byte encodings of surrogates
/// are accepted, so text with unpaired surrogates converts there and back unchanged.
TARNCORE_API UTF16String UTF8to16(const UTF8String& inText);

/// Appends the UTF-16 form of inLength bytes of UTF-8, decoded as UTF8to16 decodes them,
/// for callers that convert many pieces into one reused string.
TARNCORE_API void AppendUTF8to16(const UTF8Char* inText, std::size_t inLength, UTF16String& ioText);

/// Encodes UTF-16, reading the input as NUL-terminated: a NUL unit ends the text.
/// Unpaired surrogates are written as the three-byte form of their own value.
TARNCORE_API UTF8String UTF16to8(const UTF16String& inText);
/// A null pointer gives an empty string.
TARNCORE_API UTF8String UTF16to8(const UTF16Char* inText);
/// Appends the UTF-8 form of the whole string, encoded as UTF16to8 encodes it, except
/// that a NUL unit gives a NUL byte instead of ending the text.
TARNCORE_API void AppendUTF16to8(const UTF16String& inText, UTF8String& ioText);

/// Encodes inLength units into outBytes, as AppendUTF16to8 encodes them (a NUL unit
/// gives a NUL byte), and returns the number of bytes written. outBytes must have room
/// for 3 * inLength bytes. No heap memory, for code that must not allocate.
TARNCORE_API std::size_t EncodeUTF16to8(const UTF16Char* inText, std::size_t inLength, UTF8Char* outBytes);

/// Decodes the one UTF-8 sequence that starts [inText, inEnd) into outUnits (room for
/// two units) as UTF8to16 decodes it, and returns the bytes it took, with outCount set
/// to the units written; returns 0 (outCount 0) when the sequence is truncated or not
/// well-formed, or the text is empty. No heap memory.
TARNCORE_API std::size_t DecodeUTF8Sequence(const UTF8Char* inText, const UTF8Char* inEnd,
                                            UTF16Char* outUnits, std::size_t& outCount);

/// The bytes of inText (up to its NUL) decoded exactly as UTF8to16 decodes them.
TARNCORE_API UTF16String AsciiToUTF16(const char* inText);

/// Whether the unit is a high or a low surrogate, or neither.
TARNCORE_API UnicodeSurrogateT UnicodeSurrogate(UTF16Char inUnit);

/// Full-width punctuation and digits (U+FF01 to U+FF1F) to their ASCII forms.
/// @{
TARNCORE_API bool ToNumericCase(UTF16Char& ioUnit);
TARNCORE_API bool ToNumericCase(UTF16String& ioText);
/// @}

/// Replaces `"@0"` to `"@9"` by the matching value; `"@@"` gives `"@"`. Values are inserted
/// as they stand and never scanned again.
TARNCORE_API UTF16String
ReplaceInString(const UTF16String& inFormat, const UTF16String& inValue0 = UTF16String(),
                const UTF16String& inValue1 = UTF16String(), const UTF16String& inValue2 = UTF16String(),
                const UTF16String& inValue3 = UTF16String(), const UTF16String& inValue4 = UTF16String(),
                const UTF16String& inValue5 = UTF16String(), const UTF16String& inValue6 = UTF16String(),
                const UTF16String& inValue7 = UTF16String(), const UTF16String& inValue8 = UTF16String(),
                const UTF16String& inValue9 = UTF16String());

/// Replaces every occurrence, left to right, without rescanning replacements. An empty
/// search string leaves the text unchanged.
TARNCORE_API void ReplaceAllStringInString(UTF16String& ioText, const UTF16String& inSearch,
                                           const UTF16String& inReplacement);

/// CR LF, CR or LF; empty for any other value.
TARNCORE_API UTF16String GetLineEnding(LineEndingType inType);

/// Rewrites every line ending (CR LF, lone CR, lone LF) to GetLineEnding(inType). Text
/// that already uses that ending throughout is not touched.
TARNCORE_API void ConvertLineEndings(LineEndingType inType, UTF16String& ioText);

}  // namespace utility
}  // namespace tarncore
