// RecursiveMutex, and the error reports of ScopedLock's lock failures.
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

RecursiveMutex::RecursiveMutex(RecursiveMutex& inOther) : mMutex(inOther.mMutex) { inOther.mMutex = nullptr; }

RecursiveMutex& RecursiveMutex::operator=(RecursiveMutex& inOther) {
    if (inOther.mMutex != mMutex) delete Counted(mMutex);
    mMutex = inOther.mMutex;
    if (&inOther != this) inOther.mMutex = nullptr;
    return *this;
}

RecursiveMutex::~RecursiveMutex() { delete Counted(mMutex); }

using RecursiveScopedLock = ScopedLock<RecursiveMutex, boost::recursive_mutex>;

void RecursiveScopedLock::FailMovedAway() {
    try {
        ThrowLockError("tarncore::threads::ScopedLock: the mutex has been moved away");
    } catch (const boost::thread_exception&) {
        ReportAndRethrow();
    }
}

// Called from inside a handler, so the exception being handled is the one to convert.
void RecursiveScopedLock::ReportAndRethrow() {
    WithErrorConversion([] { throw; });
    throw;  // not reached: the conversion throws on
}

}  // namespace threads
}  // namespace tarncore
