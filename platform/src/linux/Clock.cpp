// Linux: the monotonic millisecond tick count and the "%c" local date and time.
#include "platform/os/Clock.h"

#include <ctime>

namespace tarncore {
namespace platform {
namespace os {

std::uint32_t TickCountMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::string LocalDateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return std::string();
    // "%c" stays well under this in every locale; strftime gives 0 rather than overflow.
    char text[256];
    const std::size_t length = std::strftime(text, sizeof text, "%c", &local);
    return std::string(text, length);
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
