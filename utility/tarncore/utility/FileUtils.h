// FileUtils, the simplest file chores for code below the file-support classes.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <vector>

/// @file
/// The simplest file chores, for code below the file-support classes. Paths are
/// absolute native paths (PathRules::Native()). Nothing here throws or reports: a
/// failure gives false, an unchanged output or nothing written.
namespace tarncore {
namespace utility {
namespace FileUtils {

/// True when the path names an existing file or directory.
TARNCORE_API bool FileExists(const UTF16String& inPath);

/// Creates an empty file; an existing one is left untouched.
TARNCORE_API void CreateNewFile(const UTF16String& inPath);

/// True when the file was deleted.
TARNCORE_API bool RemoveFile(const UTF16String& inPath);

/// The text before the last separator, with one trailing separator removed (the whole
/// path when it has no separator). False, and outParent unchanged, when that is empty.
TARNCORE_API bool GetParentPath(const UTF16String& inPath, UTF16String& outParent);

/// inDirectory + a separator (unless it ends with one) + inName.
TARNCORE_API void BuildPathSpec(const UTF16String& inDirectory, const UTF16String& inName,
                                UTF16String& outPath);

/// Appends the full path of every plain file of the directory (not hidden, not a
/// system entry, not a directory) in the order the file system lists them.
TARNCORE_API void ContainedFiles(const UTF16String& inDirectory, std::vector<UTF16String>& ioFiles);

/// The first of directory/base1ext, directory/base2ext, ... that does not exist.
/// inExtension carries its own "." when one is wanted.
TARNCORE_API UTF16String UniqueFileName(const UTF16String& inDirectory, const UTF16String& inBaseName,
                                        const UTF16String& inExtension);

/// Replaces the file with the text, every line feed written as carriage return and
/// line feed. The old file is replaced in one step: a failure or a crash leaves the old
/// contents or the new, never an empty or partial file.
TARNCORE_API void SimpleWriteStringToFile(const UTF16String& inPath, const UTF8String& inText);

/// Appends the text, with the same line-feed translation, creating the file if needed.
TARNCORE_API void SimpleAppendStringToFile(const UTF16String& inPath, const UTF8String& inText);

}  // namespace FileUtils
}  // namespace utility
}  // namespace tarncore
