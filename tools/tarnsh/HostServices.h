// The services tarnsh installs as a host, in start-up order and torn down in reverse, and its text
// conversions.
#pragma once

#include <tarncore/config/Errors.h>
#include <tarncore/config/Localizer.h>

#include <iosfwd>
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

// Renders each report with its values; a report that is not deferred ends the command
// by throwing HostError.
class ConsoleErrorManager : public tarncore::config::ErrorManager {
public:
    void ReportError(tarncore::config::ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                     std::int32_t inErrorCode, bool inDeferrable,
                     const tarncore::config::ReplacementValue& inValue1,
                     const tarncore::config::ReplacementValue& inValue2,
                     const tarncore::config::ReplacementValue& inValue3,
                     const tarncore::config::ReplacementValue& inValue4) override;
};

// The host's start-up and shut-down. Made first: sets the client identity, installs the
// localizer, the error manager and the XML parser factory, registers the console's
// built-in commands and opens the console log (when the user keeps one). Destroyed last, in the reverse
// order: unregisters the built-ins, shuts the trace manager down (saving the trace settings), closes the
// console log, then removes the parser factory, the error manager and the localizer. What fails while
// shutting down is written to inErrors and the rest still runs.
class HostServices {
public:
    explicit HostServices(std::ostream& inErrors);
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

private:
    DefaultTextLocalizer mLocalizer;
    ConsoleErrorManager mErrorManager;
    std::ostream& mErrors;
};

// Text between the console (UTF-8) and the library (UTF-16).
std::string ToNarrow(const tarncore::utility::UTF16String& inText);
tarncore::utility::UTF16String ToWide(const std::string& inText);
// True when the bytes are UTF-8 text without NUL bytes, which is what tarnsh reads.
bool IsConsoleText(const std::string& inBytes);
// For showing bytes that may not be UTF-8: each byte that starts no well-formed
// sequence becomes U+FFFD.
tarncore::utility::UTF16String DisplayText(const std::string& inBytes);

// A path typed at the console; bytes that are not UTF-8 name no file here, so they are
// refused (std::invalid_argument) rather than cut short into another name.
tarncore::utility::UTF16String PathArgument(const std::string& inNative);
// A path as the console shows it: its native bytes.
std::string PathText(const tarncore::utility::UTF16String& inPath);

// What an exception out of a command says, file and folder errors rendered with their path.
std::string DescribeException(const std::exception_ptr& inError);

}  // namespace tarnsh
