// Message keys to display text, with placeholders and replacement values filled in.
#pragma once

#include <tarncore/config/ReplacementValue.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <initializer_list>

/// @file
/// Turning a message key into display text, the way the library's own dialogs and the
/// host's error display do it.
namespace tarncore {
namespace config {

/// The default text of a key: everything after its first "=", converted from UTF-8;
/// empty for a key without "=" or a null key.
TARNCORE_API utility::UTF16String GetDefaultText(const char* inKey);

/// The registered localizer's text for the key, or its default text without one.
TARNCORE_API utility::UTF16String LocalizeKey(const char* inKey);

/// LocalizeKey, then the `"@0"` to `"@9"` placeholders replaced by inArguments in order
/// (missing arguments are empty; more than ten are ignored).
TARNCORE_API utility::UTF16String RenderMessage(const char* inKey,
                                                std::initializer_list<utility::UTF16String> inArguments = {});

/// A value as text: decimal integers, a double in its shortest exact form ("29.2334"),
/// a string as it stands, nothing for kValueNone.
TARNCORE_API utility::UTF16String FormatReplacementValue(const ReplacementValue& inValue);

/// Replaces "^1" to "^4" by the four values' text. Other "^" are left as they stand.
TARNCORE_API utility::UTF16String SubstituteReplacementValues(const utility::UTF16String& inText,
                                                              const ReplacementValue& inValue1,
                                                              const ReplacementValue& inValue2,
                                                              const ReplacementValue& inValue3,
                                                              const ReplacementValue& inValue4);

}  // namespace config
}  // namespace tarncore
