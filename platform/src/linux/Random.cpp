// Linux: random bytes through getrandom(2).
#include "platform/os/Random.h"

#include <cerrno>
#include <cstdint>

#include <sys/random.h>

namespace tarncore {
namespace platform {
namespace os {

bool FillRandomBytes(void* outBuffer, std::size_t inSize) {
    auto* out = static_cast<std::uint8_t*>(outBuffer);
    while (inSize > 0) {
        const ssize_t got = getrandom(out, inSize, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out += got;
        inSize -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
