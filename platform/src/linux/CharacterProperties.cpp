// Character classes and simple case mappings from ICU's character data.
#include "platform/os/CharacterProperties.h"

#include <unicode/uchar.h>

namespace tarncore {
namespace platform {
namespace os {

unsigned CharacterClasses(char32_t inCodePoint) {
    if (inCodePoint > 0x10FFFF || (inCodePoint >= 0xD800 && inCodePoint <= 0xDFFF)) return 0;
    const UChar32 c = static_cast<UChar32>(inCodePoint);
    unsigned classes = 0;
    if (u_isWhitespace(c)) classes |= kClassSpace;
    if (u_isblank(c)) classes |= kClassBlank;
    if (u_iscntrl(c)) classes |= kClassControl;
    if (u_isupper(c)) classes |= kClassUpper;
    if (u_islower(c)) classes |= kClassLower;
    if (u_isalpha(c)) classes |= kClassAlpha;
    if (u_ispunct(c)) classes |= kClassPunctuation;
    if (u_isgraph(c)) classes |= kClassGraphic;
    if (u_isprint(c)) classes |= kClassPrintable;
    return classes;
}

char32_t SimpleUpperCase(char32_t inCodePoint) {
    if (inCodePoint > 0x10FFFF) return inCodePoint;
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(inCodePoint)));
}

char32_t SimpleLowerCase(char32_t inCodePoint) {
    if (inCodePoint > 0x10FFFF) return inCodePoint;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(inCodePoint)));
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
