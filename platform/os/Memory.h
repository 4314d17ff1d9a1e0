#pragma once

#include <cstddef>
#include <cstdint>

// What the allocators need from the operating system.
namespace tarncore {
namespace platform {

// inSize bytes aligned to inAlignment (a power of two, at least sizeof(void*)), or null.
void* AlignedAllocate(std::size_t inSize, std::size_t inAlignment);
// Releases a block of AlignedAllocate; null is ignored.
void AlignedFree(void* inBlock);

// Asks the system allocator to hand the free memory it holds back to the system.
void ReleaseFreeMemory();

// The process's resident memory in bytes (0 if it cannot be read).
std::uint64_t ResidentMemoryBytes();

}  // namespace platform
}  // namespace tarncore
