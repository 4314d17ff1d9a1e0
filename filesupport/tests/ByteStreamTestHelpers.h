#pragma once

#include <tarncore/filesupport/ByteStreams.h>

#include <cstdint>
#include <string>
#include <vector>

namespace streamtest {

using tarncore::filesupport::eof_error;
using tarncore::filesupport::IByteStream;
using tarncore::filesupport::OByteStream;

inline std::string Bytes(std::initializer_list<int> inBytes) {
    std::string result;
    for (int byte : inBytes) result.push_back(static_cast<char>(byte));
    return result;
}

// A source over a string that records how it is used: every position set and every
// block read, as "pos N" and "read N".
class RecordingSource : public IByteStream {
public:
    explicit RecordingSource(std::string inData) : mData(std::move(inData)) {}

    unsigned char Get() override {
        if (mPosition >= mData.size()) throw eof_error();
        mLog.push_back("get");
        return static_cast<unsigned char>(mData[mPosition++]);
    }
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override {
        mLog.push_back("read " + std::to_string(inCount));
        if (mPosition > mData.size() || inCount > mData.size() - mPosition) throw eof_error();
        for (std::uint32_t i = 0; i < inCount; ++i) outBuffer[i] = static_cast<unsigned char>(mData[mPosition++]);
    }
    void CurPos(std::uint64_t inPosition) override {
        mLog.push_back("pos " + std::to_string(inPosition));
        mPosition = inPosition;
    }
    std::uint64_t CurPos() const override { return mPosition; }
    std::uint64_t Length() const override { return mData.size(); }

    std::vector<std::string> TakeLog() { return std::move(mLog); }

private:
    std::string mData;
    std::uint64_t mPosition = 0;
    std::vector<std::string> mLog;
};

// A sink into a string that honours positions (writing beyond the end fills with
// zeros) and records every position set and every call, as "pos N", "put", "write N".
class RecordingSink : public OByteStream {
public:
    void Put(unsigned char inByte) override {
        mLog.push_back("put");
        Store(&inByte, 1);
    }
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override {
        mLog.push_back("write " + std::to_string(inCount));
        Store(inData, inCount);
    }
    void CurPos(std::uint64_t inPosition) override {
        mLog.push_back("pos " + std::to_string(inPosition));
        mPosition = inPosition;
    }
    std::uint64_t CurPos() const override { return mPosition; }

    const std::string& Data() const { return mData; }
    std::vector<std::string> TakeLog() { return std::move(mLog); }

    // The next write throws io_error (and stores nothing).
    bool mFailNextWrite = false;

private:
    void Store(const unsigned char* inData, std::uint32_t inCount) {
        if (mFailNextWrite) {
            mFailNextWrite = false;
            throw tarncore::filesupport::io_error();
        }
        if (mData.size() < mPosition + inCount) mData.resize(mPosition + inCount, '\0');
        for (std::uint32_t i = 0; i < inCount; ++i) mData[mPosition++] = static_cast<char>(inData[i]);
    }

    std::string mData;
    std::uint64_t mPosition = 0;
    std::vector<std::string> mLog;
};

}  // namespace streamtest
