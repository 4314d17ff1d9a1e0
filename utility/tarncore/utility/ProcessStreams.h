// The process-wide streams (Debug, UTF16Out and the standard ones) and SetStreamBuffer.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreams.h>

#include <istream>
#include <ostream>
#include <streambuf>

namespace tarncore {
namespace utility {
namespace streams {

/// @name The process-wide streams
/// Debug and UTF16Out exist from the library's static initialisation until it is
/// unloaded; they have no lock of their own, so writers on several threads must take
/// turns.
/// @{
extern TARNCORE_API UTF16OutputStream& Debug;     ///< To the debugger output.
extern TARNCORE_API UTF16OutputStream& UTF16Out;  ///< To standard output, a line per piece.
extern TARNCORE_API std::istream& In;             ///< std::cin
extern TARNCORE_API std::ostream& Out;            ///< std::cout
extern TARNCORE_API std::ostream& Log;            ///< std::clog
extern TARNCORE_API std::ostream& Err;            ///< std::cerr
/// @}

/// Makes Debug and UTF16Out before the first static initialiser of any file that
/// includes this header runs, and destroys them after the last such file's statics.
class TARNCORE_API StreamsInitializer {
public:
    StreamsInitializer();
    ~StreamsInitializer();
    StreamsInitializer(const StreamsInitializer&) = delete;
    StreamsInitializer& operator=(const StreamsInitializer&) = delete;
};
static StreamsInitializer sStreamsInitializer;

}  // namespace streams

/// @name Replacing a stream's buffer
/// Resets the stream to the state of a freshly made one (state good, default flags,
/// fill, precision and locale, no tie) over inBuffer, which it does not own, and
/// returns the previous buffer.
/// @{
TARNCORE_API std::streambuf* SetStreamBuffer(std::ostream& ioStream, std::streambuf* inBuffer);
TARNCORE_API std::basic_streambuf<UTF16Char>* SetStreamBuffer(UTF16OutputStream& ioStream,
                                                              std::basic_streambuf<UTF16Char>* inBuffer);
/// @}

}  // namespace utility
}  // namespace tarncore
