// Comparing names in the order of the user's language, ignoring case, width and kana type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tarncore {
namespace platform {
namespace os {

// The user's collation locale as a POSIX locale name ("de_DE.UTF-8", "C", ...): the
// first non-empty of LC_ALL, LC_COLLATE and LANG; "C" when none is set.
std::string CollationLocaleName();

// Compares texts of UTF-16 code units at secondary strength: case, character width and
// kana type are tertiary differences and drop out; accents are secondary and count.
// Comparing through one collator from several threads at once is safe.
class NameCollator {
public:
    // For a POSIX locale name ("de_DE.UTF-8", "ja_JP"); the codeset and modifier are
    // ignored. "C", "POSIX", an empty name and a language without an order of its own
    // compare by the root collation order.
    explicit NameCollator(const std::string& inLocaleName);
    ~NameCollator();
    NameCollator(const NameCollator&) = delete;
    NameCollator& operator=(const NameCollator&) = delete;

    // -1, 0 or 1; -2 when the comparison cannot be made.
    int Compare(const std::uint16_t* inFirst, std::size_t inFirstLength, const std::uint16_t* inSecond,
                std::size_t inSecondLength) const;

private:
    struct Engine;
    std::unique_ptr<Engine> mEngine;  // null when no collator could be made
};

// The collator of the user's locale (CollationLocaleName()), made on first use.
const NameCollator& UserNameCollator();

}  // namespace os
}  // namespace platform
}  // namespace tarncore
