// The user's regional number conventions, read once, and the locales built on them.
#pragma once

#include "platform/os/Locale.h"

#include <tarncore/utility/StringTypes.h>

#include <locale>
#include <string>

// The user's regional number conventions, read once from the platform, and the locales
// built on them.
namespace tarncore {
namespace utility {
namespace regional {

struct Settings {
    UTF16Char decimalSeparator = '.';
    UTF16Char thousandsSeparator = ',';
    std::string grouping;
};

// The settings for an answer of the platform query (inAnswered false: it failed).
// Each separator is the first UTF-16 unit of the locale's; one the locale lacks keeps
// the classic value, and a thousands separator that would equal the decimal separator
// becomes "." beside a decimal comma and "," otherwise.
Settings FromConventions(bool inAnswered, const platform::os::NumericConventions& inConventions);

const Settings& Get();
const std::locale& NativeLocale();

using Query = bool (*)(platform::os::NumericConventions&);

// For tests: reads the settings again through inQuery (null: the platform's) and
// remakes the native locale. Not thread-safe; references stay valid.
void ReloadForTesting(Query inQuery);

}  // namespace regional
}  // namespace utility
}  // namespace tarncore
