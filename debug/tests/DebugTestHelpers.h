// What the debug tests share: byte strings, files read and written whole, recorders of the debugger
// output and of trace lines.
#pragma once

#include <tarncore/debug/Trace.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/StringTypes.h>

#include "debug/src/DatabaseFiles.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace debugtest {

using tarncore::utility::UTF8String;

inline UTF8String U8(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }
inline std::string S(const UTF8String& inText) { return std::string(inText.begin(), inText.end()); }

// The native path of a file in the preferences folder.
inline std::string PreferencesPath(const char16_t* inName) {
    return tarncore::debug::files::PreferencesFile(inName).FullPathMultiByte();
}

inline std::string ReadFile(const std::string& inPath) {
    std::ifstream in(inPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& inPath, const std::string& inBytes) {
    std::ofstream(inPath, std::ios::binary) << inBytes;
}

// Texts kept under a lock: recorders may be written to from several threads.
class Recorder {
public:
    std::vector<std::string> Pieces() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mPieces;
    }

protected:
    void Keep(std::string inPiece) {
        std::lock_guard<std::mutex> lock(mMutex);
        mPieces.push_back(std::move(inPiece));
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mPieces;
};

// Receives the debugger output while it exists, piece by piece.
class RecordingSink : public tarncore::platform::DebugOutputSink, public Recorder {
public:
    RecordingSink() : mPrevious(tarncore::platform::SetDebugOutputSink(this)) {}
    ~RecordingSink() override { tarncore::platform::SetDebugOutputSink(mPrevious); }
    void Write(std::string_view inPiece) override { Keep(std::string(inPiece)); }

private:
    tarncore::platform::DebugOutputSink* mPrevious;
};

// Keeps the text of every trace line it is given.
class RecordingHandler : public tarncore::debug::TraceHandler, public Recorder {
public:
    void HandleTrace(const UTF8String& inText) override { Keep(S(inText)); }
};

}  // namespace debugtest
