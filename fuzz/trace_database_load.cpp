// Arbitrary bytes read as "Trace Database.txt", written and read again: the second read
// must give the same categories and settings as the first, with no crash or read
// outside the text.
#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

#include "debug/src/DatabaseFiles.h"

#include <cstdint>
#include <cstdlib>
#include <list>

using tarncore::proplist::PropList;
using tarncore::utility::UTF8String;
namespace files = tarncore::debug::files;

namespace {

bool SameCategory(const PropList& a, const PropList& b) {
    const UTF8String& enabled = files::EnabledKey();
    const UTF8String& volume = files::VolumeKey();
    bool x = false, y = false;
    std::int32_t v = 0, w = 0;
    return a.GetValue(enabled, x) && b.GetValue(enabled, y) && x == y && a.GetValue(volume, v) &&
           b.GetValue(volume, w) && v == w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* inData, std::size_t inSize) {
    PropList first;
    files::ParseTraceDatabase(inData, inSize, first);
    const UTF8String text = files::FormatTraceDatabase(first);
    PropList second;
    files::ParseTraceDatabase(text.data(), text.size(), second);

    std::list<UTF8String> names, otherNames;
    first.GetPropertyNames(names);
    second.GetPropertyNames(otherNames);
    if (names != otherNames) std::abort();
    for (const UTF8String& name : names) {
        const PropList* a = first.GetSubList(name);
        const PropList* b = second.GetSubList(name);
        if (a == nullptr || b == nullptr || !SameCategory(*a, *b)) std::abort();
    }
    if (files::FormatTraceDatabase(second) != text) std::abort();
    return 0;
}
