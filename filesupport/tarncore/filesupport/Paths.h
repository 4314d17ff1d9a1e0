// Comparing file names, and relating two files by a relative path.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

/// @file
/// Comparing file names and relating two files by a relative path.
namespace tarncore {
namespace filesupport {

/// Compares two names as the user's language orders them, ignoring case, character
/// width and kana type (accents count): -1, 0 or 1, or -2 when the comparison cannot
/// be made. A C or POSIX locale compares by the root collation order.
TARNCORE_API int CompareFileNames(const utility::UTF16String& inFirst, const utility::UTF16String& inSecond);

/// True for a path that is neither empty nor absolute.
TARNCORE_API bool IsNormalizedRelativePath(const utility::UTF16String& inPath);

/// The file that inPath ("/"-separated, "." and ".." allowed) names from the folder of
/// inBase; an absolute inPath is taken as it is. A relative path that is empty or ends
/// in "/" gives an empty File.
TARNCORE_API File MakeFileFromPath(const utility::UTF16String& inPath, const File& inBase);

/// The "/"-separated relative path from the folder of inBase to inTarget ("../b/t.txt";
/// the bare name when both share a folder), or empty when they have no common ancestor.
TARNCORE_API utility::UTF16String MakeNormalizedRelativePath(const File& inTarget, const File& inBase);

}  // namespace filesupport
}  // namespace tarncore
