// Trace categories and volumes, "Trace Database.txt", and the master trace handler.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <list>

/// @file
/// Trace categories and volumes. A trace point names a category (a UTF-8 name such as
/// "TARN.Allocator") and a volume, lower being more important; it is output when its
/// volume is at most both the master volume and its category's volume, and neither is
/// disabled. New categories start enabled at volume 5, the master at volume 10.
///
/// The settings persist in "Trace Database.txt" in the preferences folder
/// (filesupport::Dir::PrefDir()): one line per category, its name, a tab, 1 or 0 for
/// enabled, a tab, the volume in decimal and a carriage return and line feed; the
/// master is the line named "Master". The file is read on the first use after start or
/// after ShutdownTraceManager(), and replaced in one step whenever a category is made or
/// changed, so a crash leaves the old contents or the new. A category name holding a
/// tab, carriage return or line feed would not come back from that file: making such a
/// category is refused with a report (config::ThrowError, non-fatal, component 108,
/// code 20, "^1" the name) and nothing is stored.
///
/// Text that passes goes to the master trace handler, by default the debugger output
/// (tarncore/platform/DebugOutput.h) and then the console log, with ticks.
namespace tarncore {
namespace debug {

/// Receives the text of enabled trace points. Installed handlers are not owned.
class TARNCORE_API TraceHandler {
public:
    /// One trace text, with its own line end.
    virtual void HandleTrace(const utility::UTF8String& inText) = 0;
    virtual ~TraceHandler();
};

/// True when a trace point of the category and volume is to be output. A category
/// asked about for the first time is made with the defaults (and saved). inFlag does
/// not change the answer.
///
/// Made for hot paths: once a category has been asked about, the answer comes from a
/// copy of its settings without a lock until a setter or ShutdownTraceManager() runs.
/// While one query reads the settings under the trace lock, every other query, from any
/// thread or made from inside that one, answers false rather than wait.
TARNCORE_API bool TraceEnabled(const utility::UTF8String& inCategory, std::int32_t inVolume, bool inFlag);
/// The category's volume; a new category is made with the defaults first.
TARNCORE_API std::int32_t GetTraceVolume(const utility::UTF8String& inCategory);
/// Sets the category's volume, keeping whether it is enabled (a new one is), and saves.
TARNCORE_API void SetTraceVolume(const utility::UTF8String& inCategory, std::int32_t inVolume);
/// The master volume.
TARNCORE_API std::int32_t GetMasterTraceVolume();
/// Sets the master volume, keeping whether the master is enabled, and saves.
TARNCORE_API void SetMasterTraceVolume(std::int32_t inVolume);
/// Appends the names of all categories in the database to ioCategories, "Master" among
/// them once the master setting has been used.
TARNCORE_API void GetTraceCategories(std::list<utility::UTF8String>& ioCategories);

/// The start of a trace line, "<thread id> <category> <volume> ": the calling thread's
/// id and the volume in decimal, each of the three in angle brackets.
TARNCORE_API utility::UTF8String TraceLinePrefix(const char* inCategory, std::int32_t inVolume);
/// Hands the text to the master handler (installing the default one when none is
/// installed). A null text is ignored.
TARNCORE_API void Trace(const char* inText);
/// Writes the text straight to the debugger output. A null text is ignored.
TARNCORE_API void DebugTrace(const char* inText);

/// Makes inHandler (not owned; null allowed) the master handler.
TARNCORE_API void InstallMasterTraceHandler(TraceHandler* inHandler);
/// The master handler, installing the default one when none is installed.
TARNCORE_API TraceHandler* GetMasterTraceHandler();
/// No master handler: the next Trace() or GetMasterTraceHandler() installs the default.
TARNCORE_API void RemoveMasterTraceHandler();

/// Saves and drops the trace settings; the next trace operation reads the file again.
/// The master record stays as it is for the rest of the process. When saving fails the
/// error passes on and the settings stay loaded.
TARNCORE_API void ShutdownTraceManager();

}  // namespace debug
}  // namespace tarncore
