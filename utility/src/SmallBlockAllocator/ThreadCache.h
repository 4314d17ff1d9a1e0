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

// A class's stack holds about this many bytes of blocks, and 4 to 128 blocks.
constexpr std::uint32_t kCacheBytesPerClass = 32768;

constexpr std::uint32_t CacheBound(std::uint32_t inBlockSize) {
    const std::uint32_t blocks = kCacheBytesPerClass / inBlockSize;
    return blocks < 4 ? 4 : blocks > 128 ? 128 : blocks;
}

struct CacheLayout {
    std::array<std::uint32_t, kClassCount> bound{};
    std::array<std::uint32_t, kClassCount> offset{};  // of the class's first slot
    std::uint32_t slots = 0;
};

constexpr CacheLayout MakeCacheLayout() {
    CacheLayout layout;
    for (std::size_t c = 0; c < kClassCount; ++c) {
        layout.bound[c] = CacheBound(kClassBlockSizes[c]);
        layout.offset[c] = layout.slots;
        layout.slots += layout.bound[c];
    }
    return layout;
}

constexpr CacheLayout kCacheLayout = MakeCacheLayout();

// One thread's blocks. Only its thread touches it, so nothing here is atomic and
// nothing takes a lock. Blocks come from the class pools in batches when a stack is
// empty, and go back in batches: the older half when a stack is full, everything when
// the thread ends or trims. While a block waits here its pool counts it as in use.
class ThreadCache {
public:
    ThreadCache() : mCounts{} {}
    ThreadCache(const ThreadCache&) = delete;
    ThreadCache& operator=(const ThreadCache&) = delete;

    // A block of the class, or null when the stack is empty.
    void* Take(std::size_t inClass) {
        std::uint32_t& count = mCounts[inClass];
        return count != 0 ? mSlots[kCacheLayout.offset[inClass] + --count] : nullptr;
    }

    // Keeps a block of the class that its pool owns; false when the stack is full.
    bool TryPut(std::size_t inClass, void* inBlock) {
        std::uint32_t& count = mCounts[inClass];
        if (count == kCacheLayout.bound[inClass]) return false;
        mSlots[kCacheLayout.offset[inClass] + count++] = inBlock;
        return true;
    }

    // The same, making room when the stack is full: its older half goes back.
    void Put(std::size_t inClass, void* inBlock) {
        if (!TryPut(inClass, inBlock)) {
            DrainOlderHalf(inClass);
            TryPut(inClass, inBlock);
        }
    }

    // Fills the class's empty stack from inPool, the class's pool, and returns one block.
    // Throws as the pool does.
    void* Refill(std::size_t inClass, AllocatorInterface& inPool);

    // Gives every block back to its pool.
    void DrainAll();

    std::uint32_t Count(std::size_t inClass) const { return mCounts[inClass]; }

private:
    void DrainOlderHalf(std::size_t inClass);
    // Gives the class's inCount oldest blocks back.
    void Drain(std::size_t inClass, std::uint32_t inCount);

    std::uint32_t mCounts[kClassCount];
    void* mSlots[kCacheLayout.slots];
};

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
