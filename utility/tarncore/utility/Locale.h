// The user's and the classic locales for the text streams, and reading numbers users type.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <locale>

namespace tarncore {
namespace Locale {

/// The user's locale (the environment's, "C" if that cannot be made), with the number
/// facets of the UTF-16 and UTF-8 streams using the regional separators and grouping.
/// Made once, on first use.
TARNCORE_API const std::locale& Native();

/// The classic locale with the number facets of the UTF-16 and UTF-8 streams.
TARNCORE_API const std::locale& Default();

/// Reads a number the user typed: once with the user's conventions and once with the
/// classic ones. The classic reading wins unless the user's is larger in magnitude and
/// the classic one is 0 or of the same sign, so "1.234,5", "0,5" and "1234.5" all come
/// out whole under a German setting. A reading that fails (a wrong grouping, say)
/// counts as 0; empty text is 0.
TARNCORE_API double GetValueFromDisplayString(const utility::UTF16String& inText);

}  // namespace Locale
}  // namespace tarncore
