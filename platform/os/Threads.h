// The calling thread's kernel identifier.
#pragma once

#include <cstdint>

// What the thread support needs from the operating system.
namespace tarncore {
namespace platform {

// The kernel's identifier of the calling thread (what the system's tools show).
std::uint32_t GetCurrentThreadId();

}  // namespace platform
}  // namespace tarncore
