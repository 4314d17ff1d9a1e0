// The console log file: rotation at start, the header and footer, serialised writes.
#include <tarncore/console/ConsoleLogFile.h>

#include <tarncore/config/Client.h>
#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/NativePaths.h>

#include "console/src/LogClock.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <limits>
#include <string>

namespace tarncore {
namespace console {

using filesupport::File;
using utility::UTF16String;
using utility::UTF8String;

namespace {

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

// Serialises the writes, and the opening, closing and moving of logs against them.
// Never destroyed: a trace written while the process's statics go must still find it.
threads::RecursiveMutex& WriteLock() {
    static threads::RecursiveMutex* const lock = new threads::RecursiveMutex;
    return *lock;
}

std::atomic<ConsoleLogFile*> sInstance{nullptr};

UTF16String& DefaultLogFileName() {
    static UTF16String name;
    return name;
}

void Append(UTF8String& ioText, const char* inAscii) {
    for (; *inAscii; ++inAscii) ioText.push_back(static_cast<utility::UTF8Char>(*inAscii));
}

void Append(UTF8String& ioText, const std::string& inBytes) { ioText.append(inBytes.begin(), inBytes.end()); }

// A line of dashes as long as inCount, and its line end.
void AppendDashLine(UTF8String& ioText, std::size_t inCount) {
    ioText.append(inCount, static_cast<utility::UTF8Char>('-'));
    Append(ioText, "\r\n");
}

}  // namespace

ConsoleLogFile* ConsoleLogFile::GetInstance() {
    if (ConsoleLogFile* instance = sInstance.load(std::memory_order_acquire)) return instance;
    // Two threads making the first log at once would each rotate the files, and the
    // second rotation would throw the previous run's log away.
    Lock lock(WriteLock(), true);
    ConsoleLogFile* instance = sInstance.load(std::memory_order_relaxed);
    if (instance == nullptr) {
        instance = new ConsoleLogFile;
        sInstance.store(instance, std::memory_order_release);
    }
    return instance;
}

void ConsoleLogFile::Terminate() {
    Lock lock(WriteLock(), true);
    delete sInstance.exchange(nullptr, std::memory_order_acq_rel);
}

void ConsoleLogFile::SetDefaultLogFileName(const UTF16String& inName) { DefaultLogFileName() = inName; }

ConsoleLogFile::ConsoleLogFile() : mStartTicks(PlatformTickCount()) { OpenDefaultLog(); }

ConsoleLogFile::ConsoleLogFile(ConsoleLogFile& ioOther) : mStartTicks(0) {
    Lock lock(WriteLock(), true);
    mLogFile = std::move(ioOther.mLogFile);
    mStream = std::move(ioOther.mStream);
    mStartTicks = ioOther.mStartTicks;
}

ConsoleLogFile& ConsoleLogFile::operator=(ConsoleLogFile& ioOther) {
    if (this == &ioOther) return *this;
    Lock lock(WriteLock(), true);
    ReleaseLog();
    mLogFile = std::move(ioOther.mLogFile);
    mStream = std::move(ioOther.mStream);
    mStartTicks = ioOther.mStartTicks;
    return *this;
}

ConsoleLogFile::~ConsoleLogFile() {
    try {
        CloseLogFile();
    } catch (...) {
        // A footer that cannot be written is lost with the log's end; the file is
        // closed all the same.
    }
}

bool ConsoleLogFile::GetLogFilePath(UTF16String& outPath, bool inPrevious) {
    outPath = File(filesupport::Dir::PrefDir(), GetDefaultLogFileName(inPrevious)).FullPath();
    return true;
}

bool ConsoleLogFile::OpenLogFile(const UTF8String& inPath) {
    Lock lock(WriteLock(), true);
    CloseLogFile();
    // The UTF-8 path is the native one; bytes that are not UTF-8 name no file, and
    // cutting them short would name another.
    UTF16String path;
    if (!utility::FromNativePath(std::string(inPath.begin(), inPath.end()), path)) return false;
    try {
        const File file(path);
        if (file.Exists()) File(file).Delete();
        StartLog(file, false);
    } catch (const filesupport::file_exception&) {
        ReleaseLog();
        return false;
    } catch (const filesupport::byte_stream_exception&) {
        // How opening the stream on an existing file fails here.
        ReleaseLog();
        return false;
    }
    return true;
}

void ConsoleLogFile::CloseLogFile() {
    Lock lock(WriteLock(), true);
    if (!mLogFile) return;
    struct Release {
        ConsoleLogFile* log;
        ~Release() { log->ReleaseLog(); }
    } release{this};
    WriteFooter();
}

void ConsoleLogFile::WriteToLog(const UTF8String& inText, bool inWithTicks) {
    Lock lock(WriteLock(), true);
    if (inText.empty() || !mLogFile || !mStream) return;
    UTF8String piece;
    if (inWithTicks) {
        char digits[16];
        const std::uint32_t elapsed = PlatformTickCount() - mStartTicks;
        const char* end = std::to_chars(digits, digits + sizeof digits, elapsed).ptr;
        Append(piece, "Ticks = ");
        piece.append(static_cast<const char*>(digits), end);
        Append(piece, "      ");
    }
    piece += inText;
    // One write for the whole text where it fits, so that a crash cuts no line short.
    const utility::UTF8Char* data = piece.data();
    std::size_t left = piece.size();
    while (left > 0) {
        const std::uint32_t count = static_cast<std::uint32_t>(
            std::min<std::size_t>(left, std::numeric_limits<std::uint32_t>::max()));
        mStream->WriteBlock(data, count);
        data += count;
        left -= count;
    }
}

UTF16String ConsoleLogFile::GetDefaultLogFileName(bool inPrevious) const {
    const UTF16String& base = DefaultLogFileName();
    UTF16String name = base.empty() ? config::GetClientName() : base;
    name += utility::MakeUTF16(inPrevious ? u" Log-last.txt" : u" Log.txt");
    return name;
}

void ConsoleLogFile::OpenDefaultLog() {
    if (mLogFile) return;
    UTF16String currentPath;
    GetLogFilePath(currentPath, false);
    const File current(currentPath);
    if (!current.Exists()) return;  // the user has not asked for a log

    bool rotated = false;
    try {
        UTF16String previousPath;
        GetLogFilePath(previousPath, true);
        File previous(previousPath);
        if (previous.Exists()) previous.Delete();
        File(current).Rename(previous.GetName());
        rotated = true;
    } catch (const filesupport::file_exception&) {
        // The previous run's log could not be moved aside; see below.
    }
    if (rotated) {
        try {
            // Something made in the meantime under the current name.
            if (current.Exists()) File(current).Delete();
        } catch (const filesupport::file_exception&) {
            return;  // no log for this run
        }
    }
    // Without the rotation the file still holds the previous run's log: this run's
    // log follows it in the same file rather than wiping it out.
    StartLog(current, !rotated);
}

void ConsoleLogFile::StartLog(const File& inFile, bool inAppend) {
    std::unique_ptr<File> file(new File(inFile));
    if (!inAppend) file->Create();
    std::unique_ptr<filesupport::OPlatformByteStream> stream(new filesupport::OPlatformByteStream(*file));
    if (inAppend) stream->CurPos(stream->Length());
    mLogFile = std::move(file);
    mStream = std::move(stream);
    WriteHeader();
}

void ConsoleLogFile::ReleaseLog() {
    mStream.reset();
    mLogFile.reset();
}

void ConsoleLogFile::WriteHeader() {
    UTF8String text;
    Append(text, "Log file created: ");
    Append(text, detail::LogDateTimeText());
    Append(text, "\r\n");
    AppendDashLine(text, text.size());
    WriteToLog(text, false);
}

void ConsoleLogFile::WriteFooter() {
    UTF8String closing;
    Append(closing, "Log file closed: ");
    Append(closing, detail::LogDateTimeText());
    Append(closing, "\r\n\r\n");
    UTF8String dashes;
    AppendDashLine(dashes, closing.size());
    WriteToLog(dashes, false);
    WriteToLog(closing, false);
}

std::uint32_t ConsoleLogFile::PlatformTickCount() { return detail::LogTickCount(); }

}  // namespace console
}  // namespace tarncore
