// The tables from kinds of file failure to file support's exceptions and result codes.
#include "filesupport/src/FileErrors.h"

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/Shortcuts.h>

namespace tarncore {
namespace filesupport {

using platform::os::FileFailure;

// Each kind goes where the Windows error of the same meaning goes: a missing file or
// device, a missing folder on the way, a read-only file system, refused access
// (including an existing directory or a network failure), anything else.
void ThrowCreateError(const File& inFile, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return;
    case FileFailure::kNoDevice: throw create_fnf_exception(inFile);
    case FileFailure::kNotFound:
    case FileFailure::kNotADirectory:
    case FileFailure::kLinkLoop: throw create_invalidpath_exception(inFile);
    case FileFailure::kReadOnly: throw create_locked_exception(inFile);
    case FileFailure::kAccessDenied:
    case FileFailure::kIsADirectory:
    case FileFailure::kExists:
    case FileFailure::kDeviceFault:
    case FileFailure::kBusy:
    case FileFailure::kNetwork: throw create_accessdenied_exception(inFile);
    default: throw create_exception(inFile);
    }
}

// A path through a file is an error with the file, not a missing one.
void ThrowFileQueryError(const File& inFile, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return;
    case FileFailure::kNotFound: throw file_not_found_exception(inFile);
    default: throw file_exception(inFile);
    }
}

void ThrowDirQueryError(const Dir& inDir, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return;
    case FileFailure::kNotFound: throw dir_not_found_exception(inDir);
    default: throw dir_exception(inDir);
    }
}

void ThrowDirCreateError(const Dir& inDir, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone:
    case FileFailure::kExists: return;
    default: throw dir_exception(inDir);
    }
}

void ThrowDirRenameError(const Dir& inDir, const utility::UTF16String& inNewName, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return;
    case FileFailure::kExists:
    case FileFailure::kNotEmpty:  // a non-empty directory of that name
        throw rename_dir_already_exists(inDir, inNewName);
    default: throw rename_dir(inDir, inNewName);
    }
}

// A missing file, or a missing folder on the way (or a file where a folder should be),
// is "not found"; everything else is a failure of the system.
void ThrowStreamError(const File& inFile, FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return;
    case FileFailure::kNotFound:
    case FileFailure::kNotADirectory: throw file_not_found_exception(inFile);
    default: throw file_io_error(inFailure);
    }
}

std::int32_t ShortcutReadResult(FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return ShortcutFiles::kResultOK;
    case FileFailure::kNotFound:
    case FileFailure::kNotADirectory: return ShortcutFiles::kResultFileNotFound;
    case FileFailure::kAccessDenied: return ShortcutFiles::kResultAccessDenied;
    default: return ShortcutFiles::kResultFail;
    }
}

std::int32_t ShortcutWriteResult(FileFailure inFailure) {
    switch (inFailure) {
    case FileFailure::kNone: return ShortcutFiles::kResultOK;
    case FileFailure::kNotFound:
    case FileFailure::kNotADirectory: return ShortcutFiles::kResultPathNotFound;
    case FileFailure::kAccessDenied:
    case FileFailure::kIsADirectory: return ShortcutFiles::kResultAccessDenied;
    case FileFailure::kReadOnly: return ShortcutFiles::kResultWriteProtected;
    case FileFailure::kNoSpace: return ShortcutFiles::kResultDiskFull;
    default: return ShortcutFiles::kResultFail;
    }
}

}  // namespace filesupport
}  // namespace tarncore
