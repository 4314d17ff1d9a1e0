// The client identity, made on first use, and the library's version string.
#include <tarncore/config/Client.h>

#include <tarncore/utility/UnicodeStrings.h>

namespace tarncore {
namespace config {

namespace {

using utility::UTF16String;

// Each value is made on first use, so static initialisers elsewhere in the library
// can read it safely; a static at the end of this file makes sure all five exist
// before any host code runs.
struct Identity {
    UTF16String clientName = Default("No Client Name");
    UTF16String clientVersion = Default("No Client Version");
    UTF16String clientInternalVersion = Default("No Client Internal Version");
    UTF16String clientBuildNumber = Default("No Client Internal Version");
    UTF16String companyName = Default("No Company Name");

    static UTF16String Default(const char* inText) { return utility::UTF8to16(utility::MakeUTF8(inText)); }
};

Identity& TheIdentity() {
    static Identity identity;
    return identity;
}

}  // namespace

void SetClientName(const UTF16String& inName) { TheIdentity().clientName = inName; }
void SetClientVersion(const UTF16String& inVersion) { TheIdentity().clientVersion = inVersion; }
void SetClientInternalVersion(const UTF16String& inVersion) {
    TheIdentity().clientInternalVersion = inVersion;
}
void SetClientBuildNumber(const UTF16String& inBuildNumber) {
    TheIdentity().clientBuildNumber = inBuildNumber;
}
void SetCompanyName(const UTF16String& inName) { TheIdentity().companyName = inName; }

const UTF16String& GetClientName() { return TheIdentity().clientName; }
const UTF16String& GetClientVersion() { return TheIdentity().clientVersion; }
const UTF16String& GetClientInternalVersion() { return TheIdentity().clientInternalVersion; }
const UTF16String& GetClientBuildNumber() { return TheIdentity().clientBuildNumber; }
const UTF16String& GetCompanyName() { return TheIdentity().companyName; }

UTF16String GetVersionString() {
    return utility::UTF8to16(utility::MakeUTF8(TARNCORE_VERSION_TEXT "." TARNCORE_BUILD_TEXT));
}

namespace {
[[maybe_unused]] const Identity& sIdentityAtLoad = TheIdentity();
}

}  // namespace config
}  // namespace tarncore
