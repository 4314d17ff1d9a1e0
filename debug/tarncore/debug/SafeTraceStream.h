// SafeTraceStream: text straight to the debugger output, without heap memory.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

/// @file
/// A stream for code that must not allocate while it reports (the allocators).
namespace tarncore {
namespace debug {

/// Collects UTF-16 text in a buffer inside the object and writes it to the debugger
/// output (tarncore/platform/DebugOutput.h, as UTF-8) in pieces of at most 511 units:
/// a piece goes out when the 512th unit arrives, and the rest when the stream is
/// destroyed. A surrogate pair is never split between pieces. No operator uses heap
/// memory. One stream belongs to one thread.
class TARNCORE_API SafeTraceStream {
public:
    static constexpr std::uint32_t kBufferUnits = 512;  ///< One more than the longest piece.

    SafeTraceStream();
    SafeTraceStream(const SafeTraceStream&) = delete;
    SafeTraceStream& operator=(const SafeTraceStream&) = delete;
    /// Writes what is pending.
    ~SafeTraceStream();

    /// Appends inCount units.
    void Append(const utility::UTF16Char* inUnits, std::size_t inCount);

private:
    void Deliver(std::uint32_t inCount);

    utility::UTF16Char mBuffer[kBufferUnits];
    std::uint32_t mCount;
};

/// Appends the start of a trace line, as debug::TraceLinePrefix gives it, without heap
/// memory.
TARNCORE_API SafeTraceStream& WriteTraceLinePrefix(SafeTraceStream& ioStream, const char* inCategory,
                                                   std::int32_t inVolume);
/// UTF-8 text up to its NUL; a byte that starts no well-formed sequence appends
/// U+FFFD. A null pointer appends nothing.
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, const char* inText);
/// UTF-16 units up to the terminating zero. A null pointer appends nothing.
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, const utility::UTF16Char* inText);
/// Numbers in decimal.
/// @{
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, int inValue);
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::uint32_t inValue);
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::int64_t inValue);
TARNCORE_API SafeTraceStream& operator<<(SafeTraceStream& ioStream, std::uint64_t inValue);
/// `long long` and `unsigned long long` where they are not the 64-bit types above (on
/// Linux those are `long` and `unsigned long`).
template <class T, std::enable_if_t<
                       (std::is_same<T, long long>::value || std::is_same<T, unsigned long long>::value) &&
                           !std::is_same<T, std::int64_t>::value && !std::is_same<T, std::uint64_t>::value,
                       int> = 0>
SafeTraceStream& operator<<(SafeTraceStream& ioStream, T inValue) {
    using Wide = std::conditional_t<std::is_signed<T>::value, std::int64_t, std::uint64_t>;
    return ioStream << static_cast<Wide>(inValue);
}
/// @}

}  // namespace debug
}  // namespace tarncore
