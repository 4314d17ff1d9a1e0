// What the debug tests share: byte strings, files read and written whole, a recording debug-output sink.
#pragma once

#include <tarncore/filesupport/File.h>
#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/StringTypes.h>

#include "debug/src/DatabaseFiles.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
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

// Receives the debugger output while it exists, piece by piece.
class RecordingSink : public tarncore::platform::DebugOutputSink {
public:
    RecordingSink() : mPrevious(tarncore::platform::SetDebugOutputSink(this)) {}
    ~RecordingSink() override { tarncore::platform::SetDebugOutputSink(mPrevious); }

    void Write(std::string_view inPiece) override {
        std::lock_guard<std::mutex> lock(mMutex);
        mPieces.emplace_back(inPiece);
    }
    std::vector<std::string> Pieces() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mPieces;
    }

private:
    tarncore::platform::DebugOutputSink* mPrevious;
    std::mutex mMutex;
    std::vector<std::string> mPieces;
};

}  // namespace debugtest
