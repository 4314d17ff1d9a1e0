// PathRules, the string rules of absolute paths in the Windows and POSIX flavours.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstddef>

/// @file
/// The string rules of absolute paths held as UTF-16: normalization, long-path form,
/// splitting into parent, name and extension, joining, the top-level test and relative
/// paths. They never touch the disk. Two flavours exist:
///
/// - Windows: `\` is the separator and `/` is read as one; `\\?\` and `\\?\UNC\` are
///   the long-path prefixes; `C:` is a top-level directory.
/// - POSIX: `/` is the only separator (a backslash is an ordinary character), the root
///   `/` is the only top-level directory and the parent of `/a` is `/`. Normalization
///   removes nothing but one trailing `/` of a directory, never the root itself, and the
///   long-path form is the path unchanged.
///
/// Native() is the flavour of the platform the library runs on; files and directories
/// use it. Relative paths use `/` in both flavours.
namespace tarncore {
namespace utility {

/// The two flavours of path rules.
enum class PathFlavour : int { kWindows = 0, kPosix = 1 };

/// The string rules of paths of one flavour.
class TARNCORE_API PathRules {
public:
    explicit constexpr PathRules(PathFlavour inFlavour) : mFlavour(inFlavour) {}

    /// The rules of each flavour; Native() those of the platform the library runs on.
    /// @{
    static const PathRules& Windows();
    static const PathRules& Posix();
    static const PathRules& Native();
    /// @}

    PathFlavour Flavour() const { return mFlavour; }

    /// The separator written when joining: `\` or `/`.
    UTF16Char Separator() const;
    /// Windows accepts both `\` and `/`; POSIX only `/`.
    bool IsSeparator(UTF16Char inUnit) const;
    /// Index of the last separator, or npos.
    std::size_t LastSeparator(const UTF16String& inPath) const;

    /// A file path as stored: Windows turns `/` into `\` and drops a leading long-path
    /// prefix; POSIX keeps the path as it is.
    UTF16String NormalizeFilePath(const UTF16String& inPath) const;
    /// A directory path as stored: one trailing separator removed (Windows: only `\`,
    /// and before the `/` are turned; POSIX: never the root `/`), then as a file path.
    UTF16String NormalizeDirPath(const UTF16String& inPath) const;
    /// The form handed to the file system: Windows `\\?\C:\x` or `\\?\UNC\srv\share`;
    /// POSIX the path itself.
    UTF16String LongPathForm(const UTF16String& inPath) const;
    /// The path to query when testing whether a directory exists: Windows reads the
    /// root of a bare drive (`C:` becomes `C:\`); POSIX the path itself.
    UTF16String DirectoryQueryPath(const UTF16String& inDirPath) const;

    /// Removes one trailing separator (`\` for Windows, `/` for POSIX), never the whole
    /// POSIX root.
    void RemoveTrailingSeparator(UTF16String& ioPath) const;

    /// Everything before the last separator; empty when there is none. POSIX: `/` for
    /// `/a`, empty for `/` itself.
    UTF16String ParentPart(const UTF16String& inPath) const;
    /// The parent as a directory path: the parent part with one trailing separator
    /// removed, normalized as a directory.
    UTF16String ParentDirPath(const UTF16String& inPath) const;
    /// The last component with its extension.
    UTF16String Name(const UTF16String& inPath) const;
    /// The last component up to the dot of its extension.
    UTF16String Title(const UTF16String& inPath) const;
    /// From the last "." to the end when that dot lies in the last component; empty
    /// otherwise. inLowerCase maps every unit to lower case.
    UTF16String Extension(const UTF16String& inPath, bool inLowerCase = false) const;
    /// True when the path has no parent: Windows `C:` (no separator at all), POSIX `/`.
    /// A path without any separator (empty or relative) is top level in both flavours.
    bool IsTopLevel(const UTF16String& inPath) const;

    /// A subdirectory path: Windows "dir" + `\` (unless dir ends in `\`) + name, one
    /// trailing `\` removed, normalized. POSIX the same with `/`; on an empty directory
    /// the name alone.
    UTF16String JoinDir(const UTF16String& inDir, const UTF16String& inName) const;
    /// A file path: Windows "dir" + `\` + name, normalized. POSIX "dir" + `/` + name,
    /// without doubling the root's `/`; on an empty directory the name alone.
    UTF16String JoinFile(const UTF16String& inDir, const UTF16String& inName) const;
    /// dir + separator (unless dir is empty or already ends with one) + name.
    UTF16String AppendName(const UTF16String& inDir, const UTF16String& inName) const;

    /// False for an empty path, an absolute one (`/` or, for Windows, `\` first) and,
    /// for Windows, a drive ("x:" first); true otherwise.
    bool IsNormalizedRelativePath(const UTF16String& inPath) const;
    /// The file that a relative path (`/`-separated, "." and ".." allowed) names from
    /// the folder of inBaseFile; a path that is not relative is returned normalized. A
    /// relative path that is empty or ends in `/` gives an empty string. ".." at a
    /// top-level directory stays there.
    UTF16String ResolveRelativePath(const UTF16String& inPath, const UTF16String& inBaseFile) const;
    /// The `/`-separated relative path from the folder of inBaseFile to inTarget
    /// ("../b/t.txt"), or empty when the two have no common ancestor.
    UTF16String MakeRelativePath(const UTF16String& inTarget, const UTF16String& inBaseFile) const;

private:
    PathFlavour mFlavour;
};

}  // namespace utility
}  // namespace tarncore
