// The host's identity (name, versions, company) and the library's version string.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

/// @file
/// The host application's identity, set once at start-up, and the library's version.
namespace tarncore {
namespace config {

/// Set by the host at start-up.
/// @{
TARNCORE_API void SetClientName(const utility::UTF16String& inName);
TARNCORE_API void SetClientVersion(const utility::UTF16String& inVersion);
TARNCORE_API void SetClientInternalVersion(const utility::UTF16String& inVersion);
TARNCORE_API void SetClientBuildNumber(const utility::UTF16String& inBuildNumber);
TARNCORE_API void SetCompanyName(const utility::UTF16String& inName);
/// @}

/// References stay valid until the library is unloaded; a later setter call changes
/// what they read.
/// @{
TARNCORE_API const utility::UTF16String& GetClientName();
TARNCORE_API const utility::UTF16String& GetClientVersion();
TARNCORE_API const utility::UTF16String& GetClientInternalVersion();
TARNCORE_API const utility::UTF16String& GetClientBuildNumber();
TARNCORE_API const utility::UTF16String& GetCompanyName();
/// @}

/// "2.0.0.127159": the library's version and build.
TARNCORE_API utility::UTF16String GetVersionString();

}  // namespace config
}  // namespace tarncore
