// IteratorHelper, the listing of one directory behind Dir's iterators.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <vector>

// The state behind Dir::DirIterator and Dir::FileIterator: the full paths of one
// directory's files or subdirectories, read whole when the helper is made.
namespace tarncore {
namespace filesupport {

class IteratorHelper {
public:
    // At its end and empty.
    IteratorHelper() = default;
    // Lists inDirPath's subdirectories (inWantDirectories) or files. With inResolve a
    // shortcut file is replaced by its target, or left out when it does not resolve.
    IteratorHelper(bool inWantDirectories, const utility::UTF16String& inDirPath, bool inResolve);
    // A prepared list, such as the volumes.
    IteratorHelper(bool inWantDirectories, std::vector<utility::UTF16String> inPaths);

    // Both listings of one directory from a single read of it.
    static void ListBoth(const utility::UTF16String& inDirPath, bool inResolve, IteratorHelper& outFiles,
                         IteratorHelper& outDirectories);

    bool AtEnd() const { return mAtEnd; }
    // Null at the end.
    const utility::UTF16String* Current() const;
    void Step();
    bool Equals(const IteratorHelper& inOther) const;

private:
    bool mWantDirectories = false;
    bool mResolve = false;
    bool mAtEnd = true;
    std::vector<utility::UTF16String> mPaths;
    std::int32_t mIndex = 0;
};

}  // namespace filesupport
}  // namespace tarncore
