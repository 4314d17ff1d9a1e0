// Arbitrary bytes through UTF8to16.
// The decoded prefix must survive UTF16to8 and UTF8to16 again unchanged, up to its first
// NUL unit.
#include <tarncore/utility/UnicodeStrings.h>

#include <cstdint>
#include <cstdlib>

using namespace tarncore::utility;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const UTF16String decoded = UTF8to16(UTF8String(data, size));
    if (decoded.size() > size) std::abort();
    const UTF16String beforeNul = decoded.substr(0, decoded.find(UTF16Char(0)));
    const UTF8String encoded = UTF16to8(decoded);
    const UTF16String again = UTF8to16(encoded);
    if (again != beforeNul) std::abort();
    if (UTF16to8(again) != encoded) std::abort();
    return 0;
}
