// SafeTraceStream: UTF-16 text gathered in the object and written to the debugger output in pieces.
#include <tarncore/debug/SafeTraceStream.h>

#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <charconv>
#include <cstring>
#include <string_view>

namespace tarncore {
namespace debug {

using utility::UTF16Char;
using utility::UTF8Char;

namespace {

constexpr std::uint32_t kPieceUnits = SafeTraceStream::kBufferUnits - 1;

bool IsHighSurrogate(UTF16Char inUnit) { return (inUnit & 0xFC00) == 0xD800; }
bool IsLowSurrogate(UTF16Char inUnit) { return (inUnit & 0xFC00) == 0xDC00; }

// Decimal digits, from a buffer on the stack.
template <class T>
SafeTraceStream& AppendNumber(SafeTraceStream& ioStream, T inValue) {
    char digits[24];
    const char* const end = std::to_chars(digits, digits + sizeof digits, inValue).ptr;
    UTF16Char units[24];
    std::size_t count = 0;
    for (const char* p = digits; p != end; ++p) units[count++] = static_cast<UTF16Char>(*p);
    ioStream.Append(units, count);
    return ioStream;
}

}  // namespace

SafeTraceStream::SafeTraceStream() : mCount(0) {}

SafeTraceStream::~SafeTraceStream() {
    if (mCount > 0) Deliver(mCount);
}

void SafeTraceStream::Append(const UTF16Char* inUnits, std::size_t inCount) {
    for (std::size_t i = 0; i < inCount; ++i) {
        const UTF16Char unit = inUnits[i];
        if (mCount == kPieceUnits) {
            // The output is UTF-8: half a pair in each of two pieces would come out as
            // two broken characters, so a pair's high half waits for the next piece.
            const UTF16Char last = mBuffer[kPieceUnits - 1];
            if (IsHighSurrogate(last) && IsLowSurrogate(unit)) {
                Deliver(kPieceUnits - 1);
                mBuffer[0] = last;
                mCount = 1;
            } else {
                Deliver(kPieceUnits);
                mCount = 0;
            }
        }
        mBuffer[mCount++] = unit;
    }
}

void SafeTraceStream::Deliver(std::uint32_t inCount) {
    mBuffer[inCount] = 0;
    UTF8Char bytes[3 * kPieceUnits];
    const std::size_t length = utility::EncodeUTF16to8(mBuffer, inCount, bytes);
    platform::WriteDebugOutput(std::string_view(reinterpret_cast<const char*>(bytes), length));
}

SafeTraceStream& operator<<(SafeTraceStream& ioStream, const char* inText) {
    if (inText == nullptr) return ioStream;
    const auto* p = reinterpret_cast<const UTF8Char*>(inText);
    const UTF8Char* const end = p + std::strlen(inText);
    // Converted in runs through a buffer on the stack.
    UTF16Char units[256];
    std::size_t count = 0;
    while (p < end) {
        if (count + 2 > sizeof units / sizeof units[0]) {
            ioStream.Append(units, count);
            count = 0;
        }
        std::size_t decoded = 0;
        const std::size_t taken = utility::DecodeUTF8Sequence(p, end, units + count, decoded);
        if (taken == 0) {
            units[count++] = 0xFFFD;  // a byte that starts no well-formed sequence
            ++p;
        } else {
            count += decoded;
            p += taken;
        }
    }
    ioStream.Append(units, count);
    return ioStream;
}

SafeTraceStream& operator<<(SafeTraceStream& ioStream, const UTF16Char* inText) {
    if (inText == nullptr) return ioStream;
    std::size_t length = 0;
    while (inText[length] != 0) ++length;
    ioStream.Append(inText, length);
    return ioStream;
}

SafeTraceStream& operator<<(SafeTraceStream& ioStream, int inValue) {
    return AppendNumber(ioStream, inValue);
}
SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::uint32_t inValue) {
    return AppendNumber(ioStream, inValue);
}
SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::int64_t inValue) {
    return AppendNumber(ioStream, inValue);
}
SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::uint64_t inValue) {
    return AppendNumber(ioStream, inValue);
}

}  // namespace debug
}  // namespace tarncore
