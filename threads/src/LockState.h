#pragma once

#include <tarncore/threads/Mutex.h>

#include <boost/thread/recursive_mutex.hpp>

#include <cstdint>

namespace tarncore {
namespace threads {

// The mutex behind every RecursiveMutex. It counts how deep its owner holds it, so that
// a condition wait can release it completely and take it back to the same depth. Only
// the thread holding the mutex changes the count, so the mutex itself guards it.
struct CountedRecursiveMutex : boost::recursive_mutex {
    std::uint32_t depth = 0;

    void LockOnce() {
        lock();
        ++depth;
    }
    void UnlockOnce() {
        --depth;
        unlock();
    }
};

inline CountedRecursiveMutex* Counted(boost::recursive_mutex* inMutex) {
    return static_cast<CountedRecursiveMutex*>(inMutex);
}

struct ScopedLock<RecursiveMutex, boost::recursive_mutex>::LockRecord {
    boost::recursive_mutex* mutex;
    bool locked;
};

}  // namespace threads
}  // namespace tarncore
