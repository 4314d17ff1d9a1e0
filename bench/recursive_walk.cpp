// The recursive file walk against std::filesystem::recursive_directory_iterator.
// Both walk the same generated tree: 2,500 folders (50 at the top, 49 below each) holding
// 20 files each, 50,000 files in all. The tree is made in the temporary folder when the
// program starts and removed when it ends. Both walks visit every file and touch its
// full path; the ratio of their times is printed at the end.
#include <tarncore/filesupport/RecursiveFileIterator.h>
#include <tarncore/utility/NativePaths.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tarncore;

namespace {

constexpr int kTopFolders = 50;
constexpr int kSubfoldersEach = 49;
constexpr int kFilesPerFolder = 20;
constexpr std::size_t kFiles =
    static_cast<std::size_t>(kTopFolders) * (1 + kSubfoldersEach) * kFilesPerFolder;

class Tree {
public:
    Tree() : mRoot(fs::temp_directory_path() / ("tarncore-walk-" + std::to_string(::getpid()))) {
        fs::remove_all(mRoot);
        for (int top = 0; top < kTopFolders; ++top) {
            const fs::path folder = mRoot / ("folder" + std::to_string(top));
            Fill(folder);
            for (int sub = 0; sub < kSubfoldersEach; ++sub) Fill(folder / ("sub" + std::to_string(sub)));
        }
    }
    ~Tree() {
        std::error_code ignored;
        fs::remove_all(mRoot, ignored);
    }
    const fs::path& Root() const { return mRoot; }

private:
    static void Fill(const fs::path& inFolder) {
        fs::create_directories(inFolder);
        for (int file = 0; file < kFilesPerFolder; ++file)
            std::ofstream(inFolder / ("file" + std::to_string(file) + ".dat")) << file;
    }

    fs::path mRoot;
};

Tree* sTree = nullptr;

void BM_RecursiveFileIterator(benchmark::State& state) {
    utility::UTF16String root;
    (void)utility::FromNativePath(sTree->Root().string(), root);
    const filesupport::Dir start(root);
    for (auto _ : state) {
        std::size_t files = 0, units = 0;
        const filesupport::RecursiveFileIterator end;
        for (filesupport::RecursiveFileIterator it(start, false); it != end; ++it) {
            units += (*it).FullPath().size();
            ++files;
        }
        benchmark::DoNotOptimize(units);
        if (files != kFiles) state.SkipWithError("wrong number of files");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kFiles));
}

void BM_StdRecursiveDirectoryIterator(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t files = 0, units = 0;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sTree->Root())) {
            if (!entry.is_regular_file()) continue;
            units += entry.path().native().size();
            ++files;
        }
        benchmark::DoNotOptimize(units);
        if (files != kFiles) state.SkipWithError("wrong number of files");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kFiles));
}

BENCHMARK(BM_RecursiveFileIterator)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StdRecursiveDirectoryIterator)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Remembers each benchmark's real and CPU time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& inRuns) override {
        for (const Run& run : inRuns) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                mTimes[run.benchmark_name()] = {run.real_accumulated_time / run.iterations,
                                                run.cpu_accumulated_time / run.iterations};
            }
        }
        ConsoleReporter::ReportRuns(inRuns);
    }
    std::map<std::string, std::pair<double, double>> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Tree tree;
    sTree = &tree;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::pair<double, double> ours, peer;
    for (const auto& [name, times] : reporter.mTimes) {
        if (name.rfind("BM_RecursiveFileIterator", 0) == 0) ours = times;
        if (name.rfind("BM_StdRecursiveDirectoryIterator", 0) == 0) peer = times;
    }
    // On a shared machine the CPU time is the steadier of the two.
    if (peer.first > 0 && peer.second > 0)
        std::printf(
            "ratio RecursiveFileIterator / std::filesystem::recursive_directory_iterator: "
            "%.2f (CPU time), %.2f (real time)\n",
            ours.second / peer.second, ours.first / peer.first);
    benchmark::Shutdown();
    return 0;
}
