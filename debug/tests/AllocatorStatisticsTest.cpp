// TraceAllocatorStatistics: its line when "TARN.Allocator" is enabled at volume 1, and the answer kept.
#include <tarncore/debug/AllocatorStatistics.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/threads/Thread.h>

#include "DebugTestHelpers.h"
#include "debug/src/AllocatorStatisticsInternal.h"
#include "debug/src/TraceManagerInternal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace debugtest;
using Pieces = std::vector<std::string>;

// Each test starts as a process does, with the trace settings file of its choice.
class AllocatorStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarncore::debug::detail::ResetTraceManagerForTesting();
        tarncore::utility::detail::ResetAllocatorStatisticsForTesting();
        mPath = PreferencesPath(u"Trace Database.txt");
    }
    void TearDown() override {
        tarncore::debug::detail::ResetTraceManagerForTesting();
        tarncore::utility::detail::ResetAllocatorStatisticsForTesting();
        std::filesystem::remove(mPath);
    }

    std::string mPath;
};

TEST_F(AllocatorStatisticsTest, OneLineWhileTheCategoryWasEnabledAtTheFirstCall) {
    WriteFile(mPath, "Master\t1\t10\r\nTARN.Allocator\t1\t1\r\n");
    const std::string line = "<" + std::to_string(tarncore::threads::GetCurrentThreadID()) +
                             "> <TARN.Allocator> <1> Allocator is not being monitored. Statistics are not "
                             "available\n";
    RecordingSink sink;
    tarncore::utility::TraceAllocatorStatistics();
    EXPECT_EQ(sink.Pieces(), Pieces{line});

    // The answer is kept: switching the category off changes nothing.
    tarncore::debug::SetTraceVolume(U8("TARN.Allocator"), 0);
    EXPECT_FALSE(tarncore::debug::TraceEnabled(U8("TARN.Allocator"), 1, false));
    tarncore::utility::TraceAllocatorStatistics();
    EXPECT_EQ(sink.Pieces(), (Pieces{line, line}));
}

TEST_F(AllocatorStatisticsTest, NothingWhileTheCategoryWasOffAtTheFirstCall) {
    WriteFile(mPath, "Master\t1\t10\r\nTARN.Allocator\t0\t5\r\n");
    RecordingSink sink;
    tarncore::utility::TraceAllocatorStatistics();

    // Enabled afterwards, and the answer is kept all the same.
    tarncore::debug::detail::ResetTraceManagerForTesting();
    WriteFile(mPath, "Master\t1\t10\r\nTARN.Allocator\t1\t5\r\n");
    EXPECT_TRUE(tarncore::debug::TraceEnabled(U8("TARN.Allocator"), 1, false));
    tarncore::utility::TraceAllocatorStatistics();
    EXPECT_TRUE(sink.Pieces().empty());

    // Volume 1 beyond the master's is off as well.
    tarncore::debug::detail::ResetTraceManagerForTesting();
    tarncore::utility::detail::ResetAllocatorStatisticsForTesting();
    WriteFile(mPath, "Master\t1\t0\r\nTARN.Allocator\t1\t5\r\n");
    tarncore::utility::TraceAllocatorStatistics();
    EXPECT_TRUE(sink.Pieces().empty());
}

}  // namespace
