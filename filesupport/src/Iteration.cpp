// Directory listings: the iterator helper, Dir's iterators, and the mounted volumes.
#include "filesupport/src/IteratorHelper.h"

#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/Shortcuts.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "platform/os/Files.h"
#include "platform/os/Volumes.h"

#include <utility>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using utility::UTF16String;

namespace {

bool EndsWithLinkExtension(const UTF16String& inPath) {
    static const UTF16String kExtension = utility::MakeUTF16(u".lnk");
    return inPath.size() >= kExtension.size() &&
           inPath.compare(inPath.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

// Reads the directory once and hands each listed entry to the matching list.
void ReadDirectory(const UTF16String& inDirPath, bool inResolve, std::vector<UTF16String>* outFiles,
                   std::vector<UTF16String>* outDirectories) {
    std::string native;
    if (!utility::ToNativePath(inDirPath, native)) return;
    std::vector<os::DirEntry> entries;
    (void)os::ListDirectory(native, entries);
    for (const os::DirEntry& entry : entries) {
        if (entry.hidden || entry.system) continue;
        UTF16String name;
        if (!utility::FromNativePath(entry.name, name)) continue;
        UTF16String path = utility::PathRules::Native().JoinFile(inDirPath, name);
        bool isDirectory = entry.kind == os::EntryKind::kDirectory;
        if (inResolve && !isDirectory && EndsWithLinkExtension(path) &&
            ShortcutFiles::ResolveIT(path, isDirectory) < 0)
            continue;
        std::vector<UTF16String>* list = isDirectory ? outDirectories : outFiles;
        if (list != nullptr) list->push_back(std::move(path));
    }
}

}  // namespace

IteratorHelper::IteratorHelper(bool inWantDirectories, const UTF16String& inDirPath, bool inResolve)
    : mWantDirectories(inWantDirectories), mResolve(inResolve) {
    ReadDirectory(inDirPath, inResolve, inWantDirectories ? nullptr : &mPaths,
                  inWantDirectories ? &mPaths : nullptr);
    mAtEnd = mPaths.empty();
}

IteratorHelper::IteratorHelper(bool inWantDirectories, std::vector<UTF16String> inPaths)
    : mWantDirectories(inWantDirectories), mPaths(std::move(inPaths)) {
    mAtEnd = mPaths.empty();
}

void IteratorHelper::ListBoth(const UTF16String& inDirPath, bool inResolve, IteratorHelper& outFiles,
                              IteratorHelper& outDirectories) {
    outFiles = IteratorHelper();
    outDirectories = IteratorHelper();
    outFiles.mResolve = outDirectories.mResolve = inResolve;
    outDirectories.mWantDirectories = true;
    ReadDirectory(inDirPath, inResolve, &outFiles.mPaths, &outDirectories.mPaths);
    outFiles.mAtEnd = outFiles.mPaths.empty();
    outDirectories.mAtEnd = outDirectories.mPaths.empty();
}

const UTF16String* IteratorHelper::Current() const {
    if (mAtEnd || mIndex < 0 || static_cast<std::size_t>(mIndex) >= mPaths.size()) return nullptr;
    return &mPaths[static_cast<std::size_t>(mIndex)];
}

void IteratorHelper::Step() {
    if (mAtEnd) return;
    ++mIndex;
    if (static_cast<std::size_t>(mIndex) >= mPaths.size()) mAtEnd = true;
}

bool IteratorHelper::Equals(const IteratorHelper& inOther) const {
    if (mAtEnd || inOther.mAtEnd) return mAtEnd && inOther.mAtEnd;
    return mWantDirectories == inOther.mWantDirectories && mResolve == inOther.mResolve &&
           mIndex == inOther.mIndex && mPaths == inOther.mPaths;
}

// Dir::DirIterator and Dir::FileIterator own their helper; a default iterator has none.

namespace {
bool HelpersEqual(const IteratorHelper* inFirst, const IteratorHelper* inSecond) {
    if (inFirst == nullptr || inSecond == nullptr) return inFirst == inSecond;
    return inFirst->Equals(*inSecond);
}
}  // namespace

Dir::DirIterator::DirIterator() = default;
Dir::DirIterator::DirIterator(IteratorHelper* inHelper) : mHelper(inHelper) {}
Dir::DirIterator::DirIterator(const DirIterator& inOther) = default;
Dir::DirIterator::DirIterator(DirIterator&& inOther) noexcept = default;
Dir::DirIterator& Dir::DirIterator::operator=(const DirIterator& inOther) = default;
Dir::DirIterator& Dir::DirIterator::operator=(DirIterator&& inOther) noexcept = default;
Dir::DirIterator::~DirIterator() = default;

Dir Dir::DirIterator::operator*() const {
    const UTF16String* path = mHelper ? mHelper->Current() : nullptr;
    return path != nullptr ? Dir(DirHelper(*path)) : Dir();
}
Dir::DirIterator& Dir::DirIterator::operator++() {
    if (mHelper) mHelper->Step();
    return *this;
}
Dir::DirIterator Dir::DirIterator::operator++(int) {
    DirIterator before(*this);
    ++*this;
    return before;
}
bool Dir::DirIterator::operator==(const DirIterator& inOther) const {
    return HelpersEqual(mHelper.get(), inOther.mHelper.get());
}

Dir::FileIterator::FileIterator() = default;
Dir::FileIterator::FileIterator(IteratorHelper* inHelper) : mHelper(inHelper) {}
Dir::FileIterator::FileIterator(const FileIterator& inOther) = default;
Dir::FileIterator::FileIterator(FileIterator&& inOther) noexcept = default;
Dir::FileIterator& Dir::FileIterator::operator=(const FileIterator& inOther) = default;
Dir::FileIterator& Dir::FileIterator::operator=(FileIterator&& inOther) noexcept = default;
Dir::FileIterator::~FileIterator() = default;

File Dir::FileIterator::operator*() const {
    const UTF16String* path = mHelper ? mHelper->Current() : nullptr;
    return path != nullptr ? File(FileHelper(*path)) : File();
}
Dir::FileIterator& Dir::FileIterator::operator++() {
    if (mHelper) mHelper->Step();
    return *this;
}
Dir::FileIterator Dir::FileIterator::operator++(int) {
    FileIterator before(*this);
    ++*this;
    return before;
}
bool Dir::FileIterator::operator==(const FileIterator& inOther) const {
    return HelpersEqual(mHelper.get(), inOther.mHelper.get());
}

Dir::DirIterator Dir::BeginSubdirs(bool inResolve) const {
    return DirIterator(new IteratorHelper(true, FullPath(), inResolve));
}
Dir::DirIterator Dir::EndSubdirs() const { return DirIterator(new IteratorHelper()); }
Dir::FileIterator Dir::BeginFiles(bool inResolve) const {
    return FileIterator(new IteratorHelper(false, FullPath(), inResolve));
}
Dir::FileIterator Dir::EndFiles() const { return FileIterator(new IteratorHelper()); }

Dir::DirIterator Dir::BeginVolumes() {
    std::vector<UTF16String> paths;
    for (const std::string& mountPoint : os::ListVolumes()) {
        UTF16String path;
        if (utility::FromNativePath(mountPoint, path)) paths.push_back(std::move(path));
    }
    return DirIterator(new IteratorHelper(true, std::move(paths)));
}
Dir::DirIterator Dir::EndVolumes() { return DirIterator(new IteratorHelper()); }

}  // namespace filesupport
}  // namespace tarncore
