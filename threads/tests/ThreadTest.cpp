// Tests of the recursive mutex, the condition, error conversion, barriers, threads, groups and CallOnce.
#include <tarncore/threads/Barrier.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore/threads/Thread.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include "threads/internal/Condition.h"
#include "threads/src/ErrorConversion.h"
#include "threads/src/LockState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include <unistd.h>

using namespace tarncore::threads;
using tarncore::testing::RecordingErrorManager;
using Lock = ScopedLock<RecursiveMutex, boost::recursive_mutex>;
using namespace std::chrono_literals;

namespace {

// Reaches the protected mutex: how deep its owner holds it, and whether another thread
// could take it now.
class InspectableMutex : public RecursiveMutex {
public:
    std::uint32_t Depth() const { return Counted(GetMutex())->depth; }
    bool FreeForOthers() const {
        bool free = false;
        std::thread([&] {
            if ((free = GetMutex()->try_lock())) GetMutex()->unlock();
        }).join();
        return free;
    }
};

// Reaches the protected thread object.
struct InspectableThread : Thread {
    static bool HasObject(Thread& inThread) { return (inThread.*&InspectableThread::GetThread)(); }
};

// The one report a thread failure makes (code 20: resources, 21: lock); clears it.
void ExpectOneReport(RecordingErrorManager& ioManager, std::int32_t inCode) {
    ASSERT_EQ(ioManager.Reports().size(), 1u);
    const auto& r = ioManager.Reports()[0];
    const std::string key =
        inCode == 20 ? "$$$/tarn/threads/Error/NotEnoughThreadResources=Not enough thread resources."
                     : "$$$/tarn/threads/Error/FailedToAcquireThreadLock=Failure to acquire thread lock.";
    EXPECT_EQ(std::tie(r.level, r.key, r.component, r.code, r.deferrable),
              std::make_tuple(tarncore::config::kErrorLevelNonFatal, key, 106u, inCode, true));
    ioManager.Clear();
}

}  // namespace

TEST(RecursiveMutex, LocksRecursivelyAndMovesOnCopy) {
    RecordingErrorManager manager;
    InspectableMutex a, c;
    {
        Lock outer("outer", a, true);
        {
            Lock inner(a, true);  // same thread: does not block
            EXPECT_EQ(outer.GetName(), "outer");
            EXPECT_TRUE(inner.GetName().empty() && inner.IsLocked());
            EXPECT_FALSE(Lock(a, false).IsLocked());  // takes and releases nothing
            EXPECT_EQ(a.Depth(), 2u);
        }
        EXPECT_EQ(a.Depth(), 1u);
        EXPECT_FALSE(a.FreeForOthers());  // only the outermost lock frees the mutex
    }
    InspectableMutex b(a);
    EXPECT_TRUE(b.FreeForOthers());
    // Locking the moved-away source is a lock failure; not locking it is harmless.
    EXPECT_THROW(Lock(a, true), boost::lock_error);
    ExpectOneReport(manager, 21);
    { Lock idle(a, false); }
    static_cast<RecursiveMutex&>(c) = b;  // c's own mutex goes, b's comes
    c = static_cast<InspectableMutex&>(c);
    EXPECT_TRUE(c.FreeForOthers());
}

TEST(Condition, WaitReleasesEveryLevelAndRestoresTheDepth) {
    InspectableMutex mutex;
    Condition condition;
    bool ready = false;  // guarded by the mutex
    Lock first(mutex, true), second(mutex, true), third(mutex, true);
    std::thread notifier([&] {
        Lock lock(mutex, true);  // only possible once the waiter released all three levels
        ready = true;
        condition.NotifyAll();
    });
    while (!ready) condition.Wait(second);
    EXPECT_EQ(mutex.Depth(), 3u);
    notifier.join();
}

TEST(ErrorConversion, TurnsTheTwoThreadFailuresIntoReports) {
    RecordingErrorManager manager;
    EXPECT_THROW(WithErrorConversion([] { throw boost::thread_resource_error(); }),
                 boost::thread_resource_error);
    ExpectOneReport(manager, 20);
    EXPECT_THROW(WithErrorConversion([] { throw boost::lock_error(); }), boost::lock_error);
    ExpectOneReport(manager, 21);
    // A wait on a lock that is not held is a lock failure too.
    RecursiveMutex mutex;
    Condition condition;
    Lock notHeld(mutex, false);
    EXPECT_THROW(condition.Wait(notHeld), boost::lock_error);
    ExpectOneReport(manager, 21);
    // Everything else passes unchanged and unreported.
    EXPECT_THROW(WithErrorConversion([] { throw std::runtime_error("other"); }), std::runtime_error);
    EXPECT_TRUE(manager.Reports().empty());
    // A host that throws from ReportError ends the operation with its own exception.
    manager.SetMode(RecordingErrorManager::kThrowAfterRecording);
    EXPECT_THROW(condition.Wait(notHeld), tarncore::testing::ReportedError);
    ExpectOneReport(manager, 21);
}

TEST(Barrier, OfThreeReleasesTwoRoundsWithOneLastArrivalEachAndMovesOnCopy) {
    Barrier barrier("three", 3);
    std::atomic<int> arrived[2] = {{0}, {0}}, lastArrivals[2] = {{0}, {0}};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 2; ++round) {
                ++arrived[round];
                if (barrier.Wait()) ++lastArrivals[round];
                EXPECT_EQ(arrived[round], 3);  // nobody leaves before all have come
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_TRUE(lastArrivals[0] == 1 && lastArrivals[1] == 1);

    try {
        Barrier("zero", 0);
        ADD_FAILURE() << "a barrier for no thread";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "count cannot be zero.");
    }
    Barrier a("a", 1), c("c", 2);
    Barrier b(a);
    EXPECT_TRUE(b.Wait());
    EXPECT_TRUE(b.Wait());  // a barrier of one: every wait is the last arrival
    EXPECT_THROW(a.Wait(), std::logic_error);
    c = b;
    EXPECT_EQ(c.GetName(), "a");
    EXPECT_TRUE(c.Wait());
    EXPECT_THROW(b.Wait(), std::logic_error);
}

TEST(Thread, MovesOnCopyReportsJoiningItselfAndKnowsItsKernelId) {
    RecordingErrorManager manager;
    std::atomic<Thread*> self{nullptr};
    std::uint32_t id = 0;
    Thread a("worker", [&] {
        id = GetCurrentThreadID();
        while (!self) std::this_thread::yield();
        EXPECT_THROW(self.load()->Join(), boost::thread_resource_error);
    });
    Thread b(a), c("other", [] {});
    EXPECT_FALSE(InspectableThread::HasObject(a));
    a.Join();  // nothing to wait for
    self = &b;
    b.Join();
    b.Join();  // joined already: returns at once
    ExpectOneReport(manager, 20);
    EXPECT_EQ(GetCurrentThreadID(), static_cast<std::uint32_t>(getpid()));  // the main thread
    EXPECT_TRUE(id != 0 && id != GetCurrentThreadID());

    c = b;  // c's thread object is released (its thread runs on), b's comes over
    EXPECT_EQ(c.GetName(), "worker");
    EXPECT_FALSE(InspectableThread::HasObject(b));
    c = static_cast<Thread&>(c);
    EXPECT_TRUE(InspectableThread::HasObject(c));
    Thread("main").Join();  // stands for the caller: nothing to join
}

// Every thread object is released exactly once whether the group or its Threads go
// first: ASan reports a second release, LSan a missing one.
TEST(ThreadGroup, NamesItsThreadsAndReleasesEachThreadObjectOnceInAnyOrder) {
    for (bool groupFirst : {false, true}) {
        auto group = std::make_unique<ThreadGroup>("g");
        std::unique_ptr<Thread> created(group->CreateThread([] {}));
        auto added = std::make_unique<Thread>("added", [] {});
        group->AddThread(added.get());
        group->AddThread(added.get());  // already there: nothing changes
        std::unique_ptr<Thread> removed(group->CreateThread([] {}));
        group->RemoveThread(removed.get());                 // the Thread owns it again...
        group->RemoveThread(removed.get());                 // (no longer in the group: nothing happens)
        auto movedOn = std::make_unique<Thread>(*removed);  // ...and hands it on
        // A group's thread handed on by copy stays the group's.
        std::unique_ptr<Thread> handed(group->CreateThread([] {}));
        auto handedCopy = std::make_unique<Thread>(*handed);
        EXPECT_TRUE(InspectableThread::HasObject(*handedCopy));
        ThreadGroup other("other");  // a thread of one group cannot join another
        EXPECT_THROW(other.AddThread(created.get()), std::invalid_argument);
        // A copy of the group takes its threads and its count; the counter only grows.
        auto moved = std::make_unique<ThreadGroup>(*group);
        EXPECT_EQ(group->Size(), 0);
        EXPECT_THROW(group->CreateThread([] {}), std::logic_error);
        std::unique_ptr<Thread> fourth(moved->CreateThread([] {}));
        EXPECT_EQ(moved->Size(), 4);
        EXPECT_EQ(created->GetName(), "g created thread #1");
        EXPECT_EQ(fourth->GetName(), "g created thread #4");
        if (!groupFirst) {
            delete moved->CreateThread([] {});  // deleted while it may still run
            created.reset();
            added.reset();
            handedCopy.reset();
        }
        moved->JoinAll();
        movedOn->Join();
        group.reset();
        moved.reset();
    }  // the remaining Threads go after their group
}

TEST(Thread, SleepWaitsUntilAnAbsoluteTime) {
    boost::xtime until{}, now;
    Thread::Sleep(until);  // 1970: returns at once
    until.sec = -(1LL << 62);
    Thread::Sleep(until);
    boost::xtime_get(&until, boost::TIME_UTC_);
    until.nsec = 999'999'999;  // the end of the current second
    Thread::Sleep(until);
    boost::xtime_get(&now, boost::TIME_UTC_);
    EXPECT_GE(boost::xtime_cmp(now, until), 0);
}

// CallOnce takes a plain function pointer, so the functions keep their state in statics.
TEST(CallOnce, RunsOnceUnderContentionAndAgainAfterAThrow) {
    static std::int32_t flag;
    static std::atomic<int> runs;
    flag = runs = 0;
    Barrier start("start", 8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            start.Wait();
            CallOnce(
                +[] {
                    std::this_thread::sleep_for(20ms);
                    ++runs;
                },
                flag);
            EXPECT_EQ(runs, 1);  // every caller returns after the one run completed
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(flag, 1);

    // A throwing function leaves the flag at 0, and a later call tries again.
    flag = 0;
    const auto throwsFirstTime = +[] {
        if (++runs == 2) throw std::runtime_error("first");
    };
    EXPECT_THROW(CallOnce(throwsFirstTime, flag), std::runtime_error);
    EXPECT_EQ(flag, 0);
    CallOnce(throwsFirstTime, flag);
    CallOnce(throwsFirstTime, flag);  // done: returns at once
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(runs, 3);

    // Calling again from inside the function would wait for itself forever.
    RecordingErrorManager manager;
    flag = 0;
    EXPECT_THROW(CallOnce(
                     +[] {
                         CallOnce(
                             +[] {}, flag);
                     },
                     flag),
                 boost::lock_error);
    ExpectOneReport(manager, 21);
    EXPECT_EQ(flag, 0);
}
