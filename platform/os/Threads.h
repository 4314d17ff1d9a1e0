// The calling thread's kernel identifier.
#pragma once

#include <cstdint>

// What the thread support needs from the operating system.
namespace tarncore {
namespace platform {

// The kernel's identifier of the calling thread (what the system's tools show).
std::uint32_t GetCurrentThreadId();

// Tells the processor that the calling thread is spinning on a value another thread is
// about to change (a short pause on processors that have one).
void SpinPause();

}  // namespace platform
}  // namespace tarncore
