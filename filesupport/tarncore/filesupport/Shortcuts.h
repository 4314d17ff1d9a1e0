// Shortcut files (".lnk"): reading their target and writing new ones.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>

/// @file
/// Shortcut files (".lnk", the Shell Link binary format): reading their target and
/// writing new ones.
namespace tarncore {
namespace filesupport {

/// Reading and writing shortcut files, with COM-style result codes.
class TARNCORE_API ShortcutFiles {
public:
    /// Result codes: 0 is success, negative values are failures.
    enum : std::int32_t {
        kResultOK = 0,
        kResultFail = static_cast<std::int32_t>(0x80004005u),  ///< not a usable shortcut
        kResultInvalidArgument = static_cast<std::int32_t>(0x80070057u),
        kResultFileNotFound = static_cast<std::int32_t>(0x80070002u),  ///< shortcut or target missing
        kResultPathNotFound = static_cast<std::int32_t>(0x80070003u),
        kResultAccessDenied = static_cast<std::int32_t>(0x80070005u),
        kResultWriteProtected = static_cast<std::int32_t>(0x80070013u),
        kResultDiskFull = static_cast<std::int32_t>(0x80070070u),
    };

    /// Reads the shortcut at ioPath and replaces ioPath by its target's path, setting
    /// outIsDirectory; both are left alone on failure. The target must exist.
    static std::int32_t ResolveIT(utility::UTF16String& ioPath, bool& outIsDirectory);
    /// Writes a shortcut to inTarget at inShortcut (replacing any file there in one
    /// step) with the description.
    static std::int32_t CreateLink(const utility::UTF16String& inTarget,
                                   const utility::UTF16String& inShortcut,
                                   const utility::UTF16String& inDescription);
};

/// The name hosts written for the original interface use (FileUtils::ResolveIT). It is
/// not utility::FileUtils, the simple file utilities.
using FileUtils = ShortcutFiles;

/// When inFile is an existing shortcut (extension ".lnk" in any case) that resolves,
/// sets outFile or outDir to its target, outIsDirectory to which, and returns true.
/// Otherwise returns false with outFile and outDir untouched.
TARNCORE_API bool ResolveIfAlias(const File& inFile, File& outFile, Dir& outDir, bool& outIsDirectory);
/// Replaces ioFile by its target when it is a shortcut to a file.
TARNCORE_API void ResolveIfAliasFileOnly(File& ioFile);

/// Write a shortcut file to the target with an empty description; failures are ignored.
/// @{
TARNCORE_API void CreateShortCut(const File& inShortcut, const Dir& inTarget);
TARNCORE_API void CreateShortCut(const File& inShortcut, const File& inTarget);
/// @}

}  // namespace filesupport
}  // namespace tarncore
