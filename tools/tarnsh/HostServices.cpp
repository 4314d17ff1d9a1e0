// The host's services: text conversion, paths, the localizer, the error manager, start-up and shut-down.
#include "HostServices.h"

#include <tarncore/commands/BuiltInCommands.h>
#include <tarncore/config/Client.h>
#include <tarncore/config/Messages.h>
#include <tarncore/console/ConsoleLogFile.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>

#include <memory>
#include <ostream>

namespace tarnsh {

using tarncore::utility::UTF16String;
using tarncore::utility::UTF8String;
namespace config = tarncore::config;
namespace fsup = tarncore::filesupport;

std::string ToNarrow(const UTF16String& inText) {
    const UTF8String bytes = tarncore::utility::UTF16to8(inText);
    return std::string(bytes.begin(), bytes.end());
}

UTF16String ToWide(const std::string& inText) {
    return tarncore::utility::UTF8to16(UTF8String(inText.begin(), inText.end()));
}

bool IsConsoleText(const std::string& inBytes) {
    return inBytes.find('\0') == std::string::npos && ToNarrow(ToWide(inBytes)) == inBytes;
}

UTF16String DisplayText(const std::string& inBytes) {
    const auto* next = reinterpret_cast<const tarncore::utility::UTF8Char*>(inBytes.data());
    const auto* const end = next + inBytes.size();
    UTF16String text;
    text.reserve(inBytes.size());
    while (next != end) {
        tarncore::utility::UTF16Char units[2];
        std::size_t count = 0;
        const std::size_t used = tarncore::utility::DecodeUTF8Sequence(next, end, units, count);
        if (used == 0) {
            text.push_back(0xFFFD);
            ++next;
        } else {
            text.append(units, count);
            next += used;
        }
    }
    return text;
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

std::string DescribeException(const std::exception_ptr& inError) {
    try {
        std::rethrow_exception(inError);
    } catch (const fsup::file_exception& e) {
        return ToNarrow(config::RenderMessage(e.what(), {e.GetFile().FullPath()}));
    } catch (const fsup::dir_exception& e) {
        return ToNarrow(config::RenderMessage(e.what(), {e.GetDir().FullPath()}));
    } catch (const fsup::eof_error&) {
        return "the data ends early";
    } catch (const fsup::byte_stream_exception&) {
        return "the file cannot be read or written";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "failed";
    }
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

HostServices::HostServices(std::ostream& inErrors) : mErrors(inErrors) {
    config::SetClientName(ToWide("tarnsh"));
    config::SetClientVersion(ToWide("1.0"));
    config::SetClientInternalVersion(ToWide("1.0"));
    config::SetClientBuildNumber(ToWide("1"));
    config::SetCompanyName(ToWide("Corvane"));
    config::Localizer::Set(&mLocalizer);
    config::ErrorManager::Set(&mErrorManager);
    std::unique_ptr<tarncore::xml::DocParserFactory> parsers(new tarncore::xml::ExpatParserFactory);
    tarncore::xml::SetParserFactory(parsers);
    tarncore::console::Initialize();
    // The run's log starts with the host, not with its first trace line, so a user who
    // turned the log on sees every run in it.
    try {
        tarncore::console::ConsoleLogFile::GetInstance();
    } catch (...) {
        mErrors << "no console log: " << DescribeException(std::current_exception()) << "\n";
    }
}

HostServices::~HostServices() {
    tarncore::console::Terminate();
    try {
        tarncore::debug::ShutdownTraceManager();
    } catch (...) {
        mErrors << "the trace settings were not saved: " << DescribeException(std::current_exception())
                << "\n";
    }
    tarncore::console::ConsoleLogFile::Terminate();
    std::unique_ptr<tarncore::xml::DocParserFactory> none;
    tarncore::xml::SetParserFactory(none);
    config::ErrorManager::Set(nullptr);
    config::Localizer::Set(nullptr);
}

}  // namespace tarnsh
