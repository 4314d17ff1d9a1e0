// Tests of the allocator registry: the size mapping, page carving and block order, refused memory,
// emergency mode and borrowing, and ScopedPtr.
#include <tarncore/utility/Allocator.h>

#include "utility/src/Allocator/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <set>
#include <utility>
#include <vector>

using tarncore::utility::Allocator;
namespace registry = tarncore::utility::registry;

namespace {

std::uintptr_t Address(const void* inBlock) { return reinterpret_cast<std::uintptr_t>(inBlock); }

// The block size serving a size, read off the rows of the size table: sizes up to
// `last` round up in steps of `step`; 0 above 1024.
std::uint32_t ExpectedBlockSize(std::uint32_t inSize) {
    const std::uint32_t rows[][2] = {{32, 8}, {256, 16}, {512, 32}, {1024, 128}};
    std::uint32_t smallest = 8;
    for (const auto& [last, step] : rows) {
        if (inSize <= last) return std::max((inSize + step - 1) / step * step, smallest);
        smallest = last + step;
    }
    return 0;
}

template <std::size_t... inIndex>
bool EachBlockSizeHasItsAllocator(std::index_sequence<inIndex...>) {
    return (... && (dynamic_cast<registry::FixedSizeNonBlockingAllocator<registry::kClassSizes[inIndex]>*>(
                        Allocator::GetAllocator(registry::kClassSizes[inIndex])) != nullptr));
}

// What the system gives the registry, as the test wants it.
enum class System { kGives, kRefusesAll, kRefusesRefills, kRefusesOnce };
std::atomic<System> sSystem{System::kGives};
std::atomic<int> sRequests{0};

bool Refuse(std::size_t inSize) {
    ++sRequests;
    switch (sSystem.load()) {
    case System::kGives: return false;
    case System::kRefusesAll: return true;
    case System::kRefusesRefills: return inSize == registry::kRefillSize;
    case System::kRefusesOnce: sSystem = System::kGives; return true;
    }
    return false;
}

// Installs the refusal hook for a test and leaves the process as it found it.
class RefusedMemory : public ::testing::Test {
protected:
    void SetUp() override { registry::SetSystemRefusalForTesting(&Refuse); }
    void TearDown() override {
        sSystem = System::kGives;
        registry::SetSystemRefusalForTesting(nullptr);
        tarncore::utility::SetEmergencyMemoryMode(false);
        std::set_new_handler(nullptr);
        for (const auto& [block, size] : mKept) Allocator::Dispose(block, size);
    }

    // Takes every free block of every block size out of the process's allocators (the
    // system refusing), so that their free lists are empty, and keeps at least one of
    // each size.
    void EmptyAllFreeLists() {
        sSystem = System::kGives;
        for (std::uint32_t size : registry::kClassSizes) mKept.emplace_back(Allocator::Allocate(size), size);
        sSystem = System::kRefusesAll;
        for (std::uint32_t size : registry::kClassSizes) {
            try {
                for (;;) mKept.emplace_back(Allocator::Allocate(size), size);
            } catch (const std::bad_alloc&) {
            }
        }
    }

    // A block of the size taken out by EmptyAllFreeLists, handed back to its allocator.
    void* GiveOneBack(std::uint32_t inSize) {
        for (auto it = mKept.begin(); it != mKept.end(); ++it)
            if (it->second == inSize) {
                void* const block = it->first;
                mKept.erase(it);
                Allocator::Dispose(block, inSize);
                return block;
            }
        return nullptr;
    }

    std::vector<std::pair<void*, std::uint32_t>> mKept;
};

}  // namespace

TEST(AllocatorRegistry, EverySizeFindsItsAllocator) {
    std::set<Allocator*> distinct;
    for (std::uint32_t size = 0; size <= 1025; ++size) {
        Allocator* const allocator = Allocator::GetAllocator(size);
        ASSERT_NE(allocator, nullptr);
        const std::uint32_t blockSize = ExpectedBlockSize(size);
        if (blockSize != 0)
            ASSERT_EQ(allocator, Allocator::GetAllocator(blockSize)) << "size " << size;
        else
            ASSERT_EQ(dynamic_cast<registry::DynamicAllocator*>(allocator), allocator) << "size " << size;
        distinct.insert(allocator);
    }
    EXPECT_EQ(distinct.size(), 31u);  // 30 block sizes and the heap
    EXPECT_TRUE(EachBlockSizeHasItsAllocator(std::make_index_sequence<registry::kClassCount>()));

    EXPECT_EQ(Allocator::GetAllocator(1025), Allocator::GetAllocator(0xFFFFFFFFu));

    // Blocks of every size hold their bytes; the heap serves the large ones.
    for (std::uint32_t size : {0u, 1u, 8u, 9u, 100u, 1024u, 1025u, 100000u}) {
        auto* block = static_cast<unsigned char*>(Allocator::Allocate(size));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(Address(block) % 8, 0u);
        std::memset(block, 0xA5, size);
        Allocator::Dispose(block, size);
    }
    Allocator::Dispose(nullptr, 24);
    Allocator::Dispose(nullptr, 5000);
}

TEST(AllocatorRegistry, PagesAreCutFromTheirStartAndBlocksComeBackLastInFirstOut) {
    registry::BlockAllocator pages;
    registry::FixedSizeNonBlockingAllocator<24> allocator(pages);

    // 170 blocks of 24 bytes, the last (at 169 * 24) first, then down to the page's start;
    // the 16 bytes at the page's end stay unused.
    auto* const first = static_cast<std::byte*>(allocator.AllocateBlock(24));
    std::byte* const page = first - 169 * 24;
    EXPECT_EQ(Address(page) % registry::kPageSize, 0u);
    for (int k = 168; k >= 0; --k) ASSERT_EQ(allocator.AllocateBlock(24), page + k * 24) << "block " << k;
    // The next page is the one below: the pool hands a refill out from its last page down.
    auto* const second = static_cast<std::byte*>(allocator.AllocateBlock(24));
    EXPECT_EQ(second, page - registry::kPageSize + 169 * 24);
    for (std::uint32_t k = 2; k < registry::kPagesPerRefill; ++k)
        ASSERT_EQ(pages.TakePage(), page - k * registry::kPageSize) << "page " << k;

    // Given back, the last one comes first; null is ignored.
    allocator.DisposeBlock(page + 5 * 24);
    allocator.DisposeBlock(page + 9 * 24);
    allocator.DisposeBlock(nullptr);
    EXPECT_EQ(allocator.AllocateBlock(1), page + 9 * 24);
    EXPECT_EQ(allocator.AllocateBlock(24), page + 5 * 24);
    EXPECT_EQ(allocator.AllocateBlock(24), second - 24);

    // The lists name pages and blocks by their aligned address in the user half of the
    // address space; memory they could not name is never put to use.
    const auto at = [](std::uintptr_t inAddress) { return reinterpret_cast<void*>(inAddress); };
    const std::uintptr_t limit = std::uintptr_t(1) << 47;
    EXPECT_TRUE(registry::PageLinks::IsListable(at(limit - registry::kRefillSize), registry::kRefillSize));
    EXPECT_FALSE(registry::PageLinks::IsListable(at(limit - registry::kPageSize), registry::kRefillSize));
    EXPECT_FALSE(registry::PageLinks::IsListable(at(~std::uintptr_t(0) - 4095), registry::kPageSize));
    EXPECT_FALSE(registry::PageLinks::IsListable(at(8), registry::kPageSize));
    EXPECT_TRUE(registry::BlockLinks::IsListable(at(8), registry::kPageSize));
    EXPECT_FALSE(registry::BlockLinks::IsListable(nullptr, registry::kPageSize));
}

TEST_F(RefusedMemory, NewHandlersAreCalledUntilTheyGiveUp) {
    static std::atomic<int> calls;
    calls = 0;

    // A handler that frees memory: the request is tried again and succeeds.
    sSystem = System::kRefusesOnce;
    std::set_new_handler([] { ++calls; });
    registry::BlockAllocator pool;
    EXPECT_NE(pool.TakePage(), nullptr);
    EXPECT_EQ(calls, 1);

    // One that cannot help: the pool has no page, the heap allocator throws.
    sSystem = System::kRefusesAll;
    std::set_new_handler([] {
        if (++calls == 4) throw std::bad_alloc();
    });
    registry::BlockAllocator empty;
    EXPECT_EQ(empty.TakePage(), nullptr);
    EXPECT_EQ(calls, 4);
    std::set_new_handler(nullptr);
    EXPECT_THROW(Allocator::Allocate(5000), std::bad_alloc);
    EXPECT_EQ(calls, 4);

    sSystem = System::kRefusesOnce;
    std::set_new_handler([] { ++calls; });
    void* const block = Allocator::Allocate(5000);
    EXPECT_EQ(calls, 5);
    Allocator::Dispose(block, 5000);
}

TEST_F(RefusedMemory, EmergencyModeTakesSinglePagesThenBorrowsFromLargerSizes) {
    registry::BlockAllocator pages;
    registry::FixedSizeNonBlockingAllocator<8> eight(pages);

    // Refills refused: without emergency mode that is the end.
    sSystem = System::kRefusesRefills;
    EXPECT_FALSE(tarncore::utility::GetEmergencyMemoryMode());
    EXPECT_THROW(eight.AllocateBlock(8), std::bad_alloc);

    // In emergency mode a single page comes, aligned to 8 only, and is cut as usual.
    tarncore::utility::SetEmergencyMemoryMode(true);
    auto* const top = static_cast<std::byte*>(eight.AllocateBlock(8));
    EXPECT_EQ(Address(top) % 8, 0u);
    EXPECT_EQ(eight.AllocateBlock(8), top - 8);
    tarncore::utility::SetEmergencyMemoryMode(false);
    EXPECT_EQ(eight.AllocateBlock(8), top - 16);  // its free list still serves

    // With every free list of the process empty and the system refusing everything,
    // emergency mode has nothing to borrow either.
    EmptyAllFreeLists();
    registry::FixedSizeNonBlockingAllocator<8> fresh(pages);
    tarncore::utility::SetEmergencyMemoryMode(true);
    EXPECT_THROW(fresh.AllocateBlock(8), std::bad_alloc);
    EXPECT_THROW(Allocator::Allocate(8), std::bad_alloc);

    // A free block of the 16-byte size is borrowed, then one further up.
    void* const sixteen = GiveOneBack(16);
    ASSERT_NE(sixteen, nullptr);
    EXPECT_EQ(fresh.AllocateBlock(8), sixteen);
    void* const large = GiveOneBack(640);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(Allocator::Allocate(100), large);
    EXPECT_THROW(Allocator::Allocate(100), std::bad_alloc);

    // A borrowed block goes back with the borrower's size and joins its free list.
    Allocator::Dispose(large, 100);
    tarncore::utility::SetEmergencyMemoryMode(false);
    EXPECT_EQ(Allocator::Allocate(97), large);
    EXPECT_THROW(Allocator::Allocate(100), std::bad_alloc);
    mKept.emplace_back(large, 100);
    mKept.emplace_back(sixteen, 16);

    // The heap allocator has nothing to lend.
    tarncore::utility::SetEmergencyMemoryMode(true);
    EXPECT_EQ(static_cast<registry::PrivateAllocator*>(Allocator::GetAllocator(2000))
                  ->TryAllocateFromFreeList(2000),
              nullptr);
    EXPECT_THROW(Allocator::Allocate(2000), std::bad_alloc);
}

TEST(AllocatorRegistry, ScopedPtrDeletesWhatItHolds) {
    struct Counted {
        explicit Counted(int& ioDeleted) : deleted(ioDeleted) {}
        ~Counted() { ++deleted; }
        int& deleted;
    };
    int deleted = 0;
    {
        tarncore::utility::ScopedPtr<Counted> held(new Counted(deleted));
        held.Reset(new Counted(deleted));
        EXPECT_EQ(deleted, 1);
    }
    EXPECT_EQ(deleted, 2);
}
