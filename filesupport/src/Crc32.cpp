// CRC-32 by sixteen-way table slicing, and the dispatch to the x86 kernel where it exists.
#include "filesupport/src/Crc32.h"

#include "filesupport/src/Crc32_x86.h"

#include <cstring>

namespace tarncore {
namespace filesupport {
namespace checksum {

namespace {

// Bit 31 - k of the reflected polynomial is set for each exponent k below 32, which
// gives 0xEDB88320.
constexpr std::uint32_t ReflectedPolynomial() {
    std::uint32_t polynomial = 0;
    for (int exponent : kPolynomialExponents) polynomial |= 1u << (31 - exponent);
    return polynomial;
}

// Sixteen tables: the first is the usual one-byte table (eight shift-and-XOR steps per
// entry); table k gives the effect of a byte followed by k zero bytes, so that sixteen
// bytes cost sixteen independent lookups instead of a chain of sixteen. The tables are
// made by the compiler: no start-up cost and nothing shared that changes.
constexpr int kSlices = 16;

struct Tables {
    std::uint32_t entries[kSlices][256];
};

constexpr Tables MakeTables() {
    Tables tables{};
    const std::uint32_t polynomial = ReflectedPolynomial();
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int step = 0; step < 8; ++step) value = (value & 1u) ? (value >> 1) ^ polynomial : value >> 1;
        tables.entries[0][i] = value;
    }
    for (int slice = 1; slice < kSlices; ++slice) {
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t previous = tables.entries[slice - 1][i];
            tables.entries[slice][i] = (previous >> 8) ^ tables.entries[0][previous & 0xFFu];
        }
    }
    return tables;
}

constexpr Tables kTables = MakeTables();
static_assert(ReflectedPolynomial() == 0xEDB88320u, "CRC-32 polynomial");
static_assert(kTables.entries[0][1] == 0x77073096u, "CRC-32 table");

inline std::uint32_t Load32(const unsigned char* inData) {
    std::uint32_t value;
    std::memcpy(&value, inData, sizeof value);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    value = __builtin_bswap32(value);
#endif
    return value;
}

// Sixteen bytes per step through the sixteen tables.
std::uint32_t UpdateSliced(std::uint32_t inRegister, const unsigned char* inData, std::size_t inSize) {
    const auto& t = kTables.entries;
    std::uint32_t crc = inRegister;
    while (inSize >= kSlices) {
        const std::uint32_t a = Load32(inData) ^ crc;
        const std::uint32_t b = Load32(inData + 4);
        const std::uint32_t c = Load32(inData + 8);
        const std::uint32_t d = Load32(inData + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        inData += kSlices;
        inSize -= kSlices;
    }
    for (; inSize > 0; --inSize, ++inData) crc = t[0][(crc ^ *inData) & 0xFFu] ^ (crc >> 8);
    return crc;
}

}  // namespace

std::uint32_t Update(std::uint32_t inRegister, unsigned char inByte) {
    return kTables.entries[0][(inRegister ^ inByte) & 0xFFu] ^ (inRegister >> 8);
}

std::uint32_t Update(std::uint32_t inRegister, const unsigned char* inData, std::size_t inSize) {
#if TARNCORE_CRC_X86
    if (inSize >= 64 && x86::HasClmul()) {
        const std::size_t folded = inSize & ~static_cast<std::size_t>(15);
        inRegister = x86::UpdateClmul(inRegister, inData, folded);
        inData += folded;
        inSize -= folded;
    }
#endif
    return UpdateSliced(inRegister, inData, inSize);
}

}  // namespace checksum
}  // namespace filesupport
}  // namespace tarncore
