// The native form of the library's UTF-16 paths: the bytes the operating system takes.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <string>

/// @file
/// The operating-system layer speaks native byte strings; files, directories and the
/// simple file utilities convert their paths here, on the way down and back up. On
/// Linux the native form of a path is its UTF-8 bytes.
namespace tarncore {
namespace utility {

/// The form of a path handed to the operating system: the native path rules' long-path
/// form (PathRules::Native()) as UTF-8 bytes. False when the path holds a NUL unit: no
/// native path can, and cutting it there would name another file.
TARNCORE_API bool ToNativePath(const UTF16String& inPath, std::string& outNative);

/// A native name or path as UTF-16. False, with outPath unchanged, when the bytes are not
/// well-formed UTF-8: such a name could not be named again through a UTF-16 path.
TARNCORE_API bool FromNativePath(const std::string& inNative, UTF16String& outPath);

}  // namespace utility
}  // namespace tarncore
