#pragma once

#include <tarncore/platform/Export.h>

#include <boost/thread/recursive_mutex.hpp>

#include <string>

namespace tarncore {
namespace threads {

class Condition;
template <class Mutex, class BoostMutex>
class ScopedLock;

// A recursive mutex, locked and unlocked through ScopedLock only. Copying moves the
// underlying mutex: the source is left holding none and may only be destroyed.
class TARNCORE_API RecursiveMutex {
public:
    RecursiveMutex();
    // The name only serves while constructing; it is not kept.
    explicit RecursiveMutex(const std::string& inName);
    RecursiveMutex(RecursiveMutex& inOther);
    RecursiveMutex& operator=(RecursiveMutex& inOther);
    virtual ~RecursiveMutex();

protected:
    // The mutex, or null once it has been moved away.
    boost::recursive_mutex* GetMutex() const { return mMutex; }

private:
    friend class ScopedLock<RecursiveMutex, boost::recursive_mutex>;

    boost::recursive_mutex* mMutex;
};

// Holds a RecursiveMutex from construction (when asked to lock) to destruction. The
// lock is recursive: one thread may hold several ScopedLocks on the same mutex.
template <>
class TARNCORE_API ScopedLock<RecursiveMutex, boost::recursive_mutex> {
public:
    // Locks at once when inLockNow is true, waiting as long as it takes. Locking a mutex
    // that has been moved away is a lock failure.
    ScopedLock(const std::string& inName, RecursiveMutex& inMutex, bool inLockNow);
    ScopedLock(RecursiveMutex& inMutex, bool inLockNow);
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    virtual ~ScopedLock();

    const std::string& GetName() const { return mName; }
    bool IsLocked() const;

private:
    friend class Condition;
    struct LockRecord;

    void Initialize(RecursiveMutex& inMutex, bool inLockNow);

    std::string mName;
    LockRecord* mRecord;
};

}  // namespace threads
}  // namespace tarncore
