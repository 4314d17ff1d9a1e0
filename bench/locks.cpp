// ScopedLock on RecursiveMutex against std::recursive_mutex with std::lock_guard, taken
// and released without contention, alone and nested two deep. The two parts of the
// wrapper's cost are measured beside it: the bare boost mutex and the heap lock record
// that every ScopedLock allocates.
#include <tarncore/threads/Mutex.h>

#include <benchmark/benchmark.h>

#include <boost/thread/recursive_mutex.hpp>

#include <mutex>

using tarncore::threads::RecursiveMutex;
using Lock = tarncore::threads::ScopedLock<RecursiveMutex, boost::recursive_mutex>;

static void ScopedLock_Uncontended(benchmark::State& state) {
    RecursiveMutex mutex;
    for (auto _ : state) {
        Lock lock(mutex, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ScopedLock_Uncontended);

static void StdLockGuard_Uncontended(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(StdLockGuard_Uncontended);

static void ScopedLock_Nested2(benchmark::State& state) {
    RecursiveMutex mutex;
    for (auto _ : state) {
        Lock outer(mutex, true);
        Lock inner(mutex, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ScopedLock_Nested2);

static void StdLockGuard_Nested2(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> outer(mutex);
        std::lock_guard<std::recursive_mutex> inner(mutex);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(StdLockGuard_Nested2);

// The parts of the wrapper's cost.
static void Cost_BoostRecursiveMutex(benchmark::State& state) {
    boost::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        benchmark::ClobberMemory();
        mutex.unlock();
    }
}
BENCHMARK(Cost_BoostRecursiveMutex);

namespace {
struct LockRecordLike {
    boost::recursive_mutex* mutex;
    bool locked;
};
}  // namespace

static void Cost_LockRecordNewDelete(benchmark::State& state) {
    for (auto _ : state) {
        auto* record = new LockRecordLike{nullptr, false};
        benchmark::DoNotOptimize(record);
        delete record;
    }
}
BENCHMARK(Cost_LockRecordNewDelete);

BENCHMARK_MAIN();
