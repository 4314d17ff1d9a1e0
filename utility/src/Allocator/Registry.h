// The allocator registry's allocators, page pool and system memory, for its sources and tests.
#pragma once

#include <tarncore/utility/Allocator.h>

#include "utility/src/LockFreeList.h"
#include "utility/src/SizeClasses.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>

namespace tarncore {
namespace utility {
namespace registry {

constexpr std::uint32_t kPageSize = 4096;
// A refill of the page pool: 253 pages from one system allocation.
constexpr std::uint32_t kPagesPerRefill = 253;
constexpr std::uint32_t kRefillSize = kPagesPerRefill * kPageSize;
// Emergency pages come from the system one at a time, aligned for blocks only.
constexpr std::uint32_t kEmergencyPageAlignment = 8;

constexpr std::uint32_t kLargestClassSize = 1024;
constexpr std::size_t kClassCount = 30;

// The block sizes of the 30 per-size allocators, ascending.
constexpr std::array<std::uint32_t, kClassCount> kClassSizes =
    SizesOfRuns<kClassCount>({{8, 32, 8}, {48, 256, 16}, {288, 512, 32}, {640, 1024, 128}});
static_assert(kClassSizes[kClassCount - 1] == kLargestClassSize, "30 block sizes up to 1024");

// Blocks are aligned to 8 bytes (pages to 4096, or 8 in emergency, and every block size
// is a multiple of 8); pages in the pool to 4096.
using BlockLinks = AddressLinks<3>;
using PageLinks = AddressLinks<12>;

// System memory, through the platform unless a test refuses it. The hook is asked
// before each request with its size and refuses it by answering true.
using SystemRefusal = bool (*)(std::size_t inSize);
void SetSystemRefusalForTesting(SystemRefusal inRefusal);
void* SystemAlignedAllocate(std::size_t inSize, std::size_t inAlignment);
void* SystemHeapAllocate(std::size_t inSize);

// Calls inTry until it yields memory, calling the installed new-handler after each
// failure; null once no handler is installed or the handler gives up with
// std::bad_alloc.
template <class Try>
void* WithNewHandler(Try&& inTry) {
    for (;;) {
        if (void* memory = inTry()) return memory;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) return nullptr;
        try {
            handler();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
}

// The allocators of the registry: each can hand out a block of its free list without
// growing, so that a smaller size can borrow it.
class PrivateAllocator : public Allocator {
public:
    // A block from the free list, else one borrowed from a larger block size; null when
    // every free list from here up is empty. Never takes memory from the system.
    virtual void* TryAllocateFromFreeList(std::uint32_t inSize) = 0;
};

// The first block that a free list of the allocators above inFrom can give, trying the
// allocator of inSize, inSize + 1, ... that is not inFrom (GetAllocator); null when none
// can.
void* Borrow(const Allocator* inFrom, std::uint32_t inSize);

// The page pool: 4096-byte pages, taken from the system 253 at a time and never given
// back.
class BlockAllocator {
public:
    BlockAllocator() = default;
    BlockAllocator(const BlockAllocator&) = delete;
    BlockAllocator& operator=(const BlockAllocator&) = delete;

    // A page: from the pool, else from a refill (the pool keeps the first 252 pages and
    // the last comes out), else in emergency mode a single page from the system; null
    // when none can be had.
    void* TakePage();

private:
    LockFreeList<PageLinks> mPages;
};

// The process's page pool, made on first use.
BlockAllocator& GetBlockAllocator();

// The allocator of one block size N. Each has a cache line of its own, so that threads
// busy with different sizes do not contend for one line.
template <std::uint32_t N>
class alignas(64) FixedSizeNonBlockingAllocator final : public PrivateAllocator {
    static_assert(N % 8 == 0 && N <= kPageSize, "blocks hold an 8-byte link and fit a page");

public:
    static constexpr std::uint32_t kBlocksPerPage = kPageSize / N;

    explicit FixedSizeNonBlockingAllocator(BlockAllocator& inPages) : mPages(inPages) {}

    void* AllocateBlock(std::uint32_t) override {
        if (void* block = mFree.Pop(BlockLinks())) return block;
        return AllocateSlowly();
    }

    void DisposeBlock(void* inBlock) override {
        if (inBlock != nullptr) mFree.Push(BlockLinks(), inBlock);
    }

    void* TryAllocateFromFreeList(std::uint32_t inSize) override {
        if (void* block = mFree.Pop(BlockLinks())) return block;
        return Borrow(this, inSize + 1);
    }

private:
    // A new page cut into blocks, else (in emergency mode) a borrowed block.
    [[gnu::noinline]] void* AllocateSlowly() {
        if (auto* page = static_cast<std::byte*>(mPages.TakePage())) {
            // The blocks before the last go to the free list as if pushed from the lowest
            // up: linked from the highest down, with one exchange.
            std::byte* const last = page + (kBlocksPerPage - 1) * N;
            if (kBlocksPerPage > 1) {
                for (std::byte* block = last - N; block != page; block -= N)
                    BlockLinks::WriteLink(block, BlockLinks().LinkOf(block - N));
                mFree.PushChain(BlockLinks(), last - N, page);
            }
            return last;
        }
        if (GetEmergencyMemoryMode())
            if (void* block = Borrow(this, N + 1)) return block;
        throw std::bad_alloc();
    }

    LockFreeList<BlockLinks> mFree;
    BlockAllocator& mPages;
};

// The allocator of sizes above 1024 bytes: the system heap.
class DynamicAllocator final : public PrivateAllocator {
public:
    void* AllocateBlock(std::uint32_t inSize) override;
    void DisposeBlock(void* inBlock) override;
    void* TryAllocateFromFreeList(std::uint32_t) override { return nullptr; }
};

}  // namespace registry
}  // namespace utility
}  // namespace tarncore
