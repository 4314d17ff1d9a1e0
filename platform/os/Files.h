#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files and directories. Paths are native paths (the UTF-8 bytes of the library's
// UTF-16 paths); every call that can fail returns 0 or an errno value, which
// FileErrors.h classifies. Times are FILETIME values: 100-ns ticks since 1601-01-01 UTC.
namespace tarncore {
namespace platform {
namespace os {

enum class EntryKind : int { kFile, kDirectory, kOther };

struct FileInfo {
    EntryKind kind = EntryKind::kOther;  // of what a symbolic link points to
    std::uint64_t size = 0;              // bytes of a regular file, else 0
    std::uint64_t created = 0;           // birth time where the file system keeps one, else modified
    std::uint64_t accessed = 0;
    std::uint64_t modified = 0;
};

// Follows symbolic links.
int QueryFile(const std::string& inPath, FileInfo& outInfo);
// True when the path itself is a symbolic link (not followed).
bool IsSymbolicLink(const std::string& inPath);

// Creates the file or truncates it to length 0.
int CreateOrTruncateFile(const std::string& inPath);
// Creates the file; EEXIST when something exists at the path (it is left untouched).
int CreateNewFile(const std::string& inPath);
// Removes a file or a symbolic link (never a directory).
int DeleteFile(const std::string& inPath);
// Creates one directory; EEXIST when something exists at the path.
int CreateDirectory(const std::string& inPath);
// Removes an empty directory.
int RemoveDirectory(const std::string& inPath);
// Moves a file or directory; EEXIST when the destination exists (nothing is replaced).
int RenameNoReplace(const std::string& inFrom, const std::string& inTo);

// The whole contents of a regular file of at most inMaxBytes bytes (EFBIG beyond).
int ReadFile(const std::string& inPath, std::size_t inMaxBytes, std::string& outBytes);
// Replaces the file's contents in one step (BeginFileReplacement, the bytes, then
// CommitFileReplacement). The file need not exist; its folder must.
int ReplaceFileContents(const std::string& inPath, const void* inData, std::size_t inSize);
// Appends at the end, creating the file when it is missing.
int AppendToFile(const std::string& inPath, const void* inData, std::size_t inSize);

struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::kOther;  // of what a symbolic link points to; a broken link is a file
    bool hidden = false;                 // the name starts with "."
    bool system = false;                 // neither a regular file nor a directory
};

// The entries of one directory in the order the file system gives them, without "."
// and "..". outEntries is replaced.
int ListDirectory(const std::string& inPath, std::vector<DirEntry>& outEntries);

// A stable identity of a directory (device and inode). Without inFollowLink a symbolic
// link at the path is not a directory. False when the path is no directory.
bool DirectoryIdentity(const std::string& inPath, bool inFollowLink, std::uint64_t& outDevice,
                       std::uint64_t& outInode);

// True when the path names the root of the file system ("/", "//", "/tmp/..").
bool IsFileSystemRoot(const std::string& inPath);

// Open files, for the byte streams. A handle is a file descriptor, kNoFile none.
// Reads and writes start at the file position and move it on.
using FileHandle = int;
constexpr FileHandle kNoFile = -1;

// Opens an existing file for reading (EISDIR for a directory). A FIFO without a
// writer opens at once and reads as empty instead of blocking.
int OpenFileForReading(const std::string& inPath, FileHandle& outHandle);
// Opens an existing file for writing at its start, without truncating it; never
// creates one (ENOENT). A FIFO without a reader fails with ENXIO instead of blocking.
int OpenFileForWriting(const std::string& inPath, FileHandle& outHandle);
// Reads inSize bytes; outRead is smaller only when the end of the file came first.
int ReadFromFile(FileHandle inHandle, void* outData, std::size_t inSize, std::size_t& outRead);
// Writes all inSize bytes.
int WriteToFile(FileHandle inHandle, const void* inData, std::size_t inSize);
// The file position, counted from the start of the file.
int SetFilePosition(FileHandle inHandle, std::uint64_t inPosition);
int GetFilePosition(FileHandle inHandle, std::uint64_t& outPosition);
// The length of an open file (0 for what is not a regular file).
int GetFileLength(FileHandle inHandle, std::uint64_t& outLength);
// Releases the handle; a delayed write error is returned.
int CloseFile(FileHandle inHandle);

// A file's new contents on their way in: a temporary file in the file's folder, written
// through its handle (WriteToFile, SetFilePosition, ...), then either committed in the
// file's place or aborted. A file replaced through these steps holds its old contents
// or its new ones whenever the process or the machine stops, never a mix.
struct FileReplacement {
    std::string target;
    std::string temporary;
    FileHandle handle = kNoFile;  // kNoFile once committed or aborted
};

// Makes the temporary file, under a hidden name in inPath's folder so that the rename
// stays on one file system and listings skip it. An existing file's permissions are
// given to it at once; a new file gets the default ones. The file at inPath need not
// exist (committing creates it); its folder must. A replacement still open in
// outReplacement is aborted first.
int BeginFileReplacement(const std::string& inPath, FileReplacement& outReplacement);
// Flushes the new contents to disk and renames them over the file. On failure the
// temporary file is removed and the file is left as it was. Either way the replacement
// is closed afterwards.
int CommitFileReplacement(FileReplacement& ioReplacement);
// Closes and removes the temporary file; the file is left as it was. Nothing happens
// to a replacement that is closed already.
void AbortFileReplacement(FileReplacement& ioReplacement);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
