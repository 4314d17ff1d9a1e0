// The file and directory exceptions and their message keys.
#include <tarncore/filesupport/FileExceptions.h>

namespace tarncore {
namespace filesupport {

namespace {
const char* const kFileError = "$$$/tarncore/filesupport/error=Error with file: '@0'.";
const char* const kFileNotFound = "$$$/tarncore/filesupport/FileNotFound=The file '@0' could not be found.";
const char* const kFileDelete = "$$$/tarncore/filesupport/Delete=Could not delete the file '@0'.";
const char* const kCreate = "$$$/tarncore/filesupport/Create=Could not create the file '@0'.";
const char* const kCreateNotFound =
    "$$$/tarncore/filesupport/Create/fnf=Could not create the file '@0'. The file could not be found.";
const char* const kCreateLocked =
    "$$$/tarncore/filesupport/Create/locked=Could not create the file '@0'. The disk is locked.";
const char* const kCreateAccessDenied =
    "$$$/tarncore/filesupport/Create/accessdenied=Could not create the file '@0'. Access was denied.";
const char* const kCreateInvalidPath =
    "$$$/tarncore/filesupport/Create/invalidpath=Could not create the file '@0'. The path is not valid.";
const char* const kRenameFile = "$$$/tarncore/filesupport/Rename=Could not rename the file '@0' to '@1'.";
const char* const kDirError = "$$$/tarncore/filesupport/Dir/error=Error with Directory: '@0'.";
const char* const kDirNotFound =
    "$$$/tarncore/filesupport/DirNotFound=The directory '@0' could not be found.";
const char* const kDirDelete = "$$$/tarncore/filesupport/DirDelete=Could not delete the directory '@0'.";
const char* const kRenameDir =
    "$$$/tarncore/filesupport/DirRename=Could not rename the directory '@0' to '@1'.";
const char* const kRenameDirExists =
    "$$$/tarncore/filesupport/DirRename/exists=Could not rename the directory '@0' to '@1'. The "
    "directory already exists.";
}  // namespace

file_exception::file_exception(const File& inFile) : mFile(inFile), mKey(kFileError) {}
file_exception::file_exception(const File& inFile, const char* inKey) : mFile(inFile), mKey(inKey) {}
file_exception::file_exception(const file_exception& inOther)
    : std::exception(inOther), mFile(inOther.mFile), mKey(inOther.mKey) {}
file_exception& file_exception::operator=(const file_exception& inOther) {
    std::exception::operator=(inOther);
    mFile = inOther.mFile;
    mKey = inOther.mKey;
    return *this;
}
file_exception::~file_exception() = default;
const char* file_exception::what() const noexcept { return mKey; }

file_not_found_exception::file_not_found_exception(const File& inFile)
    : file_exception(inFile, kFileNotFound) {}
file_delete_exception::file_delete_exception(const File& inFile) : file_exception(inFile, kFileDelete) {}

create_exception::create_exception(const File& inFile) : file_exception(inFile, kCreate) {}
create_exception::create_exception(const File& inFile, const char* inKey) : file_exception(inFile, inKey) {}
create_fnf_exception::create_fnf_exception(const File& inFile) : create_exception(inFile, kCreateNotFound) {}
create_locked_exception::create_locked_exception(const File& inFile)
    : create_exception(inFile, kCreateLocked) {}
create_accessdenied_exception::create_accessdenied_exception(const File& inFile)
    : create_exception(inFile, kCreateAccessDenied) {}
create_invalidpath_exception::create_invalidpath_exception(const File& inFile)
    : create_exception(inFile, kCreateInvalidPath) {}

rename_file::rename_file(const File& inFile, const utility::UTF16String& inNewName)
    : file_exception(inFile, kRenameFile), mNewName(inNewName) {}
rename_file::rename_file(const File& inFile, const utility::UTF16String& inNewName, const char* inKey)
    : file_exception(inFile, inKey), mNewName(inNewName) {}
rename_file::rename_file(const rename_file& inOther) : file_exception(inOther), mNewName(inOther.mNewName) {}
rename_file& rename_file::operator=(const rename_file& inOther) {
    file_exception::operator=(inOther);
    mNewName = inOther.mNewName;
    return *this;
}
rename_file::~rename_file() = default;

dir_exception::dir_exception(const Dir& inDir) : mDir(inDir), mKey(kDirError) {}
dir_exception::dir_exception(const Dir& inDir, const char* inKey) : mDir(inDir), mKey(inKey) {}
dir_exception::dir_exception(const dir_exception& inOther)
    : std::exception(inOther), mDir(inOther.mDir), mKey(inOther.mKey) {}
dir_exception& dir_exception::operator=(const dir_exception& inOther) {
    std::exception::operator=(inOther);
    mDir = inOther.mDir;
    mKey = inOther.mKey;
    return *this;
}
dir_exception::~dir_exception() = default;
const char* dir_exception::what() const noexcept { return mKey; }

dir_not_found_exception::dir_not_found_exception(const Dir& inDir) : dir_exception(inDir, kDirNotFound) {}
dir_delete_exception::dir_delete_exception(const Dir& inDir) : dir_exception(inDir, kDirDelete) {}
dir_delete_exception::dir_delete_exception(const Dir& inDir, const char* inKey)
    : dir_exception(inDir, inKey) {}

rename_dir::rename_dir(const Dir& inDir, const utility::UTF16String& inNewName)
    : dir_exception(inDir, kRenameDir), mNewName(inNewName) {}
rename_dir::rename_dir(const Dir& inDir, const utility::UTF16String& inNewName, const char* inKey)
    : dir_exception(inDir, inKey), mNewName(inNewName) {}
rename_dir::rename_dir(const rename_dir& inOther) : dir_exception(inOther), mNewName(inOther.mNewName) {}
rename_dir& rename_dir::operator=(const rename_dir& inOther) {
    dir_exception::operator=(inOther);
    mNewName = inOther.mNewName;
    return *this;
}
rename_dir::~rename_dir() = default;

rename_dir_already_exists::rename_dir_already_exists(const Dir& inDir, const utility::UTF16String& inNewName)
    : rename_dir(inDir, inNewName, kRenameDirExists) {}

}  // namespace filesupport
}  // namespace tarncore
