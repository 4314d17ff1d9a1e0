// Arbitrary UTF-16 units through Locale::GetValueFromDisplayString.
// They are read by streams in the user's and the classic conventions.
#include <tarncore/utility/Locale.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarncore::utility::UTF16String text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<tarncore::utility::UTF16Char>(data[i] | data[i + 1] << 8));
    const double value = tarncore::Locale::GetValueFromDisplayString(text);
    if (std::isnan(value)) std::abort();
    return 0;
}
