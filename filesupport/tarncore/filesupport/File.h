// File and Dir, files and directories as values, and the iterators over a directory's listing.
#pragma once

#include <tarncore/filesupport/DeepCopyPtr.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <string>

/// @file
/// Files and directories as values. Each holds one absolute path, normalized by the
/// native path rules (utility::PathRules::Native()); on Linux "/" separates and a
/// directory path carries no trailing "/" except the root.
namespace tarncore {
namespace filesupport {

class Dir;
class IteratorHelper;

/// What File::Size measures. Every data and total size is the file's length in bytes;
/// resource forks do not exist here and measure 0.
enum FileSizeSelector : int {
    kFileSizeDataLogical = 0,
    kFileSizeResourceLogical = 1,
    kFileSizeTotalLogical = 2,
    kFileSizeDataPhysical = 3,
    kFileSizeResourcePhysical = 4,
    kFileSizeTotalPhysical = 5
};

class TARNCORE_API DirHelper {
public:
    /// Removes one trailing separator (never the root), then normalizes.
    explicit DirHelper(const utility::UTF16String& inPath);

    const utility::UTF16String& Path() const { return mPath; }
    /// The form handed to the file system.
    utility::UTF16String FullNativePath() const;

private:
    friend class Dir;
    struct Verbatim {};
    // A path that is normalized already.
    DirHelper(const utility::UTF16String& inPath, Verbatim);

    utility::UTF16String mPath;
};

class TARNCORE_API FileHelper {
public:
    explicit FileHelper(const utility::UTF16String& inPath);
    /// The directory's path, a separator and the name, normalized.
    FileHelper(const Dir& inDir, const utility::UTF16String& inName);
    /// From the native narrow form (UTF-8). Bytes that are not well-formed UTF-8 leave
    /// the path empty rather than naming some other file.
    explicit FileHelper(const std::string& inNativePath);

    const utility::UTF16String& Path() const { return mPath; }
    utility::UTF16String FullNativePath() const;

private:
    utility::UTF16String mPath;
};

/// File, Dir and the iterators own their helpers through detail::DeepCopyPtr. File and
/// Dir have no move members: each always holds a path, so a move copies.
class TARNCORE_API File {
public:
    File();
    explicit File(const utility::UTF16String& inPath);
    /// Takes the helper's path as it stands.
    explicit File(const FileHelper& inHelper);
    File(const File& inOther);
    File(const Dir& inDir, const utility::UTF16String& inName);
    /// With inResolve, a shortcut file (".lnk") to a file becomes that file.
    File(const Dir& inDir, const utility::UTF16String& inName, bool inResolve);
    File& operator=(const File& inOther);
    ~File();

    const utility::UTF16String& FullPath() const;
    /// The path's UTF-8 bytes.
    std::string FullPathMultiByte() const;
    utility::UTF16String GetName() const;
    utility::UTF16String GetTitle() const;
    /// With its ".", or empty; inLowerCase maps it to lower case.
    utility::UTF16String GetExtension(bool inLowerCase = false) const;
    Dir Parent() const;
    /// True for an existing file or directory. Never throws.
    bool Exists() const;
    /// Creates the file, or truncates an existing one to length 0. Throws a
    /// create_exception (or one of its subclasses).
    void Create();
    /// Throws file_delete_exception.
    void Delete();
    /// Moves the file to inNewName in the same folder; an existing file of that name is
    /// never replaced. Throws rename_file.
    void Rename(const utility::UTF16String& inNewName);
    /// FILETIME values. Throw file_not_found_exception or file_exception.
    /// @{
    std::uint64_t Created() const;
    std::uint64_t Modified() const;
    /// @}
    /// 0 when the size cannot be read; never throws.
    std::uint64_t Size(FileSizeSelector inSelector) const;

    /// Exact, case-sensitive comparison of the paths.
    /// @{
    bool operator==(const File& inOther) const;
    bool operator!=(const File& inOther) const { return !(*this == inOther); }
    /// @}

    const FileHelper& Helper() const { return *mHelper; }
    FileHelper& Helper() { return *mHelper; }

private:
    detail::DeepCopyPtr<FileHelper> mHelper;
};

class TARNCORE_API Dir {
public:
    /// The listing of one directory, read whole when the iterator is made (files or
    /// subdirectories, hidden and system entries left out), in the file system's order.
    class TARNCORE_API DirIterator {
    public:
        DirIterator();
        DirIterator(const DirIterator& inOther);
        DirIterator(DirIterator&& inOther) noexcept;
        DirIterator& operator=(const DirIterator& inOther);
        DirIterator& operator=(DirIterator&& inOther) noexcept;
        ~DirIterator();

        /// An empty Dir when the iterator is at its end.
        Dir operator*() const;
        DirIterator& operator++();
        DirIterator operator++(int);
        bool operator==(const DirIterator& inOther) const;
        bool operator!=(const DirIterator& inOther) const { return !(*this == inOther); }

        /// Takes ownership of the helper.
        explicit DirIterator(IteratorHelper* inHelper);

    private:
        detail::DeepCopyPtr<IteratorHelper> mHelper;  // none in a default iterator
    };

    class TARNCORE_API FileIterator {
    public:
        FileIterator();
        FileIterator(const FileIterator& inOther);
        FileIterator(FileIterator&& inOther) noexcept;
        FileIterator& operator=(const FileIterator& inOther);
        FileIterator& operator=(FileIterator&& inOther) noexcept;
        ~FileIterator();

        /// An empty File when the iterator is at its end.
        File operator*() const;
        FileIterator& operator++();
        FileIterator operator++(int);
        bool operator==(const FileIterator& inOther) const;
        bool operator!=(const FileIterator& inOther) const { return !(*this == inOther); }

        explicit FileIterator(IteratorHelper* inHelper);

    private:
        detail::DeepCopyPtr<IteratorHelper> mHelper;  // none in a default iterator
    };

    Dir();
    explicit Dir(const utility::UTF16String& inPath);
    /// Takes the helper's path as it stands.
    explicit Dir(const DirHelper& inHelper);
    Dir(const Dir& inOther);
    /// The subdirectory inName of inParent.
    Dir(const Dir& inParent, const utility::UTF16String& inName);
    /// With inResolve, a shortcut file (".lnk") to a directory becomes that directory.
    Dir(const Dir& inParent, const utility::UTF16String& inName, bool inResolve);
    Dir& operator=(const Dir& inOther);
    ~Dir();

    const utility::UTF16String& FullPath() const;
    std::string FullPathMultiByte() const;
    utility::UTF16String GetName() const;
    Dir Parent() const;
    bool IsTopLevelDir() const;
    /// True for an existing directory. Never throws.
    bool Exists() const;
    /// Creates this one directory (not its parents); an existing one is fine. Throws
    /// dir_exception.
    void Create();
    /// Deletes the directory with every file and subdirectory it lists. A symbolic link
    /// is removed as a link; what it points to is never touched. Hidden and system
    /// entries are not listed, so a directory holding them stays and this throws
    /// dir_exception. The root of the file system is refused before anything is deleted.
    void Delete();
    /// Throws rename_dir_already_exists when the new name is taken, else rename_dir.
    void Rename(const utility::UTF16String& inNewName);
    /// FILETIME values. Throw dir_not_found_exception or dir_exception.
    /// @{
    std::uint64_t Created() const;
    std::uint64_t Modified() const;
    /// @}

    bool operator==(const Dir& inOther) const;
    bool operator!=(const Dir& inOther) const { return !(*this == inOther); }

    const DirHelper& Helper() const { return *mHelper; }

    /// inResolve replaces shortcut files by their targets (a broken one is left out).
    /// @{
    DirIterator BeginSubdirs(bool inResolve) const;
    DirIterator EndSubdirs() const;
    FileIterator BeginFiles(bool inResolve) const;
    FileIterator EndFiles() const;
    /// @}
    /// The mounted volumes (the root, fixed disks and network file systems).
    /// @{
    static DirIterator BeginVolumes();
    static DirIterator EndVolumes();
    /// @}

    /// Special directories. AppDir and PackageDir are the folder of the running program
    /// (overridable, see commondirs); TempDir the temporary folder; GlobalPrefDir the
    /// per-user settings folder; CommonFilesDir the shared program data; UserDocsDir the
    /// user's documents. Where the system has no answer they give AppDir().
    /// @{
    static Dir AppDir();
    static Dir PackageDir();
    static Dir TempDir();
    static Dir GlobalPrefDir();
    static Dir CommonFilesDir();
    static Dir UserDocsDir();
    /// @}
    /// GlobalPrefDir()/company/client/internal version, each level created. Throws
    /// dir_exception when a level cannot be created.
    static Dir PrefDir();

private:
    detail::DeepCopyPtr<DirHelper> mHelper;
};

}  // namespace filesupport
}  // namespace tarncore
