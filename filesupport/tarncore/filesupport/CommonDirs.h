// The folders an application and its plug-ins live in, and the host's overrides of them.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>

/// @file
/// The folders an application and its plug-ins live in. Each answer is computed on
/// first use and kept for the life of the process; a host may set any of them at
/// start-up instead. Setting an empty File or Dir makes the next call compute it again.
/// A folder derived from another (plug-ins from the application folder) keeps what it
/// was derived from when it was first asked for.
namespace tarncore {
namespace filesupport {
namespace commondirs {

/// The running program.
TARNCORE_API File MainExecutableFile();
/// Both AppDir() unless set.
/// @{
TARNCORE_API Dir ExecutableDir();
TARNCORE_API Dir ResourcesDir();
/// @}
/// AppDir()/"Plug-ins" and AppDir()/"Required" unless set.
/// @{
TARNCORE_API Dir PluginsDir();
TARNCORE_API Dir RequiredPluginsDir();
/// @}
/// The shared plug-ins folder under the program-files folder, ending in
/// "/Corvane/Common/Plug-ins"; empty when there is no program-files folder.
TARNCORE_API Dir AllUserPluginsDir();
/// AllUserPluginsDir().
TARNCORE_API Dir UserPluginsDir();

TARNCORE_API void SetMainExecutableOverride(const File& inFile);
/// Both set what Dir::AppDir() and Dir::PackageDir() return.
/// @{
TARNCORE_API void SetAppDirOverride(const Dir& inDir);
TARNCORE_API void SetPackageDirOverride(const Dir& inDir);
/// @}
TARNCORE_API void SetExecutableDirOverride(const Dir& inDir);
TARNCORE_API void SetResourcesDirOverride(const Dir& inDir);
TARNCORE_API void SetPluginsDirOverride(const Dir& inDir);
TARNCORE_API void SetRequiredPluginsDirOverride(const Dir& inDir);

}  // namespace commondirs
}  // namespace filesupport
}  // namespace tarncore
