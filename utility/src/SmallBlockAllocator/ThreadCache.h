// The per-thread front of the small block allocator: a bounded stack of free blocks per
// size class, filled from and drained into the class pools.
#pragma once

#include "AllocatorInterface.h"
#include "SmallBlockAllocator.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

// A class's stack starts with room for about this many bytes of blocks (4 to 128
// blocks).
constexpr std::uint32_t kCacheBytesPerClass = 32768;
// Each time a stack overflows its bound doubles, up to this many blocks, while the
// bounds of all the thread's stacks together stay within kCacheBytesPerThread; when
// they would not, the stacks grown earlier for other classes go back to their start.
// The budget lets a thread keep a working set of a thousand 4096-byte blocks beside
// the starting stacks of every class.
constexpr std::uint32_t kCacheMaxBlocksPerClass = 4096;
constexpr std::uint64_t kCacheBytesPerThread = 8u << 20;

constexpr std::uint32_t CacheBound(std::uint32_t inBlockSize) {
    const std::uint32_t blocks = kCacheBytesPerClass / inBlockSize;
    return blocks < 4 ? 4 : blocks > 128 ? 128 : blocks;
}

struct CacheLayout {
    std::array<std::uint32_t, kClassCount> bound{};   // the starting bound
    std::array<std::uint32_t, kClassCount> offset{};  // of the class's first slot
    std::uint32_t slots = 0;
    std::uint64_t bytes = 0;  // of all starting bounds
};

constexpr CacheLayout MakeCacheLayout() {
    CacheLayout layout;
    for (std::size_t c = 0; c < kClassCount; ++c) {
        layout.bound[c] = CacheBound(kClassBlockSizes[c]);
        layout.offset[c] = layout.slots;
        layout.slots += layout.bound[c];
        layout.bytes += std::uint64_t(layout.bound[c]) * kClassBlockSizes[c];
    }
    return layout;
}

constexpr CacheLayout kCacheLayout = MakeCacheLayout();
static_assert(kCacheLayout.bytes <= kCacheBytesPerThread, "the starting bounds fit the thread's budget");

// One thread's blocks. Only its thread touches it, so nothing here is atomic and
// nothing takes a lock. Blocks come from the class pools in batches when a stack is
// empty, and go back in batches: the older half when a stack is full, everything when
// the thread ends or trims. While a block waits here its pool counts it as in use.
//
// A stack that overflows again and again serves a thread that gives back many blocks
// before it takes them again, so its bound grows (a few such rounds and the blocks
// stay with the thread instead of passing through the pool each time); trimming
// returns every bound to its start.
class ThreadCache {
public:
    ThreadCache();
    ~ThreadCache();
    ThreadCache(const ThreadCache&) = delete;
    ThreadCache& operator=(const ThreadCache&) = delete;

    // A block of the class, or null when the stack is empty.
    void* Take(std::size_t inClass) {
        Stack& stack = mStacks[inClass];
        return stack.count != 0 ? stack.slots[--stack.count] : nullptr;
    }

    // Keeps a block of the class that its pool owns; false when the stack is full.
    bool TryPut(std::size_t inClass, void* inBlock) {
        Stack& stack = mStacks[inClass];
        if (stack.count == stack.bound) return false;
        stack.slots[stack.count++] = inBlock;
        return true;
    }

    // The same, making room when the stack is full: its older half goes back, and its
    // bound grows if the thread's budget allows.
    void Put(std::size_t inClass, void* inBlock) {
        if (!TryPut(inClass, inBlock)) {
            Overflow(inClass);
            TryPut(inClass, inBlock);
        }
    }

    // Fills the class's empty stack from inPool, the class's pool, and returns one block.
    // Throws as the pool does.
    void* Refill(std::size_t inClass, AllocatorInterface& inPool);

    // Gives every block back to its pool, and returns every bound to its start.
    void Trim();

    std::uint32_t Count(std::size_t inClass) const { return mStacks[inClass].count; }
    std::uint32_t Bound(std::size_t inClass) const { return mStacks[inClass].bound; }

private:
    struct Stack {
        void** slots;
        std::uint32_t count;
        std::uint32_t bound;
    };

    void Overflow(std::size_t inClass);
    // Gives the class's inCount oldest blocks back.
    void Drain(std::size_t inClass, std::uint32_t inCount);
    // Room for the class's starting bound again (after Drain has emptied the stack).
    void Shrink(std::size_t inClass);

    Stack mStacks[kClassCount];
    std::uint64_t mBoundBytes;  // the bounds of all stacks, in bytes of blocks
    void* mStartSlots[kCacheLayout.slots];
};

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
