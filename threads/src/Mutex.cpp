#include <tarncore/threads/Mutex.h>

#include "ErrorConversion.h"
#include "LockState.h"

namespace tarncore {
namespace threads {

namespace {
boost::recursive_mutex* NewMutex() {
    return WithErrorConversion([] { return new CountedRecursiveMutex(); });
}
}  // namespace

RecursiveMutex::RecursiveMutex() : mMutex(NewMutex()) {}

RecursiveMutex::RecursiveMutex(const std::string&) : mMutex(NewMutex()) {}

RecursiveMutex::RecursiveMutex(RecursiveMutex& inOther) : mMutex(inOther.mMutex) {
    inOther.mMutex = nullptr;
}

RecursiveMutex& RecursiveMutex::operator=(RecursiveMutex& inOther) {
    if (inOther.mMutex != mMutex) delete Counted(mMutex);
    mMutex = inOther.mMutex;
    if (&inOther != this) inOther.mMutex = nullptr;
    return *this;
}

RecursiveMutex::~RecursiveMutex() { delete Counted(mMutex); }

using RecursiveScopedLock = ScopedLock<RecursiveMutex, boost::recursive_mutex>;

RecursiveScopedLock::ScopedLock(const std::string& inName, RecursiveMutex& inMutex, bool inLockNow)
    : mName(inName), mRecord(nullptr) {
    Initialize(inMutex, inLockNow);
}

RecursiveScopedLock::ScopedLock(RecursiveMutex& inMutex, bool inLockNow) : mRecord(nullptr) {
    Initialize(inMutex, inLockNow);
}

void RecursiveScopedLock::Initialize(RecursiveMutex& inMutex, bool inLockNow) {
    WithErrorConversion([&] {
        mRecord = new LockRecord{inMutex.GetMutex(), false};
        if (!inLockNow) return;
        if (mRecord->mutex == nullptr) {
            delete mRecord;
            mRecord = nullptr;
            ThrowLockError("tarncore::threads::ScopedLock: the mutex has been moved away");
        }
        Counted(mRecord->mutex)->LockOnce();
        mRecord->locked = true;
    });
}

RecursiveScopedLock::~ScopedLock() {
    if (mRecord != nullptr && mRecord->locked) {
        Counted(mRecord->mutex)->UnlockOnce();
        mRecord->locked = false;
    }
    delete mRecord;
}

bool RecursiveScopedLock::IsLocked() const { return mRecord != nullptr && mRecord->locked; }

}  // namespace threads
}  // namespace tarncore
