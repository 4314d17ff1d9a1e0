// The console's UTF-16 output as UTF-8 text on a narrow stream, and the host commands' text into the console.
#pragma once

#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreams.h>

#include <ostream>
#include <streambuf>
#include <string>

namespace tarnsh {

// A UTF-16 stream buffer that writes its text as UTF-8 to a narrow stream at every
// flush. The console ends its lines with CR LF; on this Unix console they end with LF,
// so a CR directly before a LF is dropped (one at the end of a flush waits for the next
// unit to see which it is).
class NarrowOutputBuffer : public std::basic_streambuf<tarncore::utility::UTF16Char> {
public:
    explicit NarrowOutputBuffer(std::ostream& ioTarget) : mTarget(ioTarget) {}
    ~NarrowOutputBuffer() override;

protected:
    int_type overflow(int_type inUnit) override;
    std::streamsize xsputn(const char_type* inUnits, std::streamsize inCount) override;
    int sync() override;

private:
    std::ostream& mTarget;
    tarncore::utility::UTF16String mPending;
};

// The text a host command wrote (UTF-8, LF line ends) into the console's stream, with
// the console's CR LF line ends, flushed.
void WriteConsoleText(tarncore::UTF16OutputStream& ioOut, const std::string& inText);

}  // namespace tarnsh
