#pragma once

#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/SmallBlockAllocator.h>

#include "AllocatorInterface.h"
#include "Chunk.h"
#include "ChunkGate.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <set>
#include <vector>

namespace tarncore {
namespace utility {

// A pool of blocks of one size, carved from chunks that it takes from the small block
// allocator (so from a pool of chunk-sized blocks or from the system) and gives back
// when they fall empty. Taking and returning blocks needs no lock in the common case:
// readers pass the chunk gate, and every change to the chunk list is made under the
// pool lock with the gate closed.
//
// inKeepLastChunk: 1 if giving chunks back leaves at least one. inSwitchSize is the
// number of bytes held at which new chunks come from the next rung of the ladder; with
// the ladder's sizes it is always the next rung itself, which is how MakeChunk reads it.
template <std::uint32_t inBlockSize, std::uint32_t inFirstChunkSize, std::uint32_t inSwitchSize,
          std::uint32_t inKeepLastChunk>
class AllocatorManager : public AllocatorInterface {
    static_assert(inBlockSize >= 4 && inBlockSize % 4 == 0, "a free block holds a 4-byte link");
    static_assert(inFirstChunkSize - kChunkHeaderSize >= inBlockSize, "a chunk holds a block");

public:
    using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

    AllocatorManager() { mChunks.reserve(256); }
    // The allocator's own pools live until the process ends; a pool that is destroyed
    // (in tests) gives its chunks back, whatever blocks are still in use.
    ~AllocatorManager() {
        for (ChunkHeader* chunk : mChunks) SmallBlockAllocator::Dispose(chunk->start, chunk->size);
    }
    AllocatorManager(const AllocatorManager&) = delete;
    AllocatorManager& operator=(const AllocatorManager&) = delete;

    void* Allocate(std::uint32_t) override {
        if (void* block = FastTake()) return block;
        Lock lock(mLock, true);
        if (void* block = FastTake()) return block;
        ClosedGate closed(mGate);
        if (mFreeBlocks.load(std::memory_order_relaxed) > 0) {
            ChooseCurrentChunk();
            if (mCurrent != nullptr)
                if (void* block = TakeFrom(mCurrent)) return block;
        }
        return TakeFrom(MakeChunk());
    }

    bool Dispose(void* inBlock, std::uint32_t) override {
        bool owned = false;
        bool releaseDue = false;
        if (mGate.Enter()) {
            owned = GiveBack(inBlock, releaseDue);
            mGate.Leave();
        } else {
            // The gate is open whenever the lock is free.
            Lock lock(mLock, true);
            owned = GiveBack(inBlock, releaseDue);
        }
        if (releaseDue) {
            Lock lock(mLock, true);
            ClosedGate closed(mGate);
            ReleaseEmptyChunks();
        }
        return owned;
    }

    std::uint32_t BlockSize() override { return inBlockSize; }

    // The pool's state as the tests look at it: chunks in the order of the vector.
    struct ChunkState {
        const void* start;
        std::uint32_t size;
        std::uint32_t blockCount;
        std::int32_t used;
    };
    struct State {
        std::uint32_t bytesHeld;
        std::int32_t freeBlocks;
        const void* current;
        std::vector<ChunkState> chunks;
    };
    State GetState() {
        Lock lock(mLock, true);
        ClosedGate closed(mGate);
        State state{mBytesHeld, mFreeBlocks.load(), mCurrent ? mCurrent->start : nullptr, {}};
        for (ChunkHeader* chunk : mChunks)
            state.chunks.push_back({chunk->start, chunk->size, chunk->blockCount, chunk->used.load()});
        return state;
    }

private:
    // Release passes stop at this many chunks less one.
    static constexpr std::size_t kReleaseMinimum = inKeepLastChunk ? 2 : 1;

    void* FastTake() {
        if (!mGate.Enter()) return nullptr;
        void* block = mCurrent != nullptr ? TakeFrom(mCurrent) : nullptr;
        mGate.Leave();
        return block;
    }

    void* TakeFrom(ChunkHeader* inChunk) {
        void* block = inChunk->Pop();
        if (block != nullptr) {
            inChunk->used.fetch_add(1, std::memory_order_relaxed);
            mFreeBlocks.fetch_sub(1, std::memory_order_relaxed);
        }
        return block;
    }

    // Inside the gate or under the lock.
    bool GiveBack(void* inBlock, bool& outReleaseDue) {
        ChunkHeader* chunk = FindChunk(inBlock);
        if (chunk == nullptr) return false;
        mFreeBlocks.fetch_add(1, std::memory_order_relaxed);
        chunk->Push(inBlock);
        if (chunk->used.fetch_sub(1, std::memory_order_relaxed) == 1 &&
            mChunks.size() >= kReleaseMinimum)
            outReleaseDue = true;
        return true;
    }

    ChunkHeader* FindChunk(void* inBlock) const {
        if (mCurrent != nullptr && mCurrent->Contains(inBlock)) return mCurrent;
        auto above = mChunkSet.upper_bound(static_cast<ChunkHeader*>(inBlock));
        if (above == mChunkSet.begin()) return nullptr;
        ChunkHeader* chunk = *--above;
        return chunk->Contains(inBlock) ? chunk : nullptr;
    }

    // The rest run under the lock with the gate closed, so nothing changes the used
    // counts while they sort by them.

    // The chunk with the fewest blocks in use becomes current and ends the vector.
    void ChooseCurrentChunk() {
        std::sort(mChunks.begin(), mChunks.end(), [](ChunkHeader* a, ChunkHeader* b) {
            return a->used.load(std::memory_order_relaxed) > b->used.load(std::memory_order_relaxed);
        });
        mCurrent = mChunks.empty() ? nullptr : mChunks.back();
    }

    ChunkHeader* MakeChunk() {
        const std::uint32_t reach = std::max(inFirstChunkSize, mBytesHeld);
        const std::uint32_t size = reach >= kLargeChunkSize    ? kLargeChunkSize
                                   : reach >= kMediumChunkSize ? kMediumChunkSize
                                                               : kSmallChunkSize;
        void* memory = SmallBlockAllocator::Allocate(size);
        if (memory == nullptr) throw std::bad_alloc();
        ChunkHeader* chunk = ChunkHeader::Make(memory, size, inBlockSize);
        try {
            mChunks.push_back(chunk);
            mChunkSet.insert(chunk);
        } catch (...) {
            if (!mChunks.empty() && mChunks.back() == chunk) mChunks.pop_back();
            SmallBlockAllocator::Dispose(memory, size);
            throw;
        }
        mBytesHeld += size;
        mFreeBlocks.fetch_add(static_cast<std::int32_t>(chunk->blockCount), std::memory_order_relaxed);
        mCurrent = chunk;
        return chunk;
    }

    void ReleaseEmptyChunks() {
        if (mChunks.size() < kReleaseMinimum) return;
        ChooseCurrentChunk();
        while (mChunks.size() >= kReleaseMinimum) {
            ChunkHeader* chunk = mChunks.back();
            if (chunk->used.load(std::memory_order_relaxed) != 0) break;
            mChunks.pop_back();
            mChunkSet.erase(chunk);
            mFreeBlocks.fetch_sub(static_cast<std::int32_t>(chunk->blockCount), std::memory_order_relaxed);
            if (mCurrent == chunk) mCurrent = nullptr;
            mBytesHeld -= chunk->size;
            SmallBlockAllocator::Dispose(chunk->start, chunk->size);
        }
    }

    threads::RecursiveMutex mLock;
    ChunkGate mGate;
    ChunkHeader* mCurrent = nullptr;
    std::atomic<std::int32_t> mFreeBlocks{0};
    std::vector<ChunkHeader*> mChunks;
    std::set<ChunkHeader*> mChunkSet;
    std::uint32_t mBytesHeld = 0;  // changed under the lock only
};

}  // namespace utility
}  // namespace tarncore
