// Byte streams against their peers, each pair in this binary:
//  - CRC-32: OCRCByteStream over 256 MiB written in 64 KiB blocks (one random 64 KiB
//    block, written 4096 times, into a counting stream that stores nothing) against
//    zlib's crc32 over the same blocks; both must give the same value.
//  - File writing: 256 MiB through OBufferedByteStream (32768, 4096) over
//    OPlatformByteStream, in 64 KiB blocks and in single Puts, against fwrite of the
//    same 64 KiB blocks (and fputc for single bytes), each from creating the file to
//    closing it, in the temporary folder. Real time: the kernel does the work. Both
//    sides empty the file with File::Create and then open it for writing: opened with
//    "wb" instead, ext4 would start writing the file back at fclose (its guard for
//    files replaced by truncation), which measures the disk rather than the writer.
//  - Ten million std::uint32_t through operator<< into an OBufferedByteStream (32768,
//    4096) over an OStringByteStream, against appending the big-endian bytes to a
//    std::string by hand.
// The ratios are printed at the end.
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>
#include <tarncore/utility/NativePaths.h>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tarncore;
using namespace tarncore::filesupport;

namespace {

constexpr std::size_t kBlock = 64 * 1024;
constexpr std::size_t kTotal = 256u * 1024 * 1024;
constexpr std::size_t kBlocks = kTotal / kBlock;
constexpr std::uint32_t kValues = 10000000;

const std::vector<unsigned char>& Block() {
    static const std::vector<unsigned char> block = [] {
        std::vector<unsigned char> bytes(kBlock);
        std::mt19937 random(42);
        for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
        return bytes;
    }();
    return block;
}

const std::string& FilePath() {
    static const std::string path =
        (fs::temp_directory_path() / ("tarncore-bytestreams-" + std::to_string(::getpid()) + ".bin"))
            .string();
    return path;
}

File TheFile() {
    utility::UTF16String path;
    (void)utility::FromNativePath(FilePath(), path);
    return File(path);
}

std::uint32_t OurCrc() {
    OCountingByteStream nowhere;
    OCRCByteStream crc(nowhere);
    for (std::size_t i = 0; i < kBlocks; ++i) crc.WriteBlock(Block().data(), kBlock);
    return crc.Value();
}

std::uint32_t ZlibCrc() {
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t i = 0; i < kBlocks; ++i) crc = crc32(crc, Block().data(), kBlock);
    return static_cast<std::uint32_t>(crc);
}

void BM_Crc_OCRCByteStream(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(OurCrc());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Crc_zlib(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ZlibCrc());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Write_BufferedBlocks(benchmark::State& state) {
    for (auto _ : state) {
        File file = TheFile();
        file.Create();
        OPlatformByteStream target(file);
        OBufferedByteStream out(target, 32768, 4096);
        for (std::size_t i = 0; i < kBlocks; ++i) out.WriteBlock(Block().data(), kBlock);
        out.Flush();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Write_BufferedPuts(benchmark::State& state) {
    for (auto _ : state) {
        File file = TheFile();
        file.Create();
        OPlatformByteStream target(file);
        OBufferedByteStream out(target, 32768, 4096);
        for (std::size_t i = 0; i < kBlocks; ++i)
            for (unsigned char byte : Block()) out.Put(byte);
        out.Flush();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Write_fwriteBlocks(benchmark::State& state) {
    for (auto _ : state) {
        TheFile().Create();
        std::FILE* file = std::fopen(FilePath().c_str(), "r+b");
        if (file == nullptr) return state.SkipWithError("fopen failed");
        for (std::size_t i = 0; i < kBlocks; ++i) std::fwrite(Block().data(), 1, kBlock, file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Write_fputc(benchmark::State& state) {
    for (auto _ : state) {
        TheFile().Create();
        std::FILE* file = std::fopen(FilePath().c_str(), "r+b");
        if (file == nullptr) return state.SkipWithError("fopen failed");
        for (std::size_t i = 0; i < kBlocks; ++i)
            for (unsigned char byte : Block()) std::fputc(byte, file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_Encode_UInt32(benchmark::State& state) {
    for (auto _ : state) {
        std::string bytes;
        {
            OStringByteStream target(bytes);
            OBufferedByteStream out(target, 32768, 4096);
            for (std::uint32_t i = 0; i < kValues; ++i) out << i;
        }
        if (bytes.size() != 4u * kValues) return state.SkipWithError("wrong size");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}

void BM_Encode_ByHand(benchmark::State& state) {
    for (auto _ : state) {
        std::string bytes;
        for (std::uint32_t i = 0; i < kValues; ++i) {
            const char value[4] = {static_cast<char>(i >> 24), static_cast<char>(i >> 16),
                                   static_cast<char>(i >> 8), static_cast<char>(i)};
            bytes.append(value, 4);
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}

BENCHMARK(BM_Crc_OCRCByteStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Crc_zlib)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Write_BufferedBlocks)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();
BENCHMARK(BM_Write_fwriteBlocks)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();
BENCHMARK(BM_Write_BufferedPuts)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Write_fputc)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Encode_UInt32)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Encode_ByHand)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Remembers each benchmark's real and CPU time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& inRuns) override {
        for (const Run& run : inRuns) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                const std::string name = run.benchmark_name();
                mTimes[name.substr(0, name.find('/'))] = {run.real_accumulated_time / run.iterations,
                                                          run.cpu_accumulated_time / run.iterations};
            }
        }
        ConsoleReporter::ReportRuns(inRuns);
    }

    // Time of ours over time of the peer: below 1 is faster.
    void PrintRatio(const char* inWhat, const std::string& inOurs, const std::string& inPeer,
                    bool inRealTime) {
        const auto ours = mTimes.find(inOurs), peer = mTimes.find(inPeer);
        if (ours == mTimes.end() || peer == mTimes.end()) return;
        const double mine = inRealTime ? ours->second.first : ours->second.second;
        const double theirs = inRealTime ? peer->second.first : peer->second.second;
        if (theirs > 0)
            std::printf("%-46s %6.2f  (time of ours / time of peer, %s)\n", inWhat, mine / theirs,
                        inRealTime ? "real time" : "CPU time");
    }

    std::map<std::string, std::pair<double, double>> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::uint32_t ours = OurCrc(), zlib = ZlibCrc();
    std::printf("CRC-32 of the 256 MiB: OCRCByteStream %08X, zlib %08X%s\n", ours, zlib,
                ours == zlib ? "" : "  MISMATCH");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("OCRCByteStream / zlib crc32", "BM_Crc_OCRCByteStream", "BM_Crc_zlib", false);
    reporter.PrintRatio("buffered 64 KiB blocks / fwrite blocks", "BM_Write_BufferedBlocks",
                        "BM_Write_fwriteBlocks", true);
    reporter.PrintRatio("buffered single Puts / fwrite blocks", "BM_Write_BufferedPuts",
                        "BM_Write_fwriteBlocks", true);
    reporter.PrintRatio("buffered single Puts / fputc", "BM_Write_BufferedPuts", "BM_Write_fputc", true);
    reporter.PrintRatio("operator<< uint32 / append by hand", "BM_Encode_UInt32", "BM_Encode_ByHand", false);
    std::error_code ignored;
    fs::remove(FilePath(), ignored);
    benchmark::Shutdown();
    return ours == zlib ? 0 : 1;
}
