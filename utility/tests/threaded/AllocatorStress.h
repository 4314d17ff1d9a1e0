// The stress run both allocators share: threads allocate, fill, check, hand over and dispose blocks.
#pragma once

#include <cstdint>
#include <random>

namespace stress {

// What the run exercises: an allocator's entry points and the sizes to ask it for.
struct StressedAllocator {
    void* (*allocate)(std::uint32_t inSize);
    void (*dispose)(void* inBlock, std::uint32_t inSize);
    std::uint32_t (*randomSize)(std::mt19937& ioRandom);
    void (*trim)();  // gives a thread's cached blocks back now and then; may be null
};

// inThreads workers allocate, fill, check and dispose blocks at once and hand blocks to
// each other, while short-lived threads take blocks from the hand-over, leave new ones
// and end. Every block's contents are checked before it goes back, so a block handed out
// twice or a broken free list shows as a mismatch (a test failure).
//
// The run is short by default (CI); TARNCORE_ALLOCATOR_STRESS_SECONDS sets its length.
void Run(const StressedAllocator& inAllocator, int inThreads);

}  // namespace stress
