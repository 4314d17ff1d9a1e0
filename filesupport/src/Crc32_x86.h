// The x86 CRC-32 kernel (Crc32_x86.cpp): carry-less multiplication, checked for at run time.
#pragma once

#include <cstddef>
#include <cstdint>

// x86 processors may have PCLMULQDQ; elsewhere, or with TARNCORE_NO_X86_KERNELS
// defined, the table-driven code runs alone.
#if (defined(__x86_64__) || defined(__i386__)) && !defined(TARNCORE_NO_X86_KERNELS)
#define TARNCORE_CRC_X86 1

namespace tarncore {
namespace filesupport {
namespace checksum {
namespace x86 {

// True when the processor has PCLMULQDQ and SSE2.
bool HasClmul();

// Advances the raw register over inData[0, inSize); inSize is at least 64 and a
// multiple of 16. Only to be called when HasClmul().
std::uint32_t UpdateClmul(std::uint32_t inRegister, const unsigned char* inData, std::size_t inSize);

}  // namespace x86
}  // namespace checksum
}  // namespace filesupport
}  // namespace tarncore

#endif
