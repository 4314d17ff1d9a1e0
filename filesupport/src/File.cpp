#include <tarncore/filesupport/File.h>

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/Shortcuts.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "filesupport/src/FileErrors.h"
#include "platform/os/Files.h"

#include <cerrno>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using utility::UTF16String;

namespace {

const utility::PathRules& Rules() { return utility::PathRules::Native(); }

// The native form of a path's long-path form; a path that has none (it holds a NUL)
// fails every operation with EINVAL.
int NativeOf(const UTF16String& inPath, std::string& outNative) {
    return utility::ToNativePath(inPath, outNative) ? 0 : EINVAL;
}

int QueryInfo(const UTF16String& inPath, os::FileInfo& outInfo) {
    std::string native;
    if (const int error = NativeOf(inPath, native)) return error;
    return os::QueryFile(native, outInfo);
}

// The narrow form of a path; empty for one that has none, rather than the part before
// its NUL, which would name another file.
std::string MultiByteOf(const UTF16String& inPath) {
    std::string native;
    return utility::ToNativePath(inPath, native) ? native : std::string();
}

}  // namespace

// Which exception a failed create throws, by errno. Each errno goes where the Windows
// error of the same meaning goes: a missing file or device, a missing folder on the
// way, a read-only file system, refused access (including an existing directory or a
// network failure), anything else.
CreateFailure ClassifyCreateError(int inError) {
    switch (inError) {
    case 0:
        return CreateFailure::kNone;
    case ENXIO:   // no such device or address: the file's device is gone
    case ENODEV:
    case EBADF:   // invalid handle
        return CreateFailure::kNotFound;
    case ENOENT:  // a folder on the way is missing
    case ENOTDIR: // a component on the way is a file
    case ELOOP:   // the path cannot be resolved
        return CreateFailure::kInvalidPath;
    case EROFS:
        return CreateFailure::kLocked;
    case EACCES:
    case EPERM:
    case EISDIR:  // a directory of that name exists
    case EEXIST:
    case EIO:     // write fault
    case EBUSY:
    case ETXTBSY:
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ESTALE:  // the network name is gone
    case EREMOTEIO:
        return CreateFailure::kAccessDenied;
    default:
        return CreateFailure::kOther;
    }
}

void ThrowCreateError(const File& inFile, int inError) {
    switch (ClassifyCreateError(inError)) {
    case CreateFailure::kNone:
        return;
    case CreateFailure::kNotFound:
        throw create_fnf_exception(inFile);
    case CreateFailure::kInvalidPath:
        throw create_invalidpath_exception(inFile);
    case CreateFailure::kLocked:
        throw create_locked_exception(inFile);
    case CreateFailure::kAccessDenied:
        throw create_accessdenied_exception(inFile);
    case CreateFailure::kOther:
        break;
    }
    throw create_exception(inFile);
}

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
File::File(const File& inOther) : mHelper(new FileHelper(*inOther.mHelper)) {}
File::File(const Dir& inDir, const UTF16String& inName) : mHelper(new FileHelper(inDir, inName)) {}
File::File(const Dir& inDir, const UTF16String& inName, bool inResolve)
    : mHelper(new FileHelper(inDir, inName)) {
    if (!inResolve) return;
    File target;
    Dir targetDir;
    bool isDirectory = false;
    if (ResolveIfAlias(*this, target, targetDir, isDirectory) && !isDirectory) *mHelper = *target.mHelper;
}
File& File::operator=(const File& inOther) {
    if (this != &inOther) *mHelper = *inOther.mHelper;
    return *this;
}
File::~File() { delete mHelper; }

const UTF16String& File::FullPath() const { return mHelper->Path(); }
std::string File::FullPathMultiByte() const { return MultiByteOf(FullPath()); }
UTF16String File::GetName() const { return Rules().Name(FullPath()); }
UTF16String File::GetTitle() const { return Rules().Title(FullPath()); }
UTF16String File::GetExtension(bool inLowerCase) const {
    return Rules().Extension(FullPath(), inLowerCase);
}
Dir File::Parent() const { return Dir(DirHelper(Rules().ParentDirPath(FullPath()))); }

bool File::Exists() const {
    os::FileInfo info;
    return QueryInfo(FullPath(), info) == 0;
}

void File::Create() {
    std::string native;
    int error = NativeOf(FullPath(), native);
    if (error == 0) error = os::CreateOrTruncateFile(native);
    ThrowCreateError(*this, error);
}

void File::Delete() {
    std::string native;
    int error = NativeOf(FullPath(), native);
    if (error == 0) error = os::DeleteFile(native);
    if (error != 0) throw file_delete_exception(*this);
}

void File::Rename(const UTF16String& inNewName) {
    const UTF16String target = Rules().JoinFile(Parent().FullPath(), inNewName);
    std::string from, to;
    int error = NativeOf(FullPath(), from);
    if (error == 0) error = NativeOf(target, to);
    if (error == 0) error = os::RenameNoReplace(from, to);
    if (error != 0) throw rename_file(*this, inNewName);
    *mHelper = FileHelper(target);
}

std::uint64_t File::Created() const {
    os::FileInfo info;
    const int error = QueryInfo(FullPath(), info);
    if (error == ENOENT) throw file_not_found_exception(*this);
    if (error != 0) throw file_exception(*this);
    return info.created;
}

std::uint64_t File::Modified() const {
    os::FileInfo info;
    const int error = QueryInfo(FullPath(), info);
    if (error == ENOENT) throw file_not_found_exception(*this);
    if (error != 0) throw file_exception(*this);
    return info.modified;
}

std::uint64_t File::Size(FileSizeSelector inSelector) const {
    switch (inSelector) {
    case kFileSizeDataLogical:
    case kFileSizeTotalLogical:
    case kFileSizeDataPhysical:
    case kFileSizeTotalPhysical: {
        os::FileInfo info;
        return QueryInfo(FullPath(), info) == 0 ? info.size : 0;
    }
    default:
        return 0;
    }
}

bool File::operator==(const File& inOther) const { return FullPath() == inOther.FullPath(); }

// Dir

Dir::Dir() : mHelper(new DirHelper(UTF16String())) {}
Dir::Dir(const UTF16String& inPath) : mHelper(new DirHelper(inPath)) {}
Dir::Dir(const DirHelper& inHelper) : mHelper(new DirHelper(inHelper)) {}
Dir::Dir(const Dir& inOther) : mHelper(new DirHelper(*inOther.mHelper)) {}
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
Dir& Dir::operator=(const Dir& inOther) {
    if (this != &inOther) *mHelper = *inOther.mHelper;
    return *this;
}
Dir::~Dir() { delete mHelper; }

const UTF16String& Dir::FullPath() const { return mHelper->Path(); }
std::string Dir::FullPathMultiByte() const { return MultiByteOf(FullPath()); }
UTF16String Dir::GetName() const { return Rules().Name(FullPath()); }
Dir Dir::Parent() const { return Dir(DirHelper(Rules().ParentDirPath(FullPath()))); }
bool Dir::IsTopLevelDir() const { return Rules().IsTopLevel(FullPath()); }

bool Dir::Exists() const {
    os::FileInfo info;
    return QueryInfo(Rules().DirectoryQueryPath(FullPath()), info) == 0 &&
           info.kind == os::EntryKind::kDirectory;
}

void Dir::Create() {
    std::string native;
    int error = NativeOf(FullPath(), native);
    if (error == 0) error = os::CreateDirectory(native);
    if (error != 0 && error != EEXIST) throw dir_exception(*this);
}

void Dir::Delete() {
    std::string native;
    if (NativeOf(FullPath(), native) != 0) throw dir_exception(*this);
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
    std::string from, to;
    int error = NativeOf(FullPath(), from);
    if (error == 0) error = NativeOf(target, to);
    if (error == 0) error = os::RenameNoReplace(from, to);
    if (error == EEXIST || error == ENOTEMPTY) throw rename_dir_already_exists(*this, inNewName);
    if (error != 0) throw rename_dir(*this, inNewName);
    *mHelper = DirHelper(target, DirHelper::Verbatim());
}

std::uint64_t Dir::Created() const {
    os::FileInfo info;
    const int error = QueryInfo(FullPath(), info);
    if (error == ENOENT) throw dir_not_found_exception(*this);
    if (error != 0) throw dir_exception(*this);
    return info.created;
}

std::uint64_t Dir::Modified() const {
    os::FileInfo info;
    const int error = QueryInfo(FullPath(), info);
    if (error == ENOENT) throw dir_not_found_exception(*this);
    if (error != 0) throw dir_exception(*this);
    return info.modified;
}

bool Dir::operator==(const Dir& inOther) const { return FullPath() == inOther.FullPath(); }

}  // namespace filesupport
}  // namespace tarncore
