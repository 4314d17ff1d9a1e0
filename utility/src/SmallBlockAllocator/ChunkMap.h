// The address map that tells which size-class pool owns the chunk an address lies in.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tarncore {
namespace utility {

// The allocator's front must refuse, on every Dispose, a block that no pool owns, and
// it cannot ask the pools: their own test (the current chunk, then the ordered set of
// chunks) is only safe inside the pool's gate. So the size-class pools mark each chunk
// here, by owner number, and anyone may read the map without a lock.
//
// The map holds one entry per 4096-byte page of address space, in leaves of 1 GiB of
// address space that are mapped on first use and never given back. Chunks are at least
// 4144 bytes long, so at most two touch a page: one may cover the page's start up to
// some offset, another may begin inside the page and run past its end. An entry has a
// half for each, and each half is written only by the pool of the chunk it describes,
// under that pool's lock.
//
// A pool marks a chunk before it hands out any block of it and clears it before the
// chunk goes back, so the owner of a block in use (or waiting in a thread's cache) reads
// the same all along. An address in no marked chunk reads 0: the map never names an
// owner for memory outside that owner's chunks. A chunk that cannot be marked (no
// memory for a leaf, an address beyond the map) just reads 0, and its blocks take the
// slower road through the pool.
class ChunkMap {
public:
    // Marks [inStart, inStart + inSize) as a chunk of inOwner (1 to 255), or clears the
    // marks of that chunk (inOwner 0). inSize is at least kMinimumChunk.
    static void Mark(const void* inStart, std::uint32_t inSize, std::uint8_t inOwner);

    // The owner of the chunk inAddress lies in, or 0.
    static std::uint8_t OwnerOf(const void* inAddress) {
        const auto address = reinterpret_cast<std::uintptr_t>(inAddress);
        if ((address >> kLeafShift) >= kLeafCount) return 0;
        const Page* leaf = sLeaves[address >> kLeafShift].load(std::memory_order_acquire);
        if (leaf == nullptr) return 0;
        const Page& page = leaf[(address >> kPageShift) & (kPagesPerLeaf - 1)];
        const auto offset = static_cast<std::uint32_t>(address & (kPageSize - 1));
        const std::uint32_t head = page.head.load(std::memory_order_acquire);
        if (offset < head >> 8) return static_cast<std::uint8_t>(head);
        const std::uint32_t tail = page.tail.load(std::memory_order_acquire);
        return offset >= tail >> 8 ? static_cast<std::uint8_t>(tail) : 0;
    }

    static constexpr std::uint32_t kMinimumChunk = 4144;

private:
    // head: (end offset << 8) | owner of the chunk covering the page's start (end 4096
    // when it covers the whole page); tail: (start offset << 8) | owner of the chunk
    // beginning inside the page. 0 when there is no such chunk.
    struct Page {
        std::atomic<std::uint32_t> head;
        std::atomic<std::uint32_t> tail;
    };

    static constexpr unsigned kPageShift = 12;
    static constexpr std::uintptr_t kPageSize = std::uintptr_t(1) << kPageShift;
    static constexpr unsigned kLeafShift = 30;
    static constexpr std::size_t kPagesPerLeaf = std::size_t(1) << (kLeafShift - kPageShift);
    static constexpr unsigned kAddressBits = 47;  // the user half of the address space
    static constexpr std::size_t kLeafCount = std::size_t(1) << (kAddressBits - kLeafShift);
    static_assert(kMinimumChunk > kPageSize, "at most two chunks may touch a page");

    static Page* Leaf(std::uintptr_t inAddress, bool inCreate);

    static std::atomic<Page*> sLeaves[kLeafCount];
};

}  // namespace utility
}  // namespace tarncore
