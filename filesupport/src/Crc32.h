// CRC-32 register updates and the generator polynomial, shared by the table-driven and x86 code.
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of IEEE 802.3 on the raw register: the caller starts it at 0xFFFFFFFF
// and inverts it at the end.
namespace tarncore {
namespace filesupport {
namespace checksum {

// The generator polynomial's exponents below 32 (x^32 is implied).
inline constexpr int kPolynomialExponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};

std::uint32_t Update(std::uint32_t inRegister, unsigned char inByte);
std::uint32_t Update(std::uint32_t inRegister, const unsigned char* inData, std::size_t inSize);

}  // namespace checksum
}  // namespace filesupport
}  // namespace tarncore
