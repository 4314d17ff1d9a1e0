// Random bytes from the kernel.
#pragma once

#include <cstddef>

namespace tarncore {
namespace platform {
namespace os {

// Fills the buffer with bytes from the kernel's cryptographically secure generator.
// Returns false when the generator cannot deliver them all.
bool FillRandomBytes(void* outBuffer, std::size_t inSize);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
