// A chunk of a pool: its 48-byte header and its free list with the change counter against ABA.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARNCORE_RACY_READ __attribute__((no_sanitize("thread"), noinline))
#endif
#endif
#if !defined(TARNCORE_RACY_READ) && defined(__SANITIZE_THREAD__)
#define TARNCORE_RACY_READ __attribute__((no_sanitize("thread"), noinline))
#endif
#if !defined(TARNCORE_RACY_READ)
#define TARNCORE_RACY_READ
#endif

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
// The free list is a lock-free stack of the chunk's free blocks. Its head word packs a
// change counter (high 32 bits) and the offset of the first free block from the
// chunk's start (low 32 bits, 0 when empty); the first 4 bytes of each free block hold
// the offset of the next. Offsets rather than pointers because the smallest blocks
// are 4 bytes. Every push and pop bumps the counter, so a pop whose view of the head
// was overtaken by other pops and pushes fails its compare-exchange even when the
// same block is back at the head (ABA).
//
// A pop reads the link of the head block before it owns it; by then another thread
// may have taken that block and written its own data there. The read stays inside
// memory the pool still owns, because chunks are given back only while the pool's
// gate is closed and no reader is inside, and the stale value is thrown away when the
// compare-exchange sees the changed counter.
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
    std::atomic<std::uint64_t> freeList;
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
        chunk->freeList.store(0, std::memory_order_relaxed);
        chunk->uncarved.store(kChunkHeaderSize + chunk->blockCount * inBlockSize, std::memory_order_relaxed);
        return chunk;
    }

    bool Contains(const void* inBlock) const {
        const auto* block = static_cast<const std::byte*>(inBlock);
        return block >= start && block < start + size;
    }

    void* Pop() {
        std::uint64_t head = freeList.load(std::memory_order_acquire);
        for (;;) {
            const auto offset = static_cast<std::uint32_t>(head);
            if (offset == 0) {
                void* block = nullptr;
                Carve(&block, 1);
                return block;
            }
            const std::uint64_t next = ReadLink(start + offset);
            const std::uint64_t replacement = ((head >> 32) + 1) << 32 | next;
            if (freeList.compare_exchange_weak(head, replacement, std::memory_order_acquire,
                                               std::memory_order_acquire))
                return start + offset;
        }
    }

    // Pops up to inCount blocks into outBlocks with one compare-exchange, in the order
    // single pops would give them; returns how many came (0 when the list is empty).
    // The walk down the list reads links speculatively, as Pop does: a link may be a
    // stale value, so every offset is checked to lie inside the chunk before it is
    // followed, and a walk over a list that changed meanwhile fails the exchange.
    std::uint32_t PopMany(void** outBlocks, std::uint32_t inCount) {
        std::uint64_t head = freeList.load(std::memory_order_acquire);
        for (;;) {
            std::uint32_t offset = static_cast<std::uint32_t>(head);
            std::uint32_t taken = 0;
            while (taken < inCount && offset != 0) {
                if (offset < kChunkHeaderSize || offset > size - blockSize) break;  // stale
                outBlocks[taken++] = start + offset;
                offset = ReadLink(start + offset);
            }
            if (taken == 0) return Carve(outBlocks, inCount);
            const std::uint64_t replacement = ((head >> 32) + 1) << 32 | offset;
            if (freeList.compare_exchange_weak(head, replacement, std::memory_order_acquire,
                                               std::memory_order_acquire))
                return offset == 0 && taken < inCount ? taken + Carve(outBlocks + taken, inCount - taken)
                                                      : taken;
        }
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
        for (std::uint32_t i = 0; i + 1 < inCount; ++i)
            WriteLink(static_cast<std::byte*>(inBlocks[i]), OffsetOf(inBlocks[i + 1]));
        std::byte* const last = static_cast<std::byte*>(inBlocks[inCount - 1]);
        const std::uint32_t first = OffsetOf(inBlocks[0]);
        std::uint64_t head = freeList.load(std::memory_order_relaxed);
        for (;;) {
            WriteLink(last, static_cast<std::uint32_t>(head));
            const std::uint64_t replacement = ((head >> 32) + 1) << 32 | first;
            if (freeList.compare_exchange_weak(head, replacement, std::memory_order_release,
                                               std::memory_order_relaxed))
                return;
        }
    }

    void Push(void* inBlock) {
        const auto offset = static_cast<std::uint32_t>(static_cast<std::byte*>(inBlock) - start);
        std::uint64_t head = freeList.load(std::memory_order_relaxed);
        for (;;) {
            WriteLink(static_cast<std::byte*>(inBlock), static_cast<std::uint32_t>(head));
            const std::uint64_t replacement = ((head >> 32) + 1) << 32 | offset;
            if (freeList.compare_exchange_weak(head, replacement, std::memory_order_release,
                                               std::memory_order_relaxed))
                return;
        }
    }

private:
    std::uint32_t OffsetOf(const void* inBlock) const {
        return static_cast<std::uint32_t>(static_cast<const std::byte*>(inBlock) - start);
    }

    // A plain read that may race with the new owner's writes (see above); it is kept
    // out of the thread sanitizer's view on purpose.
    TARNCORE_RACY_READ static std::uint32_t ReadLink(const std::byte* inBlock) {
        return *reinterpret_cast<const volatile std::uint32_t*>(inBlock);
    }
    static void WriteLink(std::byte* inBlock, std::uint32_t inNext) {
        *reinterpret_cast<std::uint32_t*>(inBlock) = inNext;
    }
};

static_assert(sizeof(ChunkHeader) <= kChunkHeaderSize, "the chunk header must fit in 48 bytes");

}  // namespace utility
}  // namespace tarncore
