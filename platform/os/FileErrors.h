// What a failed file operation means, whatever the system's own error number was.
#pragma once

namespace tarncore {
namespace platform {
namespace os {

// The calls of Files.h return the system's error numbers; callers read them through
// this classification and turn each kind into their own exception or result code.
enum class FileFailure : int {
    kNone,           // no failure
    kNotFound,       // no such file or directory
    kNotADirectory,  // a component on the way is a file
    kLinkLoop,       // the path cannot be resolved (too many symbolic links)
    kNoDevice,       // the device behind the file is gone, or the handle is not valid
    kReadOnly,       // the file system is mounted read-only
    kAccessDenied,   // no permission
    kIsADirectory,   // a directory where a file is wanted
    kExists,         // something already exists at the path
    kNotEmpty,       // the directory is not empty
    kBusy,           // the file or device is in use
    kDeviceFault,    // the device failed to read or write
    kNetwork,        // the network or the remote file is gone
    kNoSpace,        // the disk or the user's quota is full
    kOther           // anything else
};

// The kind of an error number returned by the calls of Files.h (0 is kNone).
FileFailure ClassifyFileError(int inError);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
