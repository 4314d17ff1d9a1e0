// Byte sources and sinks, their exceptions, and the portable byte layout of values on them.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <exception>
#include <string>
#include <utility>
#include <vector>

/// @file
/// Sources and sinks of bytes, and the one portable byte layout in which values travel
/// over them: integers big-endian by their width, strings with a 16-bit length before
/// their units, floating-point values as decimal text. Concrete streams are in
/// StandardByteStreams.h and PlatformByteStreams.h, adapters in StreamAdapters.h.
///
/// Positions, lengths and counts are 64-bit; block sizes 32-bit. A stream is used by
/// one thread at a time and does not own what it wraps.
namespace tarncore {
namespace filesupport {

/// An operation that the stream does not support.
class TARNCORE_API byte_stream_exception : public std::exception {
public:
    ~byte_stream_exception() override;
};

/// Reading past the end of a source, or writing past the end of a fixed buffer.
class TARNCORE_API eof_error : public byte_stream_exception {
public:
    ~eof_error() override;
};

/// A read, write or seek of the operating system failed.
class TARNCORE_API io_error : public byte_stream_exception {
public:
    ~io_error() override;
};

/// A value that the byte layout cannot hold (a string of more than 65535 units; nothing
/// of it is written), or bytes that hold no value of the type read (floating-point
/// text that does not read as a number).
class TARNCORE_API encoding_error : public byte_stream_exception {
public:
    ~encoding_error() override;
};

/// What both directions share: slots for the caller's own data, and callbacks called
/// when the stream goes away. Streams are not copyable.
class TARNCORE_API ByteStream_base {
public:
    enum event { erase_event = 0 };
    using event_callback = void (*)(event inEvent, ByteStream_base& inStream, int inIndex);

    /// A new slot index for iword and pword, the same in every stream: 0, 1, 2, ...
    static int xalloc();

    /// The slot, grown into existence (as 0 or null) when it is new. A reference stays
    /// valid until a higher index of the same kind is asked for. std::out_of_range for a
    /// negative index.
    /// @{
    std::int32_t& iword(int inIndex);
    void*& pword(int inIndex);
    /// @}

    /// The destructor calls each callback in the order of registration with
    /// erase_event, the stream and the callback's index.
    void register_callback(event_callback inCallback, int inIndex);

    virtual ~ByteStream_base();

    ByteStream_base(const ByteStream_base&) = delete;
    ByteStream_base& operator=(const ByteStream_base&) = delete;

protected:
    ByteStream_base();

private:
    std::vector<std::int32_t> mIWords;
    std::vector<void*> mPWords;
    std::vector<std::pair<event_callback, int>> mCallbacks;
};

/// A source of bytes.
class TARNCORE_API IByteStream : public ByteStream_base {
public:
    ~IByteStream() override;

    /// The next byte; eof_error past the end.
    virtual unsigned char Get() = 0;
    /// inCount bytes in order. The default calls Get for each.
    virtual void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount);
    /// The read position, in bytes from the start.
    /// @{
    virtual void CurPos(std::uint64_t inPosition) = 0;
    virtual std::uint64_t CurPos() const = 0;
    /// @}
    /// The whole length of the source; 0 means that it is not known.
    virtual std::uint64_t Length() const;
};

/// A sink of bytes.
class TARNCORE_API OByteStream : public ByteStream_base {
public:
    ~OByteStream() override;

    virtual void Put(unsigned char inByte) = 0;
    /// inCount bytes in order. The default calls Put for each.
    virtual void WriteBlock(const unsigned char* inData, std::uint32_t inCount);
    /// The write position, in bytes from the start.
    /// @{
    virtual void CurPos(std::uint64_t inPosition) = 0;
    virtual std::uint64_t CurPos() const = 0;
    /// @}
};

/// Values. Each integer type goes by its width here: 1 byte for bool and the char
/// types, 2 for short and char16_t, 4 for int and char32_t, 8 for long and long long
/// (std::int32_t is int and std::int64_t is long). Reading a composite value that meets
/// the end throws eof_error and may leave part of the value in the target.
/// @{
TARNCORE_API OByteStream& operator<<(OByteStream& out, const bool& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const char& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const signed char& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const unsigned char& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const short& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const unsigned short& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const int& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const unsigned int& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const long& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const unsigned long& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const long long& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const unsigned long long& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const char16_t& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const char32_t& inValue);
/// @}
/// The value as decimal text of 36 significant digits, the classic way whatever the
/// user's locale, written as an 8-bit string: "1.5", "inf", and for 0.1
/// "0.100000000000000005551115123125782702". A float is widened to double first.
/// @{
TARNCORE_API OByteStream& operator<<(OByteStream& out, const float& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const double& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const long double& inValue);
/// @}
/// A 16-bit length, then the units (UTF-16 units most significant byte first).
/// encoding_error, before any byte is written, for more than 65535 units.
/// @{
TARNCORE_API OByteStream& operator<<(OByteStream& out, const std::string& inValue);
TARNCORE_API OByteStream& operator<<(OByteStream& out, const utility::UTF16String& inValue);
/// @}

/// Copies the rest of the source, from its position on, into the sink. When the source
/// does not know its length, bytes are copied until it throws eof_error, which ends the
/// copy normally.
TARNCORE_API OByteStream& operator<<(OByteStream& out, IByteStream& in);

/// wchar_t differs in width between platforms, so a portable layout has none; and a
/// pointer would silently go as a bool. Convert to a type above.
/// @{
OByteStream& operator<<(OByteStream& out, const wchar_t& inValue) = delete;
template <class T>
OByteStream& operator<<(OByteStream& out, const T* inPointer) = delete;
/// @}

TARNCORE_API IByteStream& operator>>(IByteStream& in, bool& outValue);  ///< true for any non-zero byte
TARNCORE_API IByteStream& operator>>(IByteStream& in, char& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, signed char& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, unsigned char& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, short& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, unsigned short& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, int& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, unsigned int& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, long& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, unsigned long& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, long long& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, unsigned long long& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, char16_t& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, char32_t& outValue);
/// The text is read as standard stream extraction in the classic locale reads it, plus
/// "inf" and "nan" as written above. encoding_error for text that holds no number of
/// the target type (the target keeps its value).
/// @{
TARNCORE_API IByteStream& operator>>(IByteStream& in, float& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, double& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, long double& outValue);
/// @}
/// The target is cleared, then receives the units.
/// @{
TARNCORE_API IByteStream& operator>>(IByteStream& in, std::string& outValue);
TARNCORE_API IByteStream& operator>>(IByteStream& in, utility::UTF16String& outValue);
/// @}

IByteStream& operator>>(IByteStream& in, wchar_t& outValue) = delete;

}  // namespace filesupport
}  // namespace tarncore
