// Arbitrary 16-bit units through ConvertLineEndings, ReplaceInString and ReplaceAllStringInString.
// Checks the invariants each rewrite promises.
#include <tarncore/utility/UnicodeStrings.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace tarncore::utility;

namespace {
bool HasLoneEnding(const UTF16String& text, UTF16Char lone) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != lone) continue;
        const bool paired =
            lone == 0x0D ? i + 1 < text.size() && text[i + 1] == 0x0A : i > 0 && text[i - 1] == 0x0D;
        if (!paired) return true;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t selector = data[0];
    UTF16String text;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        text.push_back(static_cast<UTF16Char>(data[i] | (data[i + 1] << 8)));

    UTF16String converted = text;
    const auto type = static_cast<LineEndingType>(selector % 3);
    ConvertLineEndings(type, converted);
    if (type == kLineEndingCRLF && (HasLoneEnding(converted, 0x0D) || HasLoneEnding(converted, 0x0A)))
        std::abort();
    if (type == kLineEndingLF && std::count(converted.begin(), converted.end(), UTF16Char(0x0D)))
        std::abort();
    if (type == kLineEndingCR && std::count(converted.begin(), converted.end(), UTF16Char(0x0A)))
        std::abort();
    UTF16String twice = converted;
    ConvertLineEndings(type, twice);
    if (twice != converted) std::abort();

    // Split the units into a format and two values at the positions of the first two "|".
    const std::size_t bar1 = text.find(UTF16Char('|'));
    const std::size_t bar2 = bar1 == UTF16String::npos ? bar1 : text.find(UTF16Char('|'), bar1 + 1);
    const UTF16String format = text.substr(0, bar1);
    const UTF16String value0 =
        bar1 == UTF16String::npos ? UTF16String() : text.substr(bar1 + 1, bar2 - bar1 - 1);
    const UTF16String value1 = bar2 == UTF16String::npos ? UTF16String() : text.substr(bar2 + 1);
    const UTF16String replaced = ReplaceInString(format, value0, value1);
    // Each format unit yields at most two units or one whole value.
    const std::size_t widest = std::max<std::size_t>({2, value0.size(), value1.size()});
    if (replaced.size() > format.size() * widest) std::abort();

    UTF16String all = format;
    ReplaceAllStringInString(all, value0, value1);
    if (!value0.empty() && value1.find(value0) == UTF16String::npos &&
        all.find(value0) != UTF16String::npos && format.find(value0) == UTF16String::npos)
        std::abort();
    return 0;
}
