// The debug stream buffers' output: UTF-8 pieces to the debugger output or to standard output.
#include <tarncore/utility/DebugStreamBuffers.h>

#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <cstdio>
#include <string_view>

namespace tarncore {
namespace debug {

template <>
void DebugStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText) {
    const utility::UTF8String bytes = utility::UTF16to8(inText);
    platform::WriteDebugOutput(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

template <>
void UTF16StdOutStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText) {
    const utility::UTF8String bytes = utility::UTF16to8(inText);
    std::puts(reinterpret_cast<const char*>(bytes.c_str()));
}

}  // namespace debug
}  // namespace tarncore
