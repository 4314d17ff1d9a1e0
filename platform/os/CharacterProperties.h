// Unicode properties of single code points: character classes and simple case mappings.
#pragma once

namespace tarncore {
namespace platform {
namespace os {

// The character classes of the C library, as bits.
enum CharacterClass : unsigned {
    kClassSpace = 1u << 0,
    kClassBlank = 1u << 1,
    kClassControl = 1u << 2,
    kClassUpper = 1u << 3,
    kClassLower = 1u << 4,
    kClassAlpha = 1u << 5,
    kClassPunctuation = 1u << 6,
    kClassGraphic = 1u << 7,
    kClassPrintable = 1u << 8,
};

// The classes a code point belongs to by its Unicode properties ("space" is Unicode
// white space); 0 for a surrogate or a value beyond U+10FFFF.
unsigned CharacterClasses(char32_t inCodePoint);

// The simple upper- and lower-case mappings (one code point to one); a code point
// without one maps to itself.
char32_t SimpleUpperCase(char32_t inCodePoint);
char32_t SimpleLowerCase(char32_t inCodePoint);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
