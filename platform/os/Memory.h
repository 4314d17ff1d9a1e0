// Aligned blocks and page release for the allocators.
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

// inSize bytes from the system's heap (aligned for any type), or null.
void* HeapAllocate(std::size_t inSize);
// Releases a block of HeapAllocate; null is ignored.
void HeapFree(void* inBlock);

// Says that a block of AlignedAllocate is kept until the process ends on purpose,
// perhaps reachable only through links a leak checker cannot read: it is not reported
// as lost.
void KeepUntilExit(void* inBlock);

// Gives the whole pages inside a block back to the system before the block is
// released: the system allocator may keep a freed block in its heap, resident. The
// pages read as zeros if the block is used again. The bytes next to the block's ends
// are left alone, where allocators keep their own records.
void DiscardPages(void* inBlock, std::size_t inSize);

// inSize bytes of fresh address space reading as zeros, with pages becoming resident
// only when first written; null when none can be had. Page aligned.
void* MapZeroedMemory(std::size_t inSize);
// Returns memory of MapZeroedMemory (the same size) to the system.
void UnmapMemory(void* inMemory, std::size_t inSize);

// The process's resident memory in bytes (0 if it cannot be read).
std::uint64_t ResidentMemoryBytes();

}  // namespace platform
}  // namespace tarncore
