#include <tarncore/threads/Barrier.h>
#include <tarncore/threads/Thread.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <boost/thread/thread.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace tarncore::threads;
using tarncore::testing::RecordingErrorManager;

namespace {

// Reaches the protected thread object.
class InspectableThread : public Thread {
public:
    using Thread::Thread;
    boost::thread* Object() { return GetThread(); }
    static boost::thread* ObjectOf(Thread& inThread) {
        return (inThread.*&InspectableThread::GetThread)();
    }
};

// A function for a thread that runs until it is let go.
struct Gate {
    std::atomic<bool> open{false};
    void Pass() const {
        while (!open) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

}  // namespace

TEST(Thread, RunsItsFunctionAndMovesOnCopy) {
    std::atomic<int> runs{0};
    InspectableThread a("worker", [&] { ++runs; });
    EXPECT_EQ(a.GetName(), "worker");
    InspectableThread b(a);
    EXPECT_EQ(b.GetName(), "worker");
    EXPECT_EQ(a.Object(), nullptr);
    a.Join();  // nothing to wait for
    b.Join();
    EXPECT_EQ(runs, 1);
    b.Join();  // joined already: returns at once

    InspectableThread c("other", [&] { ++runs; });
    c = b;  // c's thread object is released (its thread runs on), b's comes over
    EXPECT_EQ(c.GetName(), "worker");
    EXPECT_EQ(b.Object(), nullptr);
    InspectableThread& same = c;
    c = same;
    EXPECT_NE(c.Object(), nullptr);

    // A Thread made from a name alone stands for the caller; there is nothing to join.
    Thread self("main");
    self.Join();
    while (runs != 2) std::this_thread::yield();
}

TEST(Thread, JoiningItselfIsReported) {
    RecordingErrorManager manager;
    std::unique_ptr<Thread> thread;
    Gate gate;
    std::atomic<bool> failed{false};
    thread.reset(new Thread("self-joiner", [&] {
        gate.Pass();
        try {
            thread->Join();
        } catch (const boost::thread_resource_error&) {
            failed = true;
        }
    }));
    gate.open = true;
    thread->Join();
    EXPECT_TRUE(failed);
    ASSERT_EQ(manager.Reports().size(), 1u);
    EXPECT_EQ(manager.Reports()[0].code, 20);
}

TEST(ThreadGroup, NamesCountsAndRemovesThreads) {
    ThreadGroup group("pool");
    group.JoinAll();  // empty: returns at once
    EXPECT_EQ(group.Size(), 0);

    std::atomic<int> runs{0};
    std::unique_ptr<Thread> first(group.CreateThread([&] { ++runs; }));
    std::unique_ptr<Thread> second(group.CreateThread([&] { ++runs; }));
    EXPECT_EQ(first->GetName(), "pool created thread #1");
    EXPECT_EQ(second->GetName(), "pool created thread #2");
    EXPECT_EQ(group.Size(), 2);
    group.RemoveThread(first.get());
    EXPECT_EQ(group.Size(), 1);
    group.RemoveThread(first.get());  // no longer in the group
    EXPECT_EQ(group.Size(), 1);
    group.JoinAll();
    first->Join();
    EXPECT_EQ(runs, 2);

    // The counter only grows, so names stay unique.
    std::unique_ptr<Thread> third(group.CreateThread([] {}));
    EXPECT_EQ(third->GetName(), "pool created thread #3");

    // Copying moves the group; the copy goes on counting.
    ThreadGroup moved(group);
    EXPECT_EQ(moved.GetName(), "pool");
    EXPECT_EQ(group.Size(), 0);
    EXPECT_THROW(group.CreateThread([] {}), std::logic_error);
    std::unique_ptr<Thread> fourth(moved.CreateThread([] {}));
    EXPECT_EQ(fourth->GetName(), "pool created thread #4");
    EXPECT_EQ(moved.Size(), 3);
    moved.JoinAll();
}

// Every thread object is released exactly once whatever is destroyed first: ASan
// reports a second release, LSan a missing one.
TEST(ThreadGroup, EveryThreadObjectIsReleasedOnceInAnyOrder) {
    // Created by the group, Thread deleted first.
    {
        auto group = std::make_unique<ThreadGroup>("g");
        delete group->CreateThread([] {});
        group->JoinAll();
    }
    // Created by the group, group destroyed first.
    {
        auto group = std::make_unique<ThreadGroup>("g");
        std::unique_ptr<Thread> thread(group->CreateThread([] {}));
        group->JoinAll();
        group.reset();
    }
    // Removed from the group: the Thread is the only owner, in either order.
    {
        auto group = std::make_unique<ThreadGroup>("g");
        std::unique_ptr<Thread> thread(group->CreateThread([] {}));
        group->RemoveThread(thread.get());
        group.reset();
        thread->Join();
    }
    // Added to a group: the group owns it, in either order.
    for (int order = 0; order < 2; ++order) {
        auto group = std::make_unique<ThreadGroup>("g");
        auto thread = std::make_unique<Thread>("t", [] {});
        group->AddThread(thread.get());
        group->AddThread(thread.get());  // already there: nothing changes
        EXPECT_EQ(group->Size(), 1);
        group->JoinAll();
        if (order == 0) {
            thread.reset();
            group.reset();
        } else {
            group.reset();
            thread.reset();
        }
    }
    // Added, removed again, then moved: the moved-to Thread owns it.
    {
        ThreadGroup group("g");
        InspectableThread thread("t", [] {});
        group.AddThread(&thread);
        group.RemoveThread(&thread);
        EXPECT_EQ(group.Size(), 0);
        InspectableThread moved(thread);
        moved.Join();
    }
    // A thread of one group cannot join another.
    {
        ThreadGroup one("one");
        ThreadGroup two("two");
        std::unique_ptr<Thread> thread(one.CreateThread([] {}));
        EXPECT_THROW(two.AddThread(thread.get()), std::invalid_argument);
        EXPECT_EQ(two.Size(), 0);
        one.JoinAll();
    }
    // A group's thread handed on by copy stays the group's.
    {
        auto group = std::make_unique<ThreadGroup>("g");
        std::unique_ptr<Thread> thread(group->CreateThread([] {}));
        auto moved = std::make_unique<Thread>(*thread);
        EXPECT_NE(InspectableThread::ObjectOf(*moved), nullptr);
        EXPECT_EQ(InspectableThread::ObjectOf(*thread), nullptr);
        group->JoinAll();
        group.reset();
        moved.reset();
    }
}

TEST(Thread, CurrentThreadIdIsTheKernelId) {
    EXPECT_EQ(GetCurrentThreadID(), static_cast<std::uint32_t>(getpid()));  // the main thread
    std::uint32_t other = 0;
    Thread thread("id", [&] { other = GetCurrentThreadID(); });
    thread.Join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, GetCurrentThreadID());
}

TEST(Thread, SleepWaitsUntilAnAbsoluteTime) {
    boost::xtime past{};
    Thread::Sleep(past);  // 1970: returns at once
    boost::xtime farPast{};
    farPast.sec = -(1LL << 62);
    Thread::Sleep(farPast);

    boost::xtime until;
    boost::xtime_get(&until, boost::TIME_UTC_);
    until.nsec += 30 * 1000 * 1000;
    if (until.nsec >= 1000 * 1000 * 1000) {
        until.nsec -= 1000 * 1000 * 1000;
        ++until.sec;
    }
    Thread::Sleep(until);
    boost::xtime now;
    boost::xtime_get(&now, boost::TIME_UTC_);
    EXPECT_GE(boost::xtime_cmp(now, until), 0);
    Thread::YieldTime();
}

namespace {

std::atomic<int> gOnceRuns{0};
std::atomic<bool> gOnceCompleted{false};

void SlowOnce() {
    ++gOnceRuns;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    gOnceCompleted = true;
}

std::atomic<int> gThrowingRuns{0};
void ThrowsFirstTime() {
    if (++gThrowingRuns == 1) throw std::runtime_error("first");
}

std::int32_t gReentrantFlag = 0;
void CallsItselfAgain() { CallOnce(CallsItselfAgain, gReentrantFlag); }

}  // namespace

TEST(CallOnce, RunsOnceAndEveryCallerReturnsAfterItCompleted) {
    gOnceRuns = 0;
    gOnceCompleted = false;
    std::int32_t flag = 0;
    const int kThreads = 8;
    Barrier start("start", kThreads);
    std::atomic<int> returnedEarly{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            start.Wait();
            CallOnce(SlowOnce, flag);
            if (!gOnceCompleted) ++returnedEarly;
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(gOnceRuns, 1);
    EXPECT_EQ(returnedEarly, 0);
    EXPECT_EQ(flag, 1);
    CallOnce(SlowOnce, flag);
    EXPECT_EQ(gOnceRuns, 1);
}

TEST(CallOnce, AThrowingFunctionLeavesTheFlagForALaterTry) {
    gThrowingRuns = 0;
    gReentrantFlag = 0;
    std::int32_t flag = 0;
    EXPECT_THROW(CallOnce(ThrowsFirstTime, flag), std::runtime_error);
    EXPECT_EQ(flag, 0);
    CallOnce(ThrowsFirstTime, flag);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(gThrowingRuns, 2);

    // Calling again from inside the function would wait for itself forever.
    RecordingErrorManager manager;
    EXPECT_THROW(CallOnce(CallsItselfAgain, gReentrantFlag), boost::lock_error);
    ASSERT_EQ(manager.Reports().size(), 1u);
    EXPECT_EQ(manager.Reports()[0].code, 21);
    EXPECT_EQ(gReentrantFlag, 0);
}
