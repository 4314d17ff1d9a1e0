// Byte strings, end-of-stream checks and recording streams for the byte stream tests.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/StandardByteStreams.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace streamtest {

using namespace tarncore::filesupport;
using Log = std::vector<std::string>;

inline std::string Bytes(std::initializer_list<int> inBytes) {
    std::string result;
    for (int byte : inBytes) result.push_back(static_cast<char>(byte));
    return result;
}

inline const unsigned char* Data(const std::string& inBytes) {
    return reinterpret_cast<const unsigned char*>(inBytes.data());
}

// The rest of the source, copied by operator<<.
inline std::string CopyOf(IByteStream& inSource) {
    std::string copy;
    OStringByteStream out(copy);
    out << inSource;
    return copy;
}

// What every seekable source does at its end, shown on one holding the bytes 10, 20, 30:
// a read that does not fit throws eof_error and leaves the position where it was.
inline void ExpectSourceEnds(IByteStream& in, bool inMovesBeyondTheEnd = true) {
    unsigned char block[4] = {};
    EXPECT_EQ(in.Length(), 3u);
    EXPECT_EQ(in.Get(), 10);
    EXPECT_THROW(in.ReadBlock(block, 3), eof_error);
    EXPECT_EQ(in.CurPos(), 1u);
    in.ReadBlock(block, 2);
    EXPECT_EQ(block[1], 30);
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_EQ(in.CurPos(), 3u);
    in.CurPos(0);
    EXPECT_EQ(in.Get(), 10);
    if (!inMovesBeyondTheEnd) return;
    in.CurPos(1000);  // harmless until something is read there
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_THROW(in.ReadBlock(block, 1), eof_error);
}

// A string source that logs every position set and block read ("pos N", "read N").
struct RecordingSource : IStringByteStream {
    using IStringByteStream::CurPos;
    using IStringByteStream::IStringByteStream;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override {
        mLog.push_back("read " + std::to_string(inCount));
        IStringByteStream::ReadBlock(outBuffer, inCount);
    }
    void CurPos(std::uint64_t inPosition) override {
        mLog.push_back("pos " + std::to_string(inPosition));
        IStringByteStream::CurPos(inPosition);
    }
    Log TakeLog() { return std::exchange(mLog, {}); }
    Log mLog;
};

// A sink of up to 64 bytes (a gap stays zero) that logs like RecordingSource ("pos N",
// "write N"); with mFailNextWrite the next write throws io_error and stores nothing.
struct RecordingSink : OBufferByteStream {
    using OBufferByteStream::CurPos;
    RecordingSink() : OBufferByteStream(mBuffer, sizeof mBuffer) {}
    void Put(unsigned char inByte) override { WriteBlock(&inByte, 1); }
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override {
        if (std::exchange(mFailNextWrite, false)) throw io_error();
        mLog.push_back("write " + std::to_string(inCount));
        OBufferByteStream::WriteBlock(inData, inCount);
    }
    void CurPos(std::uint64_t inPosition) override {
        mLog.push_back("pos " + std::to_string(inPosition));
        OBufferByteStream::CurPos(inPosition);
    }
    std::string Data() const { return std::string(reinterpret_cast<const char*>(mBuffer), Count()); }
    Log TakeLog() { return std::exchange(mLog, {}); }
    unsigned char mBuffer[64] = {};
    Log mLog;
    bool mFailNextWrite = false;
};

}  // namespace streamtest
