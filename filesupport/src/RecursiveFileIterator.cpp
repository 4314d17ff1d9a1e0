// RecursiveFileIterator: the depth-first walk, with every directory entered once.
#include <tarncore/filesupport/RecursiveFileIterator.h>

#include <tarncore/utility/NativePaths.h>

#include "filesupport/src/IteratorHelper.h"
#include "platform/os/Files.h"

namespace tarncore {
namespace filesupport {

namespace os = platform::os;

RecursiveFileIterator::RecursiveFileIterator() : mDone(true), mResolve(false) {}

RecursiveFileIterator::RecursiveFileIterator(const Dir& inStart, bool inResolve)
    : mDone(false), mResolve(inResolve) {
    try {
        std::string native;
        std::uint64_t device = 0, inode = 0;
        if (utility::ToNativePath(inStart.FullPath(), native) &&
            os::DirectoryIdentity(native, true, device, inode))
            mEntered.emplace(device, inode);
        if (!Enter(inStart)) MoveOn();
    } catch (...) {
        // Whatever fails while starting leaves the walk at its end.
        mDone = true;
        mStack.clear();
        mFile = Dir::FileIterator();
        mFileEnd = Dir::FileIterator();
    }
}

bool RecursiveFileIterator::Enter(const Dir& inDir) {
    mCurrentDir = inDir;
    // One read of the directory gives both of its listings.
    IteratorHelper* files = new IteratorHelper();
    mFile = Dir::FileIterator(files);
    IteratorHelper* dirs = new IteratorHelper();
    Dir::DirIterator subdirs(dirs);
    IteratorHelper::ListBoth(inDir.FullPath(), mResolve, *files, *dirs);
    mFileEnd = inDir.EndFiles();
    mStack.emplace_back(std::move(subdirs), inDir.EndSubdirs());
    return mFile != mFileEnd;
}

void RecursiveFileIterator::MoveOn() {
    for (;;) {
        if (mFile != mFileEnd) {
            ++mFile;
            if (mFile != mFileEnd) return;
            continue;
        }
        if (mStack.empty()) {
            mDone = true;
            return;
        }
        SubdirRange& top = mStack.back();
        if (top.first == top.second) {
            mStack.pop_back();
            continue;
        }
        const Dir subdir = *top.first;
        ++top.first;
        // Links to directories are not followed, and a directory reached a second way
        // (through a shortcut) is not walked again.
        std::string native;
        std::uint64_t device = 0, inode = 0;
        if (!utility::ToNativePath(subdir.FullPath(), native) ||
            !os::DirectoryIdentity(native, false, device, inode) || !mEntered.emplace(device, inode).second)
            continue;
        if (Enter(subdir)) return;
    }
}

File RecursiveFileIterator::operator*() const { return mDone ? File() : *mFile; }

RecursiveFileIterator& RecursiveFileIterator::operator++() {
    if (!mDone) MoveOn();
    return *this;
}

RecursiveFileIterator RecursiveFileIterator::operator++(int) {
    RecursiveFileIterator before(*this);
    ++*this;
    return before;
}

bool RecursiveFileIterator::operator==(const RecursiveFileIterator& inOther) const {
    if (mDone || inOther.mDone) return mDone && inOther.mDone;
    return mResolve == inOther.mResolve && mFile == inOther.mFile && mFileEnd == inOther.mFileEnd &&
           mStack == inOther.mStack;
}

}  // namespace filesupport
}  // namespace tarncore
