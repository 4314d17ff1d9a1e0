// The x86 kernels of the UTF conversions: SSE2 blocks and, checked at run time, SSSE3 shuffles.
#include "UnicodeStrings_x86.h"

#if TARNCORE_UNICODE_X86

#include "UnicodeSequences.h"

#include <emmintrin.h>
#include <tmmintrin.h>

namespace tarncore {
namespace utility {
namespace x86 {

namespace {

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Decodes a run of three-byte sequences up to five at a time (15 of 16 loaded bytes)
// and returns how many bytes it used. Sequences with a 0xE0 lead are left to the
// one-at-a-time path, which checks overlongs.
__attribute__((target("ssse3"))) std::size_t DecodeThreeByteRun(const std::uint8_t* p,
                                                                const std::uint8_t* end, UTF16Char*& out) {
    const std::uint8_t* const start = p;
    const __m128i leadOf = _mm_setr_epi8(1, 0, 4, 3, 7, 6, 10, 9, 13, 12, -128, -128, -128, -128, -128, -128);
    const __m128i lastOf =
        _mm_setr_epi8(2, -128, 5, -128, 8, -128, 11, -128, 14, -128, -128, -128, -128, -128, -128, -128);
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned leads = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xF0))),
                                             _mm_set1_epi8(static_cast<char>(0xE0)))));
        const unsigned continuations = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xC0))),
                                             _mm_set1_epi8(static_cast<char>(0x80)))));
        const unsigned e0 = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0)))));
        // Bit 3k is set when the k-th three bytes are a lead and two continuations.
        const unsigned whole = leads & (continuations >> 1) & (continuations >> 2) & ~e0 & 0x1249;
        const unsigned count =
            whole == 0x1249 ? 5 : static_cast<unsigned>(__builtin_ctz(~whole & 0x1249)) / 3;
        if (count == 0) break;
        // Lane k: (first << 8 | second) and third of the k-th sequence.
        const __m128i high = _mm_shuffle_epi8(bytes, leadOf);
        const __m128i low = _mm_shuffle_epi8(bytes, lastOf);
        const __m128i units =
            _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(high, _mm_set1_epi16(0x0F00)), 4),
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

// Blocks of eight units whose forms all have the same shape go without per-unit
// branches: all ASCII, all below U+0800, or all three-byte (no surrogates). A block of
// another mix is encoded unit by unit.
std::size_t EncodeBlocksSse2(const UTF16Char* text, std::size_t length, std::uint8_t*& ioOut) {
    std::uint8_t* out = ioOut;  // a local: stores through out could alias the caller's pointer
    std::size_t i = 0;
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask80 = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i mask800 = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogateBase = _mm_set1_epi16(static_cast<short>(0xD800));
    while (length - i >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const unsigned below80 =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask80), zero)));
        if (below80 == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
            out += 8;
            i += 8;
            continue;
        }
        const unsigned below800 =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask800), zero)));
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
    ioOut = out;
    return i;
}

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
                if ((twoByteUnits >> k) & 1)
                    packBelow800[twoByteUnits][n++] = static_cast<std::uint8_t>(2 * k + 1);
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

__attribute__((target("ssse3"))) std::size_t EncodeBlocksSsse3(const UTF16Char* text, std::size_t length,
                                                               std::uint8_t*& ioOut) {
    static const ShuffleTables tables;
    std::uint8_t* out = ioOut;
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
        const unsigned pastAscii =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, zero))) ^ 0xFF;
        if (_mm_movemask_epi8(below800) == 0xFFFF) {
            const __m128i lead =
                _mm_or_si128(_mm_and_si128(ascii, v),
                             _mm_andnot_si128(ascii, _mm_or_si128(_mm_srli_epi16(v, 6), splat(0xC0))));
            const __m128i trail = _mm_or_si128(_mm_and_si128(v, splat(0x3F)), splat(0x80));
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(out),
                _mm_shuffle_epi8(
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
        const __m128i pairHigh =
            _mm_and_si128(_mm_cmpeq_epi16(kind, splat(0xD800)),
                          _mm_cmpeq_epi16(_mm_and_si128(next, splat(0xFC00)), splat(0xDC00)));
        const __m128i pairLow =
            _mm_and_si128(_mm_cmpeq_epi16(kind, splat(0xDC00)),
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
        b0 = _mm_or_si128(
            b0,
            _mm_and_si128(pairLow, _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(prev, splat(3)), 4),
                                                             _mm_and_si128(_mm_srli_epi16(v, 6), splat(0xF))),
                                                splat(0x80))));
        __m128i b1 = _mm_and_si128(three, mid6);
        b1 = _mm_or_si128(
            b1, _mm_and_si128(pairHigh,
                              _mm_or_si128(_mm_and_si128(_mm_srli_epi16(top, 2), splat(0x3F)), splat(0x80))));
        b1 = _mm_or_si128(b1, _mm_and_si128(_mm_or_si128(two, pairLow), low6));
        const __m128i first2 = _mm_or_si128(b0, _mm_slli_epi16(b1, 8));

        const unsigned threeBytes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(three, zero)));
        const unsigned lowGroup = (pastAscii & 0xF) | ((threeBytes & 0xF) << 4);
        const unsigned highGroup = (pastAscii >> 4) | (threeBytes & 0xF0);
        const __m128i lanesLow = _mm_unpacklo_epi16(first2, low6);
        const __m128i lanesHigh = _mm_unpackhi_epi16(first2, low6);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out),
            _mm_shuffle_epi8(lanesLow,
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.pack[lowGroup]))));
        out += tables.length[lowGroup];
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out),
            _mm_shuffle_epi8(lanesHigh,
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
    ioOut = out;
    return i;
}

}  // namespace

std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out) {
    UTF16Char* const start = out;
    const std::uint8_t* p = in;
    while (p < end) {
        if (*p < 0x80) {
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
            while (p < end && *p < 0x80) *out++ = *p++;
            if (p >= end) break;
        }
        // A run of multi-byte sequences; back to the block loop at the next ASCII byte.
        do {
            // A three-byte lead with a second one right after: likely a run (CJK text).
            if ((*p & 0xF0) == 0xE0 && end - p >= 16 && (p[3] & 0xF0) == 0xE0 && HasSsse3()) {
                const std::size_t used = DecodeThreeByteRun(p, end, out);
                if (used != 0) {
                    p += used;
                    continue;
                }
            }
            if (!DecodeSequence(p, end, out)) return static_cast<std::size_t>(out - start);
        } while (p < end && *p >= 0x80);
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t MeasureUTF16Blocks(const UTF16Char* text, std::size_t limit, std::size_t& ioExtra) {
    std::size_t i = 0;
    std::size_t bytes = 0;
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
            const __m128i pairs = _mm_and_si128(_mm_cmpeq_epi16(_mm_and_si128(v, maskSurrogate), highBase),
                                                _mm_cmpeq_epi16(_mm_and_si128(next, maskSurrogate), lowBase));
            // pairs is -1 per pair: adding it twice takes 2 off.
            counts = _mm_add_epi16(
                counts, _mm_add_epi16(_mm_add_epi16(from80, from800), _mm_add_epi16(pairs, pairs)));
        }
        // At most 8192 blocks of +2 per lane: the signed lanes stay below 16384.
        const __m128i sums = _mm_madd_epi16(counts, ones);
        alignas(16) std::int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        bytes += static_cast<std::size_t>(lanes[0] + lanes[1] + lanes[2] + lanes[3]);
        if (blocks < 8192) break;  // a NUL or fewer than 8 units left
    }
    ioExtra += bytes;
    return i;
}

std::size_t EncodeUTF8Blocks(const UTF16Char* text, std::size_t length, std::uint8_t*& ioOut) {
    return HasSsse3() ? EncodeBlocksSsse3(text, length, ioOut) : EncodeBlocksSse2(text, length, ioOut);
}

std::size_t PackASCIIBlocks(const UTF16Char* text, std::size_t length, std::uint8_t* out) {
    std::size_t i = 0;
    for (; length - i >= 16; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
    return i;
}

}  // namespace x86
}  // namespace utility
}  // namespace tarncore

#endif
