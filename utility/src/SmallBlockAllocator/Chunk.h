// A chunk of a pool: its 48-byte header and its free list with the change counter against ABA.
#pragma once

#include "utility/src/LockFreeList.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace tarncore {
namespace utility {

// The chunk sizes of the ladder: each chunk starts with a 48-byte header, so a
// 66352-byte chunk holds 16 chunks of 4144 bytes and a 928976-byte chunk 14 of 66352.
constexpr std::uint32_t kChunkHeaderSize = 48;
constexpr std::uint32_t kSmallChunkSize = 4144;
constexpr std::uint32_t kMediumChunkSize = 66352;
constexpr std::uint32_t kLargeChunkSize = 928976;

// The header at the start of every chunk; block k begins at start + 48 + k * blockSize.
//
// The free list is the allocators' lock-free stack (LockFreeList.h) with links that
// are offsets from the chunk's start: the smallest blocks are 4 bytes, and a 32-bit
// offset leaves the head word a 32-bit change counter against ABA. A pop may read the
// link of a block that another thread has just taken; the read stays inside memory the
// pool still owns, because chunks are given back only while the pool's gate is closed
// and no reader is inside.
//
// A new chunk has every block free, as if pushed in ascending address order, so that
// the first block handed out is the chunk's last. The blocks never handed out are not
// linked, though: they lie below the uncarved edge, and a pop that finds the list
// empty takes the block just below the edge. That hands blocks out in the same order
// as a list holding them all, without writing to (and so without making resident)
// memory that nobody has used yet.
struct ChunkHeader {
    std::byte* start;
    std::uint32_t size;
    std::uint32_t blockSize;
    std::uint32_t blockCount;
    std::atomic<std::int32_t> used;
    LockFreeList<OffsetLinks> freeList;
    // Offset of the lowest block handed out at least once (48 + blockCount * blockSize
    // in a new chunk); every block below it is free.
    std::atomic<std::uint32_t> uncarved;

    // Lays out a chunk in inMemory with every block free.
    static ChunkHeader* Make(void* inMemory, std::uint32_t inSize, std::uint32_t inBlockSize) {
        auto* chunk = new (inMemory) ChunkHeader;
        chunk->start = static_cast<std::byte*>(inMemory);
        chunk->size = inSize;
        chunk->blockSize = inBlockSize;
        chunk->blockCount = (inSize - kChunkHeaderSize) / inBlockSize;
        chunk->used.store(0, std::memory_order_relaxed);
        chunk->freeList.Clear();
        chunk->uncarved.store(kChunkHeaderSize + chunk->blockCount * inBlockSize, std::memory_order_relaxed);
        return chunk;
    }

    bool Contains(const void* inBlock) const {
        const auto* block = static_cast<const std::byte*>(inBlock);
        return block >= start && block < start + size;
    }

    void* Pop() {
        if (void* block = freeList.Pop(Links())) return block;
        void* block = nullptr;
        Carve(&block, 1);
        return block;
    }

    // Pops up to inCount blocks into outBlocks, in the order single pops would give them;
    // returns how many came (0 only when the chunk has no free block).
    std::uint32_t PopMany(void** outBlocks, std::uint32_t inCount) {
        const std::uint32_t taken = freeList.PopMany(Links(), outBlocks, inCount);
        return taken < inCount ? taken + Carve(outBlocks + taken, inCount - taken) : taken;
    }

    // Takes up to inCount blocks below the uncarved edge, highest first.
    std::uint32_t Carve(void** outBlocks, std::uint32_t inCount) {
        std::uint32_t edge = uncarved.load(std::memory_order_relaxed);
        std::uint32_t taken = 0;
        do {
            const std::uint32_t below = (edge - kChunkHeaderSize) / blockSize;
            taken = below < inCount ? below : inCount;
            if (taken == 0) return 0;
        } while (!uncarved.compare_exchange_weak(edge, edge - taken * blockSize, std::memory_order_relaxed));
        for (std::uint32_t i = 0; i < taken; ++i) outBlocks[i] = start + edge - (i + 1) * blockSize;
        return taken;
    }

    // Pushes inCount blocks of this chunk with one compare-exchange; afterwards they pop
    // in the order given.
    void PushMany(void* const* inBlocks, std::uint32_t inCount) {
        freeList.PushMany(Links(), inBlocks, inCount);
    }

    void Push(void* inBlock) { freeList.Push(Links(), inBlock); }

private:
    OffsetLinks Links() const { return {start, kChunkHeaderSize, size - blockSize}; }
};

static_assert(sizeof(ChunkHeader) <= kChunkHeaderSize, "the chunk header must fit in 48 bytes");

}  // namespace utility
}  // namespace tarncore
