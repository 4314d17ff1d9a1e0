// A pool of blocks of one size, carved from chunks, with its lock-free paths and release passes.
#pragma once

#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/SmallBlockAllocator.h>

#include "AllocatorInterface.h"
#include "Chunk.h"
#include "ChunkGate.h"
#include "ChunkMap.h"
#include "platform/os/Threads.h"

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

    // inMapOwner: when not 0, the pool marks its chunks with it in the chunk map, where
    // the allocator's front looks up who owns a block.
    explicit AllocatorManager(std::uint8_t inMapOwner = 0) : mMapOwner(inMapOwner) { mChunks.reserve(256); }
    // The allocator's own pools live until the process ends; a pool that is destroyed
    // (in tests) gives its chunks back, whatever blocks are still in use.
    ~AllocatorManager() {
        for (ChunkHeader* chunk : mChunks) GiveChunkBack(chunk);
    }
    AllocatorManager(const AllocatorManager&) = delete;
    AllocatorManager& operator=(const AllocatorManager&) = delete;

    void* Allocate(std::uint32_t) override {
        void* block = nullptr;
        Take([&](ChunkHeader* inChunk) { return (block = TakeFrom(inChunk)) != nullptr ? 1u : 0u; });
        return block;
    }

    bool Dispose(void* inBlock, std::uint32_t) override {
        return GiveBack([&](bool& outReleaseDue) { return GiveBackOne(inBlock, outReleaseDue); });
    }

    std::uint32_t BlockSize() override { return inBlockSize; }

    std::uint32_t AllocateBatch(void** outBlocks, std::uint32_t inCount) override {
        return Take([&](ChunkHeader* inChunk) { return TakeManyFrom(inChunk, outBlocks, inCount); });
    }

    std::uint32_t DisposeBatch(void** ioBlocks, std::uint32_t inCount) override {
        return GiveBack([&](bool& outReleaseDue) { return GiveBackMany(ioBlocks, inCount, outReleaseDue); });
    }

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
        LockedPool lock(*this);
        ClosedGate closed(mGate);
        State state{mBytesHeld, mFreeBlocks.load(), mCurrent ? mCurrent->start : nullptr, {}};
        for (ChunkHeader* chunk : mChunks)
            state.chunks.push_back({chunk->start, chunk->size, chunk->blockCount, chunk->used.load()});
        return state;
    }

private:
    // The pool lock, held for short stretches only (making, choosing or releasing a
    // chunk). A thread that finds it held spins for a moment before it waits asleep:
    // being put to sleep and woken costs far more than the wait. The busy flag is only
    // a hint for the spin; the lock itself decides.
    class LockedPool {
    public:
        explicit LockedPool(AllocatorManager& inPool) : mPool(inPool), mLock(WaitUntilFree(inPool), true) {
            mPool.mBusy.store(true, std::memory_order_relaxed);
        }
        ~LockedPool() { mPool.mBusy.store(false, std::memory_order_release); }
        LockedPool(const LockedPool&) = delete;
        LockedPool& operator=(const LockedPool&) = delete;

    private:
        static threads::RecursiveMutex& WaitUntilFree(AllocatorManager& inPool) {
            for (int spin = 0; spin < kLockSpins && inPool.mBusy.load(std::memory_order_relaxed); ++spin)
                platform::SpinPause();
            return inPool.mLock;
        }

        AllocatorManager& mPool;
        Lock mLock;
    };
    static constexpr int kLockSpins = 500;

    // Release passes stop at this many chunks less one.
    static constexpr std::size_t kReleaseMinimum = inKeepLastChunk ? 2 : 1;

    // The steps of Allocate, for one block or several: inTake takes from a chunk and
    // returns how many blocks came. A fast take from the current chunk; under the lock,
    // a fast take again; with the gate closed, the chunk with the fewest blocks in use if
    // the pool has free blocks at all; and a new chunk.
    template <class Taker>
    std::uint32_t Take(Taker&& inTake) {
        if (std::uint32_t taken = FastTake(inTake)) return taken;
        LockedPool lock(*this);
        if (std::uint32_t taken = FastTake(inTake)) return taken;
        ClosedGate closed(mGate);
        if (mFreeBlocks.load(std::memory_order_relaxed) > 0) {
            ChooseCurrentChunk();
            if (mCurrent != nullptr)
                if (std::uint32_t taken = inTake(mCurrent)) return taken;
        }
        return inTake(MakeChunk());
    }

    template <class Taker>
    std::uint32_t FastTake(Taker& inTake) {
        if (!mGate.Enter()) return 0;
        const std::uint32_t taken = mCurrent != nullptr ? inTake(mCurrent) : 0;
        mGate.Leave();
        return taken;
    }

    void* TakeFrom(ChunkHeader* inChunk) {
        void* block = inChunk->Pop();
        if (block != nullptr) {
            inChunk->used.fetch_add(1, std::memory_order_relaxed);
            mFreeBlocks.fetch_sub(1, std::memory_order_relaxed);
        }
        return block;
    }

    std::uint32_t TakeManyFrom(ChunkHeader* inChunk, void** outBlocks, std::uint32_t inCount) {
        const std::uint32_t taken = inChunk->PopMany(outBlocks, inCount);
        if (taken != 0) {
            inChunk->used.fetch_add(static_cast<std::int32_t>(taken), std::memory_order_relaxed);
            mFreeBlocks.fetch_sub(static_cast<std::int32_t>(taken), std::memory_order_relaxed);
        }
        return taken;
    }

    // The steps of Dispose, for one block or several: inGive gives blocks back inside the
    // gate (or under the lock while the gate is closed, which is open whenever the lock
    // is free) and says whether a release pass is due; the pass follows under the lock.
    template <class Giver>
    auto GiveBack(Giver&& inGive) {
        bool releaseDue = false;
        auto result = decltype(inGive(releaseDue))();
        if (mGate.Enter()) {
            result = inGive(releaseDue);
            mGate.Leave();
        } else {
            LockedPool lock(*this);
            result = inGive(releaseDue);
        }
        if (releaseDue) {
            LockedPool lock(*this);
            ClosedGate closed(mGate);
            ReleaseEmptyChunks();
        }
        return result;
    }

    // Inside the gate or under the lock.
    bool GiveBackOne(void* inBlock, bool& outReleaseDue) {
        ChunkHeader* chunk = FindChunk(inBlock);
        if (chunk == nullptr) return false;
        mFreeBlocks.fetch_add(1, std::memory_order_relaxed);
        chunk->Push(inBlock);
        if (chunk->used.fetch_sub(1, std::memory_order_relaxed) == 1 && mChunks.size() >= kReleaseMinimum)
            outReleaseDue = true;
        return true;
    }

    // Inside the gate or under the lock. Neighbouring blocks of one chunk go back with
    // one push; a single release pass at the end leaves the chunks as a pass after each
    // block would have. Returns the number of refused blocks, moved to the front.
    std::uint32_t GiveBackMany(void** ioBlocks, std::uint32_t inCount, bool& outReleaseDue) {
        std::uint32_t refused = 0;
        std::uint32_t runStart = 0;
        ChunkHeader* chunk = nullptr;
        const auto flush = [&](std::uint32_t inEnd) {
            if (chunk == nullptr || inEnd == runStart) return;
            const auto count = static_cast<std::int32_t>(inEnd - runStart);
            mFreeBlocks.fetch_add(count, std::memory_order_relaxed);
            chunk->PushMany(ioBlocks + runStart, inEnd - runStart);
            if (chunk->used.fetch_sub(count, std::memory_order_relaxed) == count &&
                mChunks.size() >= kReleaseMinimum)
                outReleaseDue = true;
        };
        for (std::uint32_t i = 0; i < inCount; ++i) {
            if (chunk != nullptr && chunk->Contains(ioBlocks[i])) continue;
            flush(i);
            runStart = i;
            chunk = FindChunk(ioBlocks[i]);
            if (chunk == nullptr) {
                ioBlocks[refused++] = ioBlocks[i];
                runStart = i + 1;
            }
        }
        flush(inCount);
        return refused;
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
        if (mMapOwner != 0) ChunkMap::Mark(chunk->start, size, mMapOwner);
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
            GiveChunkBack(chunk);
        }
    }

    // The map forgets the chunk before its memory can go to anyone else.
    void GiveChunkBack(ChunkHeader* inChunk) {
        if (mMapOwner != 0) ChunkMap::Mark(inChunk->start, inChunk->size, 0);
        SmallBlockAllocator::Dispose(inChunk->start, inChunk->size);
    }

    threads::RecursiveMutex mLock;
    std::atomic<bool> mBusy{false};
    ChunkGate mGate;
    ChunkHeader* mCurrent = nullptr;
    std::atomic<std::int32_t> mFreeBlocks{0};
    std::vector<ChunkHeader*> mChunks;
    std::set<ChunkHeader*> mChunkSet;
    std::uint32_t mBytesHeld = 0;  // changed under the lock only
    const std::uint8_t mMapOwner;
};

}  // namespace utility
}  // namespace tarncore
