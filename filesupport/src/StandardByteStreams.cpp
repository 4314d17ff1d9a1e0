// Byte streams over memory, deques, strings and the standard library's streams.
#include <tarncore/filesupport/StandardByteStreams.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tarncore {
namespace filesupport {

namespace {

// True when inCount bytes from inPosition lie inside inLength bytes.
bool Fits(std::uint64_t inPosition, std::uint64_t inCount, std::uint64_t inLength) {
    return inPosition <= inLength && inCount <= inLength - inPosition;
}

}  // namespace

// IBufferByteStream

IBufferByteStream::IBufferByteStream(const unsigned char* inData, std::uint64_t inLength)
    : mData(inData), mLength(inLength) {}
IBufferByteStream::~IBufferByteStream() = default;

unsigned char IBufferByteStream::Get() {
    if (mPosition >= mLength) throw eof_error();
    return mData[mPosition++];
}

void IBufferByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    if (!Fits(mPosition, inCount, mLength)) throw eof_error();
    if (inCount > 0) std::memcpy(outBuffer, mData + mPosition, inCount);
    mPosition += inCount;
}

void IBufferByteStream::CurPos(std::uint64_t inPosition) { mPosition = inPosition; }
std::uint64_t IBufferByteStream::CurPos() const { return mPosition; }
std::uint64_t IBufferByteStream::Length() const { return mLength; }

// OBufferByteStream

OBufferByteStream::OBufferByteStream(unsigned char* outData, std::uint64_t inCapacity)
    : mData(outData), mCapacity(inCapacity) {}
OBufferByteStream::~OBufferByteStream() = default;

void OBufferByteStream::Put(unsigned char inByte) {
    if (mPosition >= mCapacity) throw eof_error();
    mData[mPosition++] = inByte;
    mCount = std::max(mCount, mPosition);
}

void OBufferByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    if (!Fits(mPosition, inCount, mCapacity)) throw eof_error();
    if (inCount > 0) std::memcpy(mData + mPosition, inData, inCount);
    mPosition += inCount;
    mCount = std::max(mCount, mPosition);
}

// A position beyond the capacity counts only up to the capacity: Count() tells a
// consumer how much of the buffer to take, and never more than there is.
void OBufferByteStream::CurPos(std::uint64_t inPosition) {
    mPosition = inPosition;
    mCount = std::max(mCount, std::min(mPosition, mCapacity));
}

std::uint64_t OBufferByteStream::CurPos() const { return mPosition; }
std::uint64_t OBufferByteStream::Capacity() const { return mCapacity; }

// Deques and strings: positions are indexes, so that a position beyond the end, or a
// container that grows meanwhile, does no harm.

namespace {

template <class Container>
unsigned char GetAt(const Container& inContainer, std::uint64_t& ioPosition) {
    if (ioPosition >= inContainer.size()) throw eof_error();
    return static_cast<unsigned char>(inContainer[static_cast<std::size_t>(ioPosition++)]);
}

template <class Container>
void ReadAt(const Container& inContainer, std::uint64_t& ioPosition, unsigned char* outBuffer,
            std::uint32_t inCount) {
    if (!Fits(ioPosition, inCount, inContainer.size())) throw eof_error();
    const auto begin = inContainer.begin() + static_cast<std::ptrdiff_t>(ioPosition);
    std::transform(begin, begin + inCount, outBuffer,
                   [](auto inUnit) { return static_cast<unsigned char>(inUnit); });
    ioPosition += inCount;
}

}  // namespace

IDequeByteStream::IDequeByteStream(std::deque<unsigned char>& inDeque) : mDeque(inDeque) {}
IDequeByteStream::~IDequeByteStream() = default;
unsigned char IDequeByteStream::Get() { return GetAt(mDeque, mPosition); }
void IDequeByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    ReadAt(mDeque, mPosition, outBuffer, inCount);
}
void IDequeByteStream::CurPos(std::uint64_t inPosition) { mPosition = inPosition; }
std::uint64_t IDequeByteStream::CurPos() const { return mPosition; }
std::uint64_t IDequeByteStream::Length() const { return mDeque.size(); }

ODequeByteStream::ODequeByteStream(std::deque<unsigned char>& outDeque) : mDeque(outDeque) {}
ODequeByteStream::~ODequeByteStream() = default;
void ODequeByteStream::Put(unsigned char inByte) { mDeque.push_back(inByte); }
void ODequeByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    mDeque.insert(mDeque.end(), inData, inData + inCount);
}
void ODequeByteStream::CurPos(std::uint64_t) {}
std::uint64_t ODequeByteStream::CurPos() const { return mDeque.size(); }

IStringByteStream::IStringByteStream(const std::string& inString) : mString(inString) {}
IStringByteStream::~IStringByteStream() = default;
unsigned char IStringByteStream::Get() { return GetAt(mString, mPosition); }
void IStringByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    ReadAt(mString, mPosition, outBuffer, inCount);
}
void IStringByteStream::CurPos(std::uint64_t inPosition) { mPosition = inPosition; }
std::uint64_t IStringByteStream::CurPos() const { return mPosition; }
std::uint64_t IStringByteStream::Length() const { return mString.size(); }

OStringByteStream::OStringByteStream(std::string& outString) : mString(outString) {}
OStringByteStream::~OStringByteStream() = default;
void OStringByteStream::Put(unsigned char inByte) { mString.push_back(static_cast<char>(inByte)); }
void OStringByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    mString.append(reinterpret_cast<const char*>(inData), inCount);
}
void OStringByteStream::CurPos(std::uint64_t) {}
std::uint64_t OStringByteStream::CurPos() const { return mString.size(); }

// Standard streams

namespace {

std::streamoff ToOffset(std::uint64_t inPosition) {
    // A position no stream can reach fails the seek rather than wrapping around.
    return inPosition > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())
               ? std::streamoff(-1)
               : static_cast<std::streamoff>(inPosition);
}

}  // namespace

IStdByteStream::IStdByteStream(std::istream& inStream) : mStream(inStream) {}
IStdByteStream::~IStdByteStream() = default;

unsigned char IStdByteStream::Get() {
    const std::istream::int_type c = mStream.get();
    if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) throw eof_error();
    return static_cast<unsigned char>(c);
}

void IStdByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    mStream.read(reinterpret_cast<char*>(outBuffer), static_cast<std::streamsize>(inCount));
    if (mStream.gcount() != static_cast<std::streamsize>(inCount)) throw eof_error();
}

void IStdByteStream::CurPos(std::uint64_t inPosition) {
    const std::streamoff offset = ToOffset(inPosition);
    if (offset < 0) {
        mStream.setstate(std::ios_base::failbit);
        return;
    }
    mStream.seekg(offset);
}

// A stream that cannot tell answers -1, which reads as the highest position.
std::uint64_t IStdByteStream::CurPos() const {
    return static_cast<std::uint64_t>(std::streamoff(mStream.tellg()));
}

std::uint64_t IStdByteStream::Length() const {
    const std::ios_base::iostate state = mStream.rdstate();
    const std::streampos here = mStream.tellg();
    if (here == std::streampos(-1)) return 0;
    mStream.seekg(0, std::ios_base::end);
    const std::streampos end = mStream.tellg();
    mStream.seekg(here);
    // Asking for the length is no read: the stream's state stays as it was.
    mStream.clear(state);
    return end == std::streampos(-1) ? 0 : static_cast<std::uint64_t>(std::streamoff(end));
}

OStdByteStream::OStdByteStream(std::ostream& outStream) : mStream(outStream) {}
OStdByteStream::~OStdByteStream() = default;
void OStdByteStream::Put(unsigned char inByte) { mStream.put(static_cast<char>(inByte)); }
void OStdByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    mStream.write(reinterpret_cast<const char*>(inData), static_cast<std::streamsize>(inCount));
}
void OStdByteStream::CurPos(std::uint64_t inPosition) {
    const std::streamoff offset = ToOffset(inPosition);
    if (offset < 0) {
        mStream.setstate(std::ios_base::failbit);
        return;
    }
    mStream.seekp(offset);
}
std::uint64_t OStdByteStream::CurPos() const {
    return static_cast<std::uint64_t>(std::streamoff(mStream.tellp()));
}

}  // namespace filesupport
}  // namespace tarncore
