#include <tarncore/utility/SmallBlockAllocator.h>

#include "SmallBlockAllocator.h"

#include "AllocatorManager.h"
#include "platform/os/Memory.h"

#include <atomic>
#include <utility>

namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

namespace {

constexpr const auto& kSizes = kClassBlockSizes;

constexpr std::uint32_t FirstChunkSize(std::uint32_t inBlockSize) {
    return inBlockSize <= 1024 ? kSmallChunkSize : kMediumChunkSize;
}
constexpr std::uint32_t SwitchSize(std::uint32_t inBlockSize) {
    return inBlockSize <= 1024 ? kMediumChunkSize : kLargeChunkSize;
}
constexpr std::uint32_t KeepsLastChunk(std::uint32_t inBlockSize) {
    return inBlockSize <= 128 || inBlockSize == 1024 ? 1 : 0;
}

enum : std::int32_t { kNotInitialized = 0, kInitializing = 1, kReady = 2 };
std::atomic<std::int32_t> sState{kNotInitialized};

// Written once by the initializing thread before the state becomes ready.
AllocatorInterface* sTable[kLargestClassSize + 1];
AllocatorInterface* sSmallChunkPool;
AllocatorInterface* sMediumChunkPool;

template <std::size_t... inIndex>
void CreateClassPools(std::index_sequence<inIndex...>, AllocatorInterface** outPools) {
    ((outPools[inIndex] = new AllocatorManager<kSizes[inIndex], FirstChunkSize(kSizes[inIndex]),
                                               SwitchSize(kSizes[inIndex]),
                                               KeepsLastChunk(kSizes[inIndex])>()),
     ...);
}

void Initialize() {
    AllocatorInterface* pools[kClassCount];
    CreateClassPools(std::make_index_sequence<kClassCount>(), pools);
    std::uint32_t size = 0;
    for (std::size_t c = 0; c < kClassCount; ++c)
        for (; size <= kSizes[c]; ++size) sTable[size] = pools[c];
    sSmallChunkPool = new AllocatorManager<kSmallChunkSize, kMediumChunkSize, kLargeChunkSize, 1>();
    sMediumChunkPool = new AllocatorManager<kMediumChunkSize, kLargeChunkSize, kLargeChunkSize, 1>();
}

// The first caller initializes; callers that arrive meanwhile do not wait and are
// served by the system. If initializing throws, the state stays "initializing" and
// the system serves every later call.
inline bool EnsureInitialized() {
    if (sState.load(std::memory_order_acquire) == kReady) return true;
    std::int32_t expected = kNotInitialized;
    if (!sState.compare_exchange_strong(expected, kInitializing, std::memory_order_acq_rel))
        return expected == kReady || sState.load(std::memory_order_acquire) == kReady;
    Initialize();
    sState.store(kReady, std::memory_order_release);
    return true;
}

constexpr std::size_t kSystemAlignment = 16;

// One largest chunk given back to the system is kept for the next request instead: a
// pool that grows and shrinks across that rung would otherwise fetch fresh pages from
// the system each time.
std::atomic<void*> sSpareLargeChunk{nullptr};

}  // namespace

AllocatorInterface* PoolForSize(std::uint32_t inSize) {
    if (!EnsureInitialized()) return nullptr;
    if (inSize == kSmallChunkSize) return sSmallChunkPool;
    if (inSize == kMediumChunkSize) return sMediumChunkPool;
    if (inSize > kLargestClassSize) return nullptr;
    return sTable[inSize];
}

void* Allocate(unsigned int inSize) {
    AllocatorInterface* pool = PoolForSize(inSize);
    if (pool != nullptr) return pool->Allocate(inSize);
    if (inSize == kLargeChunkSize)
        if (void* spare = sSpareLargeChunk.exchange(nullptr, std::memory_order_acquire)) return spare;
    return platform::AlignedAllocate(inSize, kSystemAlignment);
}

void Dispose(void* inBlock, unsigned int inSize) {
    // A block the system handed out while another thread was initializing lies in no
    // pool's chunks; the pool refuses it and it goes back to the system.
    AllocatorInterface* pool = PoolForSize(inSize);
    if (pool != nullptr && pool->Dispose(inBlock, inSize)) return;
    if (inSize == kLargeChunkSize && inBlock != nullptr) {
        void* none = nullptr;
        if (sSpareLargeChunk.compare_exchange_strong(none, inBlock, std::memory_order_release,
                                                     std::memory_order_relaxed))
            return;
        // The system allocator may keep a freed block of this size in its heap (it stops
        // mapping such sizes on their own once one has been freed); the pools' largest
        // chunks should leave the process when they are given back.
        platform::DiscardPages(inBlock, inSize);
    }
    platform::AlignedFree(inBlock);
}

unsigned int GetActualAllocationSize(unsigned int inSize) {
    AllocatorInterface* pool = PoolForSize(inSize);
    return pool == nullptr ? inSize : pool->BlockSize();
}

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
