// The console log: when it is kept, its rotation, header, footer and ticks, moves, and writers on several
// threads.
#include <tarncore/console/ConsoleLogFile.h>

#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore_testing/TestEnvironment.h>

#include "console/src/LogClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using tarncore::console::ConsoleLogFile;
using tarncore::utility::UTF16String;
using tarncore::utility::UTF8String;
namespace fs = std::filesystem;

std::atomic<std::uint32_t> gTicks{0};
std::uint32_t FakeTicks() { return gTicks.load(); }
std::string FakeNow() { return "Tue Mar  4 09:05:06 2025"; }

// Dashes for each character of the first line, line end included (18 + 24 + 2), and of
// the closing text, both line ends included (17 + 24 + 4).
const std::string kHeader = "Log file created: Tue Mar  4 09:05:06 2025\r\n" + std::string(44, '-') + "\r\n";
const std::string kFooter = std::string(45, '-') + "\r\nLog file closed: Tue Mar  4 09:05:06 2025\r\n\r\n";

UTF8String U8(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

std::string Native(const UTF16String& inPath) {
    std::string native;
    tarncore::utility::ToNativePath(inPath, native);
    return native;
}

std::string ReadFile(const std::string& inPath) {
    std::ifstream in(inPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& inPath, const std::string& inBytes) {
    std::ofstream(inPath, std::ios::binary) << inBytes;
}

// Each test names its own log files and reads a clock it sets.
class ConsoleLogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        const std::string base = "LogTest" + std::to_string(++counter);
        ConsoleLogFile::SetDefaultLogFileName(tarncore::utility::UTF8to16(U8(base)));
        tarncore::console::detail::SetLogClockForTesting(&FakeTicks, &FakeNow);
        gTicks = 1000;
        ConsoleLogFile probe;  // no log file yet, so no log: only the paths are wanted
        UTF16String path;
        probe.GetLogFilePath(path, false);
        mCurrent = Native(path);
        probe.GetLogFilePath(path, true);
        mPrevious = Native(path);
    }
    void TearDown() override {
        ConsoleLogFile::Terminate();
        ConsoleLogFile::SetDefaultLogFileName(UTF16String());
        tarncore::console::detail::SetLogClockForTesting(nullptr, nullptr);
    }

    std::string mCurrent;
    std::string mPrevious;
};

TEST_F(ConsoleLogFileTest, WithoutALogFileNothingIsWrittenOrMadeAndTheNameIsTheClients) {
    ConsoleLogFile::GetInstance()->WriteToLog(U8("text\r\n"), true);
    ConsoleLogFile::Terminate();
    EXPECT_FALSE(fs::exists(mCurrent));
    EXPECT_FALSE(fs::exists(mPrevious));

    // The default name is the client's unless set, in the preferences folder (under the
    // test's configuration home).
    ConsoleLogFile::SetDefaultLogFileName(UTF16String());
    UTF16String path;
    ASSERT_TRUE(ConsoleLogFile().GetLogFilePath(path, true));
    EXPECT_EQ(fs::path(Native(path)).filename(), "No Client Name Log-last.txt");
    ConsoleLogFile().GetLogFilePath(path, false);
    EXPECT_EQ(fs::path(Native(path)).filename(), "No Client Name Log.txt");
    EXPECT_EQ(Native(path).rfind(tarncore::testing::TestRoot() + "/home/.config/", 0), 0u);
}

TEST_F(ConsoleLogFileTest, ARunRotatesTheLogAndWritesHeaderTicksAndFooter) {
    WriteFile(mCurrent, "the last run\r\n");
    WriteFile(mPrevious, "the run before\r\n");
    gTicks = 4294967000u;  // the tick count wraps during the run
    ConsoleLogFile* log = ConsoleLogFile::GetInstance();
    EXPECT_EQ(ReadFile(mPrevious), "the last run\r\n");
    EXPECT_EQ(ReadFile(mCurrent), kHeader);

    gTicks = 4294967000u + 1500u;
    log->WriteToLog(U8("x"), true);
    log->WriteToLog(U8("plain"), false);
    log->WriteToLog(UTF8String(), true);  // empty: nothing, not even the prefix
    ConsoleLogFile::Terminate();
    EXPECT_EQ(ReadFile(mCurrent), kHeader + "Ticks = 1500      x" + "plain" + kFooter);
}

TEST_F(ConsoleLogFileTest, WhenThePreviousLogCannotGoTheNewRunFollowsTheOldOne) {
    WriteFile(mCurrent, "the last run\r\n");
    fs::create_directories(fs::path(mPrevious) / "in the way");
    ConsoleLogFile::GetInstance()->WriteToLog(U8("new\r\n"), false);
    ConsoleLogFile::Terminate();
    EXPECT_EQ(ReadFile(mCurrent), "the last run\r\n" + kHeader + "new\r\n" + kFooter);
    fs::remove_all(mPrevious);
}

TEST_F(ConsoleLogFileTest, OpenLogFileMakesTheFileAnewAndReportsFailure) {
    const std::string folder = tarncore::testing::MakeTempFolder("log");
    const std::string path = folder + "/other.txt";
    WriteFile(path, "old contents");

    ConsoleLogFile log;  // no default log
    ASSERT_TRUE(log.OpenLogFile(U8(path)));
    log.WriteToLog(U8("one"), false);
    EXPECT_EQ(ReadFile(path), kHeader + "one");

    // The open log is closed (with its footer) before anything else happens.
    EXPECT_FALSE(log.OpenLogFile(U8(folder + "/missing/folder.txt")));
    EXPECT_EQ(ReadFile(path), kHeader + "one" + kFooter);
    log.WriteToLog(U8("lost"), false);  // no log open

    // Bytes that are not UTF-8 name no file; a shortened path must not be touched.
    WriteFile(folder + "/a", "keep");
    EXPECT_FALSE(log.OpenLogFile(U8(folder + "/a\xFF")));
    EXPECT_EQ(ReadFile(folder + "/a"), "keep");
    EXPECT_FALSE(log.OpenLogFile(UTF8String()));
    EXPECT_FALSE(log.OpenLogFile(U8(folder)));  // a folder

    log.CloseLogFile();  // nothing open: nothing happens
    EXPECT_EQ(ReadFile(path), kHeader + "one" + kFooter);
}

TEST_F(ConsoleLogFileTest, CopyingAndAssigningMoveTheLog) {
    const std::string folder = tarncore::testing::MakeTempFolder("log");
    ConsoleLogFile first;
    ASSERT_TRUE(first.OpenLogFile(U8(folder + "/first.txt")));
    gTicks = 1100;

    ConsoleLogFile second(first);  // takes the log and its start ticks
    first.WriteToLog(U8("to nobody"), false);
    second.WriteToLog(U8("a"), true);

    ConsoleLogFile third;
    ASSERT_TRUE(third.OpenLogFile(U8(folder + "/third.txt")));
    third = second;  // third's own log is released without a footer
    second.WriteToLog(U8("to nobody"), false);
    third.WriteToLog(U8("b"), false);
    third.CloseLogFile();

    EXPECT_EQ(ReadFile(folder + "/first.txt"), kHeader + "Ticks = 100      a" + "b" + kFooter);
    EXPECT_EQ(ReadFile(folder + "/third.txt"), kHeader);
}

TEST_F(ConsoleLogFileTest, TextsFromSeveralThreadsArriveWhole) {
    WriteFile(mCurrent, "");
    ConsoleLogFile* log = ConsoleLogFile::GetInstance();
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    const auto text = [](int inThread) {
        return "thread " + std::to_string(inThread) + std::string(300, char('a' + inThread)) + "\r\n";
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) log->WriteToLog(U8(text(t)), false);
        });
    for (std::thread& thread : threads) thread.join();
    ConsoleLogFile::Terminate();

    std::istringstream written(ReadFile(mCurrent).substr(kHeader.size()));
    int counts[kThreads] = {};
    std::string line;
    for (int lines = 0; lines < kThreads * kLines && std::getline(written, line); ++lines) {
        const int t = line.size() > 7 ? line[7] - '0' : -1;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(line + "\n", text(t));
        ++counts[t];
    }
    for (int count : counts) EXPECT_EQ(count, kLines);
}

}  // namespace
