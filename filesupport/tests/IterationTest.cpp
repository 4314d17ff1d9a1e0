#include "FileTestHelpers.h"

#include <tarncore/filesupport/RecursiveFileIterator.h>
#include <tarncore/filesupport/Shortcuts.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include <sys/stat.h>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;

namespace {

std::vector<UTF16String> Files(const Dir& inDir, bool inResolve) {
    std::vector<UTF16String> paths;
    for (Dir::FileIterator it = inDir.BeginFiles(inResolve); it != inDir.EndFiles(); ++it)
        paths.push_back((*it).FullPath());
    return paths;
}

std::vector<UTF16String> Subdirs(const Dir& inDir, bool inResolve) {
    std::vector<UTF16String> paths;
    for (Dir::DirIterator it = inDir.BeginSubdirs(inResolve); it != inDir.EndSubdirs(); ++it)
        paths.push_back((*it).FullPath());
    return paths;
}

std::vector<UTF16String> Sorted(std::vector<UTF16String> inPaths) {
    std::sort(inPaths.begin(), inPaths.end());
    return inPaths;
}

void MakeShortcut(const std::string& inTarget, const std::string& inShortcut) {
    ASSERT_EQ(FileUtils::CreateLink(U(inTarget), U(inShortcut), UTF16String()), 0);
}

}  // namespace

TEST(DirIteration, ListsPlainFilesAndFoldersOnly) {
    const std::string root = TempFolder();
    WriteAll(root + "/a.txt", "a");
    WriteAll(root + "/.hidden", "h");
    fs::create_directory(root + "/sub");
    fs::create_directory(root + "/.hiddendir");
    ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0600), 0);
    WriteAll(root + "/\xFF.txt", "not UTF-8");  // cannot be named through UTF-16: left out
    fs::create_directory_symlink(root + "/sub", root + "/sublink");
    fs::create_symlink(root + "/nowhere", root + "/broken");

    const Dir dir(U(root));
    EXPECT_EQ(Sorted(Files(dir, false)), Sorted({U(root + "/a.txt"), U(root + "/broken")}));
    EXPECT_EQ(Sorted(Subdirs(dir, false)), Sorted({U(root + "/sub"), U(root + "/sublink")}));

    const Dir empty(U(root + "/sub"));
    EXPECT_EQ(empty.BeginFiles(false), empty.EndFiles());
    EXPECT_EQ(empty.BeginSubdirs(true), empty.EndSubdirs());
    const Dir missing(U(root + "/missing"));
    EXPECT_EQ(missing.BeginFiles(false), missing.EndFiles());
    EXPECT_EQ(Dir().BeginSubdirs(false), Dir().EndSubdirs());
}

TEST(DirIteration, IteratorsCopyCompareAndStep) {
    const std::string root = TempFolder();
    WriteAll(root + "/one", "1");
    WriteAll(root + "/two", "2");
    const Dir dir(U(root));

    Dir::FileIterator it = dir.BeginFiles(false);
    const Dir::FileIterator copy = it;
    EXPECT_EQ(it, copy);
    EXPECT_NE(it, dir.BeginFiles(true));  // another resolve flag
    const Dir::FileIterator before = it++;
    EXPECT_EQ(before, copy);
    EXPECT_NE(it, copy);
    EXPECT_NE(*it, *copy);
    ++it;
    EXPECT_EQ(it, dir.EndFiles());
    EXPECT_EQ(*it, File());  // past the end reads nothing
    ++it;
    EXPECT_EQ(it, dir.EndFiles());

    // Iterators without a helper equal each other and nothing else.
    EXPECT_EQ(Dir::FileIterator(), Dir::FileIterator());
    EXPECT_NE(Dir::FileIterator(), dir.EndFiles());
    EXPECT_EQ(*Dir::DirIterator(), Dir());

    Dir::FileIterator moved = std::move(it);
    EXPECT_EQ(moved, dir.EndFiles());
    Dir::FileIterator assigned;
    assigned = copy;
    EXPECT_EQ(assigned, copy);
}

TEST(DirIteration, ShortcutsResolveWhenAsked) {
    const std::string root = TempFolder();
    const std::string targets = TempFolder();
    fs::create_directory(targets + "/folder");
    WriteAll(targets + "/file.txt", "f");
    fs::create_directory(root + "/list");
    const std::string list = root + "/list";
    MakeShortcut(targets + "/folder", list + "/x.lnk");
    MakeShortcut(targets + "/file.txt", list + "/y.lnk");
    MakeShortcut(targets + "/file.txt", list + "/upper.LNK");
    MakeShortcut(targets + "/gone.txt", list + "/broken.lnk");
    WriteAll(list + "/garbage.lnk", "not a shortcut");

    const Dir dir(U(list));
    EXPECT_EQ(Sorted(Files(dir, false)),
              Sorted({U(list + "/x.lnk"), U(list + "/y.lnk"), U(list + "/upper.LNK"),
                      U(list + "/broken.lnk"), U(list + "/garbage.lnk")}));
    EXPECT_TRUE(Subdirs(dir, false).empty());

    EXPECT_EQ(Sorted(Files(dir, true)), Sorted({U(targets + "/file.txt"), U(list + "/upper.LNK")}));
    EXPECT_EQ(Subdirs(dir, true), std::vector<UTF16String>{U(targets + "/folder")});

    // The resolving constructors take a target of their own kind only.
    EXPECT_EQ(File(dir, U("y.lnk"), true).FullPath(), U(targets + "/file.txt"));
    EXPECT_EQ(File(dir, U("x.lnk"), true).FullPath(), U(list + "/x.lnk"));
    EXPECT_EQ(File(dir, U("y.lnk"), false).FullPath(), U(list + "/y.lnk"));
    EXPECT_EQ(Dir(dir, U("x.lnk"), true).FullPath(), U(targets + "/folder"));
    EXPECT_EQ(Dir(dir, U("y.lnk"), true).FullPath(), U(list + "/y.lnk"));
    EXPECT_EQ(Dir(dir, U("broken.lnk"), true).FullPath(), U(list + "/broken.lnk"));
}

TEST(DirIteration, VolumesIncludeTheRoot) {
    std::vector<UTF16String> volumes;
    for (Dir::DirIterator it = Dir::BeginVolumes(); it != Dir::EndVolumes(); ++it) {
        volumes.push_back((*it).FullPath());
        EXPECT_TRUE((*it).Exists()) << N((*it).FullPath());
    }
    EXPECT_NE(std::find(volumes.begin(), volumes.end(), U("/")), volumes.end());
}

namespace {

struct Visit {
    UTF16String file;
    UTF16String dir;
    bool operator==(const Visit& inOther) const { return file == inOther.file && dir == inOther.dir; }
};

std::vector<Visit> Walk(const std::string& inRoot, bool inResolve) {
    std::vector<Visit> visits;
    const RecursiveFileIterator end;
    for (RecursiveFileIterator it(Dir(U(inRoot)), inResolve); it != end; ++it) {
        visits.push_back({(*it).FullPath(), it.CurrentDir().FullPath()});
        if (visits.size() > 1000) break;  // a walk that does not end
    }
    return visits;
}

// Depth first, a folder's files before its subfolders, siblings in the order the file
// system lists them.
void ExpectedWalk(const fs::path& inDir, std::vector<Visit>& ioVisits) {
    std::vector<fs::path> subdirs;
    for (const auto& entry : fs::directory_iterator(inDir)) {
        if (entry.path().filename().string()[0] == '.') continue;
        if (entry.is_directory())
            subdirs.push_back(entry.path());
        else
            ioVisits.push_back({U(entry.path().string()), U(inDir.string())});
    }
    for (const fs::path& subdir : subdirs) ExpectedWalk(subdir, ioVisits);
}

}  // namespace

TEST(RecursiveFileIterator, WalksDepthFirstWithFilesFirst) {
    const std::string root = TempFolder();
    fs::create_directories(root + "/s1/t");
    fs::create_directories(root + "/s2");
    fs::create_directories(root + "/s3/empty/deeper");
    WriteAll(root + "/a.txt", "");
    WriteAll(root + "/s1/b.txt", "");
    WriteAll(root + "/s1/t/c.txt", "");
    WriteAll(root + "/s2/d.txt", "");
    WriteAll(root + "/s3/empty/deeper/e.txt", "");

    std::vector<Visit> expected;
    ExpectedWalk(root, expected);
    ASSERT_EQ(expected.size(), 5u);
    EXPECT_EQ(expected[0].file, U(root + "/a.txt"));
    EXPECT_EQ(Walk(root, false), expected);

    // Copies walk on independently and compare equal at the same place.
    RecursiveFileIterator it(Dir(U(root)), false);
    RecursiveFileIterator copy = it;
    EXPECT_EQ(it, copy);
    EXPECT_EQ(*it++, *copy);
    EXPECT_NE(it, copy);
    ++copy;
    EXPECT_EQ(it, copy);
    EXPECT_NE(it, RecursiveFileIterator(Dir(U(root)), true));
}

TEST(RecursiveFileIterator, EmptyAndMissingStartsAreTheEnd) {
    const std::string root = TempFolder();
    fs::create_directories(root + "/a/b/c");
    fs::create_directories(root + "/d");
    EXPECT_EQ(RecursiveFileIterator(Dir(U(root)), false), RecursiveFileIterator());
    EXPECT_EQ(RecursiveFileIterator(Dir(U(root + "/missing")), true), RecursiveFileIterator());
    EXPECT_EQ(RecursiveFileIterator(Dir(), true), RecursiveFileIterator());
    EXPECT_EQ(*RecursiveFileIterator(), File());
}

TEST(RecursiveFileIterator, EndsOnCyclesOfLinksAndShortcuts) {
    const std::string root = TempFolder();
    fs::create_directories(root + "/sub");
    WriteAll(root + "/top.txt", "");
    WriteAll(root + "/sub/inner.txt", "");
    fs::create_directory_symlink(root, root + "/sub/loop");
    MakeShortcut(root, root + "/sub/back.lnk");
    MakeShortcut(root + "/sub", root + "/again.lnk");

    for (bool resolve : {false, true}) {
        const std::vector<Visit> visits = Walk(root, resolve);
        std::vector<UTF16String> files;
        for (const Visit& visit : visits) files.push_back(visit.file);
        std::vector<UTF16String> expected = {U(root + "/top.txt"), U(root + "/sub/inner.txt")};
        if (!resolve) {
            expected.push_back(U(root + "/again.lnk"));
            expected.push_back(U(root + "/sub/back.lnk"));
        }
        EXPECT_EQ(Sorted(files), Sorted(expected)) << "resolve " << resolve;
    }
}
