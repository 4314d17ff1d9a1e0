// UTF-8 and UTF-16 conversion (portable, x86 kernels where they exist), line endings, replacements.
#include <tarncore/utility/UnicodeStrings.h>

#include "UnicodeSequences.h"
#include "UnicodeStrings_x86.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarncore {
namespace utility {

namespace {

// Decodes [in, end) into out and returns the number of units written. Stops at the
// first sequence that is truncated or not well-formed; out must hold end - in units.
std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out) {
#if TARNCORE_UNICODE_X86
    return x86::DecodeUTF8(in, end, out);
#else
    UTF16Char* const start = out;
    const std::uint8_t* p = in;
    while (p < end) {
        if (*p < 0x80) {
            *out++ = *p++;
        } else if (!DecodeSequence(p, end, out)) {
            break;
        }
    }
    return static_cast<std::size_t>(out - start);
#endif
}

// Measures text[0, limit) up to its first NUL: returns the unit count and sets extra
// to the bytes its UTF-8 form needs beyond one per unit. Reading text[length] must be
// allowed (it is the NUL that ends the text, or a string's terminator).
std::size_t MeasureUTF16(const UTF16Char* text, std::size_t limit, std::size_t& extra) {
    std::size_t i = 0;
    std::size_t bytes = 0;
#if TARNCORE_UNICODE_X86
    i = x86::MeasureUTF16Blocks(text, limit, bytes);
#endif
    for (; i < limit && text[i] != 0; ++i) {
        const UTF16Char u = text[i];
        if (u < 0x80) continue;
        if (u < 0x800) {
            bytes += 1;
        } else if (IsHighSurrogate(u) && i + 1 < limit && IsLowSurrogate(text[i + 1])) {
            bytes += 2;  // two units, four bytes
            ++i;
        } else {
            bytes += 2;
        }
    }
    extra = bytes;
    return i;
}

// Encodes text[0, length) into out, which holds the encoded length plus three bytes of
// slack (EncodeUnit stores four bytes at a time).
void EncodeUTF8(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
#if TARNCORE_UNICODE_X86
    i = x86::EncodeUTF8Blocks(text, length, out);
#endif
    while (i < length) out = EncodeUnit(text, i, out);
}

void PackASCII(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
#if TARNCORE_UNICODE_X86
    i = x86::PackASCIIBlocks(text, length, out);
#endif
    for (; i < length; ++i) out[i] = static_cast<std::uint8_t>(text[i]);
}

// Appends the UTF-8 form of text[0, limit) up to its first NUL to ioText.
void AppendConvertedUTF16(const UTF16Char* text, std::size_t limit, UTF8String& ioText) {
    std::size_t extra = 0;
    const std::size_t length = MeasureUTF16(text, limit, extra);
    if (length == 0) return;
    const std::size_t start = ioText.size();
    if (extra == 0) {
        ioText.resize(start + length);
        PackASCII(text, length, &ioText[start]);
        return;
    }
    ioText.resize(start + length + extra + 3);
    EncodeUTF8(text, length, &ioText[start]);
    ioText.resize(start + length + extra);
}

UTF8String ConvertUTF16(const UTF16Char* text, std::size_t limit) {
    UTF8String result;
    AppendConvertedUTF16(text, limit, result);
    return result;
}

}  // namespace

UTF16String UTF8to16(const UTF8String& inText) {
    UTF16String result;
    if (inText.empty()) return result;
    // One buffer sized by the input: a byte never yields more than one unit.
    result.resize(inText.size());
    const std::size_t units = DecodeUTF8(inText.data(), inText.data() + inText.size(), &result[0]);
    if (units * 2 < inText.size()) return UTF16String(result.data(), units);  // give back the slack
    result.resize(units);
    return result;
}

void AppendUTF8to16(const UTF8Char* inText, std::size_t inLength, UTF16String& ioText) {
    if (inLength == 0) return;
    const std::size_t start = ioText.size();
    ioText.resize(start + inLength);
    ioText.resize(start + DecodeUTF8(inText, inText + inLength, &ioText[start]));
}

UTF8String UTF16to8(const UTF16String& inText) { return ConvertUTF16(inText.data(), inText.size()); }

void AppendUTF16to8(const UTF16String& inText, UTF8String& ioText) {
    const UTF16Char* piece = inText.data();
    const UTF16Char* const end = piece + inText.size();
    for (;;) {
        const UTF16Char* nul = std::find(piece, end, UTF16Char(0));
        AppendConvertedUTF16(piece, static_cast<std::size_t>(nul - piece), ioText);
        if (nul == end) return;
        ioText.push_back(0);
        piece = nul + 1;
    }
}

UTF8String UTF16to8(const UTF16Char* inText) {
    if (inText == nullptr) return UTF8String();
    std::size_t length = 0;
    while (inText[length] != 0) ++length;
    return ConvertUTF16(inText, length);
}

std::size_t EncodeUTF16to8(const UTF16Char* inText, std::size_t inLength, UTF8Char* outBytes) {
    UTF8Char* out = outBytes;
    for (std::size_t i = 0; i < inLength; ++i) {
        std::uint32_t cp = inText[i];
        if (IsHighSurrogate(inText[i]) && i + 1 < inLength && IsLowSurrogate(inText[i + 1]))
            cp = 0x10000 + (((cp & 0x3FF) << 10) | (inText[++i] & 0x3FF));
        if (cp < 0x80) {
            *out++ = static_cast<UTF8Char>(cp);
        } else if (cp < 0x800) {
            *out++ = static_cast<UTF8Char>(0xC0 | (cp >> 6));
            *out++ = static_cast<UTF8Char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *out++ = static_cast<UTF8Char>(0xE0 | (cp >> 12));
            *out++ = static_cast<UTF8Char>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<UTF8Char>(0x80 | (cp & 0x3F));
        } else {
            *out++ = static_cast<UTF8Char>(0xF0 | (cp >> 18));
            *out++ = static_cast<UTF8Char>(0x80 | ((cp >> 12) & 0x3F));
            *out++ = static_cast<UTF8Char>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<UTF8Char>(0x80 | (cp & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - outBytes);
}

std::size_t DecodeUTF8Sequence(const UTF8Char* inText, const UTF8Char* inEnd, UTF16Char* outUnits,
                               std::size_t& outCount) {
    outCount = 0;
    if (inText >= inEnd) return 0;
    if (*inText < 0x80) {
        outUnits[0] = *inText;
        outCount = 1;
        return 1;
    }
    const std::uint8_t* p = inText;
    UTF16Char* out = outUnits;
    if (!DecodeSequence(p, inEnd, out)) return 0;
    outCount = static_cast<std::size_t>(out - outUnits);
    return static_cast<std::size_t>(p - inText);
}

UTF16String AsciiToUTF16(const char* inText) {
    if (inText == nullptr) return UTF16String();
    const std::size_t length = std::strlen(inText);
    UTF16String result;
    if (length == 0) return result;
    result.resize(length);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(inText);
    result.resize(DecodeUTF8(bytes, bytes + length, &result[0]));
    return result;
}

UnicodeSurrogateT UnicodeSurrogate(UTF16Char inUnit) {
    if (inUnit >= 0xD800 && inUnit <= 0xDBFF) return kSurrogateHigh;
    if (inUnit >= 0xDC00 && inUnit <= 0xDFFF) return kSurrogateLow;
    return kSurrogateNone;
}

bool ToNumericCase(UTF16Char& ioUnit) {
    if (ioUnit < 0xFF01 || ioUnit > 0xFF1F) return false;
    ioUnit = static_cast<UTF16Char>(ioUnit - 0xFEE0);
    return true;
}

bool ToNumericCase(UTF16String& ioText) {
    bool changed = false;
    for (UTF16Char& unit : ioText) changed |= ToNumericCase(unit);
    return changed;
}

UTF16String ReplaceInString(const UTF16String& inFormat, const UTF16String& inValue0,
                            const UTF16String& inValue1, const UTF16String& inValue2,
                            const UTF16String& inValue3, const UTF16String& inValue4,
                            const UTF16String& inValue5, const UTF16String& inValue6,
                            const UTF16String& inValue7, const UTF16String& inValue8,
                            const UTF16String& inValue9) {
    const UTF16String* const values[10] = {&inValue0, &inValue1, &inValue2, &inValue3, &inValue4,
                                           &inValue5, &inValue6, &inValue7, &inValue8, &inValue9};
    UTF16String result;
    result.reserve(inFormat.size());
    const std::size_t n = inFormat.size();
    for (std::size_t i = 0; i < n; ++i) {
        const UTF16Char unit = inFormat[i];
        if (unit != '@' || i + 1 == n) {
            result.push_back(unit);
            continue;
        }
        const UTF16Char next = inFormat[++i];
        if (next >= '0' && next <= '9') {
            result += *values[next - '0'];
        } else if (next == '@') {
            result.push_back('@');
        } else {
            result.push_back('@');
            result.push_back(next);
        }
    }
    return result;
}

void ReplaceAllStringInString(UTF16String& ioText, const UTF16String& inSearch,
                              const UTF16String& inReplacement) {
    if (inSearch.empty()) return;
    std::size_t position = ioText.find(inSearch);
    if (position == UTF16String::npos) return;
    UTF16String result;
    std::size_t copied = 0;
    while (position != UTF16String::npos) {
        result.append(ioText, copied, position - copied);
        result += inReplacement;
        copied = position + inSearch.size();
        position = ioText.find(inSearch, copied);
    }
    result.append(ioText, copied, UTF16String::npos);
    ioText.swap(result);
}

UTF16String GetLineEnding(LineEndingType inType) {
    switch (inType) {
    case kLineEndingCRLF: return UTF16String{0x0D, 0x0A};
    case kLineEndingCR: return UTF16String{0x0D};
    case kLineEndingLF: return UTF16String{0x0A};
    }
    return UTF16String();
}

void ConvertLineEndings(LineEndingType inType, UTF16String& ioText) {
    const UTF16String target = GetLineEnding(inType);
    UTF16String result;
    bool changed = false;
    std::size_t copied = 0;
    const std::size_t n = ioText.size();
    for (std::size_t i = 0; i < n; ++i) {
        const UTF16Char unit = ioText[i];
        if (unit != 0x0D && unit != 0x0A) continue;
        const std::size_t length = (unit == 0x0D && i + 1 < n && ioText[i + 1] == 0x0A) ? 2 : 1;
        if (ioText.compare(i, length, target) != 0) {
            if (!changed) {
                result.reserve(n + n / 8);
                changed = true;
            }
            result.append(ioText, copied, i - copied);
            result += target;
            copied = i + length;
        }
        i += length - 1;
    }
    if (!changed) return;
    result.append(ioText, copied, UTF16String::npos);
    ioText.swap(result);
}

}  // namespace utility
}  // namespace tarncore
