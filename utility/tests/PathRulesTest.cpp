#include <tarncore/utility/PathRules.h>

#include <gtest/gtest.h>

using namespace tarncore::utility;

namespace {

UTF16String U(const char16_t* inText) { return MakeUTF16(inText); }

const PathRules& Win() { return PathRules::Windows(); }
const PathRules& Posix() { return PathRules::Posix(); }

}  // namespace

TEST(WindowsPaths, NormalizationAndLongPathForm) {
    EXPECT_EQ(Win().NormalizeFilePath(U(u"c:/a/b.TXT")), U(u"c:\\a\\b.TXT"));
    EXPECT_EQ(Win().NormalizeFilePath(U(u"\\\\?\\C:\\x")), U(u"C:\\x"));
    const UTF16String unc = Win().NormalizeFilePath(U(u"\\\\?\\UNC\\srv\\share\\x"));
    EXPECT_EQ(unc, U(u"\\\\srv\\share\\x"));
    EXPECT_EQ(Win().LongPathForm(unc), U(u"\\\\?\\UNC\\srv\\share\\x"));
    EXPECT_EQ(Win().LongPathForm(U(u"C:\\x")), U(u"\\\\?\\C:\\x"));
    // Two backslashes without a third are not UNC.
    EXPECT_EQ(Win().LongPathForm(U(u"\\\\")), U(u"\\\\?\\\\\\"));
    // Only a prefix at the start counts; slashes become backslashes before the test.
    EXPECT_EQ(Win().NormalizeFilePath(U(u"C:\\\\?\\x")), U(u"C:\\\\?\\x"));
    EXPECT_EQ(Win().NormalizeFilePath(U(u"//?/C:/x")), U(u"C:\\x"));

    EXPECT_EQ(Win().NormalizeDirPath(U(u"C:\\a\\")), U(u"C:\\a"));
    EXPECT_EQ(Win().NormalizeDirPath(U(u"C:\\a\\\\")), U(u"C:\\a\\"));
    // The trailing separator is removed before slashes are turned.
    EXPECT_EQ(Win().NormalizeDirPath(U(u"C:\\a/")), U(u"C:\\a\\"));
    EXPECT_EQ(Win().DirectoryQueryPath(U(u"C:")), U(u"C:\\"));
    EXPECT_EQ(Win().DirectoryQueryPath(U(u"C:\\a")), U(u"C:\\a"));
}

TEST(WindowsPaths, NamesTitlesExtensionsAndParents) {
    const UTF16String path = Win().NormalizeFilePath(U(u"c:/a/b.TXT"));
    EXPECT_EQ(Win().Name(path), U(u"b.TXT"));
    EXPECT_EQ(Win().Title(path), U(u"b"));
    EXPECT_EQ(Win().Extension(path), U(u".TXT"));
    EXPECT_EQ(Win().Extension(path, true), U(u".txt"));

    EXPECT_EQ(Win().Title(U(u"C:\\archive.tar.gz")), U(u"archive.tar"));
    EXPECT_EQ(Win().Extension(U(u"C:\\archive.tar.gz")), U(u".gz"));
    EXPECT_EQ(Win().Extension(U(u"C:\\README")), UTF16String());
    EXPECT_EQ(Win().Extension(U(u"C:\\dir.d\\file")), UTF16String());
    EXPECT_EQ(Win().Title(U(u"C:\\dir.d\\file")), U(u"file"));
    EXPECT_EQ(Win().Name(U(u"C:\\dir.d\\file")), U(u"file"));

    EXPECT_EQ(Win().ParentDirPath(U(u"C:\\a\\b.txt")), U(u"C:\\a"));
    EXPECT_EQ(Win().ParentDirPath(U(u"C:\\a")), U(u"C:"));
    EXPECT_EQ(Win().ParentDirPath(U(u"C:")), UTF16String());
    EXPECT_TRUE(Win().IsTopLevel(U(u"C:")));
    EXPECT_FALSE(Win().IsTopLevel(U(u"C:\\x")));
}

TEST(WindowsPaths, Joining) {
    EXPECT_EQ(Win().JoinDir(U(u"C:\\a"), U(u"b")), U(u"C:\\a\\b"));
    EXPECT_EQ(Win().JoinDir(U(u"C:\\a\\"), U(u"b")), U(u"C:\\a\\b"));
    EXPECT_EQ(Win().JoinDir(U(u"C:"), U(u"b\\")), U(u"C:\\b"));
    // An empty directory reads nothing before the string.
    EXPECT_EQ(Win().JoinDir(UTF16String(), U(u"b")), U(u"\\b"));
    EXPECT_EQ(Win().JoinFile(U(u"C:\\a"), U(u"x/y.txt")), U(u"C:\\a\\x\\y.txt"));
    EXPECT_EQ(Win().AppendName(U(u"C:\\dir\\"), U(u"a.txt")), U(u"C:\\dir\\a.txt"));
    EXPECT_EQ(Win().AppendName(U(u"C:\\dir"), U(u"a.txt")), U(u"C:\\dir\\a.txt"));
}

TEST(WindowsPaths, RelativePaths) {
    EXPECT_FALSE(Win().IsNormalizedRelativePath(UTF16String()));
    EXPECT_FALSE(Win().IsNormalizedRelativePath(U(u"/x")));
    EXPECT_FALSE(Win().IsNormalizedRelativePath(U(u"\\x")));
    EXPECT_FALSE(Win().IsNormalizedRelativePath(U(u"C:x")));
    EXPECT_TRUE(Win().IsNormalizedRelativePath(U(u"../x")));

    const UTF16String base = U(u"C:\\a\\c\\base.xml");
    EXPECT_EQ(Win().MakeRelativePath(U(u"C:\\a\\b\\t.txt"), base), U(u"../b/t.txt"));
    EXPECT_EQ(Win().MakeRelativePath(U(u"D:\\a\\b\\t.txt"), base), UTF16String());
    EXPECT_EQ(Win().MakeRelativePath(U(u"C:\\a\\c\\t.txt"), base), U(u"t.txt"));
    EXPECT_EQ(Win().MakeRelativePath(U(u"C:\\a\\c\\d\\e\\t.txt"), base), U(u"d/e/t.txt"));

    EXPECT_EQ(Win().ResolveRelativePath(U(u"../b/t.txt"), base), U(u"C:\\a\\b\\t.txt"));
    EXPECT_EQ(Win().ResolveRelativePath(U(u"./d/./t.txt"), base), U(u"C:\\a\\c\\d\\t.txt"));
    EXPECT_EQ(Win().ResolveRelativePath(U(u"C:\\x.txt"), base), U(u"C:\\x.txt"));
    EXPECT_EQ(Win().ResolveRelativePath(U(u"C:/x.txt"), base), U(u"C:\\x.txt"));
    EXPECT_EQ(Win().ResolveRelativePath(U(u"../b/"), base), UTF16String());
    // ".." above the drive stays at the drive.
    EXPECT_EQ(Win().ResolveRelativePath(U(u"../../../x.txt"), base), U(u"C:\\x.txt"));
}

TEST(PosixPaths, NormalizationKeepsEverythingButOneTrailingSlash) {
    EXPECT_EQ(Posix().NormalizeFilePath(U(u"/a\\b/c.txt")), U(u"/a\\b/c.txt"));
    EXPECT_EQ(Posix().NormalizeFilePath(U(u"//?/x")), U(u"//?/x"));
    EXPECT_EQ(Posix().NormalizeDirPath(U(u"/a/")), U(u"/a"));
    EXPECT_EQ(Posix().NormalizeDirPath(U(u"/a//")), U(u"/a/"));
    EXPECT_EQ(Posix().NormalizeDirPath(U(u"/")), U(u"/"));
    EXPECT_EQ(Posix().NormalizeDirPath(UTF16String()), UTF16String());
    EXPECT_EQ(Posix().LongPathForm(U(u"/a/b")), U(u"/a/b"));
    EXPECT_EQ(Posix().DirectoryQueryPath(U(u"C:")), U(u"C:"));
    // A backslash is part of a name.
    EXPECT_EQ(Posix().Name(U(u"/a\\b.txt")), U(u"a\\b.txt"));
    EXPECT_EQ(Posix().Extension(U(u"/d.x\\file")), U(u".x\\file"));
    EXPECT_EQ(Posix().Extension(U(u"/x/F.ÄÖ"), true), U(u".äö"));
}

TEST(PosixPaths, TheRootIsTheOnlyTopLevelDirectory) {
    EXPECT_EQ(Posix().ParentDirPath(U(u"/a")), U(u"/"));
    EXPECT_EQ(Posix().ParentDirPath(U(u"/a/b")), U(u"/a"));
    EXPECT_EQ(Posix().ParentDirPath(U(u"/a//b")), U(u"/a"));
    EXPECT_EQ(Posix().ParentDirPath(U(u"/")), UTF16String());
    EXPECT_TRUE(Posix().IsTopLevel(U(u"/")));
    EXPECT_FALSE(Posix().IsTopLevel(U(u"/a")));
    EXPECT_TRUE(Posix().IsTopLevel(UTF16String()));

    EXPECT_EQ(Posix().JoinDir(U(u"/"), U(u"a")), U(u"/a"));
    EXPECT_EQ(Posix().JoinDir(U(u"/a"), U(u"b/")), U(u"/a/b"));
    EXPECT_EQ(Posix().JoinDir(UTF16String(), U(u"b")), U(u"b"));
    EXPECT_EQ(Posix().JoinFile(U(u"/"), U(u"x")), U(u"/x"));
    EXPECT_EQ(Posix().JoinFile(U(u"/a"), U(u"x")), U(u"/a/x"));
    EXPECT_EQ(Posix().JoinFile(UTF16String(), U(u"x")), U(u"x"));
}

TEST(PosixPaths, RelativePaths) {
    EXPECT_TRUE(Posix().IsNormalizedRelativePath(U(u"\\x")));
    EXPECT_TRUE(Posix().IsNormalizedRelativePath(U(u"C:x")));
    EXPECT_FALSE(Posix().IsNormalizedRelativePath(U(u"/x")));
    EXPECT_FALSE(Posix().IsNormalizedRelativePath(UTF16String()));

    const UTF16String base = U(u"/a/c/base.xml");
    EXPECT_EQ(Posix().ResolveRelativePath(U(u"../b/t.txt"), base), U(u"/a/b/t.txt"));
    EXPECT_EQ(Posix().ResolveRelativePath(U(u"/x.txt"), base), U(u"/x.txt"));
    EXPECT_EQ(Posix().ResolveRelativePath(U(u"b/"), base), UTF16String());
    EXPECT_EQ(Posix().ResolveRelativePath(U(u"../../../../x"), base), U(u"/x"));

    EXPECT_EQ(Posix().MakeRelativePath(U(u"/a/b/t.txt"), base), U(u"../b/t.txt"));
    EXPECT_EQ(Posix().MakeRelativePath(U(u"/a/c/t.txt"), base), U(u"t.txt"));
    EXPECT_EQ(Posix().MakeRelativePath(U(u"/x/t"), base), U(u"../../x/t"));
    EXPECT_EQ(Posix().MakeRelativePath(U(u"/t"), U(u"/base")), U(u"t"));

    // The two directions agree.
    for (const char16_t* target : {u"/a/b/t.txt", u"/a/c/d/e/t", u"/t", u"/a/t"}) {
        const UTF16String relative = Posix().MakeRelativePath(U(target), base);
        EXPECT_EQ(Posix().ResolveRelativePath(relative, base), U(target));
    }
}
