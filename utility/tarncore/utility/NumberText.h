// Numbers as regional UTF-16 text and back, and the calculator for numeric fields.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/Flags.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>

/// @file
/// Numbers as UTF-16 text in the user's regional format, and a small calculator for
/// what users type into numeric fields. The regional decimal and thousands separators
/// come from the user's LC_NUMERIC, read once ("." and "," when it has none).
namespace tarncore {
namespace utility {

/// Bits of the flags of NumberToString (double form).
enum NumberFormatFlags : unsigned short {
    kNumberNotLocalized = 1,    ///< keep "." and "," instead of the regional separators
    kNumberPadWithSpaces = 2,   ///< pad the integer part with spaces instead of zeros
    kNumberTrimZeros = 4,       ///< drop trailing zeros of the fraction (and a bare ".")
    kNumberGroupThousands = 8,  ///< group the integer part in threes
    kNumberPlusSign = 16,       ///< "+" before a number that is not negative
    kNumberSpaceForSign = 32    ///< " " before a number that is not negative (without 16)
};

/// Bits of the flags of StringToNumber.
enum NumberParseFlags : unsigned short {
    kNumberNotDelocalized = 2  ///< read the text as it stands, without regional separators
};

TARNCORE_API UTF16String NumberToString(std::int32_t inValue);  ///< `"%ld"`
TARNCORE_API UTF16String NumberToString(std::int64_t inValue);  ///< 64-bit decimal
/// Upper-case hexadecimal of the 32-bit pattern without prefix: -1 gives "FFFFFFFF".
TARNCORE_API UTF16String NumberToHexString(std::int32_t inValue);

/// At least inMinIntegerDigits digits before the point and exactly inDecimals after it
/// (decimals 0: rounded half away from zero to an integer). Text longer than 22
/// characters is written in `"%e"` form instead, without padding, grouping or trimming.
TARNCORE_API UTF16String NumberToString(double inValue, int inMinIntegerDigits, int inDecimals,
                                        Flags<unsigned short> inFlags);
/// Two decimals, localized: 3.14159 gives "3.14" (or "3,14").
TARNCORE_API UTF16String NumberToString(double inValue);

/// Reads one number from the start of the text, after turning full-width digits and
/// the regional separators into ASCII (unless kNumberNotDelocalized) and dropping every
/// ",". 0 when nothing can be read; "12abc" gives 12.
TARNCORE_API double StringToNumber(const UTF16String& inText, Flags<unsigned short> inFlags);

/// Evaluates an arithmetic expression of numbers, "+", "-", "*", "/", "^" (power), "e"
/// (times ten to the power) and parentheses; other characters are ignored. "+" and "-"
/// bind loosest, then "*" and "/", then "^"; operators of one level group to the left;
/// an "e" splits first ('2+3e2' is 500). A division by zero gives the dividend. An
/// expression nested more than kCalculateMaxDepth levels deep gives 0.
TARNCORE_API double Calculate(UTF16String inText);

constexpr int kCalculateMaxDepth = 200;

}  // namespace utility
}  // namespace tarncore
