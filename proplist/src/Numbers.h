// Numbers in a property-list document: reading them from value text, writing them.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <cstdint>

namespace tarncore {
namespace proplist {

// The number at the start of the text, read as the library's UTF-8 input string stream
// extracts one (leading white space skipped, the rest of the text ignored); 0 when none
// can be read or it is out of the type's range. T is one of the value node types.
template <class T>
T ReadNumber(const utility::UTF16String& inText);

// Appends an integer in decimal, or a floating-point value (a float widened to double)
// as a standard stream writes it by default: six significant digits, "%g" style.
template <class T>
void AppendNumber(T inValue, utility::UTF8String& ioText);

}  // namespace proplist
}  // namespace tarncore
