// The clock the console log reads (ticks and the local date and time), replaceable by tests.
#pragma once

#include <cstdint>
#include <string>

namespace tarncore {
namespace console {
namespace detail {

using TickSource = std::uint32_t (*)();
using DateTimeSource = std::string (*)();

// The tick count and the "%c" text of now, from the installed sources or the system.
std::uint32_t LogTickCount();
std::string LogDateTimeText();

// Installs sources in place of the system's (null puts the system's back). For tests:
// a log's ticks and header become predictable.
void SetLogClockForTesting(TickSource inTicks, DateTimeSource inDateTime);

}  // namespace detail
}  // namespace console
}  // namespace tarncore
