// Linux: files and directories through POSIX calls, with errno results and FILETIME times.
#include "platform/os/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace tarncore {
namespace platform {
namespace os {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;

std::uint64_t ToFileTime(std::int64_t inSeconds, std::uint32_t inNanoseconds) {
    const std::int64_t seconds = inSeconds + kEpochDifference;
    if (seconds < 0) return 0;
    return static_cast<std::uint64_t>(seconds) * 10000000u + inNanoseconds / 100u;
}

EntryKind KindOf(mode_t inMode) {
    if (S_ISREG(inMode)) return EntryKind::kFile;
    if (S_ISDIR(inMode)) return EntryKind::kDirectory;
    return EntryKind::kOther;
}

int LastError() { return errno != 0 ? errno : EIO; }

int WriteAll(int inFd, const void* inData, std::size_t inSize) {
    const char* data = static_cast<const char*>(inData);
    while (inSize > 0) {
        const ssize_t written = ::write(inFd, data, inSize);
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        data += written;
        inSize -= static_cast<std::size_t>(written);
    }
    return 0;
}

int CloseChecked(int inFd) {
    // close() may report a delayed write error; EINTR still releases the descriptor.
    if (::close(inFd) != 0 && errno != EINTR) return LastError();
    return 0;
}

int OpenAndClose(const std::string& inPath, int inFlags) {
    const int fd = ::open(inPath.c_str(), inFlags | O_CLOEXEC, 0666);
    if (fd < 0) return LastError();
    return CloseChecked(fd);
}

}  // namespace

int QueryFile(const std::string& inPath, FileInfo& outInfo) {
    struct statx info;
    if (::statx(AT_FDCWD, inPath.c_str(), AT_STATX_SYNC_AS_STAT,
                STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &info) != 0)
        return LastError();
    outInfo.kind = KindOf(info.stx_mode);
    outInfo.size = outInfo.kind == EntryKind::kFile ? info.stx_size : 0;
    outInfo.modified = ToFileTime(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    outInfo.accessed = ToFileTime(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
    outInfo.created = (info.stx_mask & STATX_BTIME) != 0
                          ? ToFileTime(info.stx_btime.tv_sec, info.stx_btime.tv_nsec)
                          : outInfo.modified;
    return 0;
}

bool IsSymbolicLink(const std::string& inPath) {
    struct stat info;
    return ::lstat(inPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

int CreateOrTruncateFile(const std::string& inPath) {
    return OpenAndClose(inPath, O_WRONLY | O_CREAT | O_TRUNC);
}

int CreateNewFile(const std::string& inPath) { return OpenAndClose(inPath, O_WRONLY | O_CREAT | O_EXCL); }

int DeleteFile(const std::string& inPath) { return ::unlink(inPath.c_str()) == 0 ? 0 : LastError(); }

int CreateDirectory(const std::string& inPath) {
    return ::mkdir(inPath.c_str(), 0777) == 0 ? 0 : LastError();
}

int RemoveDirectory(const std::string& inPath) { return ::rmdir(inPath.c_str()) == 0 ? 0 : LastError(); }

int RenameNoReplace(const std::string& inFrom, const std::string& inTo) {
    if (::renameat2(AT_FDCWD, inFrom.c_str(), AT_FDCWD, inTo.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return LastError();
    // File systems without RENAME_NOREPLACE: test first. The gap between test and
    // move is the best these systems allow.
    struct stat info;
    if (::lstat(inTo.c_str(), &info) == 0) return EEXIST;
    return ::rename(inFrom.c_str(), inTo.c_str()) == 0 ? 0 : LastError();
}

int ReplaceFileContents(const std::string& inPath, const void* inData, std::size_t inSize) {
    FileReplacement replacement;
    if (const int error = BeginFileReplacement(inPath, replacement)) return error;
    if (const int error = WriteAll(replacement.handle, inData, inSize)) {
        AbortFileReplacement(replacement);
        return error;
    }
    return CommitFileReplacement(replacement);
}

int AppendToFile(const std::string& inPath, const void* inData, std::size_t inSize) {
    const int fd = ::open(inPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return LastError();
    const int error = WriteAll(fd, inData, inSize);
    const int closeError = CloseChecked(fd);
    return error != 0 ? error : closeError;
}

int ListDirectory(const std::string& inPath, std::vector<DirEntry>& outEntries) {
    outEntries.clear();
    DIR* dir = ::opendir(inPath.c_str());
    if (dir == nullptr) return LastError();
    const int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(dir);
        if (entry == nullptr) break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        DirEntry item;
        item.name = name;
        switch (entry->d_type) {
        case DT_REG: item.kind = EntryKind::kFile; break;
        case DT_DIR: item.kind = EntryKind::kDirectory; break;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat info;
            if (::fstatat(dirFd, name, &info, 0) == 0) {
                item.kind = KindOf(info.st_mode);
            } else if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
                // A broken link is listed as a file, so that it can be deleted.
                item.kind = EntryKind::kFile;
            } else {
                continue;  // gone meanwhile
            }
            break;
        }
        default: item.kind = EntryKind::kOther; break;
        }
        item.hidden = name[0] == '.';
        item.system = item.kind == EntryKind::kOther;
        outEntries.push_back(std::move(item));
    }
    const int error = errno;
    ::closedir(dir);
    return error;
}

bool DirectoryIdentity(const std::string& inPath, bool inFollowLink, std::uint64_t& outDevice,
                       std::uint64_t& outInode) {
    struct stat info;
    const int result = inFollowLink ? ::stat(inPath.c_str(), &info) : ::lstat(inPath.c_str(), &info);
    if (result != 0 || !S_ISDIR(info.st_mode)) return false;
    outDevice = static_cast<std::uint64_t>(info.st_dev);
    outInode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

bool IsFileSystemRoot(const std::string& inPath) {
    struct stat path, root;
    return ::stat(inPath.c_str(), &path) == 0 && ::stat("/", &root) == 0 && path.st_dev == root.st_dev &&
           path.st_ino == root.st_ino;
}

namespace {

// O_NONBLOCK keeps the open of a FIFO from waiting for its other end; it is cleared
// again so that reads and writes behave as on any file.
int OpenExisting(const std::string& inPath, int inAccess, FileHandle& outHandle) {
    outHandle = kNoFile;
    int fd;
    do {
        fd = ::open(inPath.c_str(), inAccess | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return LastError();
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = LastError();
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) error = LastError();
    }
    if (error != 0) {
        ::close(fd);
        return error;
    }
    outHandle = fd;
    return 0;
}

}  // namespace

int ReadFile(const std::string& inPath, std::size_t inMaxBytes, std::string& outBytes) {
    FileHandle fd = kNoFile;
    if (const int opened = OpenExisting(inPath, O_RDONLY, fd)) return opened;
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = LastError();
    } else if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
    } else if (static_cast<std::uint64_t>(info.st_size) > inMaxBytes) {
        error = EFBIG;
    }
    std::string bytes;
    if (error == 0) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t used = 0;
        for (;;) {
            // One byte of room beyond the limit shows a file that grew meanwhile.
            if (used == bytes.size()) bytes.resize(std::min(bytes.size() * 2 + 64, inMaxBytes + 1));
            const ssize_t got = ::read(fd, &bytes[used], bytes.size() - used);
            if (got < 0) {
                if (errno == EINTR) continue;
                error = LastError();
                break;
            }
            if (got == 0) break;
            used += static_cast<std::size_t>(got);
            if (used > inMaxBytes) {
                error = EFBIG;
                break;
            }
        }
        bytes.resize(used);
    }
    ::close(fd);
    if (error == 0) outBytes.swap(bytes);
    return error;
}

int OpenFileForReading(const std::string& inPath, FileHandle& outHandle) {
    return OpenExisting(inPath, O_RDONLY, outHandle);
}

int OpenFileForWriting(const std::string& inPath, FileHandle& outHandle) {
    return OpenExisting(inPath, O_WRONLY, outHandle);
}

int ReadFromFile(FileHandle inHandle, void* outData, std::size_t inSize, std::size_t& outRead) {
    char* data = static_cast<char*>(outData);
    outRead = 0;
    while (outRead < inSize) {
        const ssize_t got = ::read(inHandle, data + outRead, inSize - outRead);
        if (got < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (got == 0) break;
        outRead += static_cast<std::size_t>(got);
    }
    return 0;
}

int WriteToFile(FileHandle inHandle, const void* inData, std::size_t inSize) {
    return WriteAll(inHandle, inData, inSize);
}

int SetFilePosition(FileHandle inHandle, std::uint64_t inPosition) {
    if (inPosition > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return EINVAL;
    return ::lseek(inHandle, static_cast<off_t>(inPosition), SEEK_SET) < 0 ? LastError() : 0;
}

int GetFilePosition(FileHandle inHandle, std::uint64_t& outPosition) {
    const off_t position = ::lseek(inHandle, 0, SEEK_CUR);
    if (position < 0) return LastError();
    outPosition = static_cast<std::uint64_t>(position);
    return 0;
}

int GetFileLength(FileHandle inHandle, std::uint64_t& outLength) {
    struct stat info;
    if (::fstat(inHandle, &info) != 0) return LastError();
    outLength = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    return 0;
}

int CloseFile(FileHandle inHandle) { return CloseChecked(inHandle); }

int BeginFileReplacement(const std::string& inPath, FileReplacement& outReplacement) {
    AbortFileReplacement(outReplacement);
    if (inPath.empty()) return ENOENT;
    const std::size_t slash = inPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : inPath.substr(0, slash + 1);

    // Over an existing file the temporary starts private and then takes that file's
    // permissions, so its contents are never readable by more users than the old ones.
    struct stat old;
    const bool replacesFile = ::stat(inPath.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + ".tarncore-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacesFile ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return LastError();
    }
    if (fd < 0) return EEXIST;
    if (replacesFile) (void)::fchmod(fd, old.st_mode & 07777);
    outReplacement.target = inPath;
    outReplacement.temporary = temporary;
    outReplacement.handle = fd;
    return 0;
}

int CommitFileReplacement(FileReplacement& ioReplacement) {
    if (ioReplacement.handle == kNoFile) return EBADF;
    int error = ::fsync(ioReplacement.handle) != 0 ? LastError() : 0;
    const int closeError = CloseChecked(ioReplacement.handle);
    ioReplacement.handle = kNoFile;
    if (error == 0) error = closeError;
    if (error == 0 && ::rename(ioReplacement.temporary.c_str(), ioReplacement.target.c_str()) != 0)
        error = LastError();
    if (error != 0) ::unlink(ioReplacement.temporary.c_str());
    return error;
}

void AbortFileReplacement(FileReplacement& ioReplacement) {
    if (ioReplacement.handle == kNoFile) return;
    ::close(ioReplacement.handle);
    ioReplacement.handle = kNoFile;
    ::unlink(ioReplacement.temporary.c_str());
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
