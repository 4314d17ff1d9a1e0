// The host's services: text conversion, paths, the localizer, the error manager and their setup.
#include "HostServices.h"

#include <tarncore/config/Client.h>
#include <tarncore/config/Messages.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>

#include <memory>

namespace tarnsh {

using tarncore::utility::UTF16String;
namespace config = tarncore::config;

std::string ToNarrow(const UTF16String& inText) {
    const tarncore::utility::UTF8String bytes = tarncore::utility::UTF16to8(inText);
    return std::string(bytes.begin(), bytes.end());
}

UTF16String ToWide(const std::string& inText) {
    return tarncore::utility::UTF8to16(tarncore::utility::UTF8String(inText.begin(), inText.end()));
}

UTF16String PathArgument(const std::string& inNative) {
    UTF16String path;
    if (!tarncore::utility::FromNativePath(inNative, path))
        throw std::invalid_argument("not a UTF-8 path: " + inNative);
    return path;
}

std::string PathText(const UTF16String& inPath) {
    std::string native;
    // A path holding a NUL has no native form; show the text up to it.
    return tarncore::utility::ToNativePath(inPath, native) ? native : ToNarrow(inPath);
}

UTF16String DefaultTextLocalizer::LocalizeString(const char* inKey) { return config::GetDefaultText(inKey); }

void ConsoleErrorManager::ReportError(config::ErrorLevel inLevel, const char* inKey,
                                      std::uint32_t inComponent, std::int32_t inErrorCode, bool inDeferrable,
                                      const config::ReplacementValue& inValue1,
                                      const config::ReplacementValue& inValue2,
                                      const config::ReplacementValue& inValue3,
                                      const config::ReplacementValue& inValue4) {
    const std::string text = ToNarrow(config::SubstituteReplacementValues(
        config::RenderMessage(inKey), inValue1, inValue2, inValue3, inValue4));
    const std::string prefix = inLevel == config::kErrorLevelFatal ? "fatal error" : "error";
    const std::string message =
        prefix + " (" + std::to_string(inComponent) + "/" + std::to_string(inErrorCode) + "): " + text;
    // A deferred report is shown when its reporter finishes.
    if (inDeferrable && IsErrorReportingDeferred()) return;
    throw HostError(message);
}

HostServices::HostServices() {
    config::SetClientName(ToWide("tarnsh"));
    config::SetClientVersion(ToWide("1.0"));
    config::SetClientInternalVersion(ToWide("1.0"));
    config::SetClientBuildNumber(ToWide("1"));
    config::SetCompanyName(ToWide("Corvane"));
    config::Localizer::Set(&mLocalizer);
    config::ErrorManager::Set(&mErrorManager);
    std::unique_ptr<tarncore::xml::DocParserFactory> parsers(new tarncore::xml::ExpatParserFactory);
    tarncore::xml::SetParserFactory(parsers);
}

HostServices::~HostServices() {
    std::unique_ptr<tarncore::xml::DocParserFactory> none;
    tarncore::xml::SetParserFactory(none);
    config::ErrorManager::Set(nullptr);
    config::Localizer::Set(nullptr);
}

}  // namespace tarnsh
