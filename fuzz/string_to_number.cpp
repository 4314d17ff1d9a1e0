// Arbitrary UTF-16 units through StringToNumber, with and without delocalising.
// The number written back by NumberToString must read as the same value.
#include <tarncore/utility/NumberText.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace tarncore::utility;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    UTF16String text;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        text.push_back(static_cast<UTF16Char>(data[i] | data[i + 1] << 8));
    const double value = StringToNumber(text, static_cast<unsigned short>(data[0]));
    if (std::isnan(value)) std::abort();
    const int decimals = data[0] % 8;
    const UTF16String written = NumberToString(value, data[0] % 5, decimals, kNumberNotLocalized);
    const double again = StringToNumber(written, kNumberNotDelocalized);
    if (std::isfinite(value) && std::fabs(value) < 1e12 && decimals == 7 &&
        std::fabs(again - value) > 1e-7 * (1 + std::fabs(value)))
        std::abort();
    return 0;
}
