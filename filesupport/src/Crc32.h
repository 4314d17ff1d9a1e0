#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of IEEE 802.3 on the raw register: the caller starts it at 0xFFFFFFFF
// and inverts it at the end.
namespace tarncore {
namespace filesupport {
namespace checksum {

std::uint32_t Update(std::uint32_t inRegister, unsigned char inByte);
std::uint32_t Update(std::uint32_t inRegister, const unsigned char* inData, std::size_t inSize);

}  // namespace checksum
}  // namespace filesupport
}  // namespace tarncore
