// The start of a trace line, "<thread id> <category> <volume> ", as text and on a SafeTraceStream.
#include <tarncore/debug/SafeTraceStream.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/threads/Thread.h>

#include <string>

namespace tarncore {
namespace debug {

utility::UTF8String TraceLinePrefix(const char* inCategory, std::int32_t inVolume) {
    const std::string text = "<" + std::to_string(threads::GetCurrentThreadID()) + "> <" +
                             (inCategory != nullptr ? inCategory : "") + "> <" + std::to_string(inVolume) +
                             "> ";
    return utility::UTF8String(text.begin(), text.end());
}

SafeTraceStream& WriteTraceLinePrefix(SafeTraceStream& ioStream, const char* inCategory,
                                      std::int32_t inVolume) {
    return ioStream << "<" << threads::GetCurrentThreadID() << "> <" << inCategory << "> <" << inVolume
                    << "> ";
}

}  // namespace debug
}  // namespace tarncore
