// Tests of the simple file chores.
#include <tarncore/utility/FileUtils.h>
#include <tarncore/utility/NativePaths.h>

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include <sys/stat.h>

using namespace tarncore::utility;
using namespace tarncore::utility::FileUtils;
namespace fs = std::filesystem;

namespace {

UTF16String U(const std::string& inNative) {
    UTF16String path;
    if (!FromNativePath(inNative, path)) ADD_FAILURE() << "not UTF-8: " << inNative;
    return path;
}
UTF8String Bytes(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

std::string ReadAll(const std::string& inPath) {
    std::ostringstream text;
    text << std::ifstream(inPath, std::ios::binary).rdbuf();
    return text.str();
}

void WriteAll(const std::string& inPath, const std::string& inBytes) {
    std::ofstream(inPath, std::ios::binary) << inBytes;
}

std::ptrdiff_t Entries(const std::string& inDir) {
    return std::distance(fs::directory_iterator(inDir), fs::directory_iterator());
}

}  // namespace

TEST(FileUtils, ExistenceCreationAndRemoval) {
    const std::string dir = tarncore::testing::MakeTempFolder(), file = dir + "/a.txt";
    EXPECT_TRUE(FileExists(U(dir)) && !FileExists(U(file)));
    CreateNewFile(U(file));
    EXPECT_TRUE(FileExists(U(file)) && ReadAll(file).empty());
    WriteAll(file, "keep");
    CreateNewFile(U(file));  // an existing file is left as it is
    EXPECT_EQ(ReadAll(file), "keep");
    CreateNewFile(U(dir + "/missing/x.txt"));  // silently nothing
    EXPECT_FALSE(fs::exists(dir + "/missing"));

    EXPECT_TRUE(RemoveFile(U(file)));
    EXPECT_FALSE(RemoveFile(U(file)) || RemoveFile(U(dir)));  // missing, and not a file
    EXPECT_TRUE(fs::is_directory(dir));

    // A path with a NUL unit names nothing, rather than the file before the NUL.
    WriteAll(file, "x");
    const UTF16String withNul = U(file) + UTF16String(1, 0) + U("tail");
    EXPECT_FALSE(FileExists(withNul) || RemoveFile(withNul));
    EXPECT_TRUE(fs::exists(file));
}

TEST(FileUtils, ParentPathsAndPathSpecs) {
    const std::tuple<const char*, bool, const char*> parents[] = {
        {"/dir/file.txt", true, "/dir"}, {"/dir//file.txt", true, "/dir"}, {"/file", true, "/"},
        {"file.txt", true, "file.txt"},  {"/", false, "unchanged"},        {"", false, "unchanged"},
    };
    for (const auto& [path, found, expected] : parents) {
        UTF16String parent = U("unchanged");
        EXPECT_EQ(GetParentPath(U(path), parent), found) << path;
        EXPECT_EQ(parent, U(expected)) << path;
    }
    auto pathIn = [](const char* inDir) {
        UTF16String path;
        BuildPathSpec(U(inDir), U("a.txt"), path);
        return path;
    };
    EXPECT_EQ(std::make_tuple(pathIn("/dir"), pathIn("/dir/"), pathIn("/")),
              std::make_tuple(U("/dir/a.txt"), U("/dir/a.txt"), U("/a.txt")));
}

TEST(FileUtils, ContainedFilesListsOnlyPlainFilesAndAppends) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    WriteAll(dir + "/a.txt", "a");
    WriteAll(dir + "/.hidden", "h");
    fs::create_directory(dir + "/sub");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    std::vector<UTF16String> files = {U("earlier")};
    ContainedFiles(U(dir), files);
    ContainedFiles(U(dir + "/missing"), files);
    EXPECT_EQ(files, (std::vector<UTF16String>{U("earlier"), U(dir + "/a.txt")}));
}

TEST(FileUtils, UniqueFileNameCountsUpFromOne) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    EXPECT_EQ(UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log1.txt"));
    WriteAll(dir + "/log1.txt", "");
    EXPECT_EQ(UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log2.txt"));
    fs::create_directory(dir + "/log2.txt");  // a directory takes the name as well
    EXPECT_EQ(UniqueFileName(U(dir), U("log"), U("")), U(dir + "/log1"));
    EXPECT_EQ(UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log3.txt"));
}

TEST(FileUtils, WritingTranslatesLineFeedsAndReplacesInOneStep) {
    const std::string dir = tarncore::testing::MakeTempFolder(), file = dir + "/settings.txt";
    SimpleWriteStringToFile(U(file), Bytes("one\ntwo\r\n"));
    EXPECT_EQ(ReadAll(file), "one\r\ntwo\r\r\n");

    // A shorter text replaces a longer one completely; the permissions stay, and nothing
    // but the file is left in the folder.
    WriteAll(file, std::string(1000, 'x'));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    SimpleWriteStringToFile(U(file), Bytes(std::string("a\0b", 3)));
    EXPECT_EQ(ReadAll(file), std::string("a\0b", 3));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(dir), 1);

    // Failures write nothing and leave what was there.
    fs::create_directory(dir + "/folder");
    WriteAll(dir + "/folder/inside", "i");
    SimpleWriteStringToFile(U(dir + "/folder"), Bytes("text"));
    EXPECT_EQ(ReadAll(dir + "/folder/inside"), "i");
    SimpleWriteStringToFile(U(dir + "/missing/x.txt"), Bytes("text"));
    SimpleWriteStringToFile(U(file) + UTF16String(1, 0), Bytes("other"));
    EXPECT_EQ(ReadAll(file), std::string("a\0b", 3));
    EXPECT_EQ(Entries(dir), 2);
}

TEST(FileUtils, AppendingCreatesAndKeepsOrder) {
    const std::string dir = tarncore::testing::MakeTempFolder(), file = dir + "/log.txt";
    SimpleAppendStringToFile(U(file), Bytes("first\n"));
    SimpleAppendStringToFile(U(file), Bytes("second\n"));
    EXPECT_EQ(ReadAll(file), "first\r\nsecond\r\n");
    SimpleAppendStringToFile(U(dir + "/missing/log.txt"), Bytes("x"));
    EXPECT_FALSE(fs::exists(dir + "/missing"));
}
