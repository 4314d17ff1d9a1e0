// The byte streams' slots and callbacks, default block transfers, and the values' byte layout.
#include <tarncore/filesupport/ByteStreams.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <type_traits>

namespace tarncore {
namespace filesupport {

byte_stream_exception::~byte_stream_exception() = default;
eof_error::~eof_error() = default;
io_error::~io_error() = default;
encoding_error::~encoding_error() = default;

// ByteStream_base

namespace {
// Atomic, though slots are meant to be handed out at start-up: it costs nothing.
std::atomic<int> sNextSlot{0};

template <class T>
T& Slot(std::vector<T>& ioSlots, int inIndex) {
    if (inIndex < 0) throw std::out_of_range("ByteStream_base: negative slot index");
    const auto index = static_cast<std::size_t>(inIndex);
    if (index >= ioSlots.size()) ioSlots.resize(index + 1, T());
    return ioSlots[index];
}
}  // namespace

ByteStream_base::ByteStream_base() = default;

ByteStream_base::~ByteStream_base() {
    // By index: a callback may register another, which must not upset the walk.
    for (std::size_t i = 0; i < mCallbacks.size(); ++i) {
        const auto callback = mCallbacks[i];
        callback.first(erase_event, *this, callback.second);
    }
}

int ByteStream_base::xalloc() { return sNextSlot.fetch_add(1, std::memory_order_relaxed); }

std::int32_t& ByteStream_base::iword(int inIndex) { return Slot(mIWords, inIndex); }

void*& ByteStream_base::pword(int inIndex) { return Slot(mPWords, inIndex); }

void ByteStream_base::register_callback(event_callback inCallback, int inIndex) {
    mCallbacks.emplace_back(inCallback, inIndex);
}

// IByteStream, OByteStream

IByteStream::~IByteStream() = default;

void IByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    for (std::uint32_t i = 0; i < inCount; ++i) outBuffer[i] = Get();
}

std::uint64_t IByteStream::Length() const { return 0; }

OByteStream::~OByteStream() = default;

void OByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    for (std::uint32_t i = 0; i < inCount; ++i) Put(inData[i]);
}

// Values

namespace {

constexpr std::size_t kMaxStringUnits = 0xFFFF;

// The value's two's-complement bits, most significant byte first, in one block.
template <class T>
OByteStream& WriteInteger(OByteStream& out, T inValue) {
    constexpr std::size_t Width = sizeof(T);
    using Unsigned = std::make_unsigned_t<T>;
    const auto bits = static_cast<Unsigned>(inValue);
    unsigned char bytes[Width];
    for (std::size_t i = 0; i < Width; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * (Width - 1 - i)));
    out.WriteBlock(bytes, Width);
    return out;
}

template <class T>
IByteStream& ReadInteger(IByteStream& in, T& outValue) {
    constexpr std::size_t Width = sizeof(T);
    using Unsigned = std::make_unsigned_t<T>;
    unsigned char bytes[Width];
    in.ReadBlock(bytes, Width);
    Unsigned bits = 0;
    for (std::size_t i = 0; i < Width; ++i) bits = static_cast<Unsigned>((bits << 8) | bytes[i]);
    outValue = static_cast<T>(bits);
    return in;
}

void WriteLength(OByteStream& out, std::size_t inUnits) {
    if (inUnits > kMaxStringUnits) throw encoding_error();
    const unsigned char bytes[2] = {static_cast<unsigned char>(inUnits >> 8),
                                    static_cast<unsigned char>(inUnits)};
    out.WriteBlock(bytes, 2);
}

std::uint32_t ReadLength(IByteStream& in) {
    unsigned char bytes[2];
    in.ReadBlock(bytes, 2);
    return static_cast<std::uint32_t>(bytes[0]) << 8 | bytes[1];
}

// Room for 36 significant digits with sign, point and exponent.
constexpr int kFloatDigits = 36;
constexpr std::size_t kFloatTextSize = 64;

template <class T>
OByteStream& WriteFloating(OByteStream& out, T inValue) {
    char text[kFloatTextSize];
    const auto result =
        std::to_chars(text, text + sizeof text, inValue, std::chars_format::general, kFloatDigits);
    const auto size = static_cast<std::size_t>(result.ptr - text);
    WriteLength(out, size);
    out.WriteBlock(reinterpret_cast<const unsigned char*>(text), static_cast<std::uint32_t>(size));
    return out;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool EqualsIgnoringCase(const std::string& inText, std::size_t inStart, const char* inWord) {
    for (std::size_t i = 0; inWord[i] != '\0'; ++i) {
        if (inStart + i >= inText.size()) return false;
        const char c = inText[inStart + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != inWord[i]) return false;
    }
    return true;
}

// "inf" and "nan" (and "infinity"), signed or not, after leading blanks: what the
// writer makes of values that standard extraction cannot read back.
template <class T>
bool ParseNonFinite(const std::string& inText, T& outValue) {
    std::size_t i = 0;
    while (i < inText.size() && IsBlank(inText[i])) ++i;
    bool negative = false;
    if (i < inText.size() && (inText[i] == '+' || inText[i] == '-')) negative = inText[i++] == '-';
    T value;
    if (EqualsIgnoringCase(inText, i, "inf")) {
        value = std::numeric_limits<T>::infinity();
    } else if (EqualsIgnoringCase(inText, i, "nan")) {
        value = std::numeric_limits<T>::quiet_NaN();
    } else {
        return false;
    }
    outValue = negative ? -value : value;
    return true;
}

template <class T>
IByteStream& ReadFloating(IByteStream& in, T& outValue) {
    std::string text;
    in >> text;
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    T value{};
    if (stream >> value) {
        outValue = value;
    } else if (!ParseNonFinite(text, outValue)) {
        throw encoding_error();
    }
    return in;
}

}  // namespace

OByteStream& operator<<(OByteStream& out, const bool& inValue) {
    out.Put(inValue ? 1 : 0);
    return out;
}
OByteStream& operator<<(OByteStream& out, const char& inValue) {
    out.Put(static_cast<unsigned char>(inValue));
    return out;
}
OByteStream& operator<<(OByteStream& out, const signed char& inValue) {
    out.Put(static_cast<unsigned char>(inValue));
    return out;
}
OByteStream& operator<<(OByteStream& out, const unsigned char& inValue) {
    out.Put(inValue);
    return out;
}
OByteStream& operator<<(OByteStream& out, const short& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const unsigned short& inValue) {
    return WriteInteger(out, inValue);
}
OByteStream& operator<<(OByteStream& out, const int& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const unsigned int& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const long& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const unsigned long& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const long long& inValue) { return WriteInteger(out, inValue); }
OByteStream& operator<<(OByteStream& out, const unsigned long long& inValue) {
    return WriteInteger(out, inValue);
}
OByteStream& operator<<(OByteStream& out, const char16_t& inValue) {
    return WriteInteger(out, static_cast<std::uint16_t>(inValue));
}
OByteStream& operator<<(OByteStream& out, const char32_t& inValue) {
    return WriteInteger(out, static_cast<std::uint32_t>(inValue));
}

OByteStream& operator<<(OByteStream& out, const float& inValue) {
    return WriteFloating(out, static_cast<double>(inValue));
}
OByteStream& operator<<(OByteStream& out, const double& inValue) { return WriteFloating(out, inValue); }
OByteStream& operator<<(OByteStream& out, const long double& inValue) { return WriteFloating(out, inValue); }

OByteStream& operator<<(OByteStream& out, const std::string& inValue) {
    WriteLength(out, inValue.size());
    out.WriteBlock(reinterpret_cast<const unsigned char*>(inValue.data()),
                   static_cast<std::uint32_t>(inValue.size()));
    return out;
}

OByteStream& operator<<(OByteStream& out, const utility::UTF16String& inValue) {
    if (inValue.size() > kMaxStringUnits) throw encoding_error();
    // Length and units in one block.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[2 + 2 * inValue.size()]);
    bytes[0] = static_cast<unsigned char>(inValue.size() >> 8);
    bytes[1] = static_cast<unsigned char>(inValue.size());
    for (std::size_t i = 0; i < inValue.size(); ++i) {
        bytes[2 + 2 * i] = static_cast<unsigned char>(inValue[i] >> 8);
        bytes[3 + 2 * i] = static_cast<unsigned char>(inValue[i]);
    }
    out.WriteBlock(bytes.get(), static_cast<std::uint32_t>(2 + 2 * inValue.size()));
    return out;
}

OByteStream& operator<<(OByteStream& out, IByteStream& in) {
    const std::uint64_t length = in.Length();
    if (length == 0) {
        for (;;) {
            unsigned char byte;
            try {
                byte = in.Get();
            } catch (const eof_error&) {
                break;
            }
            out.Put(byte);
        }
        return out;
    }
    // Known length: the rest of it, in blocks.
    const std::uint64_t position = in.CurPos();
    std::uint64_t left = position < length ? length - position : 0;
    constexpr std::uint32_t kChunk = 64 * 1024;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[std::min<std::uint64_t>(left, kChunk) + 1]);
    while (left > 0) {
        const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, kChunk));
        in.ReadBlock(buffer.get(), chunk);
        out.WriteBlock(buffer.get(), chunk);
        left -= chunk;
    }
    return out;
}

IByteStream& operator>>(IByteStream& in, bool& outValue) {
    outValue = in.Get() != 0;
    return in;
}
IByteStream& operator>>(IByteStream& in, char& outValue) {
    outValue = static_cast<char>(in.Get());
    return in;
}
IByteStream& operator>>(IByteStream& in, signed char& outValue) {
    outValue = static_cast<signed char>(in.Get());
    return in;
}
IByteStream& operator>>(IByteStream& in, unsigned char& outValue) {
    outValue = in.Get();
    return in;
}
IByteStream& operator>>(IByteStream& in, short& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, unsigned short& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, int& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, unsigned int& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, long& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, unsigned long& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, long long& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, unsigned long long& outValue) { return ReadInteger(in, outValue); }
IByteStream& operator>>(IByteStream& in, char16_t& outValue) {
    std::uint16_t value;
    ReadInteger(in, value);
    outValue = static_cast<char16_t>(value);
    return in;
}
IByteStream& operator>>(IByteStream& in, char32_t& outValue) {
    std::uint32_t value;
    ReadInteger(in, value);
    outValue = static_cast<char32_t>(value);
    return in;
}

IByteStream& operator>>(IByteStream& in, float& outValue) { return ReadFloating(in, outValue); }
IByteStream& operator>>(IByteStream& in, double& outValue) { return ReadFloating(in, outValue); }
IByteStream& operator>>(IByteStream& in, long double& outValue) { return ReadFloating(in, outValue); }

IByteStream& operator>>(IByteStream& in, std::string& outValue) {
    outValue.clear();
    const std::uint32_t length = ReadLength(in);
    outValue.resize(length);
    if (length > 0) in.ReadBlock(reinterpret_cast<unsigned char*>(&outValue[0]), length);
    return in;
}

IByteStream& operator>>(IByteStream& in, utility::UTF16String& outValue) {
    outValue.clear();
    const std::uint32_t length = ReadLength(in);
    if (length == 0) return in;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[2 * length]);
    in.ReadBlock(bytes.get(), 2 * length);
    outValue.resize(length);
    for (std::uint32_t i = 0; i < length; ++i)
        outValue[i] = static_cast<utility::UTF16Char>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    return in;
}

}  // namespace filesupport
}  // namespace tarncore
