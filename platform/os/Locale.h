// The user's numeric conventions, from LC_NUMERIC.
#pragma once

#include <string>

namespace tarncore {
namespace platform {
namespace os {

// How the user writes numbers (LC_NUMERIC of the environment).
struct NumericConventions {
    char32_t decimalPoint = 0;        // 0 when the locale defines none
    char32_t thousandsSeparator = 0;  // 0 when the locale defines none
    std::string grouping;             // as std::numpunct::grouping, e.g. "\3\3"
};

// Reads the conventions of the user's LC_NUMERIC (LC_ALL, LC_NUMERIC, LANG). Returns
// false when the named locale cannot be loaded.
bool QueryUserNumericConventions(NumericConventions& outConventions);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
