// Tests of the path rules of both flavours and of the native path conversion.
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include <gtest/gtest.h>

#include <string>

using namespace tarncore::utility;

namespace {

UTF16String U(const char16_t* inText) { return inText != nullptr ? MakeUTF16(inText) : UTF16String(); }

// One operation of a flavour on a path (and a second path or name), and its result.
struct Row {
    std::string op;
    const char16_t* path;
    const char16_t* other;
    const char16_t* expected;
};

UTF16String Apply(const PathRules& inRules, const Row& inRow) {
    const UTF16String a = U(inRow.path), b = U(inRow.other);
    const std::string& op = inRow.op;
    if (op == "file") return inRules.NormalizeFilePath(a);
    if (op == "dir") return inRules.NormalizeDirPath(a);
    if (op == "long") return inRules.LongPathForm(a);
    if (op == "query") return inRules.DirectoryQueryPath(a);
    if (op == "name") return inRules.Name(a);
    if (op == "title") return inRules.Title(a);
    if (op == "ext") return inRules.Extension(a);
    if (op == "lowerext") return inRules.Extension(a, true);
    if (op == "parent") return inRules.ParentDirPath(a);
    if (op == "joindir") return inRules.JoinDir(a, b);
    if (op == "joinfile") return inRules.JoinFile(a, b);
    if (op == "append") return inRules.AppendName(a, b);
    if (op == "resolve") return inRules.ResolveRelativePath(a, b);
    if (op == "relative") return inRules.MakeRelativePath(a, b);
    ADD_FAILURE() << "unknown operation " << op;
    return UTF16String();
}

template <std::size_t N>
void Check(const PathRules& inRules, const Row (&inRows)[N]) {
    for (const Row& row : inRows)
        EXPECT_EQ(Apply(inRules, row), U(row.expected)) << row.op << " row " << &row - inRows;
}

const char16_t* const kBase = u"C:\\a\\c\\base.xml";
const char16_t* const kPosixBase = u"/a/c/base.xml";

}  // namespace

TEST(PathRules, WindowsFlavour) {
    const Row rows[] = {
        {"file", u"c:/a/b.TXT", nullptr, u"c:\\a\\b.TXT"},
        {"file", u"\\\\?\\C:\\x", nullptr, u"C:\\x"},
        {"file", u"\\\\?\\UNC\\srv\\share\\x", nullptr, u"\\\\srv\\share\\x"},
        {"long", u"\\\\srv\\share\\x", nullptr, u"\\\\?\\UNC\\srv\\share\\x"},
        {"long", u"C:\\x", nullptr, u"\\\\?\\C:\\x"},
        {"long", u"\\\\", nullptr, u"\\\\?\\\\\\"},  // two backslashes without a third are not UNC
        // Only a prefix at the start counts; slashes become backslashes before the test.
        {"file", u"C:\\\\?\\x", nullptr, u"C:\\\\?\\x"},
        {"file", u"//?/C:/x", nullptr, u"C:\\x"},
        {"dir", u"C:\\a\\", nullptr, u"C:\\a"},
        {"dir", u"C:\\a\\\\", nullptr, u"C:\\a\\"},
        {"dir", u"C:\\a/", nullptr, u"C:\\a\\"},  // the trailing separator goes before slashes turn
        {"query", u"C:", nullptr, u"C:\\"},
        {"query", u"C:\\a", nullptr, u"C:\\a"},
        {"name", u"c:\\a\\b.TXT", nullptr, u"b.TXT"},
        {"title", u"c:\\a\\b.TXT", nullptr, u"b"},
        {"ext", u"c:\\a\\b.TXT", nullptr, u".TXT"},
        {"lowerext", u"c:\\a\\b.TXT", nullptr, u".txt"},
        {"title", u"C:\\archive.tar.gz", nullptr, u"archive.tar"},
        {"ext", u"C:\\archive.tar.gz", nullptr, u".gz"},
        {"ext", u"C:\\README", nullptr, u""},
        {"ext", u"C:\\dir.d\\file", nullptr, u""},
        {"title", u"C:\\dir.d\\file", nullptr, u"file"},
        {"parent", u"C:\\a\\b.txt", nullptr, u"C:\\a"},
        {"parent", u"C:\\a", nullptr, u"C:"},
        {"parent", u"C:", nullptr, u""},
        {"joindir", u"C:\\a", u"b", u"C:\\a\\b"},
        {"joindir", u"C:\\a\\", u"b", u"C:\\a\\b"},
        {"joindir", u"C:", u"b\\", u"C:\\b"},
        {"joindir", u"", u"b", u"\\b"},  // an empty directory reads nothing before the string
        {"joinfile", u"C:\\a", u"x/y.txt", u"C:\\a\\x\\y.txt"},
        {"append", u"C:\\dir\\", u"a.txt", u"C:\\dir\\a.txt"},
        {"append", u"C:\\dir", u"a.txt", u"C:\\dir\\a.txt"},
        {"relative", u"C:\\a\\b\\t.txt", kBase, u"../b/t.txt"},
        {"relative", u"D:\\a\\b\\t.txt", kBase, u""},
        {"relative", u"C:\\a\\c\\d\\e\\t.txt", kBase, u"d/e/t.txt"},
        {"resolve", u"../b/t.txt", kBase, u"C:\\a\\b\\t.txt"},
        {"resolve", u"./d/./t.txt", kBase, u"C:\\a\\c\\d\\t.txt"},
        {"resolve", u"C:/x.txt", kBase, u"C:\\x.txt"},
        {"resolve", u"../b/", kBase, u""},
        {"resolve", u"../../../x.txt", kBase, u"C:\\x.txt"},  // ".." above the drive stays at the drive
    };
    Check(PathRules::Windows(), rows);
    const PathRules& win = PathRules::Windows();
    EXPECT_TRUE(win.IsTopLevel(U(u"C:")));
    EXPECT_FALSE(win.IsTopLevel(U(u"C:\\x")));
    for (const char16_t* path : {u"", u"/x", u"\\x", u"C:x"})
        EXPECT_FALSE(win.IsNormalizedRelativePath(U(path)));
    EXPECT_TRUE(win.IsNormalizedRelativePath(U(u"../x")));
}

TEST(PathRules, PosixFlavourKeepsEverythingButOneTrailingSlash) {
    const Row rows[] = {
        {"file", u"/a\\b/c.txt", nullptr, u"/a\\b/c.txt"},
        {"file", u"//?/x", nullptr, u"//?/x"},
        {"dir", u"/a/", nullptr, u"/a"},
        {"dir", u"/a//", nullptr, u"/a/"},
        {"dir", u"/", nullptr, u"/"},
        {"dir", u"", nullptr, u""},
        {"long", u"/a/b", nullptr, u"/a/b"},
        {"query", u"C:", nullptr, u"C:"},
        // A backslash is part of a name.
        {"name", u"/a\\b.txt", nullptr, u"a\\b.txt"},
        {"ext", u"/d.x\\file", nullptr, u".x\\file"},
        {"lowerext", u"/x/F.ÄÖ", nullptr, u".äö"},
        // The root is the only top-level directory.
        {"parent", u"/a", nullptr, u"/"},
        {"parent", u"/a//b", nullptr, u"/a"},
        {"parent", u"/", nullptr, u""},
        {"joindir", u"/", u"a", u"/a"},
        {"joindir", u"/a", u"b/", u"/a/b"},
        {"joindir", u"", u"b", u"b"},
        {"joinfile", u"/", u"x", u"/x"},
        {"joinfile", u"", u"x", u"x"},
        {"resolve", u"../b/t.txt", kPosixBase, u"/a/b/t.txt"},
        {"resolve", u"/x.txt", kPosixBase, u"/x.txt"},
        {"resolve", u"b/", kPosixBase, u""},
        {"resolve", u"../../../../x", kPosixBase, u"/x"},
        {"relative", u"/a/b/t.txt", kPosixBase, u"../b/t.txt"},
        {"relative", u"/a/c/t.txt", kPosixBase, u"t.txt"},
        {"relative", u"/x/t", kPosixBase, u"../../x/t"},
        {"relative", u"/t", u"/base", u"t"},
    };
    Check(PathRules::Posix(), rows);
    const PathRules& posix = PathRules::Posix();
    EXPECT_TRUE(posix.IsTopLevel(U(u"/")) && posix.IsTopLevel(UTF16String()));
    EXPECT_FALSE(posix.IsTopLevel(U(u"/a")));
    EXPECT_TRUE(posix.IsNormalizedRelativePath(U(u"\\x")) && posix.IsNormalizedRelativePath(U(u"C:x")));
    EXPECT_FALSE(posix.IsNormalizedRelativePath(U(u"/x")) || posix.IsNormalizedRelativePath(UTF16String()));
    // The two directions agree.
    const UTF16String base = U(kPosixBase);
    for (const char16_t* target : {u"/a/b/t.txt", u"/a/c/d/e/t", u"/t", u"/a/t"})
        EXPECT_EQ(posix.ResolveRelativePath(posix.MakeRelativePath(U(target), base), base), U(target));
}

TEST(NativePaths, OnlyWholeNamesConvert) {
    std::string native;
    EXPECT_TRUE(ToNativePath(U(u"/caf\u00e9"), native));
    EXPECT_EQ(native, "/caf\xC3\xA9");
    UTF16String withNul = U(u"/a");
    withNul.push_back(0);
    withNul.push_back('b');
    native = "kept";
    EXPECT_FALSE(ToNativePath(withNul, native));
    EXPECT_EQ(native, "kept");

    UTF16String path = U(u"kept");
    EXPECT_TRUE(FromNativePath("/caf\xC3\xA9", path));
    EXPECT_EQ(path, U(u"/caf\u00e9"));
    path = U(u"kept");
    EXPECT_FALSE(FromNativePath("/caf\xE9", path));
    EXPECT_EQ(path, U(u"kept"));
}
