// Byte streams that wrap another: buffers, PackBits run-length coding, CRC-32, a counter.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/platform/Export.h>

#include <cstdint>
#include <memory>

/// @file
/// Byte streams that wrap another one: read-ahead and write-behind buffers, run-length
/// coding in the PackBits layout, a CRC-32 that passes the bytes on, and a counter. An
/// adapter does not own the stream it wraps, which must outlive it.
namespace tarncore {
namespace filesupport {

/// Reads a seekable source of known length through a window of inBufferSize bytes
/// whose start is aligned to inGranule; the granule before the one read is kept too,
/// so that a reader moving backwards still finds its bytes. Blocks larger than the
/// buffer minus one granule go to the source directly. The source's length is taken
/// once, when the adapter is made. std::invalid_argument for a buffer size of 0, or a
/// granule of 0 or larger than the buffer.
class TARNCORE_API IBufferedByteStream : public IByteStream {
public:
    IBufferedByteStream(IByteStream& inSource, std::uint32_t inBufferSize, std::uint32_t inGranule);
    ~IBufferedByteStream() override;

    /// Reading past Length() throws eof_error and the position stays (a block that does
    /// not fit is not read).
    /// @{
    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    /// @}
    /// eof_error beyond Length(); the window is not touched.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    std::uint64_t Length() const override;

protected:
    /// Makes the window hold the bytes [inPosition, inPosition + inCount) of the source,
    /// keeping what it holds already of the new window. A range beyond Length() throws
    /// eof_error; one longer than the buffer size minus the granule, plus one,
    /// std::invalid_argument (no aligned window could hold it).
    virtual void FillWindow(std::uint64_t inPosition, std::uint32_t inCount);

private:
    IByteStream& mSource;
    std::uint64_t mPosition = 0;
    std::unique_ptr<unsigned char[]> mBuffer;
    std::uint32_t mBufferSize;
    std::uint32_t mGranule;
    std::uint64_t mWindowStart = 0;
    std::uint32_t mWindowCount = 0;
    std::uint64_t mLength;
};

/// Collects writes in a buffer of inBufferSize bytes and hands them to the target in
/// one block: when a write would not fit, when the position moves outside the bytes
/// collected, on Flush() and when the adapter is destroyed. Blocks larger than the
/// buffer go to the target directly. The granule is kept but plays no part in writing.
/// std::invalid_argument for a buffer size of 0.
///
/// The destructor cannot report a failure of its flush: call Flush() first where a
/// failed write must be seen. A failed Flush keeps the bytes for the next one.
class TARNCORE_API OBufferedByteStream : public OByteStream {
public:
    OBufferedByteStream(OByteStream& inTarget, std::uint32_t inBufferSize, std::uint32_t inGranule);
    ~OBufferedByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    /// Moving inside the bytes collected (or to their end) keeps them: a later write
    /// there overwrites them.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    virtual void Flush();

private:
    OByteStream& mTarget;
    std::uint64_t mPosition = 0;
    std::unique_ptr<unsigned char[]> mBuffer;
    std::uint32_t mBufferSize;
    [[maybe_unused]] std::uint32_t mGranule;
    std::uint64_t mWindowStart = 0;
    std::uint64_t mDirtyCount = 0;
};

/// Decodes PackBits packets from the source: a header byte h, then for h from 0 to 127
/// h + 1 literal bytes, for h from -1 to -127 one byte repeated 1 - h times; a header
/// -128 is skipped. The end of the source shows as its eof_error. The length is
/// unknown (0) and the position cannot be set or asked: byte_stream_exception.
class TARNCORE_API IRLEByteStream : public IByteStream {
public:
    explicit IRLEByteStream(IByteStream& inSource);
    ~IRLEByteStream() override;

    unsigned char Get() override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

private:
    IByteStream& mSource;
    std::int32_t mLiteralsLeft = 0;
    std::int32_t mRepeatsLeft = 0;
    unsigned char mRepeated = 0;
};

/// Encodes into PackBits packets: runs of two or more equal bytes at the start of a
/// packet, and of three or more inside literal data, become run packets; packets hold
/// at most 128 bytes. The last packet stays pending until Flush(), which the owner must
/// call: the destructor does not flush, and pending bytes are lost without it. The
/// position cannot be set or asked: byte_stream_exception.
class TARNCORE_API ORLEByteStream : public OByteStream {
public:
    explicit ORLEByteStream(OByteStream& inTarget);
    ~ORLEByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    virtual void Flush();

protected:
    /// Writes the pending packet to the target and empties it.
    virtual void EmitPacket();

private:
    static constexpr std::int32_t kMaxPacket = 128;

    void Encode(unsigned char inByte);

    OByteStream& mTarget;
    bool mRunMode = true;
    std::int32_t mCount = 0;
    unsigned char mPending[kMaxPacket] = {};
};

/// The CRC-32 of IEEE 802.3 (as zlib computes it) of every byte written, in the order
/// written; the bytes pass on to the target afterwards. Moving the position is passed
/// on and leaves the checksum as it is.
class TARNCORE_API OCRCByteStream : public OByteStream {
public:
    explicit OCRCByteStream(OByteStream& inTarget);
    ~OCRCByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

    /// The checksum of the bytes so far (0 for none).
    std::uint32_t Value() const;

private:
    OByteStream& mTarget;
    std::uint32_t mRegister = 0xFFFFFFFFu;
};

/// Stores nothing: measures how many bytes would be written. Count() is the highest
/// position reached.
class TARNCORE_API OCountingByteStream : public OByteStream {
public:
    OCountingByteStream();
    ~OCountingByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

    std::uint64_t Count() const { return mCount; }

private:
    std::uint64_t mPosition = 0;
    std::uint64_t mCount = 0;
};

}  // namespace filesupport
}  // namespace tarncore
