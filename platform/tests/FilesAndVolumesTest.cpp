// Tests of the platform's files, folders, native paths and volumes.
#include "platform/os/Files.h"
#include "platform/os/Folders.h"
#include "platform/os/Volumes.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarncore::platform::os;

TEST(Volumes, MountTableSelection) {
    const std::string table =
        "/dev/vda / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda1 /srv/My\\040Data ext4 rw 0 0\n"
        "/dev/sdb1 /media/stick vfat rw 0 0\n"
        "/dev/loop3 /snap/core squashfs ro 0 0\n"
        "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
        "/dev/zram0 /var/cache ext4 rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "//host/share /mnt/smb cifs rw 0 0\n"
        "user@host: /mnt/ssh fuse.sshfs rw 0 0\n"
        "/dev/sda1 /srv/My\\040Data ext4 rw 0 0\n"
        "broken line\n"
        "/dev/sda2 relative ext4 rw 0 0\n";
    const std::vector<MountEntry> mounts = ParseMountTable(table);
    ASSERT_EQ(mounts.size(), 12u);
    EXPECT_EQ(mounts[3].mountPoint, "/srv/My Data");

    const auto removable = [](const std::string& device) { return device == "/dev/sdb1"; };
    EXPECT_EQ(SelectVolumes(mounts, removable),
              (std::vector<std::string>{"/", "/srv/My Data", "/mnt/nfs", "/mnt/smb", "/mnt/ssh"}));

    const std::vector<std::string> live = ListVolumes();
    EXPECT_NE(std::find(live.begin(), live.end(), "/"), live.end());
}

TEST(NativePaths, OnlyWholeNamesConvert) {
    std::string native;
    EXPECT_TRUE(ToNativePath(tarncore::utility::MakeUTF16(u"/caf\u00e9"), native));
    EXPECT_EQ(native, "/caf\xC3\xA9");
    tarncore::utility::UTF16String withNul = tarncore::utility::MakeUTF16(u"/a");
    withNul.push_back(0);
    withNul.push_back('b');
    EXPECT_FALSE(ToNativePath(withNul, native));

    tarncore::utility::UTF16String path = tarncore::utility::MakeUTF16(u"kept");
    EXPECT_TRUE(FromNativePath("/caf\xC3\xA9", path));
    EXPECT_EQ(path, tarncore::utility::MakeUTF16(u"/caf\u00e9"));
    path = tarncore::utility::MakeUTF16(u"kept");
    EXPECT_FALSE(FromNativePath("/caf\xE9", path));
    EXPECT_EQ(path, tarncore::utility::MakeUTF16(u"kept"));
}

TEST(Folders, TheProgramAndFixedFolders) {
    std::string path;
    ASSERT_EQ(MainExecutablePath(path), 0);
    EXPECT_NE(path.find("platform_tests"), std::string::npos);
    ASSERT_EQ(GetSpecialFolder(SpecialFolder::kProgramFiles, false, path), 0);
    EXPECT_EQ(path, "/opt");
    ASSERT_EQ(GetSpecialFolder(SpecialFolder::kCommonProgramFiles, false, path), 0);
    EXPECT_EQ(path, "/usr/share");
}

TEST(Files, TheRootUnderAnyName) {
    for (const char* root : {"/", "//", "/tmp/..", "/."}) EXPECT_TRUE(IsFileSystemRoot(root)) << root;
    for (const char* other : {"/tmp", "", "/missing", "relative"}) EXPECT_FALSE(IsFileSystemRoot(other)) << other;
}
