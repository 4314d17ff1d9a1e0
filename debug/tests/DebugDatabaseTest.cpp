// The debug database: loading once, defaults kept in memory, saving whole, booleans, refusals.
#include <tarncore/debug/DebugDatabase.h>

#include <tarncore_testing/RecordingErrorManager.h>

#include "DebugTestHelpers.h"
#include "debug/src/DebugDatabaseInternal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <list>

namespace {

using namespace debugtest;
using tarncore::debug::DebugDatabase;
namespace fs = std::filesystem;

// Each test starts as a process does: no database made yet, and a file of its choice.
class DebugDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarncore::debug::detail::ForgetDebugDatabaseForTesting();
        mPath = PreferencesPath(u"Debug Database.txt");
        fs::remove(mPath);
    }
    void TearDown() override {
        tarncore::debug::detail::ForgetDebugDatabaseForTesting();
        fs::remove(mPath);
    }

    std::string mPath;
};

TEST_F(DebugDatabaseTest, TheFileIsReadOnceAndWrittenWholeBySetEntry) {
    WriteFile(mPath, "b\t2\r\na\t1\r\nlast\tno line end");
    DebugDatabase& database = DebugDatabase::Instance();
    EXPECT_EQ(S(database.GetEntry(U8("a"), U8("x"))), "1");
    EXPECT_TRUE(database.HasEntry(U8("b")));
    EXPECT_FALSE(database.HasEntry(U8("last")));

    // A default is stored in memory only.
    EXPECT_EQ(S(database.GetEntry(U8("k"), U8("x"))), "x");
    EXPECT_TRUE(database.HasEntry(U8("k")));
    EXPECT_EQ(S(database.GetEntry(U8("k"), U8("y"))), "x");
    EXPECT_EQ(ReadFile(mPath), "b\t2\r\na\t1\r\nlast\tno line end");

    // Changing the file now changes nothing: it was read once.
    WriteFile(mPath, "c\t3\r\n");
    EXPECT_FALSE(DebugDatabase::Instance().HasEntry(U8("c")));

    // SetEntry writes every entry, in the list's order, values with tabs as they are.
    database.SetEntry(U8("t"), U8("with\ttab"));
    EXPECT_EQ(ReadFile(mPath), "a\t1\r\nb\t2\r\nk\tx\r\nt\twith\ttab\r\n");

    // What was saved comes back unchanged in the next process.
    tarncore::debug::detail::ForgetDebugDatabaseForTesting();
    EXPECT_EQ(S(DebugDatabase::Instance().GetEntry(U8("t"), U8(""))), "with\ttab");
    EXPECT_EQ(S(DebugDatabase::Instance().GetEntry(U8("a"), U8(""))), "1");
}

TEST_F(DebugDatabaseTest, ClearAndValuesOfOtherTypesReachTheFileWithTheNextSetEntry) {
    WriteFile(mPath, "a\t1\r\nb\t2\r\n");
    DebugDatabase& database = DebugDatabase::Instance();
    database.Clear();
    EXPECT_FALSE(database.HasEntry(U8("a")));
    EXPECT_EQ(ReadFile(mPath), "a\t1\r\nb\t2\r\n");
    // A value of another type under a key is saved as an empty string.
    database.SetValue(U8("n"), std::int32_t(7));
    EXPECT_FALSE(database.HasEntry(U8("n")));
    database.SetEntry(U8("k"), U8("v"));
    EXPECT_EQ(ReadFile(mPath), "k\tv\r\nn\t\r\n");
}

TEST_F(DebugDatabaseTest, BooleansAreTheWordsTrueAndFalse) {
    WriteFile(mPath, "one\t1\r\nyes\ttrue\r\nTrue\tTrue\r\n");
    DebugDatabase& database = DebugDatabase::Instance();
    EXPECT_FALSE(database.GetBoolEntry(U8("one"), true));  // "1" is not "true"
    EXPECT_TRUE(database.GetBoolEntry(U8("yes"), false));
    EXPECT_FALSE(database.GetBoolEntry(U8("True"), true));
    // A missing variable takes the default's word, in memory.
    EXPECT_TRUE(database.GetBoolEntry(U8("assert.enabled"), true));
    EXPECT_EQ(S(database.GetEntry(U8("assert.enabled"), U8(""))), "true");
    EXPECT_FALSE(database.GetBoolEntry(U8("other"), false));
    EXPECT_EQ(S(database.GetEntry(U8("other"), U8(""))), "false");
}

TEST_F(DebugDatabaseTest, EntriesTheFileCouldNotBringBackAreRefused) {
    tarncore::testing::RecordingErrorManager errors;
    DebugDatabase& database = DebugDatabase::Instance();
    database.SetEntry(U8("good"), U8("1"));
    const std::string saved = ReadFile(mPath);

    for (const char* key : {"tab\tkey", "cr\rkey", "lf\nkey"}) database.SetEntry(U8(key), U8("v"));
    database.SetEntry(U8("k"), U8("cr\r"));
    database.SetEntry(U8("k"), U8("lf\nvalue"));
    EXPECT_EQ(S(database.GetEntry(U8("bad\nkey"), U8("d"))), "d");  // given back, not stored
    EXPECT_EQ(S(database.GetEntry(U8("k"), U8("bad\rdefault"))), "bad\rdefault");

    EXPECT_EQ(ReadFile(mPath), saved);
    std::list<UTF8String> names;
    database.GetDebugKeys(names);
    EXPECT_EQ(names, std::list<UTF8String>{U8("good")});
    ASSERT_EQ(errors.Reports().size(), 7u);
    const auto& report = errors.Reports()[0];
    EXPECT_EQ(report.component, 108u);
    EXPECT_EQ(report.code, 21);
    EXPECT_EQ(report.level, tarncore::config::kErrorLevelNonFatal);
    EXPECT_NE(report.key.find("$$$/tarn/debug/Error/DebugDatabase/UnstorableEntry="), std::string::npos);

    // A reporting manager that throws leaves everything as it was too.
    errors.SetMode(tarncore::testing::RecordingErrorManager::kThrowAfterRecording);
    EXPECT_THROW(database.SetEntry(U8("x\ty"), U8("v")), tarncore::testing::ReportedError);
    EXPECT_EQ(ReadFile(mPath), saved);
}

TEST_F(DebugDatabaseTest, FailuresToReadOrWritePassOnAndKeepWhatIsInMemory) {
    // Something that cannot be read or replaced stands where the file goes.
    fs::create_directories(fs::path(mPath) / "in the way");
    EXPECT_ANY_THROW(DebugDatabase::Instance());
    DebugDatabase& database = DebugDatabase::Instance();  // made all the same, not read again
    EXPECT_ANY_THROW(database.SetEntry(U8("a"), U8("1")));
    EXPECT_EQ(S(database.GetEntry(U8("a"), U8(""))), "1");
    EXPECT_TRUE(fs::exists(fs::path(mPath) / "in the way"));
    fs::remove_all(mPath);
    database.SetEntry(U8("b"), U8("2"));
    EXPECT_EQ(ReadFile(mPath), "a\t1\r\nb\t2\r\n");
}

}  // namespace
