#include <tarncore/utility/TextStreams.h>

#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <cstdio>
#include <iostream>
#include <new>

namespace tarncore {

namespace {

template <class CharT>
std::basic_string<CharT> FromArray(const CharT* inText) {
    return inText != nullptr ? std::basic_string<CharT>(inText) : std::basic_string<CharT>();
}

// basic_ios::init is protected; naming it through a derived class gives the pointer
// to member that SetStreamBuffer needs to re-initialise any stream.
template <class CharT>
struct IosAccess : std::basic_ios<CharT> {
    static void Init(std::basic_ios<CharT>& ioStream, std::basic_streambuf<CharT>* inBuffer) {
        (ioStream.*&IosAccess::init)(inBuffer);
    }
};

template <class Stream>
void CompleteLocale(Stream& ioStream) {
    ioStream.imbue(utility::WithTextStreamFacets(ioStream.getloc()));
}

}  // namespace

iUTF16StringStream::iUTF16StringStream(const utility::UTF16String& inText)
    : std::basic_istringstream<utility::UTF16Char>(inText) {
    CompleteLocale(*this);
}
iUTF16StringStream::iUTF16StringStream(const utility::UTF16Char* inText)
    : iUTF16StringStream(FromArray(inText)) {}
iUTF16StringStream::~iUTF16StringStream() = default;

oUTF16StringStream::oUTF16StringStream() { CompleteLocale(*this); }
oUTF16StringStream::~oUTF16StringStream() = default;

UTF16OutputStream::UTF16OutputStream() : std::basic_ostream<utility::UTF16Char>(nullptr) {
    CompleteLocale(*this);
}
// The locale is completed before the buffer is attached, so the caller's buffer is
// not imbued with it.
UTF16OutputStream::UTF16OutputStream(std::basic_streambuf<utility::UTF16Char>* inBuffer)
    : std::basic_ostream<utility::UTF16Char>(nullptr) {
    CompleteLocale(*this);
    if (inBuffer != nullptr) rdbuf(inBuffer);
}
UTF16OutputStream::~UTF16OutputStream() = default;

iUTF8StringStream::iUTF8StringStream(const utility::UTF8String& inText)
    : std::basic_istringstream<utility::UTF8Char>(inText) {
    CompleteLocale(*this);
}
iUTF8StringStream::iUTF8StringStream(const utility::UTF8Char* inText)
    : iUTF8StringStream(FromArray(inText)) {}
iUTF8StringStream::~iUTF8StringStream() = default;

oUTF8StringStream::oUTF8StringStream() { CompleteLocale(*this); }
oUTF8StringStream::~oUTF8StringStream() = default;

namespace debug {

template <>
void DebugStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText) {
    const utility::UTF8String bytes = utility::UTF16to8(inText);
    platform::WriteDebugOutput(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

template <>
void UTF16StdOutStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText) {
    const utility::UTF8String bytes = utility::UTF16to8(inText);
    std::puts(reinterpret_cast<const char*>(bytes.c_str()));
}

}  // namespace debug

namespace utility {
namespace streams {

namespace {

// Raw storage the initializer constructs the objects in. It is initialised as a
// constant, before any code runs, so a StreamsInitializer of a file initialised earlier
// may construct into it; binding the references below needs only the addresses.
template <class T>
union Storage {
    constexpr Storage() : unused() {}
    ~Storage() {}
    char unused;
    T object;
};

Storage<debug::DebugStreamBuffer<>> sDebugBuffer;
Storage<debug::UTF16StdOutStreamBuffer<>> sStdOutBuffer;
Storage<UTF16OutputStream> sDebugStream;
Storage<UTF16OutputStream> sStdOutStream;
int sInitializerCount = 0;

}  // namespace

UTF16OutputStream& Debug = sDebugStream.object;
UTF16OutputStream& UTF16Out = sStdOutStream.object;
std::istream& In = std::cin;
std::ostream& Out = std::cout;
std::ostream& Log = std::clog;
std::ostream& Err = std::cerr;

StreamsInitializer::StreamsInitializer() {
    if (sInitializerCount++ != 0) return;
    // Each buffer before its stream.
    new (&sDebugBuffer.object) debug::DebugStreamBuffer<>();
    new (&sDebugStream.object) UTF16OutputStream(&sDebugBuffer.object);
    new (&sStdOutBuffer.object) debug::UTF16StdOutStreamBuffer<>();
    new (&sStdOutStream.object) UTF16OutputStream(&sStdOutBuffer.object);
}

StreamsInitializer::~StreamsInitializer() {
    if (--sInitializerCount != 0) return;
    // Each stream before its buffer; destroying a buffer flushes it.
    sStdOutStream.object.~UTF16OutputStream();
    sStdOutBuffer.object.~UTF16StdOutStreamBuffer();
    sDebugStream.object.~UTF16OutputStream();
    sDebugBuffer.object.~DebugStreamBuffer();
}

}  // namespace streams

std::streambuf* SetStreamBuffer(std::ostream& ioStream, std::streambuf* inBuffer) {
    std::streambuf* previous = ioStream.rdbuf();
    IosAccess<char>::Init(ioStream, inBuffer);
    return previous;
}

std::basic_streambuf<UTF16Char>* SetStreamBuffer(UTF16OutputStream& ioStream,
                                                 std::basic_streambuf<UTF16Char>* inBuffer) {
    std::basic_streambuf<UTF16Char>* previous = ioStream.rdbuf();
    // A fresh UTF16OutputStream: the global locale completed with the number facets.
    IosAccess<UTF16Char>::Init(ioStream, nullptr);
    CompleteLocale(ioStream);
    ioStream.rdbuf(inBuffer);
    return previous;
}

}  // namespace utility
}  // namespace tarncore
