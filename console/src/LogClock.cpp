// The console log's clock: the system's ticks and local time unless a test installs its own.
#include "console/src/LogClock.h"

#include "platform/os/Clock.h"

#include <atomic>

namespace tarncore {
namespace console {
namespace detail {

namespace {
std::atomic<TickSource> sTicks{nullptr};
std::atomic<DateTimeSource> sDateTime{nullptr};
}  // namespace

std::uint32_t LogTickCount() {
    const TickSource source = sTicks.load(std::memory_order_acquire);
    return source != nullptr ? source() : platform::os::TickCountMilliseconds();
}

std::string LogDateTimeText() {
    const DateTimeSource source = sDateTime.load(std::memory_order_acquire);
    return source != nullptr ? source() : platform::os::LocalDateTimeText();
}

void SetLogClockForTesting(TickSource inTicks, DateTimeSource inDateTime) {
    sTicks.store(inTicks, std::memory_order_release);
    sDateTime.store(inDateTime, std::memory_order_release);
}

}  // namespace detail
}  // namespace console
}  // namespace tarncore
