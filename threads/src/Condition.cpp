// Condition: waiting releases every level of the recursive mutex and takes them back.
#include "threads/internal/Condition.h"

#include "ErrorConversion.h"
#include "LockState.h"

namespace tarncore {
namespace threads {

namespace {

// Lockable handed to the condition: unlocking releases every level the owner holds,
// locking takes them all back.
class FullRelease {
public:
    explicit FullRelease(CountedRecursiveMutex* inMutex) : mMutex(inMutex), mDepth(0) {}

    void unlock() {
        mDepth = mMutex->depth;
        mMutex->depth = 0;
        for (std::uint32_t level = 0; level < mDepth; ++level) mMutex->unlock();
    }
    void lock() {
        for (std::uint32_t level = 0; level < mDepth; ++level) mMutex->lock();
        mMutex->depth = mDepth;
    }

private:
    CountedRecursiveMutex* mMutex;
    std::uint32_t mDepth;
};

}  // namespace

Condition::Condition()
    : mCondition(WithErrorConversion([] { return new boost::condition_variable_any(); })) {}

Condition::~Condition() { delete mCondition; }

void Condition::Wait(ScopedLock<RecursiveMutex, boost::recursive_mutex>& inLock) {
    WithErrorConversion([&] {
        if (!inLock.IsLocked())
            ThrowLockError("tarncore::threads::Condition: waiting without holding the lock");
        FullRelease release(Counted(inLock.mRecord.mutex));
        mCondition->wait(release);
    });
}

void Condition::NotifyAll() {
    WithErrorConversion([&] { mCondition->notify_all(); });
}

}  // namespace threads
}  // namespace tarncore
