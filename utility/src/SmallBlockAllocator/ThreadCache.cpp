// Filling and draining the per-thread caches of the small block allocator.
#include "ThreadCache.h"

#include "platform/os/Memory.h"

#include <algorithm>
#include <cstring>

namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

void* ThreadCache::Refill(std::size_t inClass, AllocatorInterface& inPool) {
    void** slots = mSlots + kCacheLayout.offset[inClass];
    const std::uint32_t taken = inPool.AllocateBatch(slots, kCacheLayout.bound[inClass] / 2);
    // The stack hands out its top first; put there what the pool hands out first.
    std::reverse(slots, slots + taken);
    mCounts[inClass] = taken - 1;
    return slots[taken - 1];
}

void ThreadCache::DrainAll() {
    for (std::size_t c = 0; c < kClassCount; ++c)
        if (mCounts[c] != 0) Drain(c, mCounts[c]);
}

void ThreadCache::DrainOlderHalf(std::size_t inClass) { Drain(inClass, kCacheLayout.bound[inClass] / 2); }

void ThreadCache::Drain(std::size_t inClass, std::uint32_t inCount) {
    void** slots = mSlots + kCacheLayout.offset[inClass];
    AllocatorInterface* pool = PoolForSize(kClassBlockSizes[inClass]);
    const std::uint32_t refused = pool->DisposeBatch(slots, inCount);
    // Only blocks the chunk map gives to the class are kept here, so the pool refuses
    // none; if it ever did, the block would be the system's, as in Dispose.
    for (std::uint32_t i = 0; i < refused; ++i) platform::AlignedFree(slots[i]);
    mCounts[inClass] -= inCount;
    std::memmove(slots, slots + inCount, mCounts[inClass] * sizeof(void*));
}

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
