// TraceEnabled on a category it knows, enabled and not, against what the fastest logging
// libraries do on their hot path: one atomic load of a level and a compare, measured in
// the same binary. The trace settings live in a temporary folder for the run (it is
// XDG_CONFIG_HOME), never in the user's. The ratios are printed at the end.
#include <tarncore/debug/Trace.h>
#include <tarncore/utility/StringTypes.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tarncore::utility::MakeUTF8;
using tarncore::utility::UTF8String;

const UTF8String& ShortCategory() {
    static const UTF8String name = MakeUTF8("Bench");
    return name;
}

const UTF8String& LongCategory() {
    static const UTF8String name = MakeUTF8("TARN.Allocator.Statistics");
    return name;
}

// A level as the logging libraries keep it; 5 like a new category's volume.
std::atomic<std::int32_t> gLevel{5};

void BM_AtomicLevel(benchmark::State& state) {
    std::int32_t volume = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(volume);
        const bool on = volume <= gLevel.load(std::memory_order_relaxed);
        benchmark::DoNotOptimize(on);
    }
}

void Query(benchmark::State& state, const UTF8String& inCategory, std::int32_t inVolume, bool inExpected) {
    if (tarncore::debug::TraceEnabled(inCategory, inVolume, true) != inExpected) {
        state.SkipWithError("unexpected answer");
        return;
    }
    std::int32_t volume = inVolume;
    for (auto _ : state) {
        benchmark::DoNotOptimize(volume);
        const bool on = tarncore::debug::TraceEnabled(inCategory, volume, true);
        benchmark::DoNotOptimize(on);
    }
}

// A known category at a volume it lets through.
void BM_TraceEnabled_Enabled(benchmark::State& state) { Query(state, ShortCategory(), 3, true); }
// The same category at a volume above its own: disabled.
void BM_TraceEnabled_DisabledVolume(benchmark::State& state) { Query(state, ShortCategory(), 6, false); }
// A volume above the master's: decided before the category is looked at.
void BM_TraceEnabled_AboveMaster(benchmark::State& state) { Query(state, ShortCategory(), 11, false); }
// A longer name, compared whole on every query.
void BM_TraceEnabled_LongName(benchmark::State& state) { Query(state, LongCategory(), 3, true); }

// Five runs each: the machine is shared, and the ratios take each one's fastest run.
constexpr int kRuns = 5;
BENCHMARK(BM_AtomicLevel)->Repetitions(kRuns);
BENCHMARK(BM_TraceEnabled_Enabled)->Repetitions(kRuns);
BENCHMARK(BM_TraceEnabled_DisabledVolume)->Repetitions(kRuns);
BENCHMARK(BM_TraceEnabled_AboveMaster)->Repetitions(kRuns);
BENCHMARK(BM_TraceEnabled_LongName)->Repetitions(kRuns);
BENCHMARK(BM_AtomicLevel)->Threads(2)->UseRealTime()->Repetitions(kRuns);
BENCHMARK(BM_TraceEnabled_Enabled)->Threads(2)->UseRealTime()->Repetitions(kRuns);

// Remembers each benchmark's fastest time per call, on each thread, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& inRuns) override {
        for (const Run& run : inRuns) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
            // CPU time alone, real time with threads (each thread's share of the calls).
            const double perCall = run.threads > 1 ? run.real_accumulated_time / run.iterations * run.threads
                                                   : run.cpu_accumulated_time / run.iterations;
            const std::string name = run.run_name.function_name +
                                     (run.threads > 1 ? "/threads:" + std::to_string(run.threads) : "");
            const auto found = mTimes.find(name);
            if (found == mTimes.end() || perCall < found->second) mTimes[name] = perCall;
        }
        ConsoleReporter::ReportRuns(inRuns);
    }

    // Time of ours, time of the atomic load, and the first over the second (the target
    // is at most 10).
    void PrintRatio(const char* inWhat, const std::string& inOurs, const std::string& inPeer) const {
        const auto ours = mTimes.find(inOurs), peer = mTimes.find(inPeer);
        if (ours == mTimes.end() || peer == mTimes.end() || peer->second <= 0) return;
        std::printf("%-52s %5.2f ns / %5.2f ns = %5.1f\n", inWhat, ours->second * 1e9, peer->second * 1e9,
                    ours->second / peer->second);
    }

private:
    std::map<std::string, double> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The trace settings file goes to a folder of this run's own.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench_trace-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder(buffer.data());
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nFastest of %d runs, time of ours / time of the atomic load (target at most 10):\n", kRuns);
    reporter.PrintRatio("TraceEnabled, enabled / atomic level", "BM_TraceEnabled_Enabled", "BM_AtomicLevel");
    reporter.PrintRatio("TraceEnabled, volume above the category's / atomic",
                        "BM_TraceEnabled_DisabledVolume", "BM_AtomicLevel");
    reporter.PrintRatio("TraceEnabled, volume above the master's / atomic", "BM_TraceEnabled_AboveMaster",
                        "BM_AtomicLevel");
    reporter.PrintRatio("TraceEnabled, 25-byte name / atomic", "BM_TraceEnabled_LongName", "BM_AtomicLevel");
    reporter.PrintRatio("TraceEnabled, enabled, 2 threads / atomic, 2 threads",
                        "BM_TraceEnabled_Enabled/threads:2", "BM_AtomicLevel/threads:2");
    tarncore::debug::ShutdownTraceManager();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    benchmark::Shutdown();
    return 0;
}
