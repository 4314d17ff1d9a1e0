// Tests of File and Dir, their errors and exceptions, name comparison and the special folders.
#include "FileTestHelpers.h"

#include <tarncore/config/Client.h>
#include <tarncore/filesupport/CommonDirs.h>
#include <tarncore/filesupport/DeepCopyPtr.h>
#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/Paths.h>
#include <tarncore/filesupport/Shortcuts.h>

#include "filesupport/src/FileErrors.h"
#include "filesupport/src/FileNameCollation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>
#include <tuple>
#include <typeinfo>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;
namespace config = tarncore::config;

namespace {

// The FILETIME (100 ns since 1601) of a time in seconds since 1970.
std::uint64_t FileTimeOf(std::int64_t inSeconds) {
    return static_cast<std::uint64_t>(inSeconds + 11644473600LL) * 10000000ULL;
}

// The exception inOperation throws, which must be of class Exception itself, not of a
// subclass.
template <class Exception, class Operation>
std::optional<Exception> Caught(Operation inOperation) {
    try {
        inOperation();
    } catch (const Exception& e) {
        EXPECT_STREQ(typeid(e).name(), typeid(Exception).name());
        return e;
    }
    ADD_FAILURE() << "nothing thrown";
    return std::nullopt;
}

}  // namespace

TEST(FileAndDir, PathsNamesAndRelativePaths) {
    const File file(U("/a/b.TXT"));
    EXPECT_EQ(file.GetExtension(true), U(".txt"));
    EXPECT_NE(File(U("/A.txt")), File(U("/a.txt")));
    // The narrow form is UTF-8; narrow input that is not UTF-8 names no file.
    EXPECT_EQ(File(U("/caf\xC3\xA9")).FullPathMultiByte(), "/caf\xC3\xA9");
    // A path holding a NUL has no narrow form; the part before the NUL would be another file.
    EXPECT_EQ(File(U("/a") + UTF16String(1, 0) + U("b")).FullPathMultiByte(), "");
    EXPECT_EQ(File(FileHelper(std::string("/caf\xC3\xA9"))), File(U("/caf\xC3\xA9")));
    EXPECT_TRUE(File(FileHelper(std::string("/caf\xE9"))).FullPath().empty());

    EXPECT_EQ(Dir(DirHelper(U("/a//"))).FullPath(), U("/a/"));
    EXPECT_TRUE(Dir(U("/")).IsTopLevelDir());
    EXPECT_EQ(Dir(U("/")).Parent(), Dir());
    // Joining onto an empty directory gives the bare name, never a path at the root.
    EXPECT_EQ(Dir(Dir(), U("a")).FullPath(), U("a"));
    EXPECT_EQ(File(Dir(), U("x")).FullPath(), U("x"));

    const File base(U("/a/c/base.xml"));
    EXPECT_EQ(MakeNormalizedRelativePath(File(U("/a/b/t.txt")), base), U("../b/t.txt"));
    EXPECT_EQ(MakeFileFromPath(U("../b/t.txt"), base), File(U("/a/b/t.txt")));
    EXPECT_EQ(MakeFileFromPath(U("t.txt"), File()), File(U("t.txt")));
    EXPECT_TRUE(IsNormalizedRelativePath(U("a/b")) && !IsNormalizedRelativePath(U("/a/b")));
}

TEST(DeepCopyPtr, CopiesDeeplyAssignsInPlaceAndMovesWithoutCopying) {
    using Owner = tarncore::filesupport::detail::DeepCopyPtr<std::string>;
    Owner first(new std::string("a")), copy = first, none;
    EXPECT_NE(copy.get(), first.get());
    *copy += "b";
    EXPECT_EQ(*first, "a");
    // Assignment between two holders assigns the value: references to it stay good.
    std::string& held = *copy;
    copy = first;
    EXPECT_EQ(&held, copy.get());
    EXPECT_EQ(held, "a");
    none = first;
    EXPECT_TRUE(none && *none == "a" && none.get() != first.get());
    copy = Owner();
    EXPECT_FALSE(copy);
    // Moving hands the value over.
    const std::string* value = first.get();
    Owner moved(std::move(first));
    EXPECT_TRUE(moved.get() == value && !first);
    // File and Dir keep their paths through copies and assignments.
    File file(U("/a")), other(U("/b"));
    const UTF16String& path = file.FullPath();
    file = other;
    EXPECT_EQ(path, U("/b"));
    Dir dir(U("/d"));
    dir = Dir(dir);
    EXPECT_EQ(dir.FullPath(), U("/d"));
}

TEST(CompareFileNames, IgnoresCaseWidthAndKanaButNotAccentsFromManyThreads) {
    for (const char* locale : {"C", "POSIX", "en_US.UTF-8", "de_DE.UTF-8@euro", "ja_JP.UTF-8", "xx_YY"}) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(CompareFileNamesInLocale(U("C:\\A.txt"), U("c:\\a.txt"), locale), 0);
        EXPECT_EQ(CompareFileNamesInLocale(U("\xEF\xBC\xA1\xEF\xBC\xA2"), U("ab"), locale), 0);  // full width
        EXPECT_EQ(CompareFileNamesInLocale(U("\xE3\x81\x8B"), U("\xE3\x82\xAB"), locale), 0);    // ka, KA
        EXPECT_NE(CompareFileNamesInLocale(U("caf\xC3\xA9"), U("cafe"), locale), 0);
        EXPECT_EQ(CompareFileNamesInLocale(U("a"), U("B"), locale), -1);
    }
    // The user's own locale follows the same rules, from any thread.
    std::vector<int> results(8, 99);
    std::vector<std::thread> threads;
    for (int& result : results)
        threads.emplace_back([&result] {
            result = CompareFileNames(U("File.TXT"), U("file.txt")) + CompareFileNames(U("a"), U("b"));
        });
    for (std::thread& thread : threads) thread.join();
    for (int result : results) EXPECT_EQ(result, -1);
}

TEST(File, CreateTruncatesAndMapsErrnoToTheExceptions) {
    const std::string dir = TempFolder();
    File file(U(dir + "/a.txt"));
    file.Create();
    WriteAll(dir + "/a.txt", "contents");
    file.Create();
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(ReadAll(dir + "/a.txt"), "");

    const File inMissingFolder(U(dir + "/missing/a.txt"));
    EXPECT_EQ(Caught<create_invalidpath_exception>([&] { File(inMissingFolder).Create(); })->GetFile(),
              inMissingFolder);
    Caught<create_accessdenied_exception>([&] { File(U(dir)).Create(); });
    Caught<create_exception>([&] { File(U(dir + "/a.txt") + UTF16String(1, 0)).Create(); });
    EXPECT_THROW(File().Create(), create_exception);

    // Each errno a create can meet, through the one classification, to its exception.
    namespace os = tarncore::platform::os;
    const File some(U(dir + "/some"));
    const auto throwsFor = [&](int inError) {
        return [&some, inError] { ThrowCreateError(some, os::ClassifyFileError(inError)); };
    };
    EXPECT_NO_THROW(throwsFor(0)());
    for (int error : {ENXIO, ENODEV, EBADF}) Caught<create_fnf_exception>(throwsFor(error));
    for (int error : {ENOENT, ENOTDIR, ELOOP}) Caught<create_invalidpath_exception>(throwsFor(error));
    Caught<create_locked_exception>(throwsFor(EROFS));
    for (int error : {EACCES, EPERM, EISDIR, EEXIST, EIO, EBUSY, ETXTBSY, ENETDOWN, ESTALE, EREMOTEIO})
        EXPECT_EQ(Caught<create_accessdenied_exception>(throwsFor(error))->GetFile(), some) << error;
    for (int error : {ENOSPC, EDQUOT, ENOTEMPTY, EINVAL, ENAMETOOLONG})
        Caught<create_exception>(throwsFor(error));
}

// The other operations that tell failures apart, each through its own table.
TEST(FileErrors, EachOperationReportsEachErrnoAsItsOwnTableSays) {
    namespace os = tarncore::platform::os;
    const auto kind = [](int inError) { return os::ClassifyFileError(inError); };
    using R = ShortcutFiles;
    const std::tuple<std::vector<int>, std::int32_t, std::int32_t> shortcuts[] = {
        // errno, reading a shortcut, writing one
        {{0}, R::kResultOK, R::kResultOK},
        {{ENOENT, ENOTDIR}, R::kResultFileNotFound, R::kResultPathNotFound},
        {{EACCES, EPERM}, R::kResultAccessDenied, R::kResultAccessDenied},
        {{EISDIR}, R::kResultFail, R::kResultAccessDenied},
        {{EROFS}, R::kResultFail, R::kResultWriteProtected},
        {{ENOSPC, EDQUOT}, R::kResultFail, R::kResultDiskFull},
        {{ELOOP, EEXIST, EIO, ENXIO, EINVAL, EFBIG}, R::kResultFail, R::kResultFail}};
    for (const auto& [errors, read, write] : shortcuts)
        for (int error : errors) {
            EXPECT_EQ(ShortcutReadResult(kind(error)), read) << "errno " << error;
            EXPECT_EQ(ShortcutWriteResult(kind(error)), write) << "errno " << error;
        }

    // Streams: a missing file or folder on the way, or a failure of the system that
    // keeps its kind for the library's own callers.
    const File file(U("/f"));
    for (int error : {ENOENT, ENOTDIR})
        Caught<file_not_found_exception>([&] { ThrowStreamError(file, kind(error)); });
    for (int error : {EACCES, EISDIR, ENXIO, ELOOP, ENOSPC, EINVAL}) {
        const auto thrown = Caught<file_io_error>([&] { ThrowStreamError(file, kind(error)); });
        EXPECT_TRUE(thrown && thrown->Failure() == kind(error)) << "errno " << error;
    }
    EXPECT_NO_THROW(ThrowStreamError(file, kind(0)));

    // Times: only a missing entry is "not found"; a path through a file is an error.
    Caught<file_not_found_exception>([&] { ThrowFileQueryError(file, kind(ENOENT)); });
    const Dir dir(U("/d"));
    Caught<dir_not_found_exception>([&] { ThrowDirQueryError(dir, kind(ENOENT)); });
    for (int error : {ENOTDIR, EACCES, ELOOP, EIO}) {
        Caught<file_exception>([&] { ThrowFileQueryError(file, kind(error)); });
        Caught<dir_exception>([&] { ThrowDirQueryError(dir, kind(error)); });
    }

    // Making a directory that exists is fine; a rename onto a taken name says so.
    for (int error : {0, EEXIST}) EXPECT_NO_THROW(ThrowDirCreateError(dir, kind(error)));
    for (int error : {ENOENT, ENOTEMPTY, EACCES})
        Caught<dir_exception>([&] { ThrowDirCreateError(dir, kind(error)); });
    for (int error : {EEXIST, ENOTEMPTY})
        Caught<rename_dir_already_exists>([&] { ThrowDirRenameError(dir, U("n"), kind(error)); });
    for (int error : {ENOENT, EACCES, EXDEV, EBUSY})
        Caught<rename_dir>([&] { ThrowDirRenameError(dir, U("n"), kind(error)); });
    EXPECT_NO_THROW(ThrowDirRenameError(dir, U("n"), kind(0)));
}

TEST(File, RenameNeverReplacesAndDeleteReportsFailures) {
    const std::string dir = TempFolder();
    WriteAll(dir + "/a.txt", "a");
    WriteAll(dir + "/b.txt", "b");
    File file(U(dir + "/a.txt"));
    const auto taken = Caught<rename_file>([&] { file.Rename(U("b.txt")); }).value();
    EXPECT_TRUE(taken.GetFile() == File(U(dir + "/a.txt")) && taken.GetNewName() == U("b.txt"));
    // Nothing was replaced and the object still names the old file.
    EXPECT_EQ(file, File(U(dir + "/a.txt")));
    EXPECT_EQ(ReadAll(dir + "/a.txt") + ReadAll(dir + "/b.txt"), "ab");

    file.Rename(U("c.txt"));
    EXPECT_EQ(file.FullPath(), U(dir + "/c.txt"));
    EXPECT_EQ(ReadAll(dir + "/c.txt"), "a");
    EXPECT_FALSE(fs::exists(dir + "/a.txt"));
    Caught<rename_file>([&] { File(U(dir + "/missing")).Rename(U("x")); });
    file.Delete();
    EXPECT_FALSE(file.Exists());
    Caught<file_delete_exception>([&] { file.Delete(); });
    Caught<file_delete_exception>([&] { File(U(dir)).Delete(); });
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST(Dir, CreateAndRenameNeverReplace) {
    const std::string root = TempFolder();
    Dir dir(U(root + "/one"));
    dir.Create();
    dir.Create();  // already there: fine
    EXPECT_TRUE(dir.Exists());
    Caught<dir_exception>([&] { Dir(U(root + "/missing/two")).Create(); });
    WriteAll(root + "/file", "f");
    EXPECT_TRUE(File(U(root + "/one")).Exists());  // a directory exists as a File too
    EXPECT_FALSE(Dir(U(root + "/file")).Exists());

    fs::create_directories(root + "/full/x");
    fs::create_directory(root + "/empty");
    for (const char* name : {"full", "empty", "file"}) {
        const auto taken = Caught<rename_dir_already_exists>([&] { dir.Rename(U(name)); }).value();
        EXPECT_TRUE(taken.GetDir() == Dir(U(root + "/one")) && taken.GetNewName() == U(name));
    }
    EXPECT_TRUE(fs::exists(root + "/full/x"));
    Caught<rename_dir>([&] { Dir(U(root + "/missing")).Rename(U("x")); });
    dir.Rename(U("renamed"));
    EXPECT_EQ(dir, Dir(U(root + "/renamed")));
    EXPECT_TRUE(dir.Exists());
}

TEST(Dir, DeleteRemovesATreeButNeverFollowsLinks) {
    const std::string root = TempFolder(), tree = root + "/tree";
    for (const char* folder : {"/tree/a/b/c", "/tree/d", "/outside", "/hidden"})
        fs::create_directories(root + folder);
    for (const char* file : {"/tree/top.txt", "/tree/a/b/c/deep.txt", "/tree/d/x.lnk",
                             "/outside/precious.txt", "/hidden/.keep", "/hidden/plain"})
        WriteAll(root + file, "p");
    // Links inside the tree to things outside it.
    fs::create_directory_symlink(root + "/outside", tree + "/a/dirlink");
    fs::create_symlink(root + "/outside/precious.txt", tree + "/filelink");
    fs::create_symlink(root + "/nowhere", tree + "/d/broken");
    Dir(U(tree)).Delete();
    EXPECT_FALSE(fs::exists(tree));
    // A link given directly goes as a link.
    fs::create_directory_symlink(root + "/outside", root + "/link");
    Dir(U(root + "/link")).Delete();
    EXPECT_FALSE(fs::exists(fs::symlink_status(root + "/link")));
    EXPECT_EQ(ReadAll(root + "/outside/precious.txt"), "p");

    // Hidden entries are not listed, so their folder stays and the call throws.
    Caught<dir_exception>([&] { Dir(U(root + "/hidden")).Delete(); });
    EXPECT_TRUE(fs::exists(root + "/hidden/.keep"));
    EXPECT_FALSE(fs::exists(root + "/hidden/plain"));
    Caught<dir_exception>([&] { Dir(U(root + "/missing")).Delete(); });
    Caught<dir_exception>([&] { Dir().Delete(); });
}

TEST(FileAndDir, TimesAndSizes) {
    const std::string root = TempFolder();
    WriteAll(root + "/five", "12345");
    const File file(U(root + "/five")), missing(U(root + "/missing"));
    EXPECT_NEAR(double(file.Created()), double(FileTimeOf(std::time(nullptr))), 10.0 * 10000000);
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const std::string& path : {root + "/five", root})
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(file.Modified(), FileTimeOf(1000000000));
    EXPECT_EQ(Dir(U(root)).Modified(), FileTimeOf(1000000000));

    for (int selector : {0, 2, 3, 5}) EXPECT_EQ(file.Size(FileSizeSelector(selector)), 5u);
    for (int selector : {1, 4, 6, -1}) EXPECT_EQ(file.Size(FileSizeSelector(selector)), 0u);
    EXPECT_EQ(missing.Size(kFileSizeDataLogical), 0u);

    Caught<file_not_found_exception>([&] { (void)missing.Modified(); });
    Caught<dir_not_found_exception>([&] { (void)Dir(U(root + "/missing")).Created(); });
    // A path through a file is not a missing file.
    Caught<file_exception>([&] { (void)File(U(root + "/five/below")).Modified(); });
}

TEST(FileExceptions, TheFourteenKeysSurviveCopies) {
    const File f(U("/f"));
    const Dir d(U("/d"));
    const std::string create = "=Could not create the file '@0'.";
    const std::string rename = "=Could not rename the directory '@0' to '@1'.";
    const std::pair<std::string, std::string> keys[] = {
        {file_exception(f).what(), "error=Error with file: '@0'."},
        {file_not_found_exception(f).what(), "FileNotFound=The file '@0' could not be found."},
        {file_delete_exception(f).what(), "Delete=Could not delete the file '@0'."},
        {create_exception(f).what(), "Create" + create},
        {create_fnf_exception(f).what(), "Create/fnf" + create + " The file could not be found."},
        {create_locked_exception(f).what(), "Create/locked" + create + " The disk is locked."},
        {create_accessdenied_exception(f).what(), "Create/accessdenied" + create + " Access was denied."},
        {create_invalidpath_exception(f).what(), "Create/invalidpath" + create + " The path is not valid."},
        {rename_file(f, U("n")).what(), "Rename=Could not rename the file '@0' to '@1'."},
        {dir_exception(d).what(), "Dir/error=Error with Directory: '@0'."},
        {dir_not_found_exception(d).what(), "DirNotFound=The directory '@0' could not be found."},
        {dir_delete_exception(d).what(), "DirDelete=Could not delete the directory '@0'."},
        {rename_dir(d, U("n")).what(), "DirRename" + rename},
        {rename_dir_already_exists(d, U("n")).what(),
         "DirRename/exists" + rename + " The directory already exists."}};
    for (const auto& [what, key] : keys) EXPECT_EQ(what, "$$$/tarncore/filesupport/" + key);

    // Copies, also into a base class, keep the object, the new name and the key.
    rename_dir copy = rename_dir_already_exists(d, U("b")), assigned(Dir(U("/x")), U("y"));
    assigned = copy;
    EXPECT_TRUE(assigned.GetDir() == d && assigned.GetNewName() == U("b"));
    EXPECT_STREQ(assigned.what(), rename_dir_already_exists(d, U("b")).what());
    const file_exception base = create_locked_exception(f);
    EXPECT_EQ(base.GetFile(), f);
    EXPECT_STREQ(base.what(), create_locked_exception(f).what());
}

namespace {

// Sets an environment variable, or with nullptr removes it.
void SetEnvironment(const char* inName, const char* inValue) {
    (void)(inValue != nullptr ? setenv(inName, inValue, 1) : unsetenv(inName));
}

// Puts the test environment that the test main made, and every cache of special
// folders, back when the test ends.
class SpecialFolders : public ::testing::Test {
protected:
    void TearDown() override {
        const std::string root = tarncore::testing::TestRoot();
        SetEnvironment("HOME", (root + "/home").c_str());
        SetEnvironment("XDG_CONFIG_HOME", (root + "/home/.config").c_str());
        SetEnvironment("TMPDIR", (root + "/tmp").c_str());
        SetEnvironment("XDG_DOCUMENTS_DIR", nullptr);
        commondirs::SetAppDirOverride(Dir());
        commondirs::SetPluginsDirOverride(Dir());
        commondirs::SetRequiredPluginsDirOverride(Dir());
    }
};

}  // namespace

TEST_F(SpecialFolders, ApplicationFoldersComeFromTheProgramOrTheOverrides) {
    const fs::path executable = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(commondirs::MainExecutableFile().FullPath(), U(executable.string()));
    EXPECT_EQ(Dir::AppDir().FullPath(), U(executable.parent_path().string()));
    EXPECT_EQ(Dir::PackageDir(), Dir::AppDir());
    EXPECT_TRUE(commondirs::ExecutableDir() == Dir::AppDir() && commondirs::ResourcesDir() == Dir::AppDir());

    commondirs::SetAppDirOverride(Dir(U("/opt/App/")));
    EXPECT_EQ(Dir::PackageDir().FullPath(), U("/opt/App"));
    EXPECT_EQ(commondirs::PluginsDir().FullPath(), U("/opt/App/Plug-ins"));
    EXPECT_EQ(commondirs::RequiredPluginsDir().FullPath(), U("/opt/App/Required"));
    // Derived folders keep what they were derived from.
    commondirs::SetPackageDirOverride(Dir(U("/srv/Other")));
    EXPECT_EQ(Dir::AppDir().FullPath(), U("/srv/Other"));
    EXPECT_EQ(commondirs::PluginsDir().FullPath(), U("/opt/App/Plug-ins"));
    EXPECT_EQ(commondirs::AllUserPluginsDir().FullPath(), U("/opt/Corvane/Common/Plug-ins"));
    EXPECT_EQ(commondirs::UserPluginsDir(), commondirs::AllUserPluginsDir());
}

TEST_F(SpecialFolders, UserFoldersFollowTheEnvironment) {
    const std::string root = TempFolder(), home = root + "/home";
    SetEnvironment("HOME", home.c_str());
    SetEnvironment("XDG_CONFIG_HOME", (root + "/config/").c_str());
    EXPECT_EQ(Dir::GlobalPrefDir().FullPath(), U(root + "/config"));
    SetEnvironment("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(Dir::GlobalPrefDir().FullPath(), U(home + "/.config"));
    EXPECT_TRUE(fs::is_directory(root + "/config") && fs::is_directory(home + "/.config"));

    SetEnvironment("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(home + "/Documents"));
    WriteAll(home + "/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/My Papers\"\n");
    EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(home + "/My Papers"));
    EXPECT_TRUE(fs::is_directory(home + "/Documents") && fs::is_directory(home + "/My Papers"));
    SetEnvironment("XDG_DOCUMENTS_DIR", (root + "/docs").c_str());
    EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(root + "/docs"));

    SetEnvironment("TMPDIR", (root + "/tmp/").c_str());
    EXPECT_EQ(Dir::TempDir().FullPath(), U(root + "/tmp"));
    SetEnvironment("TMPDIR", nullptr);
    EXPECT_EQ(Dir::TempDir().FullPath(), U("/tmp"));
    EXPECT_EQ(Dir::CommonFilesDir().FullPath(), U("/usr/share"));
}

// The client identity is process-wide; no other test reads it.
TEST_F(SpecialFolders, PrefDirIsCreatedFromTheClientIdentity) {
    const std::string root = TempFolder();
    SetEnvironment("XDG_CONFIG_HOME", root.c_str());
    config::SetCompanyName(U("Corvane"));
    config::SetClientName(U("Test Client"));
    config::SetClientInternalVersion(U("7.1"));
    EXPECT_EQ(Dir::PrefDir().FullPath(), U(root + "/Corvane/Test Client/7.1"));
    EXPECT_TRUE(fs::is_directory(root + "/Corvane/Test Client/7.1"));
    EXPECT_NO_THROW(Dir::PrefDir());  // there already
    config::SetClientName(U("nested/name"));
    EXPECT_THROW(Dir::PrefDir(), dir_exception);
}

TEST_F(SpecialFolders, FirstCallsFromManyThreadsAgree) {
    std::vector<UTF16String> results(8);
    std::vector<std::thread> threads;
    for (UTF16String& result : results)
        threads.emplace_back([&result] {
            result = commondirs::PluginsDir().FullPath() + Dir::AppDir().FullPath() +
                     commondirs::UserPluginsDir().FullPath();
        });
    for (std::thread& thread : threads) thread.join();
    for (const UTF16String& result : results) EXPECT_EQ(result, results[0]);
}
