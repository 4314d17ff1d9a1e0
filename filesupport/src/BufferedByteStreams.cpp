// IBufferedByteStream and OBufferedByteStream: the read-ahead window and the write-behind buffer.
#include <tarncore/filesupport/StreamAdapters.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tarncore {
namespace filesupport {

namespace {

bool Fits(std::uint64_t inPosition, std::uint64_t inCount, std::uint64_t inLength) {
    return inPosition <= inLength && inCount <= inLength - inPosition;
}

unsigned char* NewBuffer(std::uint32_t inBufferSize) {
    if (inBufferSize == 0) throw std::invalid_argument("buffered byte stream: buffer size 0");
    return new unsigned char[inBufferSize];
}

}  // namespace

// IBufferedByteStream

IBufferedByteStream::IBufferedByteStream(IByteStream& inSource, std::uint32_t inBufferSize,
                                         std::uint32_t inGranule)
    : mSource(inSource), mBuffer(NewBuffer(inBufferSize)), mBufferSize(inBufferSize), mGranule(inGranule),
      mLength(inSource.Length()) {
    // The window arithmetic needs a granule that fits the buffer.
    if (inGranule == 0 || inGranule > inBufferSize)
        throw std::invalid_argument("IBufferedByteStream: granule 0 or larger than the buffer");
}

IBufferedByteStream::~IBufferedByteStream() = default;

unsigned char IBufferedByteStream::Get() {
    if (mPosition >= mLength) throw eof_error();
    FillWindow(mPosition, 1);
    const unsigned char byte = mBuffer[mPosition - mWindowStart];
    ++mPosition;
    return byte;
}

void IBufferedByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    if (inCount == 0) return;
    // Beyond the length the buffer would hand out bytes of an older window.
    if (!Fits(mPosition, inCount, mLength)) throw eof_error();
    if (inCount <= mBufferSize - mGranule) {
        FillWindow(mPosition, inCount);
        std::memcpy(outBuffer, mBuffer.get() + (mPosition - mWindowStart), inCount);
    } else {
        mSource.CurPos(mPosition);
        mSource.ReadBlock(outBuffer, inCount);
    }
    mPosition += inCount;
}

void IBufferedByteStream::CurPos(std::uint64_t inPosition) {
    if (inPosition > mLength) throw eof_error();
    mPosition = inPosition;
}

std::uint64_t IBufferedByteStream::CurPos() const { return mPosition; }
std::uint64_t IBufferedByteStream::Length() const { return mLength; }

void IBufferedByteStream::FillWindow(std::uint64_t inPosition, std::uint32_t inCount) {
    if (inPosition >= mWindowStart && Fits(inPosition - mWindowStart, inCount, mWindowCount)) return;
    // Any window aligned to the granule holds inCount bytes from inPosition when
    // inCount is at most this; a range beyond the source cannot be loaded at all.
    if (!Fits(inPosition, inCount, mLength)) throw eof_error();
    if (inCount > mBufferSize - mGranule + 1)
        throw std::invalid_argument("IBufferedByteStream: window fill larger than the buffer allows");

    std::uint64_t start = inPosition - inPosition % mGranule;
    // One granule further back when the bytes asked for still fit, for readers that
    // move backwards. Signed: the room left may be negative.
    const std::int64_t room =
        static_cast<std::int64_t>(mBufferSize) - mGranule - static_cast<std::int64_t>(inPosition - start);
    if (room > static_cast<std::int64_t>(inCount) && start > mGranule) start -= mGranule;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(mBufferSize, mLength - start));
    const std::uint64_t end = start + count;

    // What the old window holds of the new one moves to its new place in the buffer;
    // only the rest comes from the source.
    const std::uint64_t oldStart = mWindowStart;
    const std::uint64_t keepStart = std::max(start, oldStart);
    const std::uint64_t keepEnd = std::min(end, oldStart + mWindowCount);
    unsigned char* buffer = mBuffer.get();
    mWindowCount = 0;  // until the new window is complete
    if (keepStart < keepEnd) {
        std::memmove(buffer + (keepStart - start), buffer + (keepStart - oldStart),
                     static_cast<std::size_t>(keepEnd - keepStart));
        if (keepStart > start) {
            mSource.CurPos(start);
            mSource.ReadBlock(buffer, static_cast<std::uint32_t>(keepStart - start));
        }
        if (keepEnd < end) {
            mSource.CurPos(keepEnd);
            mSource.ReadBlock(buffer + (keepEnd - start), static_cast<std::uint32_t>(end - keepEnd));
        }
    } else {
        mSource.CurPos(start);
        mSource.ReadBlock(buffer, count);
    }
    mWindowStart = start;
    mWindowCount = count;
}

// OBufferedByteStream

OBufferedByteStream::OBufferedByteStream(OByteStream& inTarget, std::uint32_t inBufferSize,
                                         std::uint32_t inGranule)
    : mTarget(inTarget), mBuffer(NewBuffer(inBufferSize)), mBufferSize(inBufferSize), mGranule(inGranule) {}

OBufferedByteStream::~OBufferedByteStream() {
    try {
        Flush();
    } catch (...) {
        // A destructor cannot pass the failure on; Flush() before destruction sees it.
    }
}

void OBufferedByteStream::Put(unsigned char inByte) {
    if (mDirtyCount != 0 && mPosition - mWindowStart + 1 > mBufferSize) Flush();
    if (mDirtyCount == 0) mWindowStart = mPosition;
    mBuffer[mPosition - mWindowStart] = inByte;
    ++mPosition;
    mDirtyCount = std::max(mDirtyCount, mPosition - mWindowStart);
}

void OBufferedByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    if (inCount == 0) return;
    if (mDirtyCount != 0 && mPosition - mWindowStart + inCount > mBufferSize) Flush();
    if (inCount <= mBufferSize) {
        if (mDirtyCount == 0) mWindowStart = mPosition;
        unsigned char* to = mBuffer.get() + (mPosition - mWindowStart);
        // Encoded values are a few bytes each: a loop beats calling memcpy for them.
        if (inCount <= 16) {
            for (std::uint32_t i = 0; i < inCount; ++i) to[i] = inData[i];
        } else {
            std::memcpy(to, inData, inCount);
        }
        mPosition += inCount;
        mDirtyCount = std::max(mDirtyCount, mPosition - mWindowStart);
    } else {
        mTarget.CurPos(mPosition);
        mTarget.WriteBlock(inData, inCount);
        mPosition += inCount;
    }
}

void OBufferedByteStream::CurPos(std::uint64_t inPosition) {
    if (mDirtyCount != 0 && (inPosition < mWindowStart || inPosition - mWindowStart > mDirtyCount)) Flush();
    mPosition = inPosition;
}

std::uint64_t OBufferedByteStream::CurPos() const { return mPosition; }

void OBufferedByteStream::Flush() {
    if (mDirtyCount == 0) return;
    mTarget.CurPos(mWindowStart);
    mTarget.WriteBlock(mBuffer.get(), static_cast<std::uint32_t>(mDirtyCount));
    mDirtyCount = 0;
}

}  // namespace filesupport
}  // namespace tarncore
