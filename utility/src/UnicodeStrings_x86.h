// The x86 vector kernels of the UTF-8 and UTF-16 conversions (UnicodeStrings_x86.cpp).
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <cstddef>
#include <cstdint>

// x86 processors with SSE2 (every x86-64 one) use the kernels; SSSE3 is checked at run
// time. Elsewhere, or with TARNCORE_NO_X86_KERNELS defined, the portable code runs alone.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__) && !defined(TARNCORE_NO_X86_KERNELS)
#define TARNCORE_UNICODE_X86 1

namespace tarncore {
namespace utility {
namespace x86 {

// Decodes [in, end) into out and returns the number of units written. Stops at the
// first sequence that is truncated or not well-formed; out must hold end - in units.
std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out);

// Measures text[0, limit) eight units at a time up to the block holding its first NUL
// or the last full block: adds to ioExtra the bytes the UTF-8 form of the units
// measured needs beyond one per unit and returns their count. Reads one unit past
// each block.
std::size_t MeasureUTF16Blocks(const UTF16Char* text, std::size_t limit, std::size_t& ioExtra);

// Encodes the units of text[0, length) that it takes in blocks into ioOut, advances
// ioOut past them and returns their count; the caller encodes the rest. The output
// must hold the encoded length plus three bytes of slack.
std::size_t EncodeUTF8Blocks(const UTF16Char* text, std::size_t length, std::uint8_t*& ioOut);

// Narrows the ASCII units text[0, length) to bytes sixteen at a time and returns how
// many it narrowed.
std::size_t PackASCIIBlocks(const UTF16Char* text, std::size_t length, std::uint8_t* out);

}  // namespace x86
}  // namespace utility
}  // namespace tarncore

#endif
