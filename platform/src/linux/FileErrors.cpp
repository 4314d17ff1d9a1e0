// The classification of errno values from file operations.
#include "platform/os/FileErrors.h"

#include <cerrno>

namespace tarncore {
namespace platform {
namespace os {

FileFailure ClassifyFileError(int inError) {
    switch (inError) {
    case 0: return FileFailure::kNone;
    case ENOENT: return FileFailure::kNotFound;
    case ENOTDIR: return FileFailure::kNotADirectory;
    case ELOOP: return FileFailure::kLinkLoop;
    case ENXIO:  // no such device or address
    case ENODEV:
    case EBADF: return FileFailure::kNoDevice;
    case EROFS: return FileFailure::kReadOnly;
    case EACCES:
    case EPERM: return FileFailure::kAccessDenied;
    case EISDIR: return FileFailure::kIsADirectory;
    case EEXIST: return FileFailure::kExists;
    case ENOTEMPTY: return FileFailure::kNotEmpty;
    case EBUSY:
    case ETXTBSY: return FileFailure::kBusy;
    case EIO: return FileFailure::kDeviceFault;
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ESTALE:  // the remote file is gone
    case EREMOTEIO: return FileFailure::kNetwork;
    case ENOSPC:
    case EDQUOT: return FileFailure::kNoSpace;
    default: return FileFailure::kOther;
    }
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
