#include <tarncore/utility/FileUtils.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

using namespace tarncore::utility;
namespace fs = std::filesystem;

namespace {

UTF16String U(const std::string& inText) { return UTF8to16(UTF8String(inText.begin(), inText.end())); }
UTF8String Bytes(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

std::string ReadAll(const std::string& inPath) {
    std::ifstream file(inPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteAll(const std::string& inPath, const std::string& inBytes) {
    std::ofstream(inPath, std::ios::binary) << inBytes;
}

}  // namespace

TEST(FileUtils, ExistenceCreationAndRemoval) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    const std::string file = dir + "/a.txt";
    EXPECT_TRUE(FileUtils::FileExists(U(dir)));
    EXPECT_FALSE(FileUtils::FileExists(U(file)));

    FileUtils::CreateNewFile(U(file));
    EXPECT_TRUE(FileUtils::FileExists(U(file)));
    EXPECT_EQ(fs::file_size(file), 0u);

    // An existing file is left as it is.
    WriteAll(file, "keep");
    FileUtils::CreateNewFile(U(file));
    EXPECT_EQ(ReadAll(file), "keep");
    FileUtils::CreateNewFile(U(dir + "/missing/x.txt"));  // silently nothing
    EXPECT_FALSE(fs::exists(dir + "/missing"));

    EXPECT_TRUE(FileUtils::RemoveFile(U(file)));
    EXPECT_FALSE(FileUtils::RemoveFile(U(file)));
    EXPECT_FALSE(FileUtils::RemoveFile(U(dir)));  // not a file
    EXPECT_TRUE(fs::is_directory(dir));

    // A path with a NUL unit names nothing, rather than the file before the NUL.
    WriteAll(file, "x");
    UTF16String withNul = U(file);
    withNul.push_back(0);
    withNul += U("tail");
    EXPECT_FALSE(FileUtils::FileExists(withNul));
    EXPECT_FALSE(FileUtils::RemoveFile(withNul));
    EXPECT_TRUE(fs::exists(file));
}

TEST(FileUtils, ParentPathsAndPathSpecs) {
    UTF16String parent = U("unchanged");
    EXPECT_TRUE(FileUtils::GetParentPath(U("/dir/file.txt"), parent));
    EXPECT_EQ(parent, U("/dir"));
    EXPECT_TRUE(FileUtils::GetParentPath(U("/dir//file.txt"), parent));
    EXPECT_EQ(parent, U("/dir"));
    EXPECT_TRUE(FileUtils::GetParentPath(U("/file"), parent));
    EXPECT_EQ(parent, U("/"));
    EXPECT_TRUE(FileUtils::GetParentPath(U("file.txt"), parent));
    EXPECT_EQ(parent, U("file.txt"));

    parent = U("unchanged");
    EXPECT_FALSE(FileUtils::GetParentPath(U("/"), parent));
    EXPECT_FALSE(FileUtils::GetParentPath(UTF16String(), parent));
    EXPECT_EQ(parent, U("unchanged"));

    UTF16String path;
    FileUtils::BuildPathSpec(U("/dir"), U("a.txt"), path);
    EXPECT_EQ(path, U("/dir/a.txt"));
    FileUtils::BuildPathSpec(U("/dir/"), U("a.txt"), path);
    EXPECT_EQ(path, U("/dir/a.txt"));
    FileUtils::BuildPathSpec(U("/"), U("a.txt"), path);
    EXPECT_EQ(path, U("/a.txt"));
}

TEST(FileUtils, ContainedFilesListsOnlyPlainFilesAndAppends) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    WriteAll(dir + "/a.txt", "a");
    WriteAll(dir + "/.hidden", "h");
    fs::create_directory(dir + "/sub");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);

    std::vector<UTF16String> files = {U("earlier")};
    FileUtils::ContainedFiles(U(dir), files);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], U("earlier"));
    EXPECT_EQ(files[1], U(dir + "/a.txt"));

    FileUtils::ContainedFiles(U(dir + "/missing"), files);
    EXPECT_EQ(files.size(), 2u);
}

TEST(FileUtils, UniqueFileNameCountsUpFromOne) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    EXPECT_EQ(FileUtils::UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log1.txt"));
    WriteAll(dir + "/log1.txt", "");
    EXPECT_EQ(FileUtils::UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log2.txt"));
    fs::create_directory(dir + "/log2.txt");  // a directory takes the name as well
    EXPECT_EQ(FileUtils::UniqueFileName(U(dir), U("log"), U("")), U(dir + "/log1"));
    EXPECT_EQ(FileUtils::UniqueFileName(U(dir), U("log"), U(".txt")), U(dir + "/log3.txt"));
}

TEST(FileUtils, WritingTranslatesLineFeedsAndReplacesInOneStep) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    const std::string file = dir + "/settings.txt";
    FileUtils::SimpleWriteStringToFile(U(file), Bytes("one\ntwo\r\n"));
    EXPECT_EQ(ReadAll(file), "one\r\ntwo\r\r\n");

    // A shorter text replaces a longer one completely; the permissions stay.
    WriteAll(file, std::string(1000, 'x'));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    FileUtils::SimpleWriteStringToFile(U(file), Bytes(std::string("a\0b", 3)));
    EXPECT_EQ(ReadAll(file), std::string("a\0b", 3));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Nothing but the file is left in the folder.
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        ++entries;
        EXPECT_EQ(entry.path().filename(), "settings.txt");
    }
    EXPECT_EQ(entries, 1u);

    // Failures write nothing and leave what was there.
    fs::create_directory(dir + "/folder");
    WriteAll(dir + "/folder/inside", "i");
    FileUtils::SimpleWriteStringToFile(U(dir + "/folder"), Bytes("text"));
    EXPECT_EQ(ReadAll(dir + "/folder/inside"), "i");
    FileUtils::SimpleWriteStringToFile(U(dir + "/missing/x.txt"), Bytes("text"));
    EXPECT_FALSE(fs::exists(dir + "/missing"));
    UTF16String withNul = U(file);
    withNul.push_back(0);
    FileUtils::SimpleWriteStringToFile(withNul, Bytes("other"));
    EXPECT_EQ(ReadAll(file), std::string("a\0b", 3));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(FileUtils, AppendingCreatesAndKeepsOrder) {
    const std::string dir = tarncore::testing::MakeTempFolder();
    const std::string file = dir + "/log.txt";
    FileUtils::SimpleAppendStringToFile(U(file), Bytes("first\n"));
    FileUtils::SimpleAppendStringToFile(U(file), Bytes("second\n"));
    EXPECT_EQ(ReadAll(file), "first\r\nsecond\r\n");
    FileUtils::SimpleAppendStringToFile(U(dir + "/missing/log.txt"), Bytes("x"));
    EXPECT_FALSE(fs::exists(dir + "/missing"));
}
