// Byte streams over memory, deques, strings and the standard library's streams.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/platform/Export.h>

#include <cstdint>
#include <deque>
#include <istream>
#include <ostream>
#include <string>

/// @file
/// Byte streams over memory and over the standard library's streams. None owns what it
/// wraps; the wrapped object must outlive the stream.
///
/// A source reads past its end with eof_error and leaves its position where it was; a
/// block that does not fit is not read at all. Positions may be set beyond the end;
/// reading there throws.
namespace tarncore {
namespace filesupport {

/// A fixed block of memory.
class TARNCORE_API IBufferByteStream : public IByteStream {
public:
    IBufferByteStream(const unsigned char* inData, std::uint64_t inLength);
    ~IBufferByteStream() override;

    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    std::uint64_t Length() const override;

private:
    const unsigned char* mData;
    std::uint64_t mLength;
    std::uint64_t mPosition = 0;
};

/// A fixed block of memory to fill. Writing past the capacity throws eof_error and
/// stores nothing of the byte or block. Count() is the number of bytes a consumer must
/// take: the highest position written or moved to, never more than the capacity.
class TARNCORE_API OBufferByteStream : public OByteStream {
public:
    OBufferByteStream(unsigned char* outData, std::uint64_t inCapacity);
    ~OBufferByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    virtual std::uint64_t Capacity() const;

    std::uint64_t Count() const { return mCount; }

private:
    unsigned char* mData;
    std::uint64_t mCapacity;
    std::uint64_t mPosition = 0;
    std::uint64_t mCount = 0;
};

/// Reads a deque from its start. The deque may grow meanwhile; Length() follows it.
class TARNCORE_API IDequeByteStream : public IByteStream {
public:
    explicit IDequeByteStream(std::deque<unsigned char>& inDeque);
    ~IDequeByteStream() override;

    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    std::uint64_t Length() const override;

private:
    std::deque<unsigned char>& mDeque;
    std::uint64_t mPosition = 0;
};

/// Appends to a deque. Positions cannot be set (that is ignored); the position is the
/// deque's size.
class TARNCORE_API ODequeByteStream : public OByteStream {
public:
    explicit ODequeByteStream(std::deque<unsigned char>& outDeque);
    ~ODequeByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

private:
    std::deque<unsigned char>& mDeque;
};

/// Reads an 8-bit string from its start, like IDequeByteStream. The string is not
/// copied: a temporary one cannot be given.
class TARNCORE_API IStringByteStream : public IByteStream {
public:
    explicit IStringByteStream(const std::string& inString);
    explicit IStringByteStream(std::string&& inString) = delete;
    ~IStringByteStream() override;

    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    std::uint64_t Length() const override;

private:
    const std::string& mString;
    std::uint64_t mPosition = 0;
};

/// Appends to an 8-bit string, like ODequeByteStream.
class TARNCORE_API OStringByteStream : public OByteStream {
public:
    explicit OStringByteStream(std::string& outString);
    ~OStringByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

private:
    std::string& mString;
};

/// A standard input stream. Its failures show in its own state, not as exceptions,
/// with one exception: when it yields no more bytes (its end, or a failed state), Get
/// and ReadBlock throw eof_error, so that a reader always comes to an end; the bytes
/// it did yield are consumed. Length() is 0 (unknown) for a stream that cannot seek,
/// and CurPos() the highest position for one that cannot tell.
class TARNCORE_API IStdByteStream : public IByteStream {
public:
    explicit IStdByteStream(std::istream& inStream);
    ~IStdByteStream() override;

    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    std::uint64_t Length() const override;

private:
    std::istream& mStream;
};

/// A standard output stream; its failures show in its own state only.
class TARNCORE_API OStdByteStream : public OByteStream {
public:
    explicit OStdByteStream(std::ostream& outStream);
    ~OStdByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

private:
    std::ostream& mStream;
};

}  // namespace filesupport
}  // namespace tarncore
