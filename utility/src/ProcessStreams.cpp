// The process-wide streams, made before the first user's statics and gone after the last; SetStreamBuffer.
#include <tarncore/utility/ProcessStreams.h>

#include <tarncore/utility/DebugStreamBuffers.h>
#include <tarncore/utility/TextStreamFacets.h>

#include <iostream>
#include <new>

namespace tarncore {
namespace utility {

namespace {

// basic_ios::init is protected; naming it through a derived class gives the pointer
// to member that SetStreamBuffer needs to re-initialise any stream.
template <class CharT>
struct IosAccess : std::basic_ios<CharT> {
    static void Init(std::basic_ios<CharT>& ioStream, std::basic_streambuf<CharT>* inBuffer) {
        (ioStream.*&IosAccess::init)(inBuffer);
    }
};

}  // namespace

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
    ioStream.imbue(WithTextStreamFacets(ioStream.getloc()));
    ioStream.rdbuf(inBuffer);
    return previous;
}

}  // namespace utility
}  // namespace tarncore
