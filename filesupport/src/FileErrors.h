// What each file operation reports for each kind of failure: its exception or result code.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/utility/StringTypes.h>

#include "platform/os/FileErrors.h"

#include <cstdint>

// The system's error numbers are classified once (platform::os::ClassifyFileError);
// these are the tables from that classification to what file support reports, one per
// operation where the operations differ. Each throwing function returns for kNone.
namespace tarncore {
namespace filesupport {

// The io_error of the file streams, carrying the kind of failure, so that the library's
// own callers (shortcut writing) can tell a full disk from refused access. Users see it
// as io_error.
class file_io_error : public io_error {
public:
    explicit file_io_error(platform::os::FileFailure inFailure) : mFailure(inFailure) {}
    platform::os::FileFailure Failure() const { return mFailure; }

private:
    platform::os::FileFailure mFailure;
};

// File::Create: one of the create_exception subclasses.
void ThrowCreateError(const File& inFile, platform::os::FileFailure inFailure);
// File::Created and Modified: file_not_found_exception or file_exception.
void ThrowFileQueryError(const File& inFile, platform::os::FileFailure inFailure);
// Dir::Created and Modified: dir_not_found_exception or dir_exception.
void ThrowDirQueryError(const Dir& inDir, platform::os::FileFailure inFailure);
// Dir::Create: dir_exception; something of that name existing already is no failure.
void ThrowDirCreateError(const Dir& inDir, platform::os::FileFailure inFailure);
// Dir::Rename: rename_dir_already_exists or rename_dir.
void ThrowDirRenameError(const Dir& inDir, const utility::UTF16String& inNewName,
                         platform::os::FileFailure inFailure);
// Opening a file for a byte stream, or starting its replacement: file_not_found_exception
// for a missing file or folder, file_io_error for the rest. Later failures of an open
// stream are all file_io_error.
void ThrowStreamError(const File& inFile, platform::os::FileFailure inFailure);

// The results of reading and writing a shortcut file (ShortcutFiles' result codes).
std::int32_t ShortcutReadResult(platform::os::FileFailure inFailure);
std::int32_t ShortcutWriteResult(platform::os::FileFailure inFailure);

}  // namespace filesupport
}  // namespace tarncore
