// ScopedLock on RecursiveMutex against std::recursive_mutex with std::lock_guard, taken
// and released without contention, alone and nested two deep. The bare boost mutex
// underneath is measured beside them as the floor. After the table the program prints
// the ratios ScopedLock / std from the same run.
#include <tarncore/threads/Mutex.h>

#include <benchmark/benchmark.h>

#include <boost/thread/recursive_mutex.hpp>

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

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

// The floor: the boost mutex that ScopedLock wraps, locked and unlocked by hand.
static void Floor_BoostRecursiveMutex(benchmark::State& state) {
    boost::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        benchmark::ClobberMemory();
        mutex.unlock();
    }
}
BENCHMARK(Floor_BoostRecursiveMutex);

namespace {

// Shows the usual table and keeps each benchmark's times for the ratios: the median
// when the run has repetitions, else the one measurement.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& inRuns) override {
        ConsoleReporter::ReportRuns(inRuns);
        for (const Run& run : inRuns) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                mTimes[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }

    void PrintRatio(const char* inLabel, const std::string& inOurs, const std::string& inPeer) const {
        const auto ours = mTimes.find(inOurs);
        const auto peer = mTimes.find(inPeer);
        if (ours == mTimes.end() || peer == mTimes.end()) return;
        std::printf("%-24s %7.2f ns %7.2f ns   ratio %.2f   (CPU time: %.2f ns / %.2f ns = %.2f)\n", inLabel,
                    ours->second.real, peer->second.real, ours->second.real / peer->second.real,
                    ours->second.cpu, peer->second.cpu, ours->second.cpu / peer->second.cpu);
    }

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nScopedLock / std::recursive_mutex + std::lock_guard, same run (< 1: ScopedLock faster)\n");
    reporter.PrintRatio("uncontended", "ScopedLock_Uncontended", "StdLockGuard_Uncontended");
    reporter.PrintRatio("nested two deep", "ScopedLock_Nested2", "StdLockGuard_Nested2");
    reporter.PrintRatio("boost mutex alone / std", "Floor_BoostRecursiveMutex", "StdLockGuard_Uncontended");
    benchmark::Shutdown();
    return 0;
}
