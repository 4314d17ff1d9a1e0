// File and Dir: paths, existence, creating, deleting, renaming, times and sizes.
#include <tarncore/filesupport/File.h>

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/Shortcuts.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "filesupport/src/FileErrors.h"
#include "platform/os/FileErrors.h"
#include "platform/os/Files.h"

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using os::FileFailure;
using utility::UTF16String;

namespace {

const utility::PathRules& Rules() { return utility::PathRules::Native(); }

// Runs inCall on the native form of the path and classifies what it returns. A path
// that has no native form (it holds a NUL) names nothing the system could be asked
// about, and fails as kOther.
template <class Call>
FileFailure OnNativePath(const UTF16String& inPath, Call inCall) {
    std::string native;
    if (!utility::ToNativePath(inPath, native)) return FileFailure::kOther;
    return os::ClassifyFileError(inCall(native));
}

FileFailure QueryInfo(const UTF16String& inPath, os::FileInfo& outInfo) {
    return OnNativePath(inPath,
                        [&](const std::string& inNative) { return os::QueryFile(inNative, outInfo); });
}

// A move to another name in the same folder; nothing existing is replaced.
FileFailure RenameInPlace(const UTF16String& inFrom, const UTF16String& inTo) {
    std::string to;
    if (!utility::ToNativePath(inTo, to)) return FileFailure::kOther;
    return OnNativePath(inFrom,
                        [&](const std::string& inNative) { return os::RenameNoReplace(inNative, to); });
}

// The narrow form of a path; empty for one that has none, rather than the part before
// its NUL, which would name another file.
std::string MultiByteOf(const UTF16String& inPath) {
    std::string native;
    return utility::ToNativePath(inPath, native) ? native : std::string();
}

}  // namespace

// Helpers

DirHelper::DirHelper(const UTF16String& inPath) : mPath(Rules().NormalizeDirPath(inPath)) {}
DirHelper::DirHelper(const UTF16String& inPath, Verbatim) : mPath(inPath) {}
UTF16String DirHelper::FullNativePath() const { return Rules().LongPathForm(mPath); }

FileHelper::FileHelper(const UTF16String& inPath) : mPath(Rules().NormalizeFilePath(inPath)) {}
FileHelper::FileHelper(const Dir& inDir, const UTF16String& inName)
    : mPath(Rules().JoinFile(inDir.FullPath(), inName)) {}
FileHelper::FileHelper(const std::string& inNativePath) {
    UTF16String path;
    if (utility::FromNativePath(inNativePath, path)) mPath = Rules().NormalizeFilePath(path);
}
UTF16String FileHelper::FullNativePath() const { return Rules().LongPathForm(mPath); }

// File

File::File() : mHelper(new FileHelper(UTF16String())) {}
File::File(const UTF16String& inPath) : mHelper(new FileHelper(inPath)) {}
File::File(const FileHelper& inHelper) : mHelper(new FileHelper(inHelper)) {}
File::File(const File& inOther) = default;
File::File(const Dir& inDir, const UTF16String& inName) : mHelper(new FileHelper(inDir, inName)) {}
File::File(const Dir& inDir, const UTF16String& inName, bool inResolve)
    : mHelper(new FileHelper(inDir, inName)) {
    if (!inResolve) return;
    File target;
    Dir targetDir;
    bool isDirectory = false;
    if (ResolveIfAlias(*this, target, targetDir, isDirectory) && !isDirectory) *mHelper = *target.mHelper;
}
File& File::operator=(const File& inOther) = default;
File::~File() = default;

const UTF16String& File::FullPath() const { return mHelper->Path(); }
std::string File::FullPathMultiByte() const { return MultiByteOf(FullPath()); }
UTF16String File::GetName() const { return Rules().Name(FullPath()); }
UTF16String File::GetTitle() const { return Rules().Title(FullPath()); }
UTF16String File::GetExtension(bool inLowerCase) const { return Rules().Extension(FullPath(), inLowerCase); }
Dir File::Parent() const { return Dir(DirHelper(Rules().ParentDirPath(FullPath()))); }

bool File::Exists() const {
    os::FileInfo info;
    return QueryInfo(FullPath(), info) == FileFailure::kNone;
}

void File::Create() { ThrowCreateError(*this, OnNativePath(FullPath(), os::CreateOrTruncateFile)); }

void File::Delete() {
    if (OnNativePath(FullPath(), os::DeleteFile) != FileFailure::kNone) throw file_delete_exception(*this);
}

void File::Rename(const UTF16String& inNewName) {
    const UTF16String target = Rules().JoinFile(Parent().FullPath(), inNewName);
    if (RenameInPlace(FullPath(), target) != FileFailure::kNone) throw rename_file(*this, inNewName);
    *mHelper = FileHelper(target);
}

namespace {

os::FileInfo TimesOf(const File& inFile) {
    os::FileInfo info;
    ThrowFileQueryError(inFile, QueryInfo(inFile.FullPath(), info));
    return info;
}

}  // namespace

std::uint64_t File::Created() const { return TimesOf(*this).created; }
std::uint64_t File::Modified() const { return TimesOf(*this).modified; }

std::uint64_t File::Size(FileSizeSelector inSelector) const {
    switch (inSelector) {
    case kFileSizeDataLogical:
    case kFileSizeTotalLogical:
    case kFileSizeDataPhysical:
    case kFileSizeTotalPhysical: {
        os::FileInfo info;
        return QueryInfo(FullPath(), info) == FileFailure::kNone ? info.size : 0;
    }
    default: return 0;
    }
}

bool File::operator==(const File& inOther) const { return FullPath() == inOther.FullPath(); }

// Dir

Dir::Dir() : mHelper(new DirHelper(UTF16String())) {}
Dir::Dir(const UTF16String& inPath) : mHelper(new DirHelper(inPath)) {}
Dir::Dir(const DirHelper& inHelper) : mHelper(new DirHelper(inHelper)) {}
Dir::Dir(const Dir& inOther) = default;
Dir::Dir(const Dir& inParent, const UTF16String& inName)
    : mHelper(new DirHelper(Rules().JoinDir(inParent.FullPath(), inName), DirHelper::Verbatim())) {}
Dir::Dir(const Dir& inParent, const UTF16String& inName, bool inResolve) : Dir(inParent, inName) {
    if (!inResolve) return;
    File target;
    Dir targetDir;
    bool isDirectory = false;
    if (ResolveIfAlias(File(inParent, inName), target, targetDir, isDirectory) && isDirectory)
        *this = targetDir;
}
Dir& Dir::operator=(const Dir& inOther) = default;
Dir::~Dir() = default;

const UTF16String& Dir::FullPath() const { return mHelper->Path(); }
std::string Dir::FullPathMultiByte() const { return MultiByteOf(FullPath()); }
UTF16String Dir::GetName() const { return Rules().Name(FullPath()); }
Dir Dir::Parent() const { return Dir(DirHelper(Rules().ParentDirPath(FullPath()))); }
bool Dir::IsTopLevelDir() const { return Rules().IsTopLevel(FullPath()); }

bool Dir::Exists() const {
    os::FileInfo info;
    return QueryInfo(Rules().DirectoryQueryPath(FullPath()), info) == FileFailure::kNone &&
           info.kind == os::EntryKind::kDirectory;
}

void Dir::Create() { ThrowDirCreateError(*this, OnNativePath(FullPath(), os::CreateDirectory)); }

void Dir::Delete() {
    std::string native;
    if (!utility::ToNativePath(FullPath(), native)) throw dir_exception(*this);
    // The root cannot be removed; refuse before emptying it rather than after.
    if (os::IsFileSystemRoot(native)) throw dir_exception(*this);
    // A link to a directory goes as a link: the folder it points to is not ours.
    if (os::IsSymbolicLink(native)) {
        if (os::DeleteFile(native) != 0) throw dir_exception(*this);
        return;
    }
    for (FileIterator file = BeginFiles(false), end = EndFiles(); file != end; ++file) (*file).Delete();
    for (DirIterator dir = BeginSubdirs(false), end = EndSubdirs(); dir != end; ++dir) (*dir).Delete();
    if (os::RemoveDirectory(native) != 0) throw dir_exception(*this);
}

void Dir::Rename(const UTF16String& inNewName) {
    const UTF16String target = Rules().JoinFile(Parent().FullPath(), inNewName);
    ThrowDirRenameError(*this, inNewName, RenameInPlace(FullPath(), target));
    *mHelper = DirHelper(target, DirHelper::Verbatim());
}

namespace {

os::FileInfo TimesOf(const Dir& inDir) {
    os::FileInfo info;
    ThrowDirQueryError(inDir, QueryInfo(inDir.FullPath(), info));
    return info;
}

}  // namespace

std::uint64_t Dir::Created() const { return TimesOf(*this).created; }
std::uint64_t Dir::Modified() const { return TimesOf(*this).modified; }

bool Dir::operator==(const Dir& inOther) const { return FullPath() == inOther.FullPath(); }

}  // namespace filesupport
}  // namespace tarncore
