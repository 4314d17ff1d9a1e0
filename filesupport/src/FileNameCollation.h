// CompareFileNames under a named locale, for the tests.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <string>

namespace tarncore {
namespace filesupport {

// CompareFileNames under a given POSIX locale name ("de_DE.UTF-8", "C", ...) instead
// of the user's.
int CompareFileNamesInLocale(const utility::UTF16String& inFirst, const utility::UTF16String& inSecond,
                             const std::string& inLocaleName);

}  // namespace filesupport
}  // namespace tarncore
