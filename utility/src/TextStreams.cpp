// The UTF-16 and UTF-8 string streams and UTF16OutputStream, their locales completed with the number facets.
#include <tarncore/utility/TextStreams.h>

#include <string>

namespace tarncore {

namespace {

template <class CharT>
std::basic_string<CharT> FromArray(const CharT* inText) {
    return inText != nullptr ? std::basic_string<CharT>(inText) : std::basic_string<CharT>();
}

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

}  // namespace tarncore
