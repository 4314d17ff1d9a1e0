#include "FileTestHelpers.h"

#include <tarncore/filesupport/Shortcuts.h>

#include "filesupport/src/ShellLink.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;

namespace {

bool ReadBytes(const std::string& inBytes, shelllink::Link& outLink) {
    return shelllink::Read(reinterpret_cast<const std::uint8_t*>(inBytes.data()), inBytes.size(), outLink);
}

// Builds a shortcut the way other writers lay it out: an item-id list, a LinkInfo
// without Unicode fields holding a code-page path and suffix, narrow StringData and an
// extra-data block.
class LinkBuilder {
public:
    void U16(std::uint16_t inValue) {
        mBytes += static_cast<char>(inValue & 0xFF);
        mBytes += static_cast<char>(inValue >> 8);
    }
    void U32(std::uint32_t inValue) {
        for (int i = 0; i < 4; ++i) mBytes += static_cast<char>((inValue >> (8 * i)) & 0xFF);
    }
    std::string Build(const std::string& inBase, const std::string& inSuffix, const std::string& inName) {
        mBytes.clear();
        U32(0x4C);
        const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
        mBytes.append(reinterpret_cast<const char*>(clsid), 16);
        U32(0x1 | 0x2 | 0x4 | 0x8);  // id list, link info, name, relative path; narrow strings
        mBytes.append(76 - mBytes.size(), '\0');
        U16(6);  // id list: one 4-byte item and the terminator
        U16(4);
        U16(0xABCD);
        U16(0);
        const std::uint32_t header = 0x1C;
        const std::uint32_t volume = header;
        const std::uint32_t base = volume + 0x11;
        const std::uint32_t suffix = base + static_cast<std::uint32_t>(inBase.size()) + 1;
        const std::uint32_t size = suffix + static_cast<std::uint32_t>(inSuffix.size()) + 1;
        U32(size);
        U32(header);
        U32(1);
        U32(volume);
        U32(base);
        U32(0);
        U32(suffix);
        U32(0x11);
        U32(3);
        U32(0x1234);
        U32(0x10);
        mBytes += '\0';
        mBytes += inBase + '\0' + inSuffix + '\0';
        U16(static_cast<std::uint16_t>(inName.size()));
        mBytes += inName;
        U16(5);
        mBytes += "..\\x.";
        U32(12);  // an extra-data block, skipped
        U32(0xA0000005);
        U32(0);
        U32(0);  // terminal block
        return mBytes;
    }

private:
    std::string mBytes;
};

}  // namespace

TEST(ShellLink, WritesWhatItReads) {
    shelllink::Link link;
    link.target = U("/data/caf\xC3\xA9/t.txt");
    link.description = U("A description \xE2\x82\xAC");
    link.attributes = shelllink::kAttributeArchive;
    link.created = 1;
    link.accessed = 2;
    link.modified = 0x0123456789ABCDEFULL;
    link.fileSize = 42;
    std::string bytes;
    ASSERT_TRUE(shelllink::Write(link, bytes));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));

    shelllink::Link read;
    ASSERT_TRUE(ReadBytes(bytes, read));
    EXPECT_EQ(read.target, link.target);
    EXPECT_EQ(read.description, link.description);
    EXPECT_EQ(read.attributes, link.attributes);
    EXPECT_EQ(read.modified, link.modified);
    EXPECT_EQ(read.fileSize, 42u);

    link.description = UTF16String(0x10000, 'x');
    EXPECT_FALSE(shelllink::Write(link, bytes));
    link.description.clear();
    link.target.clear();
    EXPECT_FALSE(shelllink::Write(link, bytes));
}

TEST(ShellLink, ReadsLinksLaidOutByOtherWriters) {
    LinkBuilder builder;
    shelllink::Link link;
    ASSERT_TRUE(ReadBytes(builder.Build("/srv/caf\xE9", "/doc.txt", "Na\xEFve \x80"), link));
    EXPECT_EQ(link.target, U("/srv/caf\xC3\xA9/doc.txt"));  // Windows-1252 base and suffix
    EXPECT_EQ(link.description, U("Na\xC3\xAFve \xE2\x82\xAC"));

    ASSERT_TRUE(ReadBytes(builder.Build("/srv/caf\xC3\xA9", "", "d"), link));
    EXPECT_EQ(link.target, U("/srv/caf\xC3\xA9"));  // UTF-8 is read as such
}

TEST(ShellLink, RejectsDamagedBytesWithoutReadingPastThem) {
    shelllink::Link link;
    link.target = U("/some/target");
    link.description = U("description");
    std::string bytes;
    ASSERT_TRUE(shelllink::Write(link, bytes));
    const std::string other = LinkBuilder().Build("/srv/x", "/y", "name");

    // The extra data after the strings (12 bytes in one, and the 4-byte terminal block in
    // both) may be cut without harm; every shorter truncation fails.
    for (const auto& [valid, optional] : {std::make_pair(bytes, 4u), std::make_pair(other, 16u)}) {
        for (std::size_t size = 0; size + optional < valid.size(); ++size) {
            shelllink::Link read;
            const std::string cut = valid.substr(0, size);  // its own buffer, for ASan
            EXPECT_FALSE(ReadBytes(cut, read)) << size;
        }
        // Every single-byte change either fails or reads something; none crashes.
        for (std::size_t at = 0; at < valid.size(); ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::string changed = valid;
                changed[at] = static_cast<char>(value);
                shelllink::Link read;
                (void)ReadBytes(changed, read);
            }
        }
    }
    shelllink::Link read;
    EXPECT_FALSE(ReadBytes(std::string(76, '\0'), read));
    std::string noTarget = bytes;
    noTarget[20] = static_cast<char>(0x80);  // flags: Unicode only, no LinkInfo
    EXPECT_FALSE(ReadBytes(noTarget, read));
}

TEST(Shortcuts, CreateLinkAndResolveIT) {
    const std::string root = TempFolder();
    fs::create_directory(root + "/folder");
    WriteAll(root + "/file.txt", "f");

    ASSERT_EQ(FileUtils::CreateLink(U(root + "/file.txt"), U(root + "/f.lnk"), U("my file")), 0);
    ASSERT_EQ(FileUtils::CreateLink(U(root + "/folder"), U(root + "/d.lnk"), UTF16String()), 0);
    shelllink::Link link;
    ASSERT_TRUE(ReadBytes(ReadAll(root + "/f.lnk"), link));
    EXPECT_EQ(link.description, U("my file"));
    EXPECT_EQ(link.fileSize, 1u);
    EXPECT_EQ(link.attributes, shelllink::kAttributeArchive);

    UTF16String path = U(root + "/f.lnk");
    bool isDirectory = true;
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), 0);
    EXPECT_EQ(path, U(root + "/file.txt"));
    EXPECT_FALSE(isDirectory);
    path = U(root + "/d.lnk");
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), 0);
    EXPECT_EQ(path, U(root + "/folder"));
    EXPECT_TRUE(isDirectory);

    // Failures are negative and leave the arguments alone.
    WriteAll(root + "/junk.lnk", "junk");
    ASSERT_EQ(FileUtils::CreateLink(U(root + "/gone"), U(root + "/gone.lnk"), UTF16String()), 0);
    ASSERT_EQ(FileUtils::CreateLink(U("relative/x"), U(root + "/rel.lnk"), UTF16String()), 0);
    ASSERT_EQ(FileUtils::CreateLink(U("C:\\Windows\\notepad.exe"), U(root + "/win.lnk"), UTF16String()), 0);
    for (const char* name : {"/junk.lnk", "/gone.lnk", "/rel.lnk", "/win.lnk", "/missing.lnk", "/folder"}) {
        path = U(root + name);
        isDirectory = false;
        EXPECT_LT(FileUtils::ResolveIT(path, isDirectory), 0) << name;
        EXPECT_EQ(path, U(root + name));
        EXPECT_FALSE(isDirectory);
    }
    path = U(root + "/missing.lnk");
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), FileUtils::kResultFileNotFound);
    path = U(root + "/gone.lnk");
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), FileUtils::kResultFileNotFound);
    path = U(root + "/junk.lnk");
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), FileUtils::kResultFail);

    EXPECT_EQ(FileUtils::CreateLink(U(root + "/file.txt"), U(root + "/missing/x.lnk"), UTF16String()),
              FileUtils::kResultPathNotFound);
    EXPECT_EQ(FileUtils::CreateLink(UTF16String(), U(root + "/x.lnk"), UTF16String()),
              FileUtils::kResultInvalidArgument);
    EXPECT_FALSE(fs::exists(root + "/x.lnk"));
    // A new shortcut replaces an old one whole.
    ASSERT_EQ(FileUtils::CreateLink(U(root + "/folder"), U(root + "/f.lnk"), UTF16String()), 0);
    path = U(root + "/f.lnk");
    EXPECT_EQ(FileUtils::ResolveIT(path, isDirectory), 0);
    EXPECT_EQ(path, U(root + "/folder"));
}

TEST(Shortcuts, ResolveIfAliasAndCreateShortCut) {
    const std::string root = TempFolder();
    fs::create_directory(root + "/folder");
    WriteAll(root + "/file.txt", "f");
    CreateShortCut(File(U(root + "/f.LNK")), File(U(root + "/file.txt")));
    CreateShortCut(File(U(root + "/d.lnk")), Dir(U(root + "/folder")));
    CreateShortCut(File(U(root + "/missing/x.lnk")), Dir(U(root + "/folder")));  // ignored

    File file(U("/untouched"));
    Dir dir(U("/untouched"));
    bool isDirectory = true;
    EXPECT_TRUE(ResolveIfAlias(File(U(root + "/f.LNK")), file, dir, isDirectory));
    EXPECT_EQ(file, File(U(root + "/file.txt")));
    EXPECT_EQ(dir, Dir(U("/untouched")));
    EXPECT_FALSE(isDirectory);

    file = File(U("/untouched"));
    EXPECT_TRUE(ResolveIfAlias(File(U(root + "/d.lnk")), file, dir, isDirectory));
    EXPECT_EQ(dir, Dir(U(root + "/folder")));
    EXPECT_EQ(file, File(U("/untouched")));
    EXPECT_TRUE(isDirectory);

    dir = Dir(U("/untouched"));
    EXPECT_FALSE(ResolveIfAlias(File(U(root + "/file.txt")), file, dir, isDirectory));
    EXPECT_FALSE(ResolveIfAlias(File(U(root + "/none.lnk")), file, dir, isDirectory));
    EXPECT_EQ(file, File(U("/untouched")));
    EXPECT_EQ(dir, Dir(U("/untouched")));

    File toFile(U(root + "/f.LNK"));
    ResolveIfAliasFileOnly(toFile);
    EXPECT_EQ(toFile, File(U(root + "/file.txt")));
    File toDir(U(root + "/d.lnk"));
    ResolveIfAliasFileOnly(toDir);
    EXPECT_EQ(toDir, File(U(root + "/d.lnk")));
}
