#include <tarncore/threads/Barrier.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include "threads/src/Condition.h"
#include "threads/src/ErrorConversion.h"
#include "threads/src/LockState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace tarncore::threads;
using tarncore::testing::RecordingErrorManager;
using tarncore::testing::ReportedError;
using Lock = ScopedLock<RecursiveMutex, boost::recursive_mutex>;

namespace {

const char* const kResourcesKey =
    "$$$/tarn/threads/Error/NotEnoughThreadResources=Not enough thread resources.";
const char* const kLockKey =
    "$$$/tarn/threads/Error/FailedToAcquireThreadLock=Failure to acquire thread lock.";

// Reaches the protected mutex to read how deep its owner holds it.
class InspectableMutex : public RecursiveMutex {
public:
    bool HasMutex() const { return GetMutex() != nullptr; }
    std::uint32_t Depth() const { return Counted(GetMutex())->depth; }
};

// Whether another thread can take the mutex within a short while. A thread that cannot
// is left waiting until the caller releases the mutex, and is joined then.
class OtherThreadLock {
public:
    explicit OtherThreadLock(RecursiveMutex& inMutex)
        : mThread([this, &inMutex] {
              Lock lock(inMutex, true);
              mAcquired = true;
          }) {}
    ~OtherThreadLock() { mThread.join(); }

    bool AcquiredWithin(std::chrono::milliseconds inWait) {
        const auto deadline = std::chrono::steady_clock::now() + inWait;
        while (!mAcquired && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return mAcquired;
    }

private:
    std::atomic<bool> mAcquired{false};
    std::thread mThread;
};

void ExpectOneReport(const RecordingErrorManager& inManager, std::int32_t inCode, const char* inKey) {
    ASSERT_EQ(inManager.Reports().size(), 1u);
    const auto& report = inManager.Reports()[0];
    EXPECT_EQ(report.level, tarncore::config::kErrorLevelNonFatal);
    EXPECT_EQ(report.key, inKey);
    EXPECT_EQ(report.component, 106u);
    EXPECT_EQ(report.code, inCode);
    EXPECT_TRUE(report.deferrable);
    for (const auto& value : report.values)
        EXPECT_EQ(value.GetKind(), tarncore::config::ReplacementValue::kValueNone);
}

}  // namespace

TEST(ScopedLock, NestedLocksAreRecursiveAndTheOuterOneFreesTheMutex) {
    InspectableMutex mutex;
    {
        Lock outer("outer", mutex, true);
        EXPECT_EQ(outer.GetName(), "outer");
        {
            Lock inner(mutex, true);  // same thread: does not block
            EXPECT_TRUE(inner.GetName().empty());
            EXPECT_EQ(mutex.Depth(), 2u);
            {
                Lock notLocked(mutex, false);
                EXPECT_FALSE(notLocked.IsLocked());
            }  // releases nothing
            EXPECT_EQ(mutex.Depth(), 2u);
        }
        EXPECT_EQ(mutex.Depth(), 1u);
    }
    EXPECT_EQ(mutex.Depth(), 0u);
}

TEST(ScopedLock, MutexIsFreeOnlyAfterTheOutermostLockGoes) {
    RecursiveMutex mutex;
    auto outer = std::make_unique<Lock>(mutex, true);
    auto inner = std::make_unique<Lock>(mutex, true);
    {
        std::atomic<bool> acquired{false};
        std::thread other([&] {
            Lock lock(mutex, true);
            acquired = true;
        });
        inner.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(acquired);  // still held once by `outer`
        outer.reset();
        other.join();
        EXPECT_TRUE(acquired);
    }
}

TEST(RecursiveMutex, CopyingMovesTheMutex) {
    RecordingErrorManager manager;
    InspectableMutex a;
    RecursiveMutex b(a);
    EXPECT_FALSE(a.HasMutex());
    { Lock lock(b, true); }
    {
        OtherThreadLock other(b);  // b was unlocked again
        EXPECT_TRUE(other.AcquiredWithin(std::chrono::seconds(10)));
    }

    // Locking the moved-away source is a lock failure; not locking it is harmless.
    EXPECT_THROW(Lock(a, true), boost::lock_error);
    ExpectOneReport(manager, 21, kLockKey);
    { Lock idle(a, false); }

    InspectableMutex c;
    static_cast<RecursiveMutex&>(c) = b;  // c's own mutex goes, b's comes
    EXPECT_TRUE(c.HasMutex());
    InspectableMutex& same = c;
    c = same;
    EXPECT_TRUE(c.HasMutex());
    { Lock lock(c, true); }
}

TEST(Condition, WaitReleasesEveryLevelAndRestoresTheDepth) {
    InspectableMutex mutex;
    Condition condition;
    bool ready = false;  // guarded by the mutex
    std::atomic<bool> waiting{false};
    std::uint32_t depthAfterWait = 0;

    std::thread waiter([&] {
        Lock first(mutex, true);
        Lock second(mutex, true);
        Lock third(mutex, true);
        waiting = true;
        while (!ready) condition.Wait(second);
        depthAfterWait = mutex.Depth();
    });
    while (!waiting) std::this_thread::yield();
    {
        Lock lock(mutex, true);  // only possible if the waiter released all three levels
        ready = true;
        condition.NotifyAll();
    }
    waiter.join();
    EXPECT_EQ(depthAfterWait, 3u);
    EXPECT_EQ(mutex.Depth(), 0u);
}

TEST(Condition, WaitWithoutTheLockIsALockFailure) {
    RecursiveMutex mutex;
    Condition condition;
    Lock notHeld(mutex, false);
    {
        RecordingErrorManager manager;
        EXPECT_THROW(condition.Wait(notHeld), boost::lock_error);  // report returned: rethrown
        ExpectOneReport(manager, 21, kLockKey);
    }
    {
        RecordingErrorManager manager(RecordingErrorManager::kThrowAfterRecording);
        try {
            condition.Wait(notHeld);
            FAIL() << "waited without the lock";
        } catch (const ReportedError& e) {
            EXPECT_STREQ(e.what(), "Failure to acquire thread lock.");
        }
    }
}

TEST(ErrorConversion, TurnsTheTwoThreadFailuresIntoReports) {
    RecordingErrorManager manager;
    EXPECT_THROW(WithErrorConversion([]() -> int { throw boost::thread_resource_error(); }),
                 boost::thread_resource_error);
    ExpectOneReport(manager, 20, kResourcesKey);
    manager.Clear();
    EXPECT_THROW(WithErrorConversion([] { throw boost::lock_error(); }), boost::lock_error);
    ExpectOneReport(manager, 21, kLockKey);
    manager.Clear();

    // Everything else passes unchanged and unreported; results come through.
    EXPECT_THROW(WithErrorConversion([] { throw std::runtime_error("other"); }), std::runtime_error);
    EXPECT_EQ(WithErrorConversion([] { return 42; }), 42);
    EXPECT_TRUE(manager.Reports().empty());

    // A host that throws from ReportError ends the operation with its own exception.
    manager.SetMode(RecordingErrorManager::kThrowAfterRecording);
    try {
        WithErrorConversion([] { throw boost::thread_resource_error(); });
        FAIL() << "no exception";
    } catch (const ReportedError& e) {
        EXPECT_STREQ(e.what(), "Not enough thread resources.");
    }
}

TEST(Barrier, OfThreeReleasesTwoRoundsWithOneLastArrivalEach) {
    Barrier barrier("three", 3);
    EXPECT_EQ(barrier.GetName(), "three");
    std::atomic<int> arrived[2] = {{0}, {0}};
    std::atomic<int> lastArrivals[2] = {{0}, {0}};
    std::atomic<int> earlyLeaves{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 2; ++round) {
                ++arrived[round];
                if (barrier.Wait()) ++lastArrivals[round];
                if (arrived[round] != 3) ++earlyLeaves;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(lastArrivals[0], 1);
    EXPECT_EQ(lastArrivals[1], 1);
    EXPECT_EQ(earlyLeaves, 0);

    Barrier single("one", 1);
    EXPECT_TRUE(single.Wait());
    EXPECT_TRUE(single.Wait());
}

TEST(Barrier, RefusesZeroAndMovesOnCopy) {
    try {
        Barrier barrier("zero", 0);
        FAIL() << "a barrier for no thread";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "count cannot be zero.");
    }

    Barrier a("a", 1);
    Barrier b(a);
    EXPECT_EQ(b.GetName(), "a");
    EXPECT_TRUE(b.Wait());
    EXPECT_THROW(a.Wait(), std::logic_error);

    Barrier c("c", 2);
    c = b;
    EXPECT_EQ(c.GetName(), "a");
    EXPECT_TRUE(c.Wait());
    EXPECT_THROW(b.Wait(), std::logic_error);
}
