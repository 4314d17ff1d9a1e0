// Condition, the library's own condition for threads holding a RecursiveMutex.
#pragma once

#include <tarncore/threads/Mutex.h>

#include <boost/thread/condition_variable.hpp>

namespace tarncore {
namespace threads {

// A condition for threads that hold a RecursiveMutex through a ScopedLock. Internal to
// the library (the allocator's pool gates); not exported.
class Condition {
public:
    Condition();
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;
    virtual ~Condition();

    // Releases the lock's mutex completely, however deep the calling thread holds it,
    // waits until notified (or woken spuriously: callers wait in a loop on their
    // predicate) and takes the mutex back to the same depth. A lock that is not held is
    // a lock failure.
    void Wait(ScopedLock<RecursiveMutex, boost::recursive_mutex>& inLock);
    void NotifyAll();

private:
    boost::condition_variable_any* mCondition;
};

}  // namespace threads
}  // namespace tarncore
