// The exceptions of file and directory operations, each carrying the file or directory.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <exception>

/// @file
/// What file and directory operations throw. Each exception carries a copy of the file
/// or directory as it was before the failed operation and a message key whose `"@0"` is
/// its path and `"@1"` the requested new name; what() returns the key unchanged.
namespace tarncore {
namespace filesupport {

class TARNCORE_API file_exception : public std::exception {
public:
    explicit file_exception(const File& inFile);
    file_exception(const File& inFile, const char* inKey);
    file_exception(const file_exception& inOther);
    file_exception& operator=(const file_exception& inOther);
    ~file_exception() override;

    const char* what() const noexcept override;
    const File& GetFile() const { return mFile; }

private:
    File mFile;
    const char* mKey;
};

class TARNCORE_API file_not_found_exception : public file_exception {
public:
    explicit file_not_found_exception(const File& inFile);
};

class TARNCORE_API file_delete_exception : public file_exception {
public:
    explicit file_delete_exception(const File& inFile);
};

class TARNCORE_API create_exception : public file_exception {
public:
    explicit create_exception(const File& inFile);
    create_exception(const File& inFile, const char* inKey);
};

class TARNCORE_API create_fnf_exception : public create_exception {
public:
    explicit create_fnf_exception(const File& inFile);
};

class TARNCORE_API create_locked_exception : public create_exception {
public:
    explicit create_locked_exception(const File& inFile);
};

class TARNCORE_API create_accessdenied_exception : public create_exception {
public:
    explicit create_accessdenied_exception(const File& inFile);
};

class TARNCORE_API create_invalidpath_exception : public create_exception {
public:
    explicit create_invalidpath_exception(const File& inFile);
};

class TARNCORE_API rename_file : public file_exception {
public:
    rename_file(const File& inFile, const utility::UTF16String& inNewName);
    rename_file(const File& inFile, const utility::UTF16String& inNewName, const char* inKey);
    rename_file(const rename_file& inOther);
    rename_file& operator=(const rename_file& inOther);
    ~rename_file() override;

    const utility::UTF16String& GetNewName() const { return mNewName; }

private:
    utility::UTF16String mNewName;
};

class TARNCORE_API dir_exception : public std::exception {
public:
    explicit dir_exception(const Dir& inDir);
    dir_exception(const Dir& inDir, const char* inKey);
    dir_exception(const dir_exception& inOther);
    dir_exception& operator=(const dir_exception& inOther);
    ~dir_exception() override;

    const char* what() const noexcept override;
    const Dir& GetDir() const { return mDir; }

private:
    Dir mDir;
    const char* mKey;
};

class TARNCORE_API dir_not_found_exception : public dir_exception {
public:
    explicit dir_not_found_exception(const Dir& inDir);
};

class TARNCORE_API dir_delete_exception : public dir_exception {
public:
    explicit dir_delete_exception(const Dir& inDir);
    dir_delete_exception(const Dir& inDir, const char* inKey);
};

class TARNCORE_API rename_dir : public dir_exception {
public:
    rename_dir(const Dir& inDir, const utility::UTF16String& inNewName);
    rename_dir(const Dir& inDir, const utility::UTF16String& inNewName, const char* inKey);
    rename_dir(const rename_dir& inOther);
    rename_dir& operator=(const rename_dir& inOther);
    ~rename_dir() override;

    const utility::UTF16String& GetNewName() const { return mNewName; }

private:
    utility::UTF16String mNewName;
};

class TARNCORE_API rename_dir_already_exists : public rename_dir {
public:
    rename_dir_already_exists(const Dir& inDir, const utility::UTF16String& inNewName);
};

}  // namespace filesupport
}  // namespace tarncore
