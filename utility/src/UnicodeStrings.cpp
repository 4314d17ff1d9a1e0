#include <tarncore/utility/UnicodeStrings.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarncore {
namespace utility {

namespace {

inline bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// Decodes [in, end) into out and returns the number of units written. Stops at the
// first sequence that is truncated or not well-formed; out must hold end - in units.
std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out) {
    UTF16Char* const start = out;
    const std::uint8_t* p = in;
    while (p < end) {
#if defined(__SSE2__)
        // ASCII runs, 16 bytes at a time. Writing 16 units is safe even when fewer are
        // ASCII: the output never has fewer free units than there are input bytes left.
        const __m128i zero = _mm_setzero_si128();
        while (end - p >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
            const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(bytes));
            if (mask != 0) {
                const unsigned ascii = static_cast<unsigned>(__builtin_ctz(mask));
                p += ascii;
                out += ascii;
                break;
            }
            p += 16;
            out += 16;
        }
        if (p >= end) break;
#endif
        const std::uint8_t b0 = *p;
        if (b0 < 0x80) {
            *out++ = b0;
            ++p;
            continue;
        }
        const std::ptrdiff_t left = end - p;
        if (b0 < 0xC2) break;  // continuation byte or overlong two-byte lead
        if (b0 < 0xE0) {
            if (left < 2) break;
            const std::uint8_t b1 = p[1];
            if (!IsContinuation(b1)) break;
            *out++ = static_cast<UTF16Char>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
            p += 2;
            continue;
        }
        if (b0 < 0xF0) {
            if (left < 3) break;
            const std::uint8_t b1 = p[1], b2 = p[2];
            if (!IsContinuation(b1) || !IsContinuation(b2)) break;
            if (b0 == 0xE0 && b1 < 0xA0) break;  // overlong
            // No rule for 0xED: surrogate code points decode to their own unit.
            *out++ = static_cast<UTF16Char>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
            p += 3;
            continue;
        }
        if (b0 < 0xF5) {
            if (left < 4) break;
            const std::uint8_t b1 = p[1], b2 = p[2], b3 = p[3];
            if (!IsContinuation(b1) || !IsContinuation(b2) || !IsContinuation(b3)) break;
            if (b0 == 0xF0 && b1 < 0x90) break;  // overlong
            if (b0 == 0xF4 && b1 > 0x8F) break;  // beyond U+10FFFF
            const std::uint32_t cp = (static_cast<std::uint32_t>(b0 & 0x07) << 18) |
                                     (static_cast<std::uint32_t>(b1 & 0x3F) << 12) |
                                     (static_cast<std::uint32_t>(b2 & 0x3F) << 6) | (b3 & 0x3F);
            out[0] = static_cast<UTF16Char>(0xD800 + ((cp - 0x10000) >> 10));
            out[1] = static_cast<UTF16Char>(0xDC00 + (cp & 0x3FF));
            out += 2;
            p += 4;
            continue;
        }
        break;  // 0xF5 to 0xFF never start a well-formed sequence
    }
    return static_cast<std::size_t>(out - start);
}

// Length of the text up to its first NUL (at most limit units) and whether every
// unit before it is ASCII.
std::size_t ScanUTF16(const UTF16Char* text, std::size_t limit, bool& allAscii) {
    std::size_t i = 0;
    bool ascii = true;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (limit - i >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(units, zero)) != 0) break;
        if (ascii && _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), zero)) != 0xFFFF)
            ascii = false;
        i += 8;
    }
#endif
    for (; i < limit && text[i] != 0; ++i)
        if (text[i] >= 0x80) ascii = false;
    allAscii = ascii;
    return i;
}

std::size_t EncodedLength(const UTF16Char* text, std::size_t length) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const UTF16Char u = text[i];
        if (u < 0x80) {
            bytes += 1;
        } else if (u < 0x800) {
            bytes += 2;
        } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

void EncodeUTF8(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
    while (i < length) {
#if defined(__SSE2__)
        const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
        const __m128i zero = _mm_setzero_si128();
        while (length - i >= 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), zero)) != 0xFFFF) break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
            out += 8;
            i += 8;
        }
        if (i >= length) break;
#endif
        const UTF16Char u = text[i++];
        if (u < 0x80) {
            *out++ = static_cast<std::uint8_t>(u);
        } else if (u < 0x800) {
            *out++ = static_cast<std::uint8_t>(0xC0 | (u >> 6));
            *out++ = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
        } else if (u >= 0xD800 && u <= 0xDBFF && i < length && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
            const std::uint32_t cp = ((static_cast<std::uint32_t>(u) - 0xD800) << 10) +
                                     (static_cast<std::uint32_t>(text[i]) - 0xDC00) + 0x10000;
            ++i;
            *out++ = static_cast<std::uint8_t>(0xF0 | (cp >> 18));
            *out++ = static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        } else {
            *out++ = static_cast<std::uint8_t>(0xE0 | (u >> 12));
            *out++ = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
        }
    }
}

UTF8String ConvertUTF16(const UTF16Char* text, std::size_t limit) {
    bool allAscii = false;
    const std::size_t length = ScanUTF16(text, limit, allAscii);
    UTF8String result;
    if (length == 0) return result;
    result.resize(allAscii ? length : EncodedLength(text, length));
    EncodeUTF8(text, length, &result[0]);
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

UTF8String UTF16to8(const UTF16String& inText) {
    return ConvertUTF16(inText.data(), inText.size());
}

UTF8String UTF16to8(const UTF16Char* inText) {
    if (inText == nullptr) return UTF8String();
    std::size_t length = 0;
    while (inText[length] != 0) ++length;
    return ConvertUTF16(inText, length);
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
