// SafeTraceStream: the pieces the debugger output receives, and what each operand appends.
#include <tarncore/debug/SafeTraceStream.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/threads/Thread.h>

#include "DebugTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace debugtest;
using tarncore::debug::SafeTraceStream;
using tarncore::utility::UTF16Char;
using Pieces = std::vector<std::string>;

TEST(SafeTraceStream, PiecesOfAtMost511UnitsAndTheRestAtTheEnd) {
    RecordingSink sink;
    const std::string text(600, 'x');
    {
        SafeTraceStream stream;
        stream << text.c_str();
        EXPECT_EQ(sink.Pieces(), Pieces{std::string(511, 'x')});
    }
    EXPECT_EQ(sink.Pieces(), (Pieces{std::string(511, 'x'), std::string(89, 'x')}));

    // Exactly 511 units wait for the end; an empty stream writes nothing.
    RecordingSink exact;
    {
        SafeTraceStream stream;
        stream << std::string(511, 'y').c_str();
        EXPECT_TRUE(exact.Pieces().empty());
        SafeTraceStream empty;
    }
    EXPECT_EQ(exact.Pieces(), Pieces{std::string(511, 'y')});
}

TEST(SafeTraceStream, OperandsAppendTheirText) {
    RecordingSink sink;
    {
        SafeTraceStream stream;
        const UTF16Char wide[] = {'w', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0, 'z'};
        stream << "n=" << 42 << " " << -7 << " " << std::uint32_t(4294967295u) << " "
               << std::int64_t(std::numeric_limits<std::int64_t>::min()) << " "
               << std::uint64_t(18446744073709551615ull) << " " << 5LL << " " << 6ULL << " " << wide;
        stream << static_cast<const char*>(nullptr) << static_cast<const UTF16Char*>(nullptr);
        // UTF-8 text passes through; a byte that starts no sequence shows as U+FFFD.
        stream << " caf\xC3\xA9 \xFF!";
    }
    EXPECT_EQ(sink.Pieces(), Pieces{"n=42 -7 4294967295 -9223372036854775808 18446744073709551615 5 6 "
                                    "w\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 caf\xC3\xA9 \xEF\xBF\xBD!"});
}

TEST(SafeTraceStream, ASurrogatePairIsNeverSplitBetweenPieces) {
    RecordingSink sink;
    {
        SafeTraceStream stream;
        stream << std::string(510, 'a').c_str();
        const UTF16Char pair[] = {0xD83D, 0xDE00, 'b', 0};
        stream << pair;
    }
    EXPECT_EQ(sink.Pieces(), (Pieces{std::string(510, 'a'),
                                     "\xF0\x9F\x98\x80"
                                     "b"}));

    // Long UTF-8 text converts through the stack buffer in runs, whole.
    RecordingSink runs;
    std::string emoji;
    for (int i = 0; i < 300; ++i) emoji += "\xF0\x9F\x98\x80";
    {
        SafeTraceStream stream;
        stream << emoji.c_str();
    }
    // 600 units: 510 (a pair held back), then 90.
    EXPECT_EQ(runs.Pieces(), (Pieces{emoji.substr(0, 255 * 4), emoji.substr(255 * 4)}));
}

TEST(TraceLinePrefix, ThreadCategoryAndVolumeInAngleBrackets) {
    const std::string expected =
        "<" + std::to_string(tarncore::threads::GetCurrentThreadID()) + "> <TARN.Allocator> <1> ";
    EXPECT_EQ(S(tarncore::debug::TraceLinePrefix("TARN.Allocator", 1)), expected);

    RecordingSink sink;
    {
        SafeTraceStream stream;
        tarncore::debug::WriteTraceLinePrefix(stream, "TARN.Allocator", 1) << "x";
    }
    EXPECT_EQ(sink.Pieces(), Pieces{expected + "x"});
}

}  // namespace
