// The library's lock pair: RecursiveMutex and the ScopedLock that holds it.
#pragma once

#include <tarncore/platform/Export.h>

#include <boost/thread/exceptions.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include <cstdint>
#include <string>

/// @file
/// The library's lock pair, over Boost's recursive mutex. Thread failures of the
/// dependency reach the host's error manager as the library's own errors.
namespace tarncore {
namespace threads {

class Condition;
template <class Mutex, class BoostMutex>
class ScopedLock;

namespace detail {
/// The mutex behind every RecursiveMutex. It counts how deep its owner holds it, so that
/// a condition wait can release it completely and take it back to the same depth. Only
/// the thread holding the mutex changes the count, so the mutex itself guards it. It is
/// visible here because ScopedLock takes and releases it inline.
struct CountedRecursiveMutex : boost::recursive_mutex {
    std::uint32_t depth = 0;
};
}  // namespace detail

/// A recursive mutex, locked and unlocked through ScopedLock only. Copying moves the
/// underlying mutex: the source is left holding none and may only be destroyed.
class TARNCORE_API RecursiveMutex {
public:
    RecursiveMutex();
    /// The name only serves while constructing; it is not kept.
    explicit RecursiveMutex(const std::string& inName);
    RecursiveMutex(RecursiveMutex& inOther);
    RecursiveMutex& operator=(RecursiveMutex& inOther);
    virtual ~RecursiveMutex();

protected:
    /// The mutex, or null once it has been moved away.
    boost::recursive_mutex* GetMutex() const { return mMutex; }

private:
    friend class ScopedLock<RecursiveMutex, boost::recursive_mutex>;

    boost::recursive_mutex* mMutex;
};

/// Holds a RecursiveMutex from construction (when asked to lock) to destruction. The
/// lock is recursive: one thread may hold several ScopedLocks on the same mutex.
///
/// Taking and releasing the lock is inline and allocates nothing: an uncontended lock
/// costs what the mutex itself costs.
template <>
class TARNCORE_API ScopedLock<RecursiveMutex, boost::recursive_mutex> {
public:
    /// Locks at once when inLockNow is true, waiting as long as it takes. Locking a mutex
    /// that has been moved away is a lock failure.
    ScopedLock(const std::string& inName, RecursiveMutex& inMutex, bool inLockNow)
        : mName(inName), mRecord{inMutex.GetMutex(), false} {
        if (inLockNow) Lock();
    }
    ScopedLock(RecursiveMutex& inMutex, bool inLockNow) : mRecord{inMutex.GetMutex(), false} {
        if (inLockNow) Lock();
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    virtual ~ScopedLock() {
        if (mRecord.locked) {
            --Counted()->depth;
            mRecord.mutex->unlock();
            mRecord.locked = false;
        }
    }

    const std::string& GetName() const { return mName; }
    bool IsLocked() const { return mRecord.locked; }

private:
    friend class Condition;
    // Held in the lock itself, so taking a lock allocates nothing.
    struct LockRecord {
        boost::recursive_mutex* mutex;
        bool locked;
    };

    void Lock() {
        if (mRecord.mutex == nullptr) FailMovedAway();
        try {
            mRecord.mutex->lock();
        } catch (const boost::thread_exception&) {
            ReportAndRethrow();
        }
        ++Counted()->depth;
        mRecord.locked = true;
    }
    detail::CountedRecursiveMutex* Counted() const {
        return static_cast<detail::CountedRecursiveMutex*>(mRecord.mutex);
    }
    // The lock failure of a mutex that has been moved away, reported.
    [[noreturn]] static void FailMovedAway();
    // Reports the thread failure being handled as the library's error, then throws it on.
    [[noreturn]] static void ReportAndRethrow();

    std::string mName;
    LockRecord mRecord;
};

}  // namespace threads
}  // namespace tarncore
