// The services tarnsh installs as a host, and its text and path conversions.
#pragma once

#include <tarncore/config/Errors.h>
#include <tarncore/config/Localizer.h>

#include <stdexcept>
#include <string>

namespace tarnsh {

// The host's own error: the rendered text of a report, thrown to end the command.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// No translations: every key shows its default text.
class DefaultTextLocalizer : public tarncore::config::Localizer {
public:
    tarncore::utility::UTF16String LocalizeString(const char* inKey) override;
};

// Renders each report; a report that is not deferred ends the command by throwing.
class ConsoleErrorManager : public tarncore::config::ErrorManager {
public:
    void ReportError(tarncore::config::ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                     std::int32_t inErrorCode, bool inDeferrable,
                     const tarncore::config::ReplacementValue& inValue1,
                     const tarncore::config::ReplacementValue& inValue2,
                     const tarncore::config::ReplacementValue& inValue3,
                     const tarncore::config::ReplacementValue& inValue4) override;
};

// Installs the services (localizer, error manager, XML parser factory) and the client
// identity; removes them when destroyed.
class HostServices {
public:
    HostServices();
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

private:
    DefaultTextLocalizer mLocalizer;
    ConsoleErrorManager mErrorManager;
};

// Text between the console (UTF-8) and the library (UTF-16).
std::string ToNarrow(const tarncore::utility::UTF16String& inText);
tarncore::utility::UTF16String ToWide(const std::string& inText);

// A path typed at the console; bytes that are not UTF-8 name no file here, so they are
// refused (std::invalid_argument) rather than cut short into another name.
tarncore::utility::UTF16String PathArgument(const std::string& inNative);
// A path as the console shows it: its native bytes.
std::string PathText(const tarncore::utility::UTF16String& inPath);

}  // namespace tarnsh
