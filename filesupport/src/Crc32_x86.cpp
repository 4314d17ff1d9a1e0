// The x86 CRC-32 kernel: carry-less multiplication (PCLMULQDQ) folding 64 bytes at a time.
#include "filesupport/src/Crc32_x86.h"

#if TARNCORE_CRC_X86

#include "filesupport/src/Crc32.h"

#include <immintrin.h>

namespace tarncore {
namespace filesupport {
namespace checksum {
namespace x86 {

namespace {

// Carry-less multiplication folds 64 bytes at a time into four 128-bit remainders,
// then into one, and a Barrett reduction gives the 32-bit register (the method of
// Gopal et al., "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ",
// Intel 2009). The constants are powers of x modulo the polynomial, bit-reflected:
// x^(4*128+32) and x^(4*128-32) (fold by four), x^(128+32) and x^(128-32) (fold by
// one), x^64 (128 to 64 bits), then floor(x^64 / P) and P itself.
constexpr std::uint64_t kFold4[2] = {0x0154442BD4u, 0x01C6E41596u};
constexpr std::uint64_t kFold1[2] = {0x01751997D0u, 0x00CCAA009Eu};
constexpr std::uint64_t kFold64 = 0x0163CD6124u;
constexpr std::uint64_t kBarrett[2] = {0x01DB710641u, 0x01F7011641u};

// The same constants derived from the exponent list, to keep them honest.
constexpr std::uint64_t Polynomial33() {
    std::uint64_t polynomial = std::uint64_t{1} << 32;
    for (int exponent : kPolynomialExponents) polynomial |= std::uint64_t{1} << exponent;
    return polynomial;
}

constexpr std::uint64_t PowerOfXModP(int inPower) {
    std::uint64_t remainder = 1;
    for (int i = 0; i < inPower; ++i) {
        remainder <<= 1;
        if (remainder >> 32) remainder ^= Polynomial33();
    }
    return remainder;
}

constexpr std::uint64_t Reflect33(std::uint64_t inValue) {
    std::uint64_t result = 0;
    for (int bit = 0; bit < 33; ++bit)
        if ((inValue >> bit) & 1u) result |= std::uint64_t{1} << (32 - bit);
    return result;
}

// floor(x^64 / P), by long division bit by bit from the top.
constexpr std::uint64_t BarrettQuotient() {
    std::uint64_t remainder = 0, quotient = 0;
    for (int bit = 64; bit >= 0; --bit) {
        remainder = (remainder << 1) | (bit == 64 ? 1u : 0u);
        if ((remainder >> 32) & 1u) {
            remainder ^= Polynomial33();
            quotient |= std::uint64_t{1} << bit;
        }
    }
    return quotient;
}

static_assert(Reflect33(PowerOfXModP(4 * 128 + 32)) == kFold4[0], "fold-by-four constant");
static_assert(Reflect33(PowerOfXModP(4 * 128 - 32)) == kFold4[1], "fold-by-four constant");
static_assert(Reflect33(PowerOfXModP(128 + 32)) == kFold1[0], "fold-by-one constant");
static_assert(Reflect33(PowerOfXModP(128 - 32)) == kFold1[1], "fold-by-one constant");
static_assert(Reflect33(PowerOfXModP(64)) == kFold64, "64-bit fold constant");
static_assert(Reflect33(Polynomial33()) == kBarrett[0], "reflected polynomial");
static_assert(Reflect33(BarrettQuotient()) == kBarrett[1], "Barrett constant");

__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i inValue, __m128i inConstants,
                                                           __m128i inNext) {
    const __m128i low = _mm_clmulepi64_si128(inValue, inConstants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(inValue, inConstants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), inNext);
}

inline __m128i Load128(const unsigned char* inData) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(inData));
}

}  // namespace

__attribute__((target("pclmul,sse2"))) std::uint32_t UpdateClmul(std::uint32_t inRegister,
                                                                 const unsigned char* inData,
                                                                 std::size_t inSize) {
    __m128i x1 = _mm_xor_si128(Load128(inData), _mm_cvtsi32_si128(static_cast<int>(inRegister)));
    __m128i x2 = Load128(inData + 16);
    __m128i x3 = Load128(inData + 32);
    __m128i x4 = Load128(inData + 48);
    inData += 64;
    inSize -= 64;

    __m128i k = _mm_set_epi64x(static_cast<long long>(kFold4[1]), static_cast<long long>(kFold4[0]));
    for (; inSize >= 64; inData += 64, inSize -= 64) {
        x1 = Fold(x1, k, Load128(inData));
        x2 = Fold(x2, k, Load128(inData + 16));
        x3 = Fold(x3, k, Load128(inData + 32));
        x4 = Fold(x4, k, Load128(inData + 48));
    }

    k = _mm_set_epi64x(static_cast<long long>(kFold1[1]), static_cast<long long>(kFold1[0]));
    x1 = Fold(x1, k, x2);
    x1 = Fold(x1, k, x3);
    x1 = Fold(x1, k, x4);
    for (; inSize >= 16; inData += 16, inSize -= 16) x1 = Fold(x1, k, Load128(inData));

    // 128 bits to 64.
    const __m128i mask32 = _mm_setr_epi32(-1, 0, -1, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_set_epi64x(0, static_cast<long long>(kFold64));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2);

    // Barrett reduction to 32 bits.
    k = _mm_set_epi64x(static_cast<long long>(kBarrett[1]), static_cast<long long>(kBarrett[0]));
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x10);
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

bool HasClmul() {
    static const bool sHas = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return sHas;
}

}  // namespace x86
}  // namespace checksum
}  // namespace filesupport
}  // namespace tarncore

#endif
