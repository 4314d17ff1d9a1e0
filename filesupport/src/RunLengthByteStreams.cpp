// IRLEByteStream and ORLEByteStream: PackBits decoding and encoding.
#include <tarncore/filesupport/StreamAdapters.h>

namespace tarncore {
namespace filesupport {

// IRLEByteStream

IRLEByteStream::IRLEByteStream(IByteStream& inSource) : mSource(inSource) {}
IRLEByteStream::~IRLEByteStream() = default;

unsigned char IRLEByteStream::Get() {
    while (mLiteralsLeft == 0 && mRepeatsLeft == 0) {
        const auto header = static_cast<signed char>(mSource.Get());
        if (header == -128) continue;
        if (header >= 0) {
            mLiteralsLeft = header + 1;
        } else {
            // The byte first: if the source ends here, no repeat of a stale byte is left.
            mRepeated = mSource.Get();
            mRepeatsLeft = 1 - header;
        }
    }
    if (mLiteralsLeft > 0) {
        const unsigned char byte = mSource.Get();
        --mLiteralsLeft;
        return byte;
    }
    --mRepeatsLeft;
    return mRepeated;
}

void IRLEByteStream::CurPos(std::uint64_t) { throw byte_stream_exception(); }
std::uint64_t IRLEByteStream::CurPos() const { throw byte_stream_exception(); }

// ORLEByteStream

ORLEByteStream::ORLEByteStream(OByteStream& inTarget) : mTarget(inTarget) {}

// Pending bytes are dropped: the owner flushes.
ORLEByteStream::~ORLEByteStream() = default;

void ORLEByteStream::Put(unsigned char inByte) { Encode(inByte); }

void ORLEByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    for (std::uint32_t i = 0; i < inCount; ++i) Encode(inData[i]);
}

void ORLEByteStream::CurPos(std::uint64_t) { throw byte_stream_exception(); }
std::uint64_t ORLEByteStream::CurPos() const { throw byte_stream_exception(); }

void ORLEByteStream::Flush() {
    if (mCount > 0) EmitPacket();
}

// A pending run is mPending[0] mCount times; pending literal data is mPending[0] to
// mPending[mCount - 1].
void ORLEByteStream::Encode(unsigned char inByte) {
    if (mCount == 0) {
        mPending[0] = inByte;
        mCount = 1;
        mRunMode = true;
        return;
    }
    if (mRunMode) {
        if (inByte == mPending[0]) {
            ++mCount;
        } else if (mCount == 1) {
            // A single byte and a different one start literal data.
            mRunMode = false;
            mPending[mCount++] = inByte;
        } else {
            EmitPacket();
            mPending[0] = inByte;
            mRunMode = true;
            mCount = 1;
        }
    } else if (mCount > 2 && inByte == mPending[mCount - 1] && inByte == mPending[mCount - 2]) {
        // The third equal byte: the literal data before the two ends, and a run of
        // three begins.
        mCount -= 2;
        EmitPacket();
        mPending[0] = inByte;
        mCount = 3;
        mRunMode = true;
    } else {
        mPending[mCount++] = inByte;
    }
    if (mCount == kMaxPacket) EmitPacket();
}

void ORLEByteStream::EmitPacket() {
    const auto header = static_cast<unsigned char>(mCount - 1);
    if (mRunMode && header != 0) {
        mTarget.Put(static_cast<unsigned char>(1 - mCount));
        mTarget.WriteBlock(mPending, 1);
    } else {
        mTarget.Put(header);
        mTarget.WriteBlock(mPending, static_cast<std::uint32_t>(mCount));
    }
    mCount = 0;
}

}  // namespace filesupport
}  // namespace tarncore
