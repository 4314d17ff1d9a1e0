// NarrowOutputBuffer, and host command text written into the console.
#include "ConsoleOutput.h"

#include "HostServices.h"

#include <tarncore/utility/UnicodeStrings.h>

namespace tarnsh {

using tarncore::utility::UTF16String;

NarrowOutputBuffer::~NarrowOutputBuffer() {
    sync();
    if (!mPending.empty()) mTarget.put('\r').flush();  // no line feed ever came
}

NarrowOutputBuffer::int_type NarrowOutputBuffer::overflow(int_type inUnit) {
    if (!traits_type::eq_int_type(inUnit, traits_type::eof()))
        mPending.push_back(traits_type::to_char_type(inUnit));
    return traits_type::not_eof(inUnit);
}

std::streamsize NarrowOutputBuffer::xsputn(const char_type* inUnits, std::streamsize inCount) {
    mPending.append(inUnits, static_cast<std::size_t>(inCount));
    return inCount;
}

int NarrowOutputBuffer::sync() {
    UTF16String text;
    text.swap(mPending);
    // A CR at the very end may yet be followed by a LF.
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
        mPending.push_back('\r');
    }
    UTF16String lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines.push_back(text[i]);
    tarncore::utility::UTF8String bytes;
    tarncore::utility::AppendUTF16to8(lines, bytes);
    mTarget.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    mTarget.flush();
    return mTarget ? 0 : -1;
}

void WriteConsoleText(tarncore::UTF16OutputStream& ioOut, const std::string& inText) {
    if (inText.empty()) return;
    UTF16String text = DisplayText(inText);
    tarncore::utility::ConvertLineEndings(tarncore::utility::kLineEndingCRLF, text);
    ioOut << text;
    ioOut.flush();
}

}  // namespace tarnsh
