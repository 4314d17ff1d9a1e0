// OCRCByteStream, the CRC-32 that passes bytes on, and OCountingByteStream.
#include <tarncore/filesupport/StreamAdapters.h>

#include "filesupport/src/Crc32.h"

#include <algorithm>

namespace tarncore {
namespace filesupport {

// OCRCByteStream. The lookup tables are built by the compiler from the polynomial's
// exponents (Crc32.cpp) and shared: every stream would build the same ones.

OCRCByteStream::OCRCByteStream(OByteStream& inTarget) : mTarget(inTarget) {}
OCRCByteStream::~OCRCByteStream() = default;

void OCRCByteStream::Put(unsigned char inByte) {
    mRegister = checksum::Update(mRegister, inByte);
    mTarget.Put(inByte);
}

void OCRCByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    mRegister = checksum::Update(mRegister, inData, inCount);
    mTarget.WriteBlock(inData, inCount);
}

void OCRCByteStream::CurPos(std::uint64_t inPosition) { mTarget.CurPos(inPosition); }
std::uint64_t OCRCByteStream::CurPos() const { return mTarget.CurPos(); }
std::uint32_t OCRCByteStream::Value() const { return mRegister ^ 0xFFFFFFFFu; }

// OCountingByteStream

OCountingByteStream::OCountingByteStream() = default;
OCountingByteStream::~OCountingByteStream() = default;

void OCountingByteStream::Put(unsigned char) {
    ++mPosition;
    mCount = std::max(mCount, mPosition);
}

void OCountingByteStream::WriteBlock(const unsigned char*, std::uint32_t inCount) {
    mPosition += inCount;
    mCount = std::max(mCount, mPosition);
}

void OCountingByteStream::CurPos(std::uint64_t inPosition) { mPosition = inPosition; }
std::uint64_t OCountingByteStream::CurPos() const { return mPosition; }

}  // namespace filesupport
}  // namespace tarncore
