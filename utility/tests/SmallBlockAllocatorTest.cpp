// Tests of the size classes, the chunk ladder, block order, release passes and foreign blocks.
#include <tarncore/utility/SmallBlockAllocator.h>

#include "platform/os/Memory.h"
#include "utility/src/SmallBlockAllocator/AllocatorManager.h"
#include "utility/src/SmallBlockAllocator/SmallBlockAllocator.h"

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

namespace sba = tarncore::utility::SmallBlockAllocator;
using tarncore::utility::AllocatorManager;

namespace {

// The class of a size, read off the rows of the size-class table: sizes up to `last`
// round up in steps of `step`, to at least `smallest`.
std::uint32_t ExpectedClass(std::uint32_t inSize) {
    const std::uint32_t rows[][3] = {{4, 4, 4},          {8, 8, 8},         {32, 8, 16},
                                     {256, 16, 48},      {512, 32, 288},    {896, 128, 640},
                                     {1024, 1024, 1024}, {4096, 128, 1152}, {8192, 256, 4352}};
    if (inSize == 4144) return 4144;  // the chunk pool, tested before the table
    for (const auto& [last, step, smallest] : rows)
        if (inSize <= last) return std::max((inSize + step - 1) / step * step, smallest);
    return 0;
}

std::uintptr_t Address(const void* inBlock) { return reinterpret_cast<std::uintptr_t>(inBlock); }

using Chunk = std::pair<std::uint32_t, std::uint32_t>;

// Size and block count of each chunk of a pool, in the pool's order.
template <class Pool>
std::vector<Chunk> Chunks(Pool& inPool) {
    std::vector<Chunk> chunks;
    for (const auto& chunk : inPool.GetState().chunks) chunks.emplace_back(chunk.size, chunk.blockCount);
    return chunks;
}

template <class Pool>
std::int32_t TotalUsed(Pool& inPool) {
    std::int32_t used = 0;
    for (const auto& chunk : inPool.GetState().chunks) used += chunk.used;
    return used;
}

using SmallChunkPool = AllocatorManager<4144, 66352, 928976, 1>;
SmallChunkPool& ChunkPool() { return *static_cast<SmallChunkPool*>(sba::PoolForSize(4144)); }

}  // namespace

TEST(SmallBlockAllocator, EverySizeFindsItsClass) {
    std::vector<std::uint32_t> distinctClasses;
    for (std::uint32_t size = 0; size <= 8192; ++size) {
        const std::uint32_t expected = ExpectedClass(size);
        ASSERT_EQ(sba::GetActualAllocationSize(size), expected) << "size " << size;
        ASSERT_EQ(sba::PoolForSize(size)->BlockSize(), expected) << "size " << size;
        if (size != 4144 && (distinctClasses.empty() || distinctClasses.back() != expected))
            distinctClasses.push_back(expected);
    }
    EXPECT_EQ(distinctClasses.size(), 71u);

    // The examples the class table is known by.
    const std::pair<std::uint32_t, std::uint32_t> examples[] = {{0, 4},           {1, 4},
                                                                {4, 4},           {5, 8},
                                                                {33, 48},         {897, 1024},
                                                                {1025, 1152},     {4097, 4352},
                                                                {8192, 8192},     {4144, 4144},
                                                                {66352, 66352},   {8193, 8193},
                                                                {928976, 928976}, {4000000000u, 4000000000u}};
    for (const auto& [size, actual] : examples) EXPECT_EQ(sba::GetActualAllocationSize(size), actual);

    // One pool per class, shared by every size of the class; 4144 is the chunk pool.
    EXPECT_TRUE(sba::PoolForSize(0) == sba::PoolForSize(4) &&
                sba::PoolForSize(4143) == sba::PoolForSize(4352));
    EXPECT_TRUE(sba::PoolForSize(4) != sba::PoolForSize(5) &&
                sba::PoolForSize(4144) != sba::PoolForSize(4143));
    EXPECT_TRUE(sba::PoolForSize(8193) == nullptr && sba::PoolForSize(928976) == nullptr);
}

TEST(SmallBlockAllocator, BlocksComeFromTheirPoolOrTheSystem) {
    // 4144 and 4143 come from different pools, and go back to them.
    void* chunkSized = sba::Allocate(4144);
    void* classSized = sba::Allocate(4143);
    const std::int32_t chunkPoolUsed = TotalUsed(ChunkPool());
    sba::Dispose(chunkSized, 4144);
    EXPECT_EQ(TotalUsed(ChunkPool()), chunkPoolUsed - 1);
    EXPECT_FALSE(ChunkPool().Dispose(classSized, 4143));  // not the chunk pool's
    sba::Dispose(classSized, 4143);

    // Above 8192 and exactly 928976: 16-byte aligned system blocks, freed by the system
    // (a leak or a wrong free shows under the address sanitizer). Pool blocks whose
    // size is a multiple of 16 are 16-byte aligned too.
    for (std::uint32_t size : {8193u, 100000u, 928976u, 16u, 48u, 256u, 1024u, 4096u, 8192u}) {
        void* block = sba::Allocate(size);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(Address(block) % 16, 0u) << size;
        std::memset(block, 0xab, size);
        sba::Dispose(block, size);
    }

    // A block the system handed out (as it does while another thread initializes) is
    // refused by the pool of its size and goes back to the system.
    void* systemBlock = tarncore::platform::AlignedAllocate(40, 16);
    EXPECT_FALSE(sba::PoolForSize(40)->Dispose(systemBlock, 40));
    sba::Dispose(systemBlock, 40);
    sba::Dispose(nullptr, 40);
    sba::Dispose(nullptr, 100000);
}

TEST(AllocatorManager, FirstChunksTheLadderAndForeignBlocks) {
    {
        AllocatorManager<4, 4144, 66352, 1> pool;
        EXPECT_EQ(pool.BlockSize(), 4u);
        void* first = pool.Allocate(4);
        ASSERT_EQ(Chunks(pool), std::vector<Chunk>{Chunk(4144, 1024)});
        EXPECT_EQ(Address(first),
                  Address(pool.GetState().chunks[0].start) + 48 + 1023 * 4);  // last block first
        EXPECT_EQ(Address(pool.Allocate(4)), Address(first) - 4);
        // 16 chunks of 4144 bytes hold 66304 bytes, still below 66352: a 17th of 4144.
        for (int i = 2; i < 17 * 1024; ++i) pool.Allocate(4);
        EXPECT_EQ(Chunks(pool), std::vector<Chunk>(17, Chunk(4144, 1024)));
        // Blocks the pool does not own are refused and change nothing.
        void* foreign = std::malloc(4);
        int onStack = 0;
        EXPECT_FALSE(pool.Dispose(foreign, 4) || pool.Dispose(&onStack, 4) || pool.Dispose(nullptr, 4));
        std::free(foreign);
        EXPECT_EQ(std::make_tuple(pool.GetState().bytesHeld, pool.GetState().freeBlocks, TotalUsed(pool)),
                  std::make_tuple(17u * 4144u, 0, 17 * 1024));
        // Then 70448 bytes are held: the next chunk is 66352 bytes.
        pool.Allocate(4);
        EXPECT_EQ(Chunks(pool).back(), Chunk(66352, (66352 - 48) / 4));
    }
    AllocatorManager<8192, 66352, 928976, 0> large;
    large.Allocate(8192);
    EXPECT_EQ(Chunks(large), std::vector<Chunk>{Chunk(66352, 8)});
    SmallChunkPool small;
    small.Allocate(4144);
    EXPECT_EQ(Chunks(small), std::vector<Chunk>{Chunk(66352, 16)});
    AllocatorManager<66352, 928976, 928976, 1> largest;
    std::vector<void*> blocks;
    for (int i = 0; i < 15; ++i) blocks.push_back(largest.Allocate(66352));
    EXPECT_EQ(Chunks(largest), std::vector<Chunk>(2, Chunk(928976, 14)));
    for (void* block : blocks) largest.Dispose(block, 66352);
    EXPECT_EQ(Chunks(largest).size(), 1u);  // keeps one
}

TEST(AllocatorManager, ReleasePassesGiveEmptyChunksBack) {
    // Keeps no chunk: the last block going back releases the chunk to the 4144 pool.
    AllocatorManager<256, 4144, 66352, 0> pool;
    const std::int32_t chunkPoolUsed = TotalUsed(ChunkPool());
    void* block = pool.Allocate(256);
    EXPECT_EQ(TotalUsed(ChunkPool()), chunkPoolUsed + 1);
    EXPECT_TRUE(pool.Dispose(block, 256));
    EXPECT_EQ(std::make_tuple(Chunks(pool).size(), pool.GetState().bytesHeld, TotalUsed(ChunkPool())),
              std::make_tuple(0u, 0u, chunkPoolUsed));
    // Two chunks of 16 blocks: emptying the second releases it alone, then the first.
    std::vector<void*> blocks;
    for (int i = 0; i < 17; ++i) blocks.push_back(pool.Allocate(256));
    EXPECT_EQ(Chunks(pool).size(), 2u);
    pool.Dispose(blocks.back(), 256);
    blocks.pop_back();
    EXPECT_EQ(std::make_tuple(Chunks(pool).size(), TotalUsed(pool)), std::make_tuple(1u, 16));
    for (void* each : blocks) pool.Dispose(each, 256);
    EXPECT_EQ(std::make_tuple(Chunks(pool).size(), pool.GetState().freeBlocks), std::make_tuple(0u, 0));

    // Keeps its last chunk: one of two empty chunks stays, and a single chunk is never
    // released however its blocks come and go.
    AllocatorManager<64, 4144, 66352, 1> keeping;
    void* one = keeping.Allocate(64);
    const void* chunk = keeping.GetState().chunks.at(0).start;
    for (int round = 0; round < 3; ++round) {
        keeping.Dispose(one, 64);
        one = keeping.Allocate(64);
        EXPECT_EQ(Chunks(keeping).size(), 1u);
        EXPECT_EQ(keeping.GetState().chunks.at(0).start, chunk);
    }
    blocks = {one};
    for (int i = 1; i < 65; ++i) blocks.push_back(keeping.Allocate(64));
    EXPECT_EQ(Chunks(keeping).size(), 2u);
    for (void* each : blocks) keeping.Dispose(each, 64);
    EXPECT_EQ(std::make_tuple(Chunks(keeping).size(), TotalUsed(keeping), keeping.GetState().freeBlocks),
              std::make_tuple(1u, 0, 64));
}

// After a million 64-byte blocks are given back, the pools return every chunk they may
// and the resident memory falls back near where it started.
TEST(SmallBlockAllocator, ResidentMemoryReturnsAfterAMillionBlocks) {
    if (tarncore::testing::kUnderMemorySanitizer) GTEST_SKIP() << "sanitizer allocators keep freed memory";
    std::vector<void*> blocks(1000000, nullptr);
    sba::Dispose(sba::Allocate(64), 64);  // the pools exist before the first measure
    // Once a large block has been freed, the system allocator keeps blocks of that size
    // in its heap instead of mapping each on its own; the chunks must leave even then.
    // (The first of the two stays as the allocator's spare largest chunk.)
    void* large[2] = {sba::Allocate(928976), sba::Allocate(928976)};
    for (void* block : large) sba::Dispose(block, 928976);
    const std::uint64_t before = tarncore::platform::ResidentMemoryBytes();
    for (auto& block : blocks) std::memset(block = sba::Allocate(64), 0x5a, 64);
    const std::uint64_t full = tarncore::platform::ResidentMemoryBytes();
    for (void* block : blocks) sba::Dispose(block, 64);
    const std::uint64_t after = tarncore::platform::ResidentMemoryBytes();
    RecordProperty("rss_before_full_after",
                   std::to_string(before) + " " + std::to_string(full) + " " + std::to_string(after));
    EXPECT_GT(full, before + 48 * 1024 * 1024);  // less when earlier tests left pages resident
    EXPECT_LT(after, before + 4 * 1024 * 1024);
}
