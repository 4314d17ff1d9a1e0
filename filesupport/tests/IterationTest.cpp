// Tests of shell links, shortcuts, directory listings and the recursive file walk.
#include "FileTestHelpers.h"

#include <tarncore/filesupport/RecursiveFileIterator.h>
#include <tarncore/filesupport/Shortcuts.h>

#include "filesupport/src/ShellLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include <sys/stat.h>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;

namespace {

using Paths = std::vector<UTF16String>;

// inRoot followed by each name, sorted.
Paths Under(const std::string& inRoot, std::initializer_list<const char*> inNames) {
    Paths paths;
    for (const char* name : inNames) paths.push_back(U(inRoot + name));
    std::sort(paths.begin(), paths.end());
    return paths;
}

// What an iterator lists before inEnd, sorted; a walk that does not end stops at 1000.
template <class Iterator>
Paths Listed(Iterator inIt, const Iterator& inEnd) {
    Paths paths;
    for (; inIt != inEnd && paths.size() < 1000; ++inIt) paths.push_back((*inIt).FullPath());
    std::sort(paths.begin(), paths.end());
    return paths;
}

void MakeShortcut(const std::string& inTarget, const std::string& inShortcut) {
    ASSERT_EQ(ShortcutFiles::CreateLink(U(inTarget), U(inShortcut), UTF16String()), 0);
}

// A folder with "list/" of shortcuts into "targets/": x.lnk to a folder, y.lnk and
// upper.LNK to a file, broken.lnk to nothing, rel.lnk and win.lnk to targets that cannot
// be here, garbage.lnk that is no shortcut.
std::string MakeShortcuts() {
    const std::string root = TempFolder(), list = root + "/list/", targets = root + "/targets/";
    fs::create_directories(targets + "folder");
    fs::create_directory(list);
    WriteAll(targets + "file.txt", "f");
    WriteAll(list + "garbage.lnk", "not a shortcut");
    CreateShortCut(File(U(list + "x.lnk")), Dir(U(targets + "folder")));
    CreateShortCut(File(U(list + "upper.LNK")), File(U(targets + "file.txt")));
    CreateShortCut(File(U(root + "/missing/x.lnk")), Dir(U(targets + "folder")));  // fails quietly
    MakeShortcut(targets + "file.txt", list + "y.lnk");
    MakeShortcut(targets + "gone.txt", list + "broken.lnk");
    MakeShortcut("relative/x", list + "rel.lnk");
    MakeShortcut("C:\\Windows\\notepad.exe", list + "win.lnk");
    return root;
}

// ResolveIT's result, path and directory flag for the shortcut at inPath.
std::tuple<std::int32_t, UTF16String, bool> Resolved(const std::string& inPath) {
    UTF16String path = U(inPath);
    bool isDirectory = true;
    const std::int32_t result = ShortcutFiles::ResolveIT(path, isDirectory);
    return {result, path, isDirectory};
}

bool ReadBytes(const std::string& inBytes, shelllink::Link& outLink) {
    return shelllink::Read(reinterpret_cast<const std::uint8_t*>(inBytes.data()), inBytes.size(), outLink);
}

// A shortcut laid out the way other writers do it: an item-id list, a LinkInfo without
// Unicode fields holding a code-page base path and suffix, narrow StringData and an
// extra-data block.
std::string ForeignLink(const std::string& inBase, const std::string& inSuffix, const std::string& inName) {
    using Values = std::initializer_list<std::size_t>;
    std::string bytes;
    const auto put = [&](std::size_t inValue, int inSize) {
        for (int i = 0; i < inSize; ++i) bytes += static_cast<char>((inValue >> (8 * i)) & 0xFF);
    };
    put(0x4C, 4);
    bytes.append("\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 16);  // the shell-link class id
    put(0x1 | 0x2 | 0x4 | 0x8, 4);  // id list, link info, name, relative path; narrow strings
    bytes.resize(76, '\0');
    for (std::size_t value : Values{6, 4, 0xABCD, 0}) put(value, 2);  // one 4-byte item, terminator
    // LinkInfo: its 0x1C-byte header, a 0x11-byte volume id, the base path, the suffix.
    const std::size_t base = 0x1C + 0x11, suffix = base + inBase.size() + 1;
    for (std::size_t value :
         Values{suffix + inSuffix.size() + 1, 0x1C, 1, 0x1C, base, 0, suffix, 0x11, 3, 0x1234, 0x10})
        put(value, 4);
    bytes += '\0' + inBase + '\0' + inSuffix + '\0';
    put(inName.size(), 2);
    bytes += inName;
    put(5, 2);
    bytes += "..\\x.";
    for (std::size_t value : Values{12, 0xA0000005, 0, 0}) put(value, 4);  // skipped block, terminal
    return bytes;
}

// Each file of a walk with the CurrentDir() beside it.
using Visits = std::vector<std::pair<UTF16String, UTF16String>>;

// Depth first, a folder's files before its subfolders, siblings in the order the file
// system lists them.
void ExpectedWalk(const fs::path& inDir, Visits& ioVisits) {
    std::vector<fs::path> subdirs;
    for (const auto& entry : fs::directory_iterator(inDir)) {
        if (entry.is_directory())
            subdirs.push_back(entry.path());
        else
            ioVisits.emplace_back(U(entry.path().string()), U(inDir.string()));
    }
    for (const fs::path& subdir : subdirs) ExpectedWalk(subdir, ioVisits);
}

}  // namespace

TEST(ShellLink, WritesWhatItReadsReadsForeignLayoutsAndRefusesDamage) {
    shelllink::Link link, read;
    link.target = U("/data/caf\xC3\xA9/t.txt");
    link.description = U("A description \xE2\x82\xAC");
    link.attributes = shelllink::kAttributeArchive;
    link.modified = 0x0123456789ABCDEFULL;
    link.fileSize = 42;
    std::string bytes;
    ASSERT_TRUE(shelllink::Write(link, bytes));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));
    const std::string valid = bytes;
    ASSERT_TRUE(ReadBytes(bytes, read));
    EXPECT_EQ(std::tie(read.target, read.description, read.attributes, read.modified, read.fileSize),
              std::tie(link.target, link.description, link.attributes, link.modified, link.fileSize));
    link.description = UTF16String(0x10000, 'x');  // longer than a counted string holds
    EXPECT_FALSE(shelllink::Write(link, bytes));
    link.description.clear();
    link.target.clear();
    EXPECT_FALSE(shelllink::Write(link, bytes));

    ASSERT_TRUE(ReadBytes(ForeignLink("/srv/caf\xE9", "/doc.txt", "Na\xEFve \x80"), read));
    EXPECT_EQ(read.target, U("/srv/caf\xC3\xA9/doc.txt"));  // Windows-1252 base and suffix
    EXPECT_EQ(read.description, U("Na\xC3\xAFve \xE2\x82\xAC"));
    ASSERT_TRUE(ReadBytes(ForeignLink("/srv/caf\xC3\xA9", "", "d"), read));
    EXPECT_EQ(read.target, U("/srv/caf\xC3\xA9"));  // UTF-8 is read as such

    // Damaged bytes are refused without a read past them. The extra data after the
    // strings (12 bytes in one, and the 4-byte terminal block in both) may be cut without
    // harm; every shorter truncation fails.
    for (const auto& [valid, optional] :
         {std::make_pair(valid, 4u), std::make_pair(ForeignLink("/srv/x", "/y", "name"), 16u)}) {
        for (std::size_t size = 0; size + optional < valid.size(); ++size)
            EXPECT_FALSE(ReadBytes(valid.substr(0, size), read)) << size;  // own buffer, for ASan
        // Every single-byte change either fails or reads something; none crashes.
        for (std::size_t change = 0; change < valid.size() * 5; ++change) {
            std::string changed = valid;
            changed[change / 5] = "\x00\x01\x7F\x80\xFF"[change % 5];
            (void)ReadBytes(changed, read);
        }
    }
    EXPECT_FALSE(ReadBytes(std::string(76, '\0'), read));
    std::string noTarget = valid;
    noTarget[20] = static_cast<char>(0x80);  // flags: Unicode only, no LinkInfo
    EXPECT_FALSE(ReadBytes(noTarget, read));
}

// Hosts written for the original interface still find the shortcut functions there.
static_assert(std::is_same_v<FileUtils, ShortcutFiles>);

TEST(Shortcuts, CreateLinkResolveITAndResolveIfAlias) {
    const std::string root = MakeShortcuts(), list = root + "/list";
    EXPECT_EQ(Resolved(list + "/y.lnk"), std::make_tuple(0, U(root + "/targets/file.txt"), false));
    EXPECT_EQ(Resolved(list + "/x.lnk"), std::make_tuple(0, U(root + "/targets/folder"), true));
    // Failures are negative and leave the arguments alone.
    for (const char* name : {"/garbage.lnk", "/broken.lnk", "/rel.lnk", "/win.lnk", "/none.lnk", ""}) {
        const auto [result, path, isDirectory] = Resolved(list + name);
        EXPECT_TRUE(result < 0 && path == U(list + name) && isDirectory) << name;
    }
    EXPECT_EQ(std::get<0>(Resolved(list + "/none.lnk")), ShortcutFiles::kResultFileNotFound);
    EXPECT_EQ(std::get<0>(Resolved(list + "/broken.lnk")), ShortcutFiles::kResultFileNotFound);
    EXPECT_EQ(std::get<0>(Resolved(list + "/garbage.lnk")), ShortcutFiles::kResultFail);

    // ResolveIfAlias sets the File or the Dir, by the kind of target.
    const UTF16String untouched = U("/untouched");
    const auto resolve = [&](const std::string& inPath) {
        File file(untouched);
        Dir dir(untouched);
        bool isDirectory = true;
        const bool resolved = ResolveIfAlias(File(U(inPath)), file, dir, isDirectory);
        return std::make_tuple(resolved, file.FullPath(), dir.FullPath(), isDirectory);
    };
    EXPECT_EQ(resolve(list + "/upper.LNK"),  // any case
              std::make_tuple(true, U(root + "/targets/file.txt"), untouched, false));
    EXPECT_EQ(resolve(list + "/x.lnk"), std::make_tuple(true, untouched, U(root + "/targets/folder"), true));
    for (const std::string& path : {root + "/targets/file.txt", list + "/none.lnk", list + "/broken.lnk"})
        EXPECT_EQ(resolve(path), std::make_tuple(false, untouched, untouched, true)) << path;

    File toFile(U(list + "/y.lnk")), toDir(U(list + "/x.lnk"));
    ResolveIfAliasFileOnly(toFile);
    ResolveIfAliasFileOnly(toDir);
    EXPECT_EQ(toFile, File(U(root + "/targets/file.txt")));
    EXPECT_EQ(toDir, File(U(list + "/x.lnk")));

    // A new shortcut replaces an old one whole, and records the target as it was.
    ASSERT_EQ(ShortcutFiles::CreateLink(U(root + "/targets/file.txt"), U(list + "/x.lnk"), U("my file")), 0);
    EXPECT_EQ(Resolved(list + "/x.lnk"), std::make_tuple(0, U(root + "/targets/file.txt"), false));
    shelllink::Link link;
    ASSERT_TRUE(ReadBytes(ReadAll(list + "/x.lnk"), link));
    EXPECT_EQ(std::tie(link.description, link.fileSize, link.attributes),
              std::make_tuple(U("my file"), 1u, shelllink::kAttributeArchive));
    EXPECT_EQ(ShortcutFiles::CreateLink(U(list), U(root + "/missing/x.lnk"), UTF16String()),
              ShortcutFiles::kResultPathNotFound);
    EXPECT_EQ(ShortcutFiles::CreateLink(UTF16String(), U(root + "/x.lnk"), UTF16String()),
              ShortcutFiles::kResultInvalidArgument);
    EXPECT_FALSE(fs::exists(root + "/x.lnk"));
}

TEST(DirIteration, ListsPlainFilesAndFoldersAndResolvesShortcutsWhenAsked) {
    const std::string root = TempFolder();
    WriteAll(root + "/a.txt", "a");
    WriteAll(root + "/.hidden", "h");
    fs::create_directories(root + "/sub/.hiddendir");
    ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0600), 0);
    WriteAll(root + "/\xFF.txt", "not UTF-8");  // cannot be named through UTF-16: left out
    fs::create_directory_symlink(root + "/sub", root + "/sublink");
    fs::create_symlink(root + "/nowhere", root + "/broken");
    const Dir dir(U(root));
    EXPECT_EQ(Listed(dir.BeginFiles(false), dir.EndFiles()), Under(root, {"/a.txt", "/broken"}));
    EXPECT_EQ(Listed(dir.BeginSubdirs(false), dir.EndSubdirs()), Under(root, {"/sub", "/sublink"}));
    for (const Dir& empty : {Dir(U(root + "/sub")), Dir(U(root + "/missing")), Dir()})
        EXPECT_TRUE(empty.BeginFiles(false) == empty.EndFiles() &&
                    empty.BeginSubdirs(true) == empty.EndSubdirs());
    // Iterators copy, compare and step; past the end they read nothing.
    Dir::FileIterator it = dir.BeginFiles(false), copy = it, assigned;
    EXPECT_NE(it, dir.BeginFiles(true));  // another resolve flag
    EXPECT_EQ(it++, copy);
    EXPECT_NE(*it, *copy);
    EXPECT_EQ(++it, dir.EndFiles());
    EXPECT_EQ(*it, File());
    EXPECT_EQ(++it, dir.EndFiles());
    assigned = copy;
    EXPECT_EQ(Dir::FileIterator(std::move(assigned)), copy);
    // Iterators without a helper equal each other and nothing else.
    EXPECT_EQ(Dir::FileIterator(), Dir::FileIterator());
    EXPECT_NE(Dir::FileIterator(), dir.EndFiles());
    EXPECT_EQ(*Dir::DirIterator(), Dir());

    const std::string shortcuts = MakeShortcuts(), list = shortcuts + "/list";
    const Dir links(U(list));
    EXPECT_EQ(Listed(links.BeginFiles(false), links.EndFiles()),
              Under(list, {"/x.lnk", "/y.lnk", "/upper.LNK", "/broken.lnk", "/garbage.lnk", "/rel.lnk",
                           "/win.lnk"}));
    EXPECT_EQ(links.BeginSubdirs(false), links.EndSubdirs());
    // Only a lower-case ".lnk" resolves; shortcuts that do not resolve are left out.
    EXPECT_EQ(Listed(links.BeginFiles(true), links.EndFiles()),
              Under(shortcuts, {"/targets/file.txt", "/list/upper.LNK"}));
    EXPECT_EQ(Listed(links.BeginSubdirs(true), links.EndSubdirs()), Under(shortcuts, {"/targets/folder"}));
    // The resolving constructors take a target of their own kind only.
    EXPECT_EQ(File(links, U("y.lnk"), true).FullPath(), U(shortcuts + "/targets/file.txt"));
    EXPECT_EQ(File(links, U("x.lnk"), true).FullPath(), U(list + "/x.lnk"));
    EXPECT_EQ(Dir(links, U("x.lnk"), true).FullPath(), U(shortcuts + "/targets/folder"));
    EXPECT_EQ(Dir(links, U("y.lnk"), true).FullPath(), U(list + "/y.lnk"));

    const Paths volumes = Listed(Dir::BeginVolumes(), Dir::EndVolumes());
    EXPECT_TRUE(std::binary_search(volumes.begin(), volumes.end(), U("/")));
    for (const UTF16String& volume : volumes) EXPECT_TRUE(Dir(volume).Exists());
}

TEST(RecursiveFileIterator, WalksDepthFirstWithFilesFirstAndEndsOnCycles) {
    const std::string root = TempFolder();
    for (const char* folder : {"/s1/t", "/s2", "/s3/empty/deeper"}) fs::create_directories(root + folder);
    for (const char* name : {"/a.txt", "/s1/b.txt", "/s1/t/c.txt", "/s2/d.txt", "/s3/empty/deeper/e.txt"})
        WriteAll(root + name, "");
    Visits expected, visits;
    ExpectedWalk(root, expected);
    ASSERT_EQ(expected.size(), 5u);
    for (RecursiveFileIterator it(Dir(U(root)), false); it != RecursiveFileIterator(); ++it)
        visits.emplace_back((*it).FullPath(), it.CurrentDir().FullPath());
    EXPECT_EQ(visits, expected);

    // Copies walk on independently and compare equal at the same place.
    RecursiveFileIterator it(Dir(U(root)), false), copy = it;
    EXPECT_EQ(*it++, *copy);
    EXPECT_NE(it, copy);
    EXPECT_EQ(++copy, it);
    // Starts without a file below them are the end.
    fs::create_directories(root + "/none/a/b");
    for (const std::string& start : {root + "/none", root + "/missing", std::string()})
        EXPECT_EQ(RecursiveFileIterator(Dir(U(start)), true), RecursiveFileIterator());
    EXPECT_EQ(*RecursiveFileIterator(), File());

    // The walk ends on cycles of links and shortcuts.
    const Paths files = Listed(RecursiveFileIterator(Dir(U(root)), true), RecursiveFileIterator());
    fs::create_directory_symlink(root, root + "/s1/t/up");
    MakeShortcut(root, root + "/s1/t/back.lnk");
    MakeShortcut(root + "/s1", root + "/again.lnk");
    EXPECT_EQ(Listed(RecursiveFileIterator(Dir(U(root)), true), RecursiveFileIterator()), files);
    EXPECT_EQ(Listed(RecursiveFileIterator(Dir(U(root)), false), RecursiveFileIterator()),
              Under(root, {"/a.txt", "/again.lnk", "/s1/b.txt", "/s1/t/c.txt", "/s1/t/back.lnk", "/s2/d.txt",
                           "/s3/empty/deeper/e.txt"}));
}
