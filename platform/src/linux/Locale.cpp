// Linux: the numeric conventions of the user's LC_NUMERIC through nl_langinfo_l.
#include "platform/os/Locale.h"

#include <cstdint>
#include <cstring>

#include <langinfo.h>
#include <locale.h>

namespace tarncore {
namespace platform {
namespace os {

namespace {

// glibc answers the wide-character items with the code point itself in place of
// the string pointer; the value sits in the first four bytes of that pointer.
char32_t WideItem(nl_item inItem, locale_t inLocale) {
    const char* answer = nl_langinfo_l(inItem, inLocale);
    std::uint32_t value = 0;
    std::memcpy(&value, &answer, sizeof value);
    return static_cast<char32_t>(value);
}

}  // namespace

bool QueryUserNumericConventions(NumericConventions& outConventions) {
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr)) return false;
    NumericConventions conventions;
    conventions.decimalPoint = WideItem(_NL_NUMERIC_DECIMAL_POINT_WC, numeric);
    conventions.thousandsSeparator = WideItem(_NL_NUMERIC_THOUSANDS_SEP_WC, numeric);
    const char* grouping = nl_langinfo_l(GROUPING, numeric);
    if (grouping != nullptr) conventions.grouping = grouping;
    freelocale(numeric);
    outConventions = conventions;
    return true;
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
