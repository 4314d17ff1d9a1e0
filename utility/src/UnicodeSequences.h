// One UTF-8 sequence or UTF-16 unit at a time: the steps the portable and the x86 conversions share.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarncore {
namespace utility {

inline bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }
inline bool IsHighSurrogate(UTF16Char u) { return (u & 0xFC00) == 0xD800; }
inline bool IsLowSurrogate(UTF16Char u) { return (u & 0xFC00) == 0xDC00; }

// Decodes the sequence at p, whose lead byte is 0x80 or above, and advances p and out
// past it. Returns false, moving neither, when the sequence is truncated or not
// well-formed.
inline bool DecodeSequence(const std::uint8_t*& p, const std::uint8_t* end, UTF16Char*& out) {
    const std::uint8_t b0 = *p;
    const std::ptrdiff_t left = end - p;
    if (b0 < 0xE0) {
        if (b0 < 0xC2 || left < 2) return false;
        const std::uint8_t b1 = p[1];
        if (!IsContinuation(b1)) return false;
        *out++ = static_cast<UTF16Char>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
        p += 2;
    } else if (b0 < 0xF0) {
        if (left < 3) return false;
        const std::uint8_t b1 = p[1], b2 = p[2];
        // No rule for 0xED: surrogate code points decode to their own unit.
        if (!IsContinuation(b1) || !IsContinuation(b2) || (b0 == 0xE0 && b1 < 0xA0)) return false;
        *out++ = static_cast<UTF16Char>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
        p += 3;
    } else {
        // 0xF5 to 0xFF never start a well-formed sequence; F0 and F4 limit the range.
        if (b0 > 0xF4 || left < 4) return false;
        const std::uint8_t b1 = p[1], b2 = p[2], b3 = p[3];
        if (!IsContinuation(b1) || !IsContinuation(b2) || !IsContinuation(b3) || (b0 == 0xF0 && b1 < 0x90) ||
            (b0 == 0xF4 && b1 > 0x8F))
            return false;
        const std::uint32_t cp = (static_cast<std::uint32_t>(b0 & 0x07) << 18) |
                                 (static_cast<std::uint32_t>(b1 & 0x3F) << 12) |
                                 (static_cast<std::uint32_t>(b2 & 0x3F) << 6) | (b3 & 0x3F);
        out[0] = static_cast<UTF16Char>(0xD800 + ((cp - 0x10000) >> 10));
        out[1] = static_cast<UTF16Char>(0xDC00 + (cp & 0x3FF));
        out += 2;
        p += 4;
    }
    return true;
}

// Encodes the unit at text[i] (with its low surrogate when it starts a pair) and
// advances i past what it consumed. No branch on the unit's kind, which is what mixed
// text (emoji between words, say) would mispredict: all four bytes are stored and the
// output advances by the sequence length. Needs text[i + 1] readable and three bytes
// of slack after the output.
inline std::uint8_t* EncodeUnit(const UTF16Char* text, std::size_t& i, std::uint8_t* out) {
    const std::uint32_t u = text[i];
    const std::uint32_t next = text[i + 1];
    // Bitwise, not logical, "and": no branch for the compiler to make.
    const std::uint32_t pair = static_cast<std::uint32_t>((u & 0xFC00) == 0xD800) &
                               static_cast<std::uint32_t>((next & 0xFC00) == 0xDC00);
    const std::uint32_t combined = (((u & 0x3FF) << 10) | (next & 0x3FF)) + 0x10000;
    const std::uint32_t cp = u ^ ((u ^ combined) & (0u - pair));
    const unsigned length = 1u + (cp >= 0x80) + (cp >= 0x800) + (cp >= 0x10000);
    // The four six-bit groups as continuation bytes, most significant first in memory;
    // dropping the leading bytes leaves the sequence, whose first byte then gets its marks.
    const std::uint32_t all = (0x80u | (cp >> 18)) | ((0x80u | ((cp >> 12) & 0x3F)) << 8) |
                              ((0x80u | ((cp >> 6) & 0x3F)) << 16) | ((0x80u | (cp & 0x3F)) << 24);
    static constexpr std::uint8_t kLeadMarks[5] = {0, 0, 0x40, 0x60, 0x70};
    std::uint32_t word = (all >> (8 * (4 - length))) | kLeadMarks[length];
    word ^= (word ^ cp) & (0u - static_cast<std::uint32_t>(length == 1));
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap32(word);  // the first byte in memory is the lowest of word
#endif
    std::memcpy(out, &word, 4);
    i += 1 + pair;
    return out + length;
}

}  // namespace utility
}  // namespace tarncore
