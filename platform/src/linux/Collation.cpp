// Linux: the collation locale name from LC_ALL, LC_COLLATE or LANG.
#include "platform/os/Collation.h"

#include <cstdlib>

namespace tarncore {
namespace platform {
namespace os {

std::string CollationLocaleName() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return "C";
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
