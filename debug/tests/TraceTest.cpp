// Trace categories and volumes: the answers, the file, the cache of settings, the handlers, and queries
// racing setters.
#include <tarncore/console/ConsoleLogFile.h>
#include <tarncore/debug/Trace.h>

#include <tarncore_testing/RecordingErrorManager.h>

#include "DebugTestHelpers.h"
#include "debug/src/TraceManagerInternal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <list>
#include <thread>
#include <vector>

namespace {

using namespace debugtest;
using namespace tarncore::debug;
namespace fs = std::filesystem;

// Each test starts as a process does: no settings read, no master record, the file of its choice.
class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        detail::ResetTraceManagerForTesting();
        mPath = PreferencesPath(u"Trace Database.txt");
        fs::remove(mPath);
    }
    void TearDown() override {
        detail::SetLockedQueryProbeForTesting(nullptr);
        detail::ResetTraceManagerForTesting();
        tarncore::console::ConsoleLogFile::Terminate();
        fs::remove(mPath);
    }

    std::string mPath;
};

std::list<std::string> Categories() {
    std::list<UTF8String> names;
    GetTraceCategories(names);
    std::list<std::string> result;
    for (const UTF8String& name : names) result.push_back(S(name));
    return result;
}

TEST_F(TraceTest, NewCategoriesAndTheMasterTakeTheDefaultsAndAreSaved) {
    EXPECT_TRUE(TraceEnabled(U8("A"), 5, true));
    EXPECT_FALSE(TraceEnabled(U8("A"), 6, true));
    EXPECT_TRUE(TraceEnabled(U8("A"), -100, false));
    EXPECT_EQ(ReadFile(mPath), "A\t1\t5\r\nMaster\t1\t10\r\n");
    EXPECT_EQ(Categories(), (std::list<std::string>{"A", "Master"}));
    EXPECT_EQ(GetMasterTraceVolume(), 10);
    EXPECT_EQ(GetTraceVolume(U8("B")), 5);  // made, and saved
    EXPECT_EQ(ReadFile(mPath), "A\t1\t5\r\nB\t1\t5\r\nMaster\t1\t10\r\n");
}

TEST_F(TraceTest, AVolumeMustPassTheMasterAndTheCategory) {
    SetTraceVolume(U8("A"), 8);
    EXPECT_TRUE(TraceEnabled(U8("A"), 8, true));
    SetMasterTraceVolume(3);
    EXPECT_FALSE(TraceEnabled(U8("A"), 4, true));
    EXPECT_TRUE(TraceEnabled(U8("A"), 3, true));
    SetTraceVolume(U8("A"), 100);  // whatever the category's volume
    EXPECT_FALSE(TraceEnabled(U8("A"), 4, true));
    EXPECT_EQ(ReadFile(mPath), "A\t1\t100\r\nMaster\t1\t3\r\n");
}

TEST_F(TraceTest, TheFileIsReadAndDisabledCategoriesAnswerFalse) {
    WriteFile(mPath, "Master\t1\t20\nLoud\t1\t15\r\nOff\t0\t9\r\nTwo\t2\t9\r\n");
    EXPECT_TRUE(TraceEnabled(U8("Loud"), 15, true));
    EXPECT_FALSE(TraceEnabled(U8("Loud"), 16, true));
    EXPECT_FALSE(TraceEnabled(U8("Off"), 1, true));
    EXPECT_FALSE(TraceEnabled(U8("Two"), 1, true));  // enabled text 2 is disabled
    EXPECT_EQ(GetMasterTraceVolume(), 20);
    SetTraceVolume(U8("Off"), 12);  // keeps it disabled
    EXPECT_FALSE(TraceEnabled(U8("Off"), 1, true));
    EXPECT_EQ(ReadFile(mPath), "Loud\t1\t15\r\nMaster\t1\t20\r\nOff\t0\t12\r\nTwo\t0\t9\r\n");

    // A disabled master silences everything.
    detail::ResetTraceManagerForTesting();
    WriteFile(mPath, "Master\t0\t10\r\n");
    EXPECT_FALSE(TraceEnabled(U8("A"), 1, true));
    SetMasterTraceVolume(50);  // keeps it disabled
    EXPECT_FALSE(TraceEnabled(U8("A"), 1, true));
    EXPECT_EQ(ReadFile(mPath), "Master\t0\t50\r\n");
}

TEST_F(TraceTest, ShutdownSavesAndTheNextUseReadsTheFileAgain) {
    EXPECT_TRUE(TraceEnabled(U8("A"), 5, true));
    ShutdownTraceManager();
    EXPECT_EQ(ReadFile(mPath), "A\t1\t5\r\nMaster\t1\t10\r\n");
    // Edited between: the categories are read again, the master record is not.
    WriteFile(mPath, "A\t1\t2\r\nMaster\t1\t1\r\n");
    EXPECT_FALSE(TraceEnabled(U8("A"), 3, true));
    EXPECT_TRUE(TraceEnabled(U8("A"), 2, true));
    EXPECT_EQ(GetMasterTraceVolume(), 10);
    ShutdownTraceManager();
    ShutdownTraceManager();  // nothing loaded: nothing happens
    EXPECT_EQ(ReadFile(mPath), "A\t1\t2\r\nMaster\t1\t1\r\n");
}

TEST_F(TraceTest, AfterTheFirstQueryAnswersComeWithoutTheLockUntilASetterRuns) {
    const std::uint64_t start = detail::LockedTraceQueries();
    EXPECT_TRUE(TraceEnabled(U8("Hot"), 5, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 1);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(TraceEnabled(U8("Hot"), 5, true));
        ASSERT_FALSE(TraceEnabled(U8("Hot"), 6, true));
        ASSERT_FALSE(TraceEnabled(U8("Never asked"), 11, true));  // above the master: no lookup needed
    }
    EXPECT_EQ(detail::LockedTraceQueries(), start + 1);

    // Another category made meanwhile leaves this one's copy alone.
    EXPECT_TRUE(TraceEnabled(U8("Other"), 1, true));
    EXPECT_TRUE(TraceEnabled(U8("Hot"), 5, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 2);

    // Each setter drops the copies; the next answers are the new settings.
    SetTraceVolume(U8("Hot"), 7);
    EXPECT_TRUE(TraceEnabled(U8("Hot"), 7, true));
    EXPECT_TRUE(TraceEnabled(U8("Other"), 5, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 4);
    SetMasterTraceVolume(6);
    EXPECT_FALSE(TraceEnabled(U8("Hot"), 7, true));  // the master alone answers
    EXPECT_TRUE(TraceEnabled(U8("Hot"), 6, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 5);

    // Shut-down drops them too: the file may have changed before the next use.
    ShutdownTraceManager();
    WriteFile(mPath, "Hot\t0\t7\r\nMaster\t1\t6\r\n");
    EXPECT_FALSE(TraceEnabled(U8("Hot"), 1, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 6);
    EXPECT_FALSE(TraceEnabled(U8("Hot"), 1, true));
    EXPECT_EQ(detail::LockedTraceQueries(), start + 6);
}

TEST_F(TraceTest, CopiesOfLongNamesAreToldApartByEveryByte) {
    // Pairs alike in length, first and last eight bytes, apart in the middle: under and
    // over the length kept inside a cache entry.
    const std::string a = "TARN.Allocator.A.Statistics", b = "TARN.Allocator.B.Statistics";
    const std::string c = "Module." + std::string(60, 'x') + "1" + std::string(9, 'y');
    const std::string d = "Module." + std::string(60, 'x') + "2" + std::string(9, 'y');
    SetTraceVolume(U8(a), 1);
    SetTraceVolume(U8(b), 9);
    SetTraceVolume(U8(c), 2);
    SetTraceVolume(U8(d), 8);
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(TraceEnabled(U8(a), 3, true) || TraceEnabled(U8(c), 3, true));
        EXPECT_TRUE(TraceEnabled(U8(b), 3, true) && TraceEnabled(U8(d), 3, true));
    }
    const std::uint64_t locked = detail::LockedTraceQueries();
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(TraceEnabled(U8(b), 9, true) && TraceEnabled(U8(d), 8, true));
    EXPECT_EQ(detail::LockedTraceQueries(), locked);
    EXPECT_TRUE(TraceEnabled(U8(""), 5, true));  // even an empty name is a category
}

std::atomic<int> gProbeAnswers{0};
void AskFromInside() {
    // Inside a locked query every query answers false at once, a known category's too.
    if (TraceEnabled(U8("Known"), 1, true)) gProbeAnswers += 100;
    gProbeAnswers += 1;
}

TEST_F(TraceTest, QueriesMadeWhileOneHoldsTheLockAnswerFalse) {
    EXPECT_TRUE(TraceEnabled(U8("Known"), 1, true));
    detail::SetLockedQueryProbeForTesting(&AskFromInside);
    EXPECT_TRUE(TraceEnabled(U8("New"), 1, true));
    detail::SetLockedQueryProbeForTesting(nullptr);
    EXPECT_EQ(gProbeAnswers.load(), 1);
    EXPECT_TRUE(TraceEnabled(U8("Known"), 1, true));  // the flag is down again
}

TEST_F(TraceTest, NamesTheFileCouldNotBringBackAreRefused) {
    tarncore::testing::RecordingErrorManager errors;
    EXPECT_TRUE(TraceEnabled(U8("A"), 5, true));
    const std::string saved = ReadFile(mPath);
    EXPECT_FALSE(TraceEnabled(U8("tab\there"), 1, true));
    EXPECT_EQ(GetTraceVolume(U8("cr\r")), 5);
    SetTraceVolume(U8("lf\n"), 3);
    EXPECT_EQ(ReadFile(mPath), saved);
    EXPECT_EQ(Categories(), (std::list<std::string>{"A", "Master"}));
    ASSERT_EQ(errors.Reports().size(), 3u);
    EXPECT_EQ(errors.Reports()[0].component, 108u);
    EXPECT_EQ(errors.Reports()[0].code, 20);
    EXPECT_NE(errors.Reports()[0].key.find("$$$/tarn/debug/Error/Trace/UnstorableCategory="),
              std::string::npos);

    // A manager that throws: the query's flag and lock are given back all the same.
    errors.SetMode(tarncore::testing::RecordingErrorManager::kThrowAfterRecording);
    EXPECT_THROW(TraceEnabled(U8("x\ty"), 1, true), tarncore::testing::ReportedError);
    EXPECT_TRUE(TraceEnabled(U8("B"), 1, true));
    EXPECT_EQ(ReadFile(mPath), "A\t1\t5\r\nB\t1\t5\r\nMaster\t1\t10\r\n");
}

TEST_F(TraceTest, FailuresToReadOrWritePassOnAndKeepTheSettings) {
    // Something that cannot be read or replaced stands where the file goes.
    const fs::path inTheWay = fs::path(mPath) / "in the way";
    fs::create_directories(inTheWay);
    EXPECT_ANY_THROW(GetTraceVolume(U8("A")));
    fs::remove_all(mPath);
    WriteFile(mPath, "A\t1\t2\r\n");
    EXPECT_EQ(GetTraceVolume(U8("A")), 2);  // read again: nothing was kept from the failure

    fs::remove(mPath);
    fs::create_directories(inTheWay);
    EXPECT_ANY_THROW(SetTraceVolume(U8("A"), 4));  // in memory all the same
    EXPECT_ANY_THROW(ShutdownTraceManager());      // the settings stay loaded
    EXPECT_TRUE(fs::exists(inTheWay));
    fs::remove_all(mPath);
    EXPECT_TRUE(TraceEnabled(U8("A"), 4, true));
    ShutdownTraceManager();
    EXPECT_EQ(ReadFile(mPath), "A\t1\t4\r\nMaster\t1\t10\r\n");
}

TEST_F(TraceTest, TraceGoesToTheMasterHandlerOrTheDefaultOne) {
    RecordingSink sink;
    RecordingHandler handler;
    InstallMasterTraceHandler(&handler);
    EXPECT_EQ(GetMasterTraceHandler(), &handler);
    Trace("<1> <A> <5> one\r\n");
    Trace(nullptr);
    DebugTrace("straight\r\n");
    DebugTrace(nullptr);
    EXPECT_EQ(handler.Pieces(), std::vector<std::string>{"<1> <A> <5> one\r\n"});

    RemoveMasterTraceHandler();
    Trace("two\r\n");  // the default handler: the debugger output, and the log when there is one
    TraceHandler* fallback = GetMasterTraceHandler();
    EXPECT_NE(fallback, &handler);
    InstallMasterTraceHandler(nullptr);  // puts the default back too
    EXPECT_EQ(GetMasterTraceHandler(), fallback);
    EXPECT_EQ(sink.Pieces(), (std::vector<std::string>{"straight\r\n", "two\r\n"}));
    EXPECT_EQ(handler.Pieces().size(), 1u);
}

TEST_F(TraceTest, TheDefaultHandlerAppendsToTheConsoleLogWithTicks) {
    using tarncore::console::ConsoleLogFile;
    ConsoleLogFile::Terminate();  // the log is opened by the first write after this
    ConsoleLogFile::SetDefaultLogFileName(tarncore::utility::MakeUTF16(u"TraceTest"));
    const std::string log = PreferencesPath(u"TraceTest Log.txt");
    WriteFile(log, "");
    RecordingSink sink;
    RemoveMasterTraceHandler();
    Trace("<7> <A> <1> logged\r\n");
    ConsoleLogFile::Terminate();
    ConsoleLogFile::SetDefaultLogFileName(tarncore::utility::UTF16String());
    EXPECT_EQ(sink.Pieces(), std::vector<std::string>{"<7> <A> <1> logged\r\n"});
    const std::string text = ReadFile(log);
    const std::size_t at = text.find("      <7> <A> <1> logged\r\n");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_NE(text.rfind("\r\nTicks = ", at), std::string::npos) << text;
    fs::remove(log);
    fs::remove(PreferencesPath(u"TraceTest Log-last.txt"));
}

TEST_F(TraceTest, QueriesRacingSettersGiveOnlyAnswersOfSomeSetting) {
    // Volumes of "Race" alternate between 3 and 9 and the master between 9 and 20: a
    // query of volume 1 may only say yes (or no while another thread holds the lock);
    // volume 10 must never pass; volume 5 may go either way.
    SetTraceVolume(U8("Race"), 3);
    SetMasterTraceVolume(9);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::atomic<long> yes{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            const UTF8String mine = U8("Reader" + std::to_string(t));
            while (!stop.load()) {
                if (TraceEnabled(U8("Race"), 10, true)) ++wrong;
                if (TraceEnabled(U8("Race"), 1, true)) ++yes;
                TraceEnabled(U8("Race"), 5, true);
                if (TraceEnabled(mine, 6, true)) ++wrong;
            }
        });
    }
    for (int i = 0; i < 40; ++i) {
        SetTraceVolume(U8("Race"), i % 2 == 0 ? 9 : 3);
        SetMasterTraceVolume(i % 3 == 0 ? 20 : 9);
        SetMasterTraceVolume(9);
    }
    stop = true;
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(yes.load(), 0);
    // Settled: the answers are the last settings', from the copies once more.
    SetTraceVolume(U8("Race"), 4);
    EXPECT_TRUE(TraceEnabled(U8("Race"), 4, true));
    const std::uint64_t locked = detail::LockedTraceQueries();
    EXPECT_FALSE(TraceEnabled(U8("Race"), 5, true));
    EXPECT_TRUE(TraceEnabled(U8("Race"), 4, true));
    EXPECT_EQ(detail::LockedTraceQueries(), locked);
}

}  // namespace
