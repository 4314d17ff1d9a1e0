// The small block allocator's entry points: size classes, pools, the chunk ladder and start-up.
#include <tarncore/utility/SmallBlockAllocator.h>

#include "SmallBlockAllocator.h"

#include "AllocatorManager.h"
#include "ChunkMap.h"
#include "ThreadCache.h"
#include "platform/os/Memory.h"

#include <atomic>
#include <new>
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
    ((outPools[inIndex] =
          new AllocatorManager<kSizes[inIndex], FirstChunkSize(kSizes[inIndex]), SwitchSize(kSizes[inIndex]),
                               KeepsLastChunk(kSizes[inIndex])>(MapOwnerOfClass(inIndex))),
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

// The calling thread's cache (see ThreadCache.h), made on the thread's first use of a
// class pool. The pointer sits in the initial thread-local block, so the hot path reads
// it with one instruction. A cache exists only once the allocator is ready.
[[gnu::tls_model("initial-exec")]] thread_local ThreadCache* tCache = nullptr;
// Set once the thread's end has given its cache back: whatever runs after that on the
// thread goes straight to the pools.
[[gnu::tls_model("initial-exec")]] thread_local bool tCacheGone = false;

// Gives the thread's cache back when the thread ends, whether or not the thread calls
// the allocator again: the runtime destroys this object at the thread's end once it has
// been used on the thread.
struct CacheRelease {
    bool armed = false;
    ~CacheRelease() {
        ThreadCache* cache = tCache;
        tCache = nullptr;
        tCacheGone = true;
        if (cache == nullptr) return;
        cache->Trim();
        cache->~ThreadCache();
        platform::AlignedFree(cache);
    }
};
thread_local CacheRelease tCacheRelease;

// The thread's cache, made now if need be; null when the thread is ending or no memory
// can be had for it (the pools then serve the thread directly).
ThreadCache* CacheForThisThread() {
    if (tCache != nullptr || tCacheGone) return tCache;
    void* memory = platform::AlignedAllocate(sizeof(ThreadCache), 64);
    if (memory == nullptr) return nullptr;
    tCacheRelease.armed = true;
    return tCache = new (memory) ThreadCache();
}

[[gnu::noinline]] void* AllocateSlowly(std::uint32_t inSize);
[[gnu::noinline]] void DisposeSlowly(void* inBlock, std::uint32_t inSize);

}  // namespace

AllocatorInterface* PoolForSize(std::uint32_t inSize) {
    if (!EnsureInitialized()) return nullptr;
    if (inSize == kSmallChunkSize) return sSmallChunkPool;
    if (inSize == kMediumChunkSize) return sMediumChunkPool;
    if (inSize > kLargestClassSize) return nullptr;
    return sTable[inSize];
}

ThreadCache* CacheOfThisThread() { return tCache; }

// The hot paths: a block of a size class from or to the thread's cache. Having a cache
// means the allocator is ready. A block goes into the cache only when the chunk map
// names its class's pool as the owner; anything else takes the pools' road, where a
// block no pool owns is refused and goes back to the system.
void* Allocate(unsigned int inSize) {
    if (IsClassSize(inSize))
        if (ThreadCache* cache = tCache)
            if (void* block = cache->Take(kClassOfSize[inSize])) return block;
    return AllocateSlowly(inSize);
}

void Dispose(void* inBlock, unsigned int inSize) {
    if (IsClassSize(inSize))
        if (ThreadCache* cache = tCache) {
            const std::size_t c = kClassOfSize[inSize];
            if (ChunkMap::OwnerOf(inBlock) == MapOwnerOfClass(c) && cache->TryPut(c, inBlock)) return;
        }
    DisposeSlowly(inBlock, inSize);
}

void Trim() {
    if (ThreadCache* cache = tCache) cache->Trim();
}

namespace {

void* AllocateSlowly(std::uint32_t inSize) {
    AllocatorInterface* pool = PoolForSize(inSize);
    if (pool != nullptr) {
        if (IsClassSize(inSize))
            if (ThreadCache* cache = CacheForThisThread()) {
                const std::size_t c = kClassOfSize[inSize];
                if (void* block = cache->Take(c)) return block;
                return cache->Refill(c, *pool);
            }
        return pool->Allocate(inSize);
    }
    if (inSize == kLargeChunkSize)
        if (void* spare = sSpareLargeChunk.exchange(nullptr, std::memory_order_acquire)) return spare;
    return platform::AlignedAllocate(inSize, kSystemAlignment);
}

void DisposeSlowly(void* inBlock, std::uint32_t inSize) {
    AllocatorInterface* pool = PoolForSize(inSize);
    if (pool != nullptr && IsClassSize(inSize)) {
        const std::size_t c = kClassOfSize[inSize];
        if (ChunkMap::OwnerOf(inBlock) == MapOwnerOfClass(c))
            if (ThreadCache* cache = CacheForThisThread()) {
                cache->Put(c, inBlock);
                return;
            }
    }
    // A block the system handed out while another thread was initializing lies in no
    // pool's chunks; the pool refuses it and it goes back to the system.
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

}  // namespace

unsigned int GetActualAllocationSize(unsigned int inSize) {
    AllocatorInterface* pool = PoolForSize(inSize);
    return pool == nullptr ? inSize : pool->BlockSize();
}

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
