// The user's collation locale name, from the environment.
#pragma once

#include <string>

namespace tarncore {
namespace platform {
namespace os {

// The user's collation locale as a POSIX locale name ("de_DE.UTF-8", "C", ...): the
// first non-empty of LC_ALL, LC_COLLATE and LANG; "C" when none is set.
std::string CollationLocaleName();

}  // namespace os
}  // namespace platform
}  // namespace tarncore
