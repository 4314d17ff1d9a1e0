#include <tarncore/utility/UnicodeStrings.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace tarncore {
namespace utility {

namespace {

inline bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

#if defined(__x86_64__)
bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Decodes a run of three-byte sequences up to five at a time (15 of 16 loaded bytes)
// and returns how many bytes it used. Sequences with a 0xE0 lead are left to the
// one-at-a-time path, which checks overlongs.
__attribute__((target("ssse3"))) std::size_t DecodeThreeByteRun(const std::uint8_t* p,
                                                                const std::uint8_t* end,
                                                                UTF16Char*& out) {
    const std::uint8_t* const start = p;
    const __m128i leadOf = _mm_setr_epi8(1, 0, 4, 3, 7, 6, 10, 9, 13, 12, -128, -128, -128, -128, -128, -128);
    const __m128i lastOf = _mm_setr_epi8(2, -128, 5, -128, 8, -128, 11, -128, 14, -128, -128, -128, -128, -128, -128, -128);
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned leads = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xF0))), _mm_set1_epi8(static_cast<char>(0xE0)))));
        const unsigned continuations = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xC0))), _mm_set1_epi8(static_cast<char>(0x80)))));
        const unsigned e0 = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0)))));
        // Bit 3k is set when the k-th three bytes are a lead and two continuations.
        const unsigned whole = leads & (continuations >> 1) & (continuations >> 2) & ~e0 & 0x1249;
        const unsigned count = whole == 0x1249 ? 5 : static_cast<unsigned>(__builtin_ctz(~whole & 0x1249)) / 3;
        if (count == 0) break;
        // Lane k: (first << 8 | second) and third of the k-th sequence.
        const __m128i high = _mm_shuffle_epi8(bytes, leadOf);
        const __m128i low = _mm_shuffle_epi8(bytes, lastOf);
        const __m128i units = _mm_or_si128(
            _mm_or_si128(_mm_slli_epi16(_mm_and_si128(high, _mm_set1_epi16(0x0F00)), 4),
                         _mm_slli_epi16(_mm_and_si128(high, _mm_set1_epi16(0x3F)), 6)),
            _mm_and_si128(low, _mm_set1_epi16(0x3F)));
        // Eight units are stored, count kept: the output has a unit per input byte left.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
        out += count;
        p += 3 * count;
        if (count < 5) break;  // the one-at-a-time path takes the sequence that differs
    }
    return static_cast<std::size_t>(p - start);
}
#endif

// Decodes [in, end) into out and returns the number of units written. Stops at the
// first sequence that is truncated or not well-formed; out must hold end - in units.
std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out) {
    UTF16Char* const start = out;
    const std::uint8_t* p = in;
    while (p < end) {
        if (*p < 0x80) {
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
#endif
            while (p < end && *p < 0x80) *out++ = *p++;
            if (p >= end) break;
        }
        // A run of multi-byte sequences; back to the block loop at the next ASCII byte.
        do {
            const std::uint8_t b0 = *p;
            const std::ptrdiff_t left = end - p;
            if (b0 < 0xE0) {
                if (b0 < 0xC2 || left < 2) return static_cast<std::size_t>(out - start);
                const std::uint8_t b1 = p[1];
                if (!IsContinuation(b1)) return static_cast<std::size_t>(out - start);
                *out++ = static_cast<UTF16Char>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
                p += 2;
            } else if (b0 < 0xF0) {
#if defined(__x86_64__)
                // A second three-byte lead right after: likely a run (CJK text).
                if (left >= 16 && (p[3] & 0xF0) == 0xE0 && HasSsse3()) {
                    const std::size_t used = DecodeThreeByteRun(p, end, out);
                    if (used != 0) {
                        p += used;
                        continue;
                    }
                }
#endif
                if (left < 3) return static_cast<std::size_t>(out - start);
                const std::uint8_t b1 = p[1], b2 = p[2];
                // No rule for 0xED: surrogate code points decode to their own unit.
                if (!IsContinuation(b1) || !IsContinuation(b2) || (b0 == 0xE0 && b1 < 0xA0))
                    return static_cast<std::size_t>(out - start);
                *out++ = static_cast<UTF16Char>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
                p += 3;
            } else {
                // 0xF5 to 0xFF never start a well-formed sequence; F0 and F4 limit the range.
                if (b0 > 0xF4 || left < 4) return static_cast<std::size_t>(out - start);
                const std::uint8_t b1 = p[1], b2 = p[2], b3 = p[3];
                if (!IsContinuation(b1) || !IsContinuation(b2) || !IsContinuation(b3) ||
                    (b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F))
                    return static_cast<std::size_t>(out - start);
                const std::uint32_t cp = (static_cast<std::uint32_t>(b0 & 0x07) << 18) |
                                         (static_cast<std::uint32_t>(b1 & 0x3F) << 12) |
                                         (static_cast<std::uint32_t>(b2 & 0x3F) << 6) | (b3 & 0x3F);
                out[0] = static_cast<UTF16Char>(0xD800 + ((cp - 0x10000) >> 10));
                out[1] = static_cast<UTF16Char>(0xDC00 + (cp & 0x3FF));
                out += 2;
                p += 4;
            }
        } while (p < end && *p >= 0x80);
    }
    return static_cast<std::size_t>(out - start);
}

inline bool IsHighSurrogate(UTF16Char u) { return (u & 0xFC00) == 0xD800; }
inline bool IsLowSurrogate(UTF16Char u) { return (u & 0xFC00) == 0xDC00; }

// Measures text[0, limit) up to its first NUL: returns the unit count and sets extra
// to the bytes its UTF-8 form needs beyond one per unit. Reading text[length] must be
// allowed (it is the NUL that ends the text, or a string's terminator).
std::size_t MeasureUTF16(const UTF16Char* text, std::size_t limit, std::size_t& extra) {
    std::size_t i = 0;
    std::size_t bytes = 0;
#if defined(__SSE2__)
    // Per unit: +1 from U+0080, +1 more from U+0800; a surrogate pair (counted as two
    // three-byte units) takes 4 bytes, so 2 come off for each high unit followed by a low
    // one. A low unit never starts a pair, so pairs split across blocks count right.
    // Counts gather in 16-bit lanes, emptied before they can overflow.
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(1);
    const __m128i mask80 = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i maskSurrogate = _mm_set1_epi16(static_cast<short>(0xFC00));
    const __m128i highBase = _mm_set1_epi16(static_cast<short>(0xD800));
    const __m128i lowBase = _mm_set1_epi16(static_cast<short>(0xDC00));
    while (limit - i >= 8) {
        __m128i counts = zero;
        std::size_t blocks = 0;
        for (; blocks < 8192 && limit - i >= 8; ++blocks, i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(v, zero)) != 0) break;
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask80), zero)) == 0xFFFF)
                continue;  // ASCII adds nothing
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
            const __m128i from80 = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(v, mask80), zero), ones);
            const __m128i from800 = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(v, mask800), zero), ones);
            const __m128i pairs = _mm_and_si128(
                _mm_cmpeq_epi16(_mm_and_si128(v, maskSurrogate), highBase),
                _mm_cmpeq_epi16(_mm_and_si128(next, maskSurrogate), lowBase));
            // pairs is -1 per pair: adding it twice takes 2 off.
            counts = _mm_add_epi16(counts, _mm_add_epi16(_mm_add_epi16(from80, from800),
                                                         _mm_add_epi16(pairs, pairs)));
        }
        // At most 8192 blocks of +2 per lane: the signed lanes stay below 16384.
        const __m128i sums = _mm_madd_epi16(counts, ones);
        alignas(16) std::int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        bytes += static_cast<std::size_t>(lanes[0] + lanes[1] + lanes[2] + lanes[3]);
        if (blocks < 8192) break;  // a NUL or fewer than 8 units left
    }
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

inline std::uint8_t* EncodeBelow800(UTF16Char u, std::uint8_t* out) {
    // Both bytes are written; the second is overwritten when only one was needed.
    const bool two = u >= 0x80;
    out[0] = static_cast<std::uint8_t>(two ? 0xC0 | (u >> 6) : u);
    out[1] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
    return out + 1 + two;
}

inline std::uint8_t* EncodeThreeBytes(UTF16Char u, std::uint8_t* out) {
    out[0] = static_cast<std::uint8_t>(0xE0 | (u >> 12));
    out[1] = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
    return out + 3;
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

// Encodes text[0, length) into out, which holds the encoded length plus three bytes of
// slack (EncodeUnit stores four bytes at a time).
void EncodeUTF8(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Blocks of eight units whose forms all have the same shape go without per-unit
    // branches: all ASCII, all below U+0800, or all three-byte (no surrogates).
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask80 = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogateBase = _mm_set1_epi16(static_cast<short>(0xD800));
    while (length - i >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const unsigned below80 = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask80), zero)));
        if (below80 == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
            out += 8;
            i += 8;
            continue;
        }
        const unsigned below800 = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask800), zero)));
        if (below800 == 0xFFFF) {
            for (int k = 0; k < 8; ++k) out = EncodeBelow800(text[i + k], out);
            i += 8;
            continue;
        }
        const unsigned surrogates = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, surrogateBits), surrogateBase)));
        if (below800 == 0 && surrogates == 0) {
            for (int k = 0; k < 8; ++k) out = EncodeThreeBytes(text[i + k], out);
            i += 8;
            continue;
        }
        const std::size_t blockEnd = i + 8;
        while (i < blockEnd) out = EncodeUnit(text, i, out);
    }
#endif
    while (i < length) out = EncodeUnit(text, i, out);
}

#if defined(__x86_64__)
// With SSSE3 (every x86-64 processor of the last fifteen years, checked at run time)
// eight units are encoded at once, whatever their mix: each unit's bytes are computed
// in its own lane and a byte shuffle, chosen by the units' byte counts, packs them.
// A surrogate pair gives two bytes from each of its units, so every unit yields 1, 2
// or 3 bytes and each group of four units is packed by one of 256 shuffles.
// Blocks of units all below U+0800 (Latin, Greek, Cyrillic, ...) take a shorter road:
// two bytes per lane, packed by which units need both.
struct ShuffleTables {
    std::uint8_t pack[256][16];  // by (units past ASCII) | (three-byte units) << 4
    std::uint8_t length[256];
    std::uint8_t packBelow800[256][16];  // by units past ASCII, eight at once
    std::uint8_t lengthBelow800[256];

    ShuffleTables() {
        for (unsigned twoByteUnits = 0; twoByteUnits < 256; ++twoByteUnits) {
            unsigned n = 0;
            for (unsigned k = 0; k < 8; ++k) {
                packBelow800[twoByteUnits][n++] = static_cast<std::uint8_t>(2 * k);
                if ((twoByteUnits >> k) & 1) packBelow800[twoByteUnits][n++] = static_cast<std::uint8_t>(2 * k + 1);
            }
            lengthBelow800[twoByteUnits] = static_cast<std::uint8_t>(n);
            while (n < 16) packBelow800[twoByteUnits][n++] = 0x80;
        }
        for (unsigned index = 0; index < 256; ++index) {
            unsigned n = 0;
            for (unsigned k = 0; k < 4; ++k) {
                const unsigned bytes = 1 + ((index >> k) & 1) + ((index >> (k + 4)) & 1);
                for (unsigned b = 0; b < bytes; ++b) pack[index][n++] = static_cast<std::uint8_t>(4 * k + b);
            }
            length[index] = static_cast<std::uint8_t>(n);
            while (n < 16) pack[index][n++] = 0x80;
        }
    }
};

__attribute__((target("ssse3"))) void EncodeUTF8Ssse3(const UTF16Char* text, std::size_t length,
                                                      std::uint8_t* out) {
    static const ShuffleTables tables;
    const auto splat = [](int value) { return _mm_set1_epi16(static_cast<short>(value)); };
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    // The first unit alone, so that every block has the unit before it to look at.
    if (length > 0) out = EncodeUnit(text, i, out);
    // Each group stores 16 bytes; with 24 units left the output has room for them.
    while (length - i >= 24) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, splat(0xFF80)), zero);
        if (_mm_movemask_epi8(ascii) == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
            out += 8;
            i += 8;
            continue;
        }
        const __m128i below800 = _mm_cmpeq_epi16(_mm_and_si128(v, splat(0xF800)), zero);
        const unsigned pastAscii = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, zero))) ^ 0xFF;
        if (_mm_movemask_epi8(below800) == 0xFFFF) {
            const __m128i lead = _mm_or_si128(_mm_and_si128(ascii, v),
                _mm_andnot_si128(ascii, _mm_or_si128(_mm_srli_epi16(v, 6), splat(0xC0))));
            const __m128i trail = _mm_or_si128(_mm_and_si128(v, splat(0x3F)), splat(0x80));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(
                _mm_or_si128(lead, _mm_slli_epi16(trail, 8)),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.packBelow800[pastAscii]))));
            out += tables.lengthBelow800[pastAscii];
            i += 8;
            continue;
        }
        const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i - 1));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
        const __m128i kind = _mm_and_si128(v, splat(0xFC00));
        // A high unit followed by a low one is always a pair: neither can belong elsewhere.
        const __m128i pairHigh = _mm_and_si128(_mm_cmpeq_epi16(kind, splat(0xD800)),
            _mm_cmpeq_epi16(_mm_and_si128(next, splat(0xFC00)), splat(0xDC00)));
        const __m128i pairLow = _mm_and_si128(_mm_cmpeq_epi16(kind, splat(0xDC00)),
            _mm_cmpeq_epi16(_mm_and_si128(prev, splat(0xFC00)), splat(0xD800)));
        const __m128i two = _mm_andnot_si128(ascii, below800);
        const __m128i inPair = _mm_or_si128(pairHigh, pairLow);
        const __m128i three = _mm_andnot_si128(_mm_or_si128(below800, inPair), _mm_cmpeq_epi16(zero, zero));

        const __m128i low6 = _mm_or_si128(_mm_and_si128(v, splat(0x3F)), splat(0x80));
        const __m128i mid6 = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 6), splat(0x3F)), splat(0x80));
        // The high unit's share of the code point above 0x10000, cp >> 10.
        const __m128i top = _mm_add_epi16(_mm_and_si128(v, splat(0x3FF)), splat(0x40));
        __m128i b0 = _mm_and_si128(ascii, v);
        b0 = _mm_or_si128(b0, _mm_and_si128(two, _mm_or_si128(_mm_srli_epi16(v, 6), splat(0xC0))));
        b0 = _mm_or_si128(b0, _mm_and_si128(three, _mm_or_si128(_mm_srli_epi16(v, 12), splat(0xE0))));
        b0 = _mm_or_si128(b0, _mm_and_si128(pairHigh, _mm_or_si128(_mm_srli_epi16(top, 8), splat(0xF0))));
        b0 = _mm_or_si128(b0, _mm_and_si128(pairLow, _mm_or_si128(_mm_or_si128(
            _mm_slli_epi16(_mm_and_si128(prev, splat(3)), 4), _mm_and_si128(_mm_srli_epi16(v, 6), splat(0xF))),
            splat(0x80))));
        __m128i b1 = _mm_and_si128(three, mid6);
        b1 = _mm_or_si128(b1, _mm_and_si128(pairHigh, _mm_or_si128(
            _mm_and_si128(_mm_srli_epi16(top, 2), splat(0x3F)), splat(0x80))));
        b1 = _mm_or_si128(b1, _mm_and_si128(_mm_or_si128(two, pairLow), low6));
        const __m128i first2 = _mm_or_si128(b0, _mm_slli_epi16(b1, 8));

        const unsigned threeBytes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(three, zero)));
        const unsigned lowGroup = (pastAscii & 0xF) | ((threeBytes & 0xF) << 4);
        const unsigned highGroup = (pastAscii >> 4) | (threeBytes & 0xF0);
        const __m128i lanesLow = _mm_unpacklo_epi16(first2, low6);
        const __m128i lanesHigh = _mm_unpackhi_epi16(first2, low6);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanesLow,
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.pack[lowGroup]))));
        out += tables.length[lowGroup];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanesHigh,
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.pack[highGroup]))));
        out += tables.length[highGroup];
        i += 8;
    }
    // A block that ended on the high unit of a pair wrote its first two bytes; the low
    // unit gives the other two.
    if (i > 0 && i < length && IsHighSurrogate(text[i - 1]) && IsLowSurrogate(text[i])) {
        out[0] = static_cast<std::uint8_t>(0x80 | ((text[i - 1] & 3) << 4) | ((text[i] >> 6) & 0xF));
        out[1] = static_cast<std::uint8_t>(0x80 | (text[i] & 0x3F));
        out += 2;
        ++i;
    }
    while (i < length) out = EncodeUnit(text, i, out);
}

#endif

void PackASCII(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; length - i >= 16; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
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
#if defined(__x86_64__)
    if (HasSsse3()) {
        EncodeUTF8Ssse3(text, length, &ioText[start]);
        ioText.resize(start + length + extra);
        return;
    }
#endif
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

UTF8String UTF16to8(const UTF16String& inText) {
    return ConvertUTF16(inText.data(), inText.size());
}

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
