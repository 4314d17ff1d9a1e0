// Arbitrary bytes read as "Debug Database.txt", written and read again: the second read
// must give the same variables as the first, with no crash or read outside the text.
#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

#include "debug/src/DatabaseFiles.h"

#include <cstdint>
#include <cstdlib>
#include <list>

using tarncore::proplist::PropList;
using tarncore::utility::UTF8String;
namespace files = tarncore::debug::files;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* inData, std::size_t inSize) {
    PropList first;
    files::ParseDebugDatabase(inData, inSize, first);
    const UTF8String text = files::FormatDebugDatabase(first);
    PropList second;
    files::ParseDebugDatabase(text.data(), text.size(), second);

    std::list<UTF8String> keys, otherKeys;
    first.GetPropertyNames(keys);
    second.GetPropertyNames(otherKeys);
    if (keys != otherKeys) std::abort();
    for (const UTF8String& key : keys) {
        UTF8String value, otherValue;
        if (!first.GetValue(key, value) || !second.GetValue(key, otherValue) || value != otherValue)
            std::abort();
    }
    // Written again, the text is the same bytes.
    if (files::FormatDebugDatabase(second) != text) std::abort();
    return 0;
}
