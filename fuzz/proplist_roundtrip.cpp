// Arbitrary bytes read as a property-list document, the list written and read again.
// The second read must report nothing new and give the same list as the first (the
// document keeps six significant digits of floating-point values, so those compare
// within that), with no crash, hang or unbounded recursion on the way.
#include <tarncore/config/Errors.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/xml/ExpatParser.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <list>
#include <memory>

using namespace tarncore;
using namespace tarncore::proplist;
using utility::UTF16String;
using utility::UTF8String;

namespace {

// Counts reports; a report of a newer version is expected whenever the first read had one.
class CountingErrorManager : public config::ErrorManager {
public:
    void ReportError(config::ErrorLevel, const char*, std::uint32_t, std::int32_t inCode, bool,
                     const config::ReplacementValue&, const config::ReplacementValue&,
                     const config::ReplacementValue&, const config::ReplacementValue&) override {
        if (inCode == 20)
            ++newerVersion;
        else
            ++other;
    }
    int newerVersion = 0;
    int other = 0;
};

template <class T>
bool Close(T a, T b) {
    if (a == b) return true;
    const T scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) <= scale * T(1e-5) ||
           std::fabs(a - b) <= std::numeric_limits<T>::denorm_min() * 2;
}

template <class T>
bool SameValue(const T& a, const T& b) {
    if constexpr (std::is_floating_point<T>::value)
        return Close(a, b);
    else
        return a == b;
}

template <class T>
bool SameScalar(const PropList& a, const PropList& b, const UTF8String& inKey) {
    T x{}, y{};
    return a.GetValue(inKey, x) && b.GetValue(inKey, y) && SameValue(x, y);
}

template <class T>
bool SameList(const PropList& a, const PropList& b, const UTF8String& inKey) {
    std::list<T> x, y;
    if (!a.GetValue(inKey, x) || !b.GetValue(inKey, y) || x.size() != y.size()) return false;
    return std::equal(x.begin(), x.end(), y.begin(), SameValue<T>);
}

bool Same(const PropList& a, const PropList& b) {
    std::list<UTF8String> keys, otherKeys;
    a.GetPropertyNames(keys);
    b.GetPropertyNames(otherKeys);
    if (keys != otherKeys) return false;
    for (const UTF8String& key : keys) {
        const PropListPropertyType type = a.GetPropertyType(key);
        if (b.GetPropertyType(key) != type) return false;
        bool same = false;
        switch (type) {
        case kPropertyUnicodeString: same = SameScalar<UTF16String>(a, b, key); break;
        case kPropertyString: same = SameScalar<UTF8String>(a, b, key); break;
        case kPropertyBool: same = SameScalar<bool>(a, b, key); break;
        case kPropertyUInt16: same = SameScalar<unsigned short>(a, b, key); break;
        case kPropertyUInt32: same = SameScalar<std::uint32_t>(a, b, key); break;
        case kPropertyInt32: same = SameScalar<std::int32_t>(a, b, key); break;
        case kPropertyInt64: same = SameScalar<std::int64_t>(a, b, key); break;
        case kPropertyUInt64: same = SameScalar<std::uint64_t>(a, b, key); break;
        case kPropertyFloat: same = SameScalar<float>(a, b, key); break;
        case kPropertyDouble: same = SameScalar<double>(a, b, key); break;
        case kPropertyList: same = Same(*a.GetSubList(key), *b.GetSubList(key)); break;
        case kPropertyUnicodeStringList: same = SameList<UTF16String>(a, b, key); break;
        case kPropertyStringList: same = SameList<UTF8String>(a, b, key); break;
        case kPropertyBoolList: same = SameList<bool>(a, b, key); break;
        case kPropertyUInt16List: same = SameList<unsigned short>(a, b, key); break;
        case kPropertyUInt32List: same = SameList<std::uint32_t>(a, b, key); break;
        case kPropertyInt32List: same = SameList<std::int32_t>(a, b, key); break;
        case kPropertyInt64List: same = SameList<std::int64_t>(a, b, key); break;
        case kPropertyUInt64List: same = SameList<std::uint64_t>(a, b, key); break;
        case kPropertyFloatList: same = SameList<float>(a, b, key); break;
        case kPropertyDoubleList: same = SameList<double>(a, b, key); break;
        case kPropertyNone: break;
        }
        if (!same) return false;
    }
    return true;
}

CountingErrorManager& Setup() {
    static CountingErrorManager manager;
    static const bool installed = [] {
        config::ErrorManager::Set(&manager);
        std::unique_ptr<xml::DocParserFactory> factory(new xml::ExpatParserFactory);
        xml::SetParserFactory(factory);
        return true;
    }();
    (void)installed;
    return manager;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* inData, std::size_t inSize) {
    CountingErrorManager& errors = Setup();
    PropList first;
    utils::ReadPropList(UTF8String(inData, inData + inSize), first);

    UTF8String document;
    utils::WritePropList(document, first);
    errors.newerVersion = errors.other = 0;
    PropList second;
    utils::ReadPropList(document, second);
    const int expectedNewer = first.GetVersion() > PropList::GetCurrentVersion() ? 1 : 0;
    if (errors.other != 0 || errors.newerVersion != expectedNewer) std::abort();
    if (second.GetVersion() != first.GetVersion() || !Same(first, second)) std::abort();
    return 0;
}
