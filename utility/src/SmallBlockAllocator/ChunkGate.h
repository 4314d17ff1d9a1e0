// The gate that lets readers use a pool's chunk list while one thread changes it.
#pragma once

#include <tarncore/threads/Mutex.h>

#include "platform/os/Threads.h"
#include "threads/internal/Condition.h"

#include <atomic>
#include <cstdint>

namespace tarncore {
namespace utility {

// Lets any number of readers use a pool's chunk list without a lock, and lets the one
// thread that changes the list (under the pool lock) wait until every reader has left.
//
// The gate is one 64-bit word changed by compare-exchange: the high half says whether
// the chunk list is published (1) or the gate is closed (0), the low half counts the
// readers inside. The published value could only ever be this pool's own chunk list,
// so a flag carries all it says, and the pair fits one ordinary 64-bit
// compare-exchange. There is no ABA to guard against: entering only needs the gate to
// be open at the moment the count goes up, whatever happened before.
class ChunkGate {
public:
    ChunkGate() : mWord(kOpen) {}
    ChunkGate(const ChunkGate&) = delete;
    ChunkGate& operator=(const ChunkGate&) = delete;

    // False when the gate is closed.
    bool Enter() {
        std::uint64_t word = mWord.load(std::memory_order_acquire);
        for (;;) {
            if ((word & kOpen) == 0) return false;
            if (mWord.compare_exchange_weak(word, word + 1, std::memory_order_acquire,
                                            std::memory_order_acquire))
                return true;
        }
    }

    void Leave() {
        const std::uint64_t before = mWord.fetch_sub(1, std::memory_order_acq_rel);
        if (before == 1) {
            // The last reader leaving a closed gate wakes the thread closing it.
            threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(mMutex, true);
            mCondition.NotifyAll();
        }
    }

    // Closes the gate and waits until every reader has left. Under the pool lock.
    void Close() {
        // Without readers inside there is nobody to wait for, and no need for the mutex
        // that pairs the wait with the last reader's notification.
        std::uint64_t word = kOpen;
        if (mWord.compare_exchange_strong(word, 0, std::memory_order_acq_rel, std::memory_order_acquire))
            return;
        // Readers stay inside for a pop or a push only: close the gate and give them a
        // moment to leave before sleeping on the condition. Closing before the mutex is
        // taken loses no wake-up: the count is read again under the mutex, and the last
        // reader takes the mutex after it has left.
        while ((word & kOpen) != 0 &&
               !mWord.compare_exchange_weak(word, word & kReaders, std::memory_order_acq_rel,
                                            std::memory_order_acquire)) {
        }
        word &= kReaders;
        for (int spin = 0; word != 0 && spin < kSpins; ++spin) {
            platform::SpinPause();
            word = mWord.load(std::memory_order_acquire);
        }
        if (word == 0) return;
        threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(mMutex, true);
        word = mWord.load(std::memory_order_acquire);
        for (;;) {
            if ((word & kOpen) != 0) {
                if (!mWord.compare_exchange_weak(word, word & kReaders, std::memory_order_acq_rel,
                                                 std::memory_order_acquire))
                    continue;
                word &= kReaders;
            }
            if (word == 0) return;
            mCondition.Wait(lock);
            word = mWord.load(std::memory_order_acquire);
        }
    }

    // Publishes the chunk list again. Under the pool lock, after Close: no reader can
    // come in while the gate is closed, so the count is 0 and a store suffices.
    void Open() { mWord.store(kOpen, std::memory_order_release); }

private:
    static constexpr std::uint64_t kOpen = std::uint64_t(1) << 32;
    static constexpr std::uint64_t kReaders = 0xffffffffu;
    static constexpr int kSpins = 200;

    std::atomic<std::uint64_t> mWord;
    threads::RecursiveMutex mMutex;
    threads::Condition mCondition;
};

// Closes a gate for the lifetime of the object.
class ClosedGate {
public:
    explicit ClosedGate(ChunkGate& inGate) : mGate(inGate) { mGate.Close(); }
    ~ClosedGate() { mGate.Open(); }
    ClosedGate(const ClosedGate&) = delete;
    ClosedGate& operator=(const ClosedGate&) = delete;

private:
    ChunkGate& mGate;
};

}  // namespace utility
}  // namespace tarncore
