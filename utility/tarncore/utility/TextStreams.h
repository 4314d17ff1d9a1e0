#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreamFacets.h>

#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

// Text streams over UTF-16 and UTF-8 code units. Each class only adds constructors to
// its standard base; they start with the global locale of the moment, completed with
// the facets that let them read and write numbers (TextStreamFacets.h). A locale given
// to imbue later must hold those facets too (Locale::Native and Locale::Default do).
//
// Beware: a single UTF16Char is an unsigned short, so "out << unit" writes its number.
// Write a unit with put(unit) or as a one-unit string; a char ('x') writes the character.
namespace tarncore {

class TARNCORE_API iUTF16StringStream : public std::basic_istringstream<utility::UTF16Char> {
public:
    explicit iUTF16StringStream(const utility::UTF16String& inText);
    // A null pointer reads as empty text.
    explicit iUTF16StringStream(const utility::UTF16Char* inText);
    ~iUTF16StringStream() override;
};

class TARNCORE_API oUTF16StringStream : public std::basic_ostringstream<utility::UTF16Char> {
public:
    oUTF16StringStream();
    ~oUTF16StringStream() override;
};

class TARNCORE_API UTF16OutputStream : public std::basic_ostream<utility::UTF16Char> {
public:
    // Without a buffer the stream is bad until one is set (SetStreamBuffer).
    UTF16OutputStream();
    // The buffer is not owned.
    explicit UTF16OutputStream(std::basic_streambuf<utility::UTF16Char>* inBuffer);
    ~UTF16OutputStream() override;
};

class TARNCORE_API iUTF8StringStream : public std::basic_istringstream<utility::UTF8Char> {
public:
    explicit iUTF8StringStream(const utility::UTF8String& inText);
    // A null pointer reads as empty text.
    explicit iUTF8StringStream(const utility::UTF8Char* inText);
    ~iUTF8StringStream() override;
};

class TARNCORE_API oUTF8StringStream : public std::basic_ostringstream<utility::UTF8Char> {
public:
    oUTF8StringStream();
    ~oUTF8StringStream() override;
};

namespace debug {

// A stream buffer that collects up to 255 units in a put area inside the object and
// hands them on, as a NUL-terminated array, to OutputText: when the area is full, at
// every flush of the stream and when the buffer is destroyed. A derived class's
// destructor must call Flush(): text still pending when only the base is left has
// nowhere to go and is dropped.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class UTF16StreamBufferImpl : public std::basic_streambuf<CharT, Traits> {
public:
    using int_type = typename Traits::int_type;
    static constexpr int kCapacity = 255;

    UTF16StreamBufferImpl() { this->setp(mArea, mArea + kCapacity); }
    UTF16StreamBufferImpl(const UTF16StreamBufferImpl&) = delete;
    UTF16StreamBufferImpl& operator=(const UTF16StreamBufferImpl&) = delete;
    ~UTF16StreamBufferImpl() override = default;

protected:
    int_type overflow(int_type inUnit) override {
        Flush();
        if (Traits::eq_int_type(inUnit, Traits::eof())) return Traits::not_eof(inUnit);
        *this->pptr() = Traits::to_char_type(inUnit);
        this->pbump(1);
        return inUnit;
    }

    int sync() override { return Flush(); }

    // Receives one piece of pending text.
    virtual void OutputText(const CharT* inText) = 0;

    // Hands the pending units, if any, to OutputText. Always succeeds (0).
    int Flush() {
        if (this->pptr() > this->pbase()) {
            const std::basic_string<CharT, Traits> piece(this->pbase(), this->pptr());
            this->setp(mArea, mArea + kCapacity);
            OutputText(piece.c_str());
        }
        return 0;
    }

private:
    CharT mArea[kCapacity];
};

// Writes each piece, converted to UTF-8, to the process's debugger output
// (tarncore/platform/DebugOutput.h) exactly as it stands.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class DebugStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
public:
    ~DebugStreamBuffer() override { this->Flush(); }

protected:
    void OutputText(const CharT* inText) override;
};

// Writes each piece, converted to UTF-8, to standard output with puts(), which adds a
// line feed after every piece.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class UTF16StdOutStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
public:
    ~UTF16StdOutStreamBuffer() override { this->Flush(); }

protected:
    void OutputText(const CharT* inText) override;
};

template <>
TARNCORE_API void DebugStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText);
template <>
TARNCORE_API void UTF16StdOutStreamBuffer<utility::UTF16Char>::OutputText(
    const utility::UTF16Char* inText);

}  // namespace debug

namespace utility {
namespace streams {

// The process-wide streams. Debug and UTF16Out exist from the library's static
// initialisation until it is unloaded; they have no lock of their own, so writers on
// several threads must take turns.
extern TARNCORE_API UTF16OutputStream& Debug;     // to the debugger output
extern TARNCORE_API UTF16OutputStream& UTF16Out;  // to standard output, a line per piece
extern TARNCORE_API std::istream& In;             // std::cin
extern TARNCORE_API std::ostream& Out;            // std::cout
extern TARNCORE_API std::ostream& Log;            // std::clog
extern TARNCORE_API std::ostream& Err;            // std::cerr

// Makes Debug and UTF16Out before the first static initialiser of any file that
// includes this header runs, and destroys them after the last such file's statics.
class TARNCORE_API StreamsInitializer {
public:
    StreamsInitializer();
    ~StreamsInitializer();
    StreamsInitializer(const StreamsInitializer&) = delete;
    StreamsInitializer& operator=(const StreamsInitializer&) = delete;
};
static StreamsInitializer sStreamsInitializer;

}  // namespace streams

// Resets the stream to the state of a freshly made one (state good, default flags,
// fill, precision and locale, no tie) over inBuffer, which it does not own, and
// returns the previous buffer.
TARNCORE_API std::streambuf* SetStreamBuffer(std::ostream& ioStream, std::streambuf* inBuffer);
TARNCORE_API std::basic_streambuf<UTF16Char>* SetStreamBuffer(
    UTF16OutputStream& ioStream, std::basic_streambuf<UTF16Char>* inBuffer);

}  // namespace utility
}  // namespace tarncore
