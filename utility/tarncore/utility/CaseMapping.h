// Lower, upper and fold case of UTF-16 text with the library's own table.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

/// @file
/// Case mapping with the library's own table, the same on every machine and in every
/// locale. Each unit is mapped on its own (no context: a capital sigma always lowers
/// to U+03C3), a unit may map to up to three units ('ß' upper-cases to "SS"), and units
/// the table does not know, surrogates included, stay as they are. All sigma forms fold
/// to U+03C2; both Turkish i forms fold to plain "i".
namespace tarncore {
namespace utility {

/// The text lower-cased, upper-cased or case-folded.
/// @{
TARNCORE_API UTF16String LowerCase(const UTF16String& inText);
TARNCORE_API UTF16String UpperCase(const UTF16String& inText);
TARNCORE_API UTF16String FoldCase(const UTF16String& inText);
/// @}

/// The same, in place.
/// @{
TARNCORE_API void ToLowerCase(UTF16String& ioText);
TARNCORE_API void ToUpperCase(UTF16String& ioText);
TARNCORE_API void ToFoldCase(UTF16String& ioText);
/// @}

/// Upper-cases the text, then keeps only "0" to "9" and "A" to "F" (full-width digits
/// and letters are removed, not converted).
TARNCORE_API void ValidateForHex(UTF16String& ioText);

}  // namespace utility
}  // namespace tarncore
