// The console log: "<client> Log.txt" in the preferences folder, rotated once per run.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <memory>

/// @file
/// The console log file, which collects trace output (the default trace handler appends
/// every trace text to it).
namespace tarncore {
namespace filesupport {
class File;
class OPlatformByteStream;
}  // namespace filesupport

namespace console {

/// The console log. It lives in the preferences folder (filesupport::Dir::PrefDir())
/// under the name "<base> Log.txt", where the base is the name given to
/// SetDefaultLogFileName or else the client name (config::GetClientName()).
///
/// Logging is the user's choice: a log is kept only when a file of that name already
/// exists when the log object is made. Then that file is renamed to "<base>
/// Log-last.txt" (replacing an older one), and a new "<base> Log.txt" starts with a
/// header line telling when it was created, underlined with dashes. Closing the log
/// writes a footer telling when it was closed. The log is only ever appended to, each
/// text as it is written, so what was written survives a crash.
///
/// Writes from several threads are serialised: each text reaches the file whole.
class TARNCORE_API ConsoleLogFile {
public:
    /// The process's log, made (and the default log opened) on the first call.
    /// Errors from making the new log file or opening it pass on to the caller.
    static ConsoleLogFile* GetInstance();
    /// Destroys the process's log, which closes it with its footer; the next
    /// GetInstance() starts anew. For shut-down: no other thread may be writing.
    static void Terminate();
    /// The base of the file names of later openings; empty means the client name.
    static void SetDefaultLogFileName(const utility::UTF16String& inName);

    /// Notes the tick count and opens the default log, if its file exists.
    ConsoleLogFile();
    /// Both move the log: this object takes the other's open file, stream and start
    /// ticks (releasing, without a footer, any log it had), and the other is left
    /// without a log.
    /// @{
    ConsoleLogFile(ConsoleLogFile& ioOther);
    ConsoleLogFile& operator=(ConsoleLogFile& ioOther);
    /// @}
    /// Closes the log, with its footer.
    ~ConsoleLogFile();

    /// Stores the full path of the current log, or with inPrevious of the previous
    /// run's log, in outPath; returns true. Throws dir_exception when the preferences
    /// folder cannot be made.
    bool GetLogFilePath(utility::UTF16String& outPath, bool inPrevious);
    /// Closes the open log (footer included), then makes the file at inPath (a UTF-8
    /// path) anew, empty, and opens it as the log with its header. False, with no log
    /// open, when the file cannot be made or opened.
    bool OpenLogFile(const utility::UTF8String& inPath);
    /// Writes the footer and closes the log, if one is open.
    void CloseLogFile();
    /// Appends the text's bytes as they are (no line end is added), when a log is open
    /// and the text is not empty. With inWithTicks the text is preceded by "Ticks = ",
    /// the milliseconds since this object was made, and six spaces.
    void WriteToLog(const utility::UTF8String& inText, bool inWithTicks);

private:
    utility::UTF16String GetDefaultLogFileName(bool inPrevious) const;
    void OpenDefaultLog();
    // Opens inFile as the log, made anew or, with inAppend, after what it holds, and
    // writes the header. File and stream errors pass on.
    void StartLog(const filesupport::File& inFile, bool inAppend);
    // Drops the file and stream without a footer.
    void ReleaseLog();
    void WriteHeader();
    void WriteFooter();
    static std::uint32_t PlatformTickCount();

    std::unique_ptr<filesupport::File> mLogFile;
    std::unique_ptr<filesupport::OPlatformByteStream> mStream;
    std::uint32_t mStartTicks;
};

}  // namespace console
}  // namespace tarncore
