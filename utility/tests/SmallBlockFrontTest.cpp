// The small block allocator's per-thread front: the chunk map, the pools' batch
// operations it uses, and what the caches do across threads, at thread end and on trim.
#include <tarncore/utility/SmallBlockAllocator.h>

#include "platform/os/Memory.h"
#include "utility/src/SmallBlockAllocator/AllocatorManager.h"
#include "utility/src/SmallBlockAllocator/ChunkMap.h"
#include "utility/src/SmallBlockAllocator/SmallBlockAllocator.h"
#include "utility/src/SmallBlockAllocator/ThreadCache.h"

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sba = tarncore::utility::SmallBlockAllocator;
using tarncore::utility::AllocatorManager;
using tarncore::utility::ChunkMap;

namespace {

template <class Pool>
std::int32_t TotalUsed(Pool& inPool) {
    std::int32_t used = 0;
    for (const auto& chunk : inPool.GetState().chunks) used += chunk.used;
    return used;
}

template <class Pool>
std::size_t ChunkCount(Pool& inPool) {
    return inPool.GetState().chunks.size();
}

// The allocator's own pool of a size class, as its type.
template <class Pool>
Pool& PoolOf(std::uint32_t inSize) {
    return *static_cast<Pool*>(sba::PoolForSize(inSize));
}

std::uint32_t CachedHere(std::uint32_t inSize) {
    const sba::ThreadCache* cache = sba::CacheOfThisThread();
    return cache == nullptr ? 0 : cache->Count(sba::kClassOfSize[inSize]);
}

std::uint32_t BoundHere(std::uint32_t inSize) {
    const sba::ThreadCache* cache = sba::CacheOfThisThread();
    return cache == nullptr ? 0 : cache->Bound(sba::kClassOfSize[inSize]);
}

}  // namespace

TEST(ChunkMap, NamesTheOwnerOfEveryByteOfAMarkedChunkAndNoOther) {
    // Address space of the test's own, so that no pool's chunk lies there.
    const std::size_t span = 128 * 1024;
    auto* base = static_cast<std::byte*>(tarncore::platform::AlignedAllocate(span, 4096));
    ASSERT_NE(base, nullptr);
    // a ends inside a page where b begins at once; c begins in a later page after a gap
    // and covers whole pages; d ends exactly at a page boundary.
    struct Chunk {
        std::size_t offset;
        std::uint32_t size;
        std::uint8_t owner;
    };
    const Chunk chunks[] = {
        {100, 4144, 7}, {4244, 4144, 8}, {9388, 66352, 9}, {128 * 1024 - 8192 - 4144, 4144, 10}};
    const auto check = [&](const char* inWhen, std::uint8_t inCleared) {
        for (std::size_t offset = 0; offset < span; ++offset) {
            std::uint8_t expected = 0;
            for (const Chunk& chunk : chunks)
                if (offset >= chunk.offset && offset < chunk.offset + chunk.size && chunk.owner != inCleared)
                    expected = chunk.owner;
            ASSERT_EQ(ChunkMap::OwnerOf(base + offset), expected) << inWhen << " at " << offset;
        }
    };
    for (const Chunk& chunk : chunks) ChunkMap::Mark(base + chunk.offset, chunk.size, chunk.owner);
    check("all marked", 0);
    ChunkMap::Mark(base + chunks[1].offset, chunks[1].size, 0);
    check("b cleared", 8);
    for (const Chunk& chunk : chunks) ChunkMap::Mark(base + chunk.offset, chunk.size, 0);
    for (std::size_t offset = 0; offset < span; offset += 97) ASSERT_EQ(ChunkMap::OwnerOf(base + offset), 0);
    tarncore::platform::AlignedFree(base);
    EXPECT_EQ(ChunkMap::OwnerOf(nullptr), 0);
    EXPECT_EQ(ChunkMap::OwnerOf(reinterpret_cast<void*>(~std::uintptr_t(0))), 0);
}

TEST(AllocatorManager, BatchesFollowThePoolRules) {
    AllocatorManager<256, 4144, 66352, 0> pool;
    void* blocks[24];
    // A batch takes from the current chunk only, in the order of single takes: a fresh
    // chunk of 16 blocks gives its last block first.
    ASSERT_EQ(pool.AllocateBatch(blocks, 24), 16u);
    const auto* start = static_cast<const std::byte*>(pool.GetState().chunks.at(0).start);
    for (std::uint32_t k = 0; k < 16; ++k) ASSERT_EQ(blocks[k], start + 48 + (15 - k) * 256) << k;
    ASSERT_EQ(pool.AllocateBatch(blocks + 16, 4), 4u);  // a second chunk
    EXPECT_EQ(ChunkCount(pool), 2u);

    // Giving back: blocks no chunk holds are refused and moved to the front; the first
    // chunk falls empty and is released.
    void* foreign = std::malloc(256);
    int onStack = 0;
    std::vector<void*> back(blocks, blocks + 8);
    back.push_back(foreign);
    back.insert(back.end(), blocks + 8, blocks + 16);
    back.push_back(&onStack);
    ASSERT_EQ(pool.DisposeBatch(back.data(), static_cast<std::uint32_t>(back.size())), 2u);
    EXPECT_TRUE(back[0] == foreign && back[1] == &onStack);
    std::free(foreign);
    EXPECT_EQ(ChunkCount(pool), 1u);
    EXPECT_EQ(TotalUsed(pool), 4);
}

TEST(SmallBlockFront, KeepsGivenBackBlocksUntilTrimOrItsBound) {
    using Pool = AllocatorManager<2304, 66352, 928976, 0>;
    Pool& pool = PoolOf<Pool>(2304);
    sba::Trim();
    const std::int32_t used = TotalUsed(pool);
    const std::size_t chunks = ChunkCount(pool);

    // A block given back waits in this thread's cache and comes out first again; the
    // pool counts the cache's blocks as in use.
    void* block = sba::Allocate(2300);
    sba::Dispose(block, 2300);
    EXPECT_GT(TotalUsed(pool), used);
    EXPECT_EQ(sba::Allocate(2304), block);

    // More blocks than the cache can hold: it never holds more than its bound, the
    // bound grows as the stack overflows again and again but stays within the thread's
    // budget, and what the cache does not hold is back in the pool.
    const std::uint32_t start = sba::CacheBound(2304);
    std::vector<void*> blocks = {block};
    for (std::uint32_t i = 1; i < 2000; ++i) blocks.push_back(sba::Allocate(2304));
    std::uint32_t largest = 0;
    for (void* each : blocks) {
        sba::Dispose(each, 2304);
        ASSERT_LE(CachedHere(2304), BoundHere(2304));
        largest = std::max(largest, BoundHere(2304));
    }
    EXPECT_GT(largest, start);
    EXPECT_LE(std::uint64_t(largest) * 2304, sba::kCacheBytesPerThread);
    EXPECT_EQ(TotalUsed(pool), used + static_cast<std::int32_t>(CachedHere(2304)));

    // Trim gives everything back, the pool releases the chunks that fell empty, and the
    // bound is back at its start.
    sba::Trim();
    EXPECT_EQ(CachedHere(2304), 0u);
    EXPECT_EQ(BoundHere(2304), start);
    EXPECT_EQ(TotalUsed(pool), used);
    EXPECT_EQ(ChunkCount(pool), chunks);
}

TEST(SmallBlockFront, TheClassInUseTakesTheRoomOfClassesGrownBefore) {
    // A thread that worked with one size and moves on to another: the new size's stack
    // may grow to the whole budget, and the old one goes back to its start, its blocks
    // to the pool.
    std::thread([] {
        const auto work = [](std::uint32_t inSize, std::uint32_t inCount) {
            std::vector<void*> blocks;
            for (std::uint32_t round = 0; round < 8; ++round) {
                for (std::uint32_t i = 0; i < inCount; ++i) blocks.push_back(sba::Allocate(inSize));
                for (void* block : blocks) sba::Dispose(block, inSize);
                blocks.clear();
            }
        };
        work(2048, 1500);
        const std::uint32_t grown = BoundHere(2048);
        ASSERT_GT(grown, sba::CacheBound(2048));
        work(4096, 1000);
        EXPECT_GE(BoundHere(4096), 1000u);
        EXPECT_EQ(BoundHere(2048), sba::CacheBound(2048));
        EXPECT_EQ(CachedHere(2048), 0u);
    }).join();
}

TEST(SmallBlockFront, AThreadsEndGivesItsCacheBack) {
    using Pool = AllocatorManager<2432, 66352, 928976, 0>;
    Pool& pool = PoolOf<Pool>(2432);
    const std::int32_t used = TotalUsed(pool);
    const std::size_t chunks = ChunkCount(pool);
    std::promise<void> cached, leave;
    // The thread never calls the allocator again after its Dispose.
    std::thread thread([&] {
        sba::Dispose(sba::Allocate(2432), 2432);
        cached.set_value();
        leave.get_future().wait();
    });
    cached.get_future().wait();
    EXPECT_GT(TotalUsed(pool), used);
    leave.set_value();
    thread.join();
    EXPECT_EQ(TotalUsed(pool), used);
    EXPECT_EQ(ChunkCount(pool), chunks);
}

// One thread allocates and fills blocks of several classes, another checks and disposes
// them, both at once; when they have ended every pool is as before.
TEST(SmallBlockFront, BlocksGivenBackOnAnotherThreadReachTheirPools) {
    using Pool24 = AllocatorManager<24, 4144, 66352, 1>;
    using Pool208 = AllocatorManager<208, 4144, 66352, 0>;
    using Pool1024 = AllocatorManager<1024, 4144, 66352, 1>;
    using Pool3072 = AllocatorManager<3072, 66352, 928976, 0>;
    using Pool8192 = AllocatorManager<8192, 66352, 928976, 0>;
    const std::uint32_t sizes[] = {24, 200, 1000, 3000, 8000};
    const auto usedCounts = [] {
        return std::vector<std::int32_t>{TotalUsed(PoolOf<Pool24>(24)), TotalUsed(PoolOf<Pool208>(200)),
                                         TotalUsed(PoolOf<Pool1024>(1000)), TotalUsed(PoolOf<Pool3072>(3000)),
                                         TotalUsed(PoolOf<Pool8192>(8000))};
    };
    sba::Trim();
    const std::vector<std::int32_t> before = usedCounts();

    struct Block {
        unsigned char* data;
        std::uint32_t size;
    };
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Block> queue;
    bool done = false;
    const int kBlocks = 20000;
    std::thread producer([&] {
        for (int i = 0; i < kBlocks; ++i) {
            const std::uint32_t size = sizes[i % 5];
            auto* data = static_cast<unsigned char*>(sba::Allocate(size));
            std::memset(data, static_cast<int>(size & 0xff), size);
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back({data, size});
            ready.notify_one();
        }
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        ready.notify_one();
    });
    int damaged = 0;
    std::thread consumer([&] {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [&] { return done || !queue.empty(); });
            if (queue.empty()) return;
            const Block block = queue.front();
            queue.pop_front();
            lock.unlock();
            for (std::uint32_t i = 0; i < block.size; ++i) damaged += block.data[i] != (block.size & 0xff);
            sba::Dispose(block.data, block.size);
        }
    });
    producer.join();
    consumer.join();
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(usedCounts(), before);
}

TEST(SmallBlockFront, RefusesBlocksNoPoolOwns) {
    // This thread has a cache of the class: a block of the system must not enter it (it
    // would be handed out again as a pool block) but go back to the system, which the
    // address sanitizer checks.
    sba::Dispose(sba::Allocate(40), 40);
    const std::uint32_t cached = CachedHere(40);
    ASSERT_GT(cached, 0u);
    sba::Dispose(tarncore::platform::AlignedAllocate(40, 16), 40);
    sba::Dispose(nullptr, 40);
    EXPECT_EQ(CachedHere(40), cached);
}

// A million 64-byte blocks allocated on one thread and given back on another: once both
// threads have ended, the resident memory is back near where it started.
TEST(SmallBlockFront, AMillionBlocksPassedBetweenThreadsComeBack) {
    if (tarncore::testing::kUnderMemorySanitizer) GTEST_SKIP() << "sanitizer allocators keep freed memory";
    std::vector<void*> blocks(1000000, nullptr);
    sba::Dispose(sba::Allocate(64), 64);  // the pools exist before the first measure
    // As in the single-thread measure: the allocator keeps one spare largest chunk.
    void* large[2] = {sba::Allocate(928976), sba::Allocate(928976)};
    for (void* block : large) sba::Dispose(block, 928976);
    sba::Trim();
    const std::uint64_t before = tarncore::platform::ResidentMemoryBytes();
    std::thread([&] {
        for (auto& block : blocks) std::memset(block = sba::Allocate(64), 0x5a, 64);
    }).join();
    const std::uint64_t full = tarncore::platform::ResidentMemoryBytes();
    std::thread([&] {
        for (void* block : blocks) sba::Dispose(block, 64);
    }).join();
    const std::uint64_t after = tarncore::platform::ResidentMemoryBytes();
    RecordProperty("rss_before_full_after",
                   std::to_string(before) + " " + std::to_string(full) + " " + std::to_string(after));
    EXPECT_GT(full, before + 48 * 1024 * 1024);
    EXPECT_LT(after, before + 3 * 1024 * 1024);
}
