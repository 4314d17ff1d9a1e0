// The lines of "Debug Database.txt" and "Trace Database.txt", read and written byte for byte.
#include <tarncore/proplist/PropList.h>

#include "DebugTestHelpers.h"
#include "debug/src/DatabaseFiles.h"

#include <gtest/gtest.h>

#include <list>
#include <random>

namespace {

using namespace debugtest;
using tarncore::proplist::PropList;
namespace files = tarncore::debug::files;

PropList ParseDebug(const std::string& inText) {
    PropList list;
    const UTF8String text = U8(inText);
    files::ParseDebugDatabase(text.data(), text.size(), list);
    return list;
}

PropList ParseTrace(const std::string& inText) {
    PropList list;
    const UTF8String text = U8(inText);
    files::ParseTraceDatabase(text.data(), text.size(), list);
    return list;
}

std::string Value(const PropList& inList, const std::string& inKey) {
    UTF8String value;
    EXPECT_TRUE(inList.GetValue(U8(inKey), value)) << inKey;
    return S(value);
}

std::list<std::string> Keys(const PropList& inList) {
    std::list<UTF8String> keys;
    inList.GetPropertyNames(keys);
    std::list<std::string> result;
    for (const UTF8String& key : keys) result.push_back(S(key));
    return result;
}

// "enabled/volume" of a trace category.
std::string Category(const PropList& inList, const std::string& inName) {
    const PropList* category = inList.GetSubList(U8(inName));
    if (category == nullptr) return "none";
    bool enabled = false;
    std::int32_t volume = -1;
    EXPECT_TRUE(category->GetValue(U8("Enabled"), enabled));
    EXPECT_TRUE(category->GetValue(U8("Volume"), volume));
    return std::string(enabled ? "1/" : "0/") + std::to_string(volume);
}

TEST(DebugDatabaseFile, LinesOfKeyTabValueWithEitherLineEnd) {
    const PropList list = ParseDebug("a\t1\nb\t2\n");
    EXPECT_EQ(Keys(list), (std::list<std::string>{"a", "b"}));
    EXPECT_EQ(Value(list, "a"), "1");
    EXPECT_EQ(S(files::FormatDebugDatabase(list)), "a\t1\r\nb\t2\r\n");
    // The CR of a CR LF line end is not part of the value; only one is dropped.
    const PropList crlf = ParseDebug("a\ttrue\r\nb\tx\r\r\nc\t\r\n");
    EXPECT_EQ(Value(crlf, "a"), "true");
    EXPECT_EQ(Value(crlf, "b"), "x\r");
    EXPECT_EQ(Value(crlf, "c"), "");
    EXPECT_EQ(S(files::FormatDebugDatabase(crlf)), "a\ttrue\r\nb\tx\r\r\nc\t\r\n");
}

TEST(DebugDatabaseFile, KeysEndAtTabsAndValuesAtLineFeeds) {
    // A tab inside a value stays; the last line without its line feed is lost.
    const PropList list = ParseDebug("k\tv\tw\r\nlast\tcut");
    EXPECT_EQ(Keys(list), (std::list<std::string>{"k"}));
    EXPECT_EQ(Value(list, "k"), "v\tw");
    // A line feed ends a value, and the rest of that line starts the next key, which
    // runs to the next tab even on a later line.
    const PropList broken = ParseDebug("a\tone\ntwo\nb\t2\nc");
    EXPECT_EQ(Keys(broken), (std::list<std::string>{"a", "two\nb"}));
    EXPECT_EQ(Value(broken, "two\nb"), "2");
    // Whatever loaded is written so that it loads the same again.
    EXPECT_EQ(S(files::FormatDebugDatabase(broken)), "a\tone\r\ntwo\nb\t2\r\n");
    EXPECT_TRUE(Keys(ParseDebug("no tab at all\n")).empty());
    EXPECT_TRUE(Keys(ParseDebug("")).empty());
    // Bytes are bytes: a NUL is kept like any other.
    EXPECT_EQ(Value(ParseDebug(std::string("n\0l\tv\0\n", 7)), std::string("n\0l", 3)),
              std::string("v\0", 2));
}

TEST(TraceDatabaseFile, LinesOfNameEnabledAndVolume) {
    const PropList list = ParseTrace("Master\t1\t10\r\nA\t1\t5\nOff\t0\t-3\r\nTwo\t2\t7\r\nJunk\tx\tno\r\n");
    EXPECT_EQ(Category(list, "Master"), "1/10");
    EXPECT_EQ(Category(list, "A"), "1/5");
    EXPECT_EQ(Category(list, "Off"), "0/-3");
    EXPECT_EQ(Category(list, "Two"), "0/7");  // only the number 1 is enabled
    EXPECT_EQ(Category(list, "Junk"), "0/0");
    // Saved in the list's order, CR LF line ends.
    EXPECT_EQ(S(files::FormatTraceDatabase(list)),
              "A\t1\t5\r\nJunk\t0\t0\r\nMaster\t1\t10\r\nOff\t0\t-3\r\nTwo\t0\t7\r\n");
    // An unfinished last line is lost; a later line of the same name wins.
    const PropList cut = ParseTrace("A\t1\t5\nA\t1\t6\nB\t1\t4");
    EXPECT_EQ(Category(cut, "A"), "1/6");
    EXPECT_EQ(Category(cut, "B"), "none");
    EXPECT_EQ(Category(ParseTrace("A\t1"), "A"), "none");
}

TEST(TraceDatabaseFile, NumbersReadAsTheNumberAtTheStart) {
    auto read = [](const std::string& inText) { return files::ReadNumber(U8(inText).data(), inText.size()); };
    EXPECT_EQ(read(" \t\r\n 42x"), 42);
    EXPECT_EQ(read("+7"), 7);
    EXPECT_EQ(read("-12\r"), -12);
    EXPECT_EQ(read("- 1"), 0);
    // Held to the 32-bit range, however many digits.
    EXPECT_EQ(read("2147483648"), 2147483647);
    EXPECT_EQ(read("-99999999999999999999999"), -2147483647 - 1);
    // So an enabled field of a huge number is not 1.
    EXPECT_EQ(Category(ParseTrace("A\t4294967297\t5\n"), "A"), "0/5");
}

// Whatever random bytes load is written so that it loads the same again, in both files.
TEST(DatabaseFiles, AnyBytesReadBackTheSameAfterWriting) {
    std::mt19937 random(3);
    const char alphabet[] = {'a', '1', '0', '-', '\t', '\r', '\n', '\0', '\xC3', ' '};
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 50, 'a');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        const PropList debug = ParseDebug(text), trace = ParseTrace(text);
        const PropList debugAgain = ParseDebug(S(files::FormatDebugDatabase(debug)));
        const PropList traceAgain = ParseTrace(S(files::FormatTraceDatabase(trace)));
        ASSERT_EQ(Keys(debug), Keys(debugAgain)) << round;
        for (const std::string& key : Keys(debug))
            ASSERT_EQ(Value(debug, key), Value(debugAgain, key)) << round;
        ASSERT_EQ(Keys(trace), Keys(traceAgain)) << round;
        for (const std::string& name : Keys(trace))
            ASSERT_EQ(Category(trace, name), Category(traceAgain, name)) << round;
    }
}

}  // namespace
