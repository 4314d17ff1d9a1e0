// Tests of the platform's files, folders, error classification and volumes.
#include "platform/os/FileErrors.h"
#include "platform/os/Files.h"
#include "platform/os/Folders.h"
#include "platform/os/Volumes.h"

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

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
    for (const char* other : {"/tmp", "", "/missing", "relative"})
        EXPECT_FALSE(IsFileSystemRoot(other)) << other;
}

TEST(FileErrors, EveryErrnoHasOneKind) {
    using F = FileFailure;
    const std::pair<FileFailure, std::vector<int>> table[] = {
        {F::kNone, {0}},
        {F::kNotFound, {ENOENT}},
        {F::kNotADirectory, {ENOTDIR}},
        {F::kLinkLoop, {ELOOP}},
        {F::kNoDevice, {ENXIO, ENODEV, EBADF}},
        {F::kReadOnly, {EROFS}},
        {F::kAccessDenied, {EACCES, EPERM}},
        {F::kIsADirectory, {EISDIR}},
        {F::kExists, {EEXIST}},
        {F::kNotEmpty, {ENOTEMPTY}},
        {F::kBusy, {EBUSY, ETXTBSY}},
        {F::kDeviceFault, {EIO}},
        {F::kNetwork,
         {ENETDOWN, ENETUNREACH, ENETRESET, ECONNABORTED, ECONNRESET, EHOSTDOWN, EHOSTUNREACH, ESTALE,
          EREMOTEIO}},
        {F::kNoSpace, {ENOSPC, EDQUOT}},
        {F::kOther, {EINVAL, EFBIG, ENAMETOOLONG, -1}},
    };
    for (const auto& [kind, errors] : table)
        for (int error : errors)
            EXPECT_EQ(static_cast<int>(ClassifyFileError(error)), static_cast<int>(kind))
                << "errno " << error;
}

TEST(Files, ReplacementsCommitWholeOrLeaveNoTrace) {
    const std::string folder = tarncore::testing::MakeTempFolder("replace"), path = folder + "/f";
    const auto contents = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(folder),
                             std::filesystem::directory_iterator());
    };
    ASSERT_EQ(ReplaceFileContents(path, "one", 3), 0);  // a new file
    EXPECT_EQ(contents(), "one");

    FileReplacement replacement;
    ASSERT_EQ(BeginFileReplacement(path, replacement), 0);
    EXPECT_EQ(WriteToFile(replacement.handle, "two", 3), 0);
    EXPECT_EQ(entries(), 2);
    AbortFileReplacement(replacement);
    AbortFileReplacement(replacement);  // closed already: nothing happens
    EXPECT_EQ(replacement.handle, kNoFile);
    EXPECT_EQ(contents(), "one");
    EXPECT_EQ(entries(), 1);
    EXPECT_EQ(CommitFileReplacement(replacement), EBADF);

    ASSERT_EQ(BeginFileReplacement(path, replacement), 0);
    EXPECT_EQ(WriteToFile(replacement.handle, "three", 5), 0);
    EXPECT_EQ(CommitFileReplacement(replacement), 0);
    EXPECT_EQ(replacement.handle, kNoFile);
    EXPECT_EQ(contents(), "three");
    EXPECT_EQ(entries(), 1);

    EXPECT_EQ(BeginFileReplacement(folder + "/missing/f", replacement), ENOENT);
    EXPECT_EQ(BeginFileReplacement("", replacement), ENOENT);
}
