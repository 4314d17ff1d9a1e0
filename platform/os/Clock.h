// The millisecond tick count and the local date and time as text.
#pragma once

#include <cstdint>
#include <string>

// Time for the console log: how long the process has been at something, and when.
namespace tarncore {
namespace platform {
namespace os {

// Milliseconds of the system's monotonic clock, wrapping at 2^32 (about 49.7 days):
// differences taken in unsigned 32-bit arithmetic stay right across the wrap.
std::uint32_t TickCountMilliseconds();

// The local date and time now, as the C library's "%c" conversion writes it in the
// current locale. Empty when the time cannot be had.
std::string LocalDateTimeText();

}  // namespace os
}  // namespace platform
}  // namespace tarncore
