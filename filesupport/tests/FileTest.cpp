#include "FileTestHelpers.h"

#include <tarncore/filesupport/FileExceptions.h>

#include "filesupport/src/FileErrors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;

namespace {

std::uint64_t FileTimeOfUnixSeconds(std::int64_t inSeconds) {
    return static_cast<std::uint64_t>(inSeconds + 11644473600LL) * 10000000ULL;
}

void SetModified(const std::string& inPath, std::int64_t inSeconds) {
    const struct timespec times[2] = {{inSeconds, 0}, {inSeconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, inPath.c_str(), times, 0), 0);
}

}  // namespace

TEST(File, NamesAndValueSemantics) {
    const File file(U("/a/b.TXT"));
    EXPECT_EQ(file.FullPath(), U("/a/b.TXT"));
    EXPECT_EQ(file.GetName(), U("b.TXT"));
    EXPECT_EQ(file.GetTitle(), U("b"));
    EXPECT_EQ(file.GetExtension(false), U(".TXT"));
    EXPECT_EQ(file.GetExtension(true), U(".txt"));
    EXPECT_EQ(file.Parent(), Dir(U("/a")));
    EXPECT_EQ(File(U("/archive.tar.gz")).GetTitle(), U("archive.tar"));
    EXPECT_EQ(File(U("/dir.d/file")).GetExtension(), UTF16String());
    EXPECT_EQ(File(U("/x")).Parent().FullPath(), U("/"));

    // The narrow form is UTF-8; narrow input that is not UTF-8 names no file.
    const File accented(U("/tmp/caf\xC3\xA9"));
    EXPECT_EQ(accented.FullPathMultiByte(), "/tmp/caf\xC3\xA9");
    EXPECT_EQ(File(FileHelper(std::string("/tmp/caf\xC3\xA9"))), accented);
    EXPECT_TRUE(File(FileHelper(std::string("/tmp/caf\xE9"))).FullPath().empty());

    EXPECT_NE(File(U("/A.txt")), File(U("/a.txt")));
    EXPECT_TRUE(File().FullPath().empty());

    File copy = file;
    copy = File(U("/other"));
    EXPECT_EQ(file.FullPath(), U("/a/b.TXT"));
    EXPECT_EQ(copy.FullPath(), U("/other"));
}

TEST(Dir, ConstructionAndJoining) {
    EXPECT_EQ(Dir(U("/a/")).FullPath(), U("/a"));
    EXPECT_EQ(Dir(U("/a//")).FullPath(), U("/a/"));
    EXPECT_EQ(Dir(U("/")).FullPath(), U("/"));
    EXPECT_EQ(Dir(Dir(U("/")), U("a")).FullPath(), U("/a"));
    EXPECT_EQ(Dir(Dir(U("/a")), U("b/")).FullPath(), U("/a/b"));
    EXPECT_EQ(File(Dir(U("/")), U("x")).FullPath(), U("/x"));
    EXPECT_EQ(File(Dir(U("/a")), U("x")).FullPath(), U("/a/x"));
    // Joining onto an empty directory gives the bare name, never a path at the root.
    EXPECT_EQ(Dir(Dir(), U("a")).FullPath(), U("a"));
    EXPECT_EQ(File(Dir(), U("x")).FullPath(), U("x"));

    EXPECT_TRUE(Dir(U("/")).IsTopLevelDir());
    EXPECT_FALSE(Dir(U("/a")).IsTopLevelDir());
    EXPECT_EQ(Dir(U("/a/b")).GetName(), U("b"));
    EXPECT_EQ(Dir(U("/a")).Parent(), Dir(U("/")));
    EXPECT_EQ(Dir(U("/")).Parent(), Dir());

    // The helper's string is taken as it stands.
    EXPECT_EQ(Dir(DirHelper(U("/a/"))).FullPath(), U("/a"));
}

TEST(File, CreateTruncatesAndMapsErrors) {
    const std::string dir = TempFolder();
    File file(U(dir + "/a.txt"));
    EXPECT_FALSE(file.Exists());
    file.Create();
    EXPECT_TRUE(file.Exists());
    WriteAll(dir + "/a.txt", "contents");
    file.Create();
    EXPECT_EQ(fs::file_size(dir + "/a.txt"), 0u);

    const File inMissingFolder(U(dir + "/missing/a.txt"));
    try {
        File(inMissingFolder).Create();
        FAIL() << "no exception";
    } catch (const create_invalidpath_exception& e) {
        EXPECT_EQ(e.GetFile(), inMissingFolder);
        EXPECT_STREQ(e.what(),
                     "$$$/tarncore/filesupport/Create/invalidpath=Could not create the file '@0'. "
                     "The path is not valid.");
    }
    EXPECT_THROW(File(U(dir)).Create(), create_accessdenied_exception);
    EXPECT_THROW(File(U(dir + "/a.txt/x")).Create(), create_invalidpath_exception);
    EXPECT_THROW(File().Create(), create_exception);

    UTF16String withNul = U(dir + "/a.txt");
    withNul.push_back(0);
    try {
        File(withNul).Create();
        FAIL() << "no exception";
    } catch (const create_exception& e) {
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/Create=Could not create the file '@0'.");
    }

    EXPECT_EQ(ClassifyCreateError(0), CreateFailure::kNone);
    EXPECT_EQ(ClassifyCreateError(ENOENT), CreateFailure::kInvalidPath);
    EXPECT_EQ(ClassifyCreateError(EROFS), CreateFailure::kLocked);
    EXPECT_EQ(ClassifyCreateError(EACCES), CreateFailure::kAccessDenied);
    EXPECT_EQ(ClassifyCreateError(EPERM), CreateFailure::kAccessDenied);
    EXPECT_EQ(ClassifyCreateError(EISDIR), CreateFailure::kAccessDenied);
    EXPECT_EQ(ClassifyCreateError(ENXIO), CreateFailure::kNotFound);
    EXPECT_EQ(ClassifyCreateError(ENOSPC), CreateFailure::kOther);
    EXPECT_THROW(ThrowCreateError(file, EROFS), create_locked_exception);
    EXPECT_THROW(ThrowCreateError(file, ENXIO), create_fnf_exception);
    EXPECT_NO_THROW(ThrowCreateError(file, 0));
}

TEST(File, DeleteRenameAndTheirErrors) {
    const std::string dir = TempFolder();
    WriteAll(dir + "/a.txt", "a");
    WriteAll(dir + "/b.txt", "b");
    File file(U(dir + "/a.txt"));
    const File before = file;

    try {
        file.Rename(U("b.txt"));
        FAIL() << "no exception";
    } catch (const rename_file& e) {
        EXPECT_EQ(e.GetFile(), before);
        EXPECT_EQ(e.GetNewName(), U("b.txt"));
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/Rename=Could not rename the file '@0' to '@1'.");
    }
    // Nothing was replaced and the object still names the old file.
    EXPECT_EQ(file, before);
    EXPECT_EQ(ReadAll(dir + "/b.txt"), "b");
    EXPECT_EQ(ReadAll(dir + "/a.txt"), "a");

    file.Rename(U("c.txt"));
    EXPECT_EQ(file.FullPath(), U(dir + "/c.txt"));
    EXPECT_EQ(ReadAll(dir + "/c.txt"), "a");
    EXPECT_FALSE(fs::exists(dir + "/a.txt"));
    EXPECT_THROW(File(U(dir + "/missing")).Rename(U("x")), rename_file);

    file.Delete();
    EXPECT_FALSE(file.Exists());
    try {
        file.Delete();
        FAIL() << "no exception";
    } catch (const file_delete_exception& e) {
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/Delete=Could not delete the file '@0'.");
    }
    EXPECT_THROW(File(U(dir)).Delete(), file_delete_exception);
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST(Dir, CreateRenameAndTheirErrors) {
    const std::string root = TempFolder();
    Dir dir(U(root + "/one"));
    EXPECT_FALSE(dir.Exists());
    dir.Create();
    EXPECT_TRUE(dir.Exists());
    EXPECT_NO_THROW(dir.Create());  // already there
    try {
        Dir(U(root + "/missing/two")).Create();
        FAIL() << "no exception";
    } catch (const dir_exception& e) {
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/Dir/error=Error with Directory: '@0'.");
    }

    WriteAll(root + "/file", "f");
    EXPECT_TRUE(File(U(root + "/one")).Exists());  // a directory exists as a File too
    EXPECT_FALSE(Dir(U(root + "/file")).Exists());

    fs::create_directory(root + "/full");
    WriteAll(root + "/full/x", "x");
    fs::create_directory(root + "/empty");
    for (const char* taken : {"full", "empty", "file"}) {
        try {
            dir.Rename(U(taken));
            FAIL() << "no exception for " << taken;
        } catch (const rename_dir_already_exists& e) {
            EXPECT_EQ(e.GetDir(), Dir(U(root + "/one")));
            EXPECT_EQ(e.GetNewName(), U(taken));
        }
    }
    EXPECT_TRUE(fs::exists(root + "/full/x"));
    try {
        Dir(U(root + "/missing")).Rename(U("x"));
        FAIL() << "no exception";
    } catch (const rename_dir_already_exists&) {
        FAIL() << "wrong exception";
    } catch (const rename_dir& e) {
        EXPECT_STREQ(e.what(),
                     "$$$/tarncore/filesupport/DirRename=Could not rename the directory '@0' to '@1'.");
    }

    dir.Rename(U("renamed"));
    EXPECT_EQ(dir, Dir(U(root + "/renamed")));
    EXPECT_TRUE(dir.Exists());
}

TEST(Dir, DeleteRemovesATreeButNeverFollowsLinks) {
    const std::string root = TempFolder();
    fs::create_directories(root + "/tree/a/b/c");
    fs::create_directories(root + "/tree/d");
    WriteAll(root + "/tree/top.txt", "t");
    WriteAll(root + "/tree/a/b/c/deep.txt", "d");
    WriteAll(root + "/tree/d/x.lnk", "not really a shortcut");

    // Links inside the tree to things outside it.
    fs::create_directories(root + "/outside");
    WriteAll(root + "/outside/precious.txt", "p");
    fs::create_directory_symlink(root + "/outside", root + "/tree/a/dirlink");
    fs::create_symlink(root + "/outside/precious.txt", root + "/tree/filelink");
    fs::create_symlink(root + "/nowhere", root + "/tree/d/broken");

    Dir(U(root + "/tree")).Delete();
    EXPECT_FALSE(fs::exists(root + "/tree"));
    EXPECT_EQ(ReadAll(root + "/outside/precious.txt"), "p");

    // A link given directly goes as a link.
    fs::create_directory_symlink(root + "/outside", root + "/link");
    Dir(U(root + "/link")).Delete();
    EXPECT_FALSE(fs::exists(fs::symlink_status(root + "/link")));
    EXPECT_TRUE(fs::exists(root + "/outside/precious.txt"));

    // Hidden entries are not listed, so their folder stays and the call throws.
    fs::create_directories(root + "/hidden");
    WriteAll(root + "/hidden/.keep", "k");
    WriteAll(root + "/hidden/plain", "p");
    EXPECT_THROW(Dir(U(root + "/hidden")).Delete(), dir_exception);
    EXPECT_TRUE(fs::exists(root + "/hidden/.keep"));
    EXPECT_FALSE(fs::exists(root + "/hidden/plain"));

    EXPECT_THROW(Dir(U(root + "/missing")).Delete(), dir_exception);
    EXPECT_THROW(Dir().Delete(), dir_exception);
}

TEST(FileAndDir, TimesAndSizes) {
    const std::string root = TempFolder();
    WriteAll(root + "/five", "12345");
    const File file(U(root + "/five"));

    using namespace std::chrono;
    const auto now = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    EXPECT_NEAR(static_cast<double>(file.Created()), static_cast<double>(FileTimeOfUnixSeconds(now)),
                10.0 * 10000000);
    SetModified(root + "/five", 1000000000);
    EXPECT_EQ(file.Modified(), FileTimeOfUnixSeconds(1000000000));
    SetModified(root, 1234567890);
    EXPECT_EQ(Dir(U(root)).Modified(), FileTimeOfUnixSeconds(1234567890));
    EXPECT_GT(Dir(U(root)).Created(), 0u);

    for (int selector : {0, 2, 3, 5}) EXPECT_EQ(file.Size(FileSizeSelector(selector)), 5u);
    for (int selector : {1, 4, 6, -1}) EXPECT_EQ(file.Size(FileSizeSelector(selector)), 0u);
    EXPECT_EQ(File(U(root + "/missing")).Size(kFileSizeDataLogical), 0u);
    EXPECT_EQ(File(U(root)).Size(kFileSizeDataLogical), 0u);

    EXPECT_THROW(File(U(root + "/missing")).Modified(), file_not_found_exception);
    EXPECT_THROW(File(U(root + "/missing")).Created(), file_not_found_exception);
    EXPECT_THROW(Dir(U(root + "/missing")).Modified(), dir_not_found_exception);
    try {
        (void)File(U(root + "/five/below")).Modified();
        FAIL() << "no exception";
    } catch (const file_not_found_exception&) {
        FAIL() << "a path through a file is not a missing file";
    } catch (const file_exception& e) {
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/error=Error with file: '@0'.");
    }
    try {
        (void)Dir(U(root + "/missing")).Created();
        FAIL() << "no exception";
    } catch (const dir_exception& e) {
        EXPECT_STREQ(e.what(), "$$$/tarncore/filesupport/DirNotFound=The directory '@0' could not be found.");
    }
}

TEST(FileExceptions, CopyAndAssignKeepEverything) {
    const rename_dir_already_exists original(Dir(U("/a")), U("b"));
    rename_dir copy = original;
    EXPECT_EQ(copy.GetDir(), Dir(U("/a")));
    EXPECT_EQ(copy.GetNewName(), U("b"));
    EXPECT_STREQ(copy.what(), original.what());
    rename_dir assigned(Dir(U("/x")), U("y"));
    assigned = copy;
    EXPECT_EQ(assigned.GetDir(), Dir(U("/a")));
    EXPECT_STREQ(assigned.what(),
                 "$$$/tarncore/filesupport/DirRename/exists=Could not rename the directory '@0' to "
                 "'@1'. The directory already exists.");

    const file_not_found_exception notFound(File(U("/f")));
    file_exception base = notFound;
    EXPECT_STREQ(base.what(), "$$$/tarncore/filesupport/FileNotFound=The file '@0' could not be found.");
    EXPECT_STREQ(create_fnf_exception(File()).what(),
                 "$$$/tarncore/filesupport/Create/fnf=Could not create the file '@0'. The file could "
                 "not be found.");
    EXPECT_STREQ(dir_delete_exception(Dir()).what(),
                 "$$$/tarncore/filesupport/DirDelete=Could not delete the directory '@0'.");
}
