// Thread and ThreadGroup over the dependency's threads, and the calling thread's identifier.
#include <tarncore/threads/Thread.h>

#include "ErrorConversion.h"
#include "platform/os/Threads.h"

#include <boost/thread/thread.hpp>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace tarncore {
namespace threads {

Thread::Thread(const std::string& inName)
    : mName(inName), mThread(WithErrorConversion([] { return new boost::thread(); })), mOwnerGroup(nullptr) {}

Thread::Thread(const std::string& inName, const boost::function0<void>& inFunction)
    : mName(inName), mThread(WithErrorConversion([&] { return new boost::thread(inFunction); })),
      mOwnerGroup(nullptr) {}

Thread::Thread(const std::string& inName, boost::thread* inThread)
    : mName(inName), mThread(inThread), mOwnerGroup(nullptr) {}

Thread::Thread(Thread& inOther)
    : mName(inOther.mName), mThread(inOther.mThread), mOwnerGroup(inOther.mOwnerGroup) {
    inOther.mThread = nullptr;
    inOther.mOwnerGroup = nullptr;
}

Thread& Thread::operator=(Thread& inOther) {
    if (&inOther == this) return *this;
    if (inOther.mThread != mThread) ReleaseThread();
    mName = inOther.mName;
    mThread = inOther.mThread;
    mOwnerGroup = inOther.mOwnerGroup;
    inOther.mThread = nullptr;
    inOther.mOwnerGroup = nullptr;
    return *this;
}

Thread::~Thread() { ReleaseThread(); }

void Thread::ReleaseThread() {
    // A thread object lent to a group is the group's to release.
    if (mOwnerGroup == nullptr) delete mThread;
    mThread = nullptr;
    mOwnerGroup = nullptr;
}

void Thread::Join() {
    if (mThread == nullptr) return;
    WithErrorConversion([&] { mThread->join(); });
}

void Thread::Sleep(const boost::xtime& inUntil) {
    // Nanoseconds since 1970 cover about 292 years either way; later times are as good
    // as forever, and clamping keeps the arithmetic from overflowing.
    const boost::xtime::xtime_sec_t kLimit = 9000000000LL;
    const auto seconds = std::clamp<boost::xtime::xtime_sec_t>(inUntil.sec, -kLimit, kLimit);
    const auto nanoseconds = std::clamp<std::int64_t>(inUntil.nsec, -1000000000LL, 1000000000LL);
    const std::chrono::system_clock::time_point until(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(seconds) + std::chrono::nanoseconds(nanoseconds)));
    WithErrorConversion([&] { std::this_thread::sleep_until(until); });
}

void Thread::YieldTime() {
    WithErrorConversion([] { boost::this_thread::yield(); });
}

ThreadGroup::ThreadGroup(const std::string& inName)
    : mCreatedCount(0), mName(inName), mGroup(WithErrorConversion([] { return new boost::thread_group(); })) {
}

ThreadGroup::ThreadGroup(ThreadGroup& inOther)
    : mCreatedCount(inOther.mCreatedCount), mName(inOther.mName), mGroup(inOther.mGroup) {
    inOther.mGroup = nullptr;
}

ThreadGroup& ThreadGroup::operator=(ThreadGroup& inOther) {
    if (&inOther == this) return *this;
    if (inOther.mGroup != mGroup) delete mGroup;
    mCreatedCount = inOther.mCreatedCount;
    mName = inOther.mName;
    mGroup = inOther.mGroup;
    inOther.mGroup = nullptr;
    return *this;
}

ThreadGroup::~ThreadGroup() { delete mGroup; }

boost::thread_group& ThreadGroup::Group() {
    if (mGroup == nullptr)
        throw std::logic_error("tarncore::threads::ThreadGroup: the group has been moved away");
    return *mGroup;
}

Thread* ThreadGroup::CreateThread(const boost::function0<void>& inFunction) {
    boost::thread_group& group = Group();
    boost::thread* thread = WithErrorConversion([&] { return group.create_thread(inFunction); });
    ++mCreatedCount;
    Thread* result = new Thread(mName + " created thread #" + std::to_string(mCreatedCount), thread);
    result->mOwnerGroup = mGroup;
    return result;
}

void ThreadGroup::AddThread(Thread* inThread) {
    if (inThread == nullptr || inThread->mThread == nullptr) return;
    if (inThread->mOwnerGroup == mGroup) return;
    if (inThread->mOwnerGroup != nullptr)
        throw std::invalid_argument("tarncore::threads::ThreadGroup: the thread belongs to another group");
    boost::thread_group& group = Group();
    WithErrorConversion([&] { group.add_thread(inThread->mThread); });
    inThread->mOwnerGroup = mGroup;
}

void ThreadGroup::RemoveThread(Thread* inThread) {
    if (inThread == nullptr || mGroup == nullptr || inThread->mOwnerGroup != mGroup) return;
    WithErrorConversion([&] { mGroup->remove_thread(inThread->mThread); });
    inThread->mOwnerGroup = nullptr;
}

void ThreadGroup::JoinAll() {
    if (mGroup == nullptr) return;
    WithErrorConversion([&] { mGroup->join_all(); });
}

std::int32_t ThreadGroup::Size() {
    if (mGroup == nullptr) return 0;
    return static_cast<std::int32_t>(WithErrorConversion([&] { return mGroup->size(); }));
}

std::uint32_t GetCurrentThreadID() { return platform::GetCurrentThreadId(); }

}  // namespace threads
}  // namespace tarncore
