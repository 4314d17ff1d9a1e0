#include "FileTestHelpers.h"

#include <tarncore/filesupport/Paths.h>

#include "filesupport/src/FileNameCollation.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace tarncore::filesupport;
using namespace filetest;

TEST(CompareFileNames, IgnoresCaseWidthAndKanaButNotAccents) {
    for (const char* locale : {"C", "POSIX", "en_US.UTF-8", "de_DE.UTF-8@euro", "ja_JP.UTF-8", "xx_YY"}) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(CompareFileNamesInLocale(U("C:\\A.txt"), U("c:\\a.txt"), locale), 0);
        EXPECT_EQ(CompareFileNamesInLocale(U("/Data/Report.TXT"), U("/data/report.txt"), locale), 0);
        EXPECT_EQ(CompareFileNamesInLocale(U("\xEF\xBC\xA1\xEF\xBC\xA2"), U("ab"), locale), 0);  // full width
        EXPECT_EQ(CompareFileNamesInLocale(U("\xE3\x81\x8B"), U("\xE3\x82\xAB"), locale), 0);    // ka, KA
        EXPECT_NE(CompareFileNamesInLocale(U("caf\xC3\xA9"), U("cafe"), locale), 0);
        EXPECT_EQ(CompareFileNamesInLocale(U("a"), U("B"), locale), -1);
        EXPECT_EQ(CompareFileNamesInLocale(U("b"), U("A"), locale), 1);
    }
    // The user's own locale follows the same rules.
    EXPECT_EQ(CompareFileNames(U("C:\\A.txt"), U("c:\\a.txt")), 0);
    EXPECT_EQ(CompareFileNames(U("a"), U("b")), -1);
    EXPECT_EQ(CompareFileNames(UTF16String(), UTF16String()), 0);
}

TEST(CompareFileNames, IsSafeFromManyThreads) {
    std::vector<std::thread> threads;
    std::vector<int> results(8, 99);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&results, i] {
            int sum = 0;
            for (int n = 0; n < 200; ++n) sum += CompareFileNames(U("File.TXT"), U("file.txt"));
            results[i] = sum;
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int result : results) EXPECT_EQ(result, 0);
}

TEST(RelativePaths, BetweenFiles) {
    const File base(U("/a/c/base.xml"));
    EXPECT_EQ(MakeNormalizedRelativePath(File(U("/a/b/t.txt")), base), U("../b/t.txt"));
    EXPECT_EQ(MakeNormalizedRelativePath(File(U("/a/c/t.txt")), base), U("t.txt"));
    EXPECT_EQ(MakeNormalizedRelativePath(File(U("/t.txt")), base), U("../../t.txt"));

    EXPECT_EQ(MakeFileFromPath(U("../b/t.txt"), base), File(U("/a/b/t.txt")));
    EXPECT_EQ(MakeFileFromPath(U("/x.txt"), base), File(U("/x.txt")));
    EXPECT_EQ(MakeFileFromPath(U("sub/"), base), File());
    EXPECT_EQ(MakeFileFromPath(UTF16String(), base), File());
    EXPECT_EQ(MakeFileFromPath(U("t.txt"), File()), File(U("t.txt")));

    EXPECT_TRUE(IsNormalizedRelativePath(U("a/b")));
    EXPECT_FALSE(IsNormalizedRelativePath(U("/a/b")));
    EXPECT_FALSE(IsNormalizedRelativePath(UTF16String()));
}
