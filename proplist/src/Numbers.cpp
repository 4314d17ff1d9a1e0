// Reading and writing the numbers of property-list documents.
#include "proplist/src/Numbers.h"

#include <tarncore/utility/TextStreams.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <charconv>
#include <limits>
#include <type_traits>

namespace tarncore {
namespace proplist {

namespace {

// The definition of the result: the library's UTF-8 stream, whose extraction skips
// white space, takes an optional sign and reads as far as the number goes.
template <class T>
T ReadThroughStream(const utility::UTF16String& inText) {
    iUTF8StringStream stream(utility::UTF16to8(inText));
    T value{};
    stream >> value;
    return stream.fail() ? T(0) : value;
}

// Plain decimal integers (almost every one a document holds) without the stream. Text
// of any other shape goes to the stream.
template <class T>
bool ReadPlainInteger(const utility::UTF16String& inText, T& outValue) {
    std::size_t i = 0;
    const bool negative = !inText.empty() && inText[0] == '-';
    if (negative) {
        if (!std::is_signed<T>::value) return false;  // the stream wraps these round
        ++i;
    }
    const std::size_t digits = inText.size() - i;
    if (digits == 0 || digits > 18) return false;
    std::uint64_t magnitude = 0;
    for (; i < inText.size(); ++i) {
        const unsigned digit = static_cast<unsigned>(inText[i]) - '0';
        if (digit > 9) return false;
        magnitude = magnitude * 10 + digit;
    }
    // Out of range: the stream fails, which reads as 0.
    if (negative) {
        const std::uint64_t limit = static_cast<std::uint64_t>(-(std::numeric_limits<T>::min() + 1)) + 1;
        outValue = magnitude > limit ? T(0) : static_cast<T>(0 - magnitude);
    } else {
        outValue = magnitude > static_cast<std::uint64_t>(std::numeric_limits<T>::max())
                       ? T(0)
                       : static_cast<T>(magnitude);
    }
    return true;
}

// Text of digits, ".", "e", "E", "+" and "-" that std::from_chars takes whole: then the
// stream reads the same characters and converts them the same way (correctly rounded).
// A value out of range, or any other text, goes to the stream.
template <class T>
bool ReadPlainFloat(const utility::UTF16String& inText, T& outValue) {
    char ascii[64];
    if (inText.empty() || inText.size() > sizeof ascii) return false;
    for (std::size_t i = 0; i < inText.size(); ++i) {
        const utility::UTF16Char unit = inText[i];
        const bool allowed = (unit >= '0' && unit <= '9') || unit == '.' || unit == 'e' || unit == 'E' ||
                             unit == '-' || (unit == '+' && i > 0);
        if (!allowed) return false;
        ascii[i] = static_cast<char>(unit);
    }
    const char* end = ascii + inText.size();
    const std::from_chars_result result = std::from_chars(ascii, end, outValue);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

template <class T>
T ReadNumber(const utility::UTF16String& inText) {
    T value{};
    if constexpr (std::is_floating_point<T>::value) {
        if (ReadPlainFloat(inText, value)) return value;
    } else {
        if (ReadPlainInteger(inText, value)) return value;
    }
    return ReadThroughStream<T>(inText);
}

template <class T>
void AppendNumber(T inValue, utility::UTF8String& ioText) {
    char text[64];
    std::to_chars_result result;
    if constexpr (std::is_floating_point<T>::value) {
        result = std::to_chars(text, text + sizeof text, static_cast<double>(inValue),
                               std::chars_format::general, 6);
    } else {
        result = std::to_chars(text, text + sizeof text, inValue);
    }
    ioText.append(reinterpret_cast<const utility::UTF8Char*>(text),
                  static_cast<std::size_t>(result.ptr - text));
}

template unsigned short ReadNumber<unsigned short>(const utility::UTF16String&);
template std::uint32_t ReadNumber<std::uint32_t>(const utility::UTF16String&);
template std::int32_t ReadNumber<std::int32_t>(const utility::UTF16String&);
template std::int64_t ReadNumber<std::int64_t>(const utility::UTF16String&);
template std::uint64_t ReadNumber<std::uint64_t>(const utility::UTF16String&);
template float ReadNumber<float>(const utility::UTF16String&);
template double ReadNumber<double>(const utility::UTF16String&);

template void AppendNumber<unsigned short>(unsigned short, utility::UTF8String&);
template void AppendNumber<std::uint32_t>(std::uint32_t, utility::UTF8String&);
template void AppendNumber<std::int32_t>(std::int32_t, utility::UTF8String&);
template void AppendNumber<std::int64_t>(std::int64_t, utility::UTF8String&);
template void AppendNumber<std::uint64_t>(std::uint64_t, utility::UTF8String&);
template void AppendNumber<float>(float, utility::UTF8String&);
template void AppendNumber<double>(double, utility::UTF8String&);

}  // namespace proplist
}  // namespace tarncore
