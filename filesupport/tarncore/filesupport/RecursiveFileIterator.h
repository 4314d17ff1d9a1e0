// RecursiveFileIterator, a walk over every file below a directory.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>

#include <cstdint>
#include <deque>
#include <set>
#include <utility>

/// @file
/// A walk over every file below a directory, its subdirectories included.
namespace tarncore {
namespace filesupport {

/// Every file below a directory, depth first: a directory's files before its
/// subdirectories, siblings in the file system's order. Listings are read when a
/// directory is entered. Symbolic links to directories are not followed, and no
/// directory is entered twice, so the walk ends even when shortcuts form a cycle.
class TARNCORE_API RecursiveFileIterator {
public:
    /// The end.
    RecursiveFileIterator();
    /// inResolve replaces shortcut files by their targets, as Dir::BeginFiles does. A
    /// start that cannot be read gives the end.
    RecursiveFileIterator(const Dir& inStart, bool inResolve);

    File operator*() const;
    /// The directory holding the current file.
    const Dir& CurrentDir() const { return mCurrentDir; }
    RecursiveFileIterator& operator++();
    RecursiveFileIterator operator++(int);
    bool operator==(const RecursiveFileIterator& inOther) const;
    bool operator!=(const RecursiveFileIterator& inOther) const { return !(*this == inOther); }

private:
    using SubdirRange = std::pair<Dir::DirIterator, Dir::DirIterator>;

    // Makes inDir current and pushes its subdirectories; false when it has no files.
    bool Enter(const Dir& inDir);
    // Moves to the next file, or to the end.
    void MoveOn();

    bool mDone;
    bool mResolve;
    Dir::FileIterator mFile;
    Dir::FileIterator mFileEnd;
    std::deque<SubdirRange> mStack;
    Dir mCurrentDir;
    std::set<std::pair<std::uint64_t, std::uint64_t>> mEntered;  // device and inode
};

}  // namespace filesupport
}  // namespace tarncore
