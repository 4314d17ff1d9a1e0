// Filling, draining and growing the per-thread caches of the small block allocator.
#include "ThreadCache.h"

#include "platform/os/Memory.h"

#include <algorithm>
#include <cstring>

namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

ThreadCache::ThreadCache() : mBoundBytes(kCacheLayout.bytes) {
    for (std::size_t c = 0; c < kClassCount; ++c)
        mStacks[c] = {mStartSlots + kCacheLayout.offset[c], 0, kCacheLayout.bound[c]};
}

ThreadCache::~ThreadCache() {
    for (std::size_t c = 0; c < kClassCount; ++c) Shrink(c);
}

void* ThreadCache::Refill(std::size_t inClass, AllocatorInterface& inPool) {
    Stack& stack = mStacks[inClass];
    const std::uint32_t taken = inPool.AllocateBatch(stack.slots, kCacheLayout.bound[inClass] / 2);
    // The stack hands out its top first; put there what the pool hands out first.
    std::reverse(stack.slots, stack.slots + taken);
    stack.count = taken - 1;
    return stack.slots[taken - 1];
}

void ThreadCache::Trim() {
    for (std::size_t c = 0; c < kClassCount; ++c) {
        if (mStacks[c].count != 0) Drain(c, mStacks[c].count);
        Shrink(c);
    }
}

void ThreadCache::Overflow(std::size_t inClass) {
    Stack& stack = mStacks[inClass];
    Drain(inClass, stack.bound / 2);
    const std::uint64_t blockSize = kClassBlockSizes[inClass];
    const std::uint32_t grown = std::min(2 * stack.bound, kCacheMaxBlocksPerClass);
    if (grown == stack.bound) return;
    const std::uint64_t growth = std::uint64_t(grown - stack.bound) * blockSize;
    // The class in use now takes the room of classes grown earlier: a thread that moves
    // on to another size keeps its budget for that size instead of churning its pool.
    for (std::size_t c = 0; c < kClassCount && mBoundBytes + growth > kCacheBytesPerThread; ++c) {
        if (c == inClass || mStacks[c].bound == kCacheLayout.bound[c]) continue;
        if (mStacks[c].count != 0) Drain(c, mStacks[c].count);
        Shrink(c);
    }
    if (mBoundBytes + growth > kCacheBytesPerThread) return;
    auto* slots = static_cast<void**>(platform::AlignedAllocate(grown * sizeof(void*), 64));
    if (slots == nullptr) return;
    std::memcpy(slots, stack.slots, stack.count * sizeof(void*));
    if (stack.slots != mStartSlots + kCacheLayout.offset[inClass]) platform::AlignedFree(stack.slots);
    mBoundBytes += growth;
    stack.slots = slots;
    stack.bound = grown;
}

void ThreadCache::Shrink(std::size_t inClass) {
    Stack& stack = mStacks[inClass];
    void** const start = mStartSlots + kCacheLayout.offset[inClass];
    if (stack.slots == start) return;
    platform::AlignedFree(stack.slots);
    mBoundBytes -= std::uint64_t(stack.bound - kCacheLayout.bound[inClass]) * kClassBlockSizes[inClass];
    stack = {start, 0, kCacheLayout.bound[inClass]};
}

void ThreadCache::Drain(std::size_t inClass, std::uint32_t inCount) {
    Stack& stack = mStacks[inClass];
    AllocatorInterface* pool = PoolForSize(kClassBlockSizes[inClass]);
    const std::uint32_t refused = pool->DisposeBatch(stack.slots, inCount);
    // Only blocks the chunk map gives to the class are kept here, so the pool refuses
    // none; if it ever did, the block would be the system's, as in Dispose.
    for (std::uint32_t i = 0; i < refused; ++i) platform::AlignedFree(stack.slots[i]);
    stack.count -= inCount;
    std::memmove(stack.slots, stack.slots + inCount, stack.count * sizeof(void*));
}

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
