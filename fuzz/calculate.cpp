// Any UTF-16 text through Calculate.
// It must return without crashing, hanging or running out of stack, and agree with itself
// on a second call.
#include <tarncore/utility/NumberText.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace tarncore::utility;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    UTF16String text;
    // Mostly the calculator's own characters, so the fuzzer explores its rules; odd
    // bytes become arbitrary units.
    for (std::size_t i = 0; i < size; ++i) {
        static const char kUnits[] = "0123456789()+-*/.,^eE (((())))";
        const std::uint8_t b = data[i];
        if (b < 0xC0)
            text.push_back(static_cast<UTF16Char>(kUnits[b % (sizeof kUnits - 1)]));
        else if (i + 1 < size) {
            text.push_back(static_cast<UTF16Char>(data[i] << 8 | data[i + 1]));
            ++i;
        }
    }
    const double first = Calculate(text);
    const double second = Calculate(text);
    if (!(first == second || (std::isnan(first) && std::isnan(second)))) std::abort();
    return 0;
}
