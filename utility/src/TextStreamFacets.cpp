// The ctype and numpunct members for the code unit types, and the locales that carry them.
#include <tarncore/utility/TextStreamFacets.h>

#include "platform/os/CharacterProperties.h"

#include <mutex>

namespace {

using Mask = std::ctype_base::mask;

Mask AsciiMask(unsigned inUnit) { return std::ctype<char>::classic_table()[inUnit]; }

// Classes of a UTF-16 unit beyond ASCII by its Unicode properties; surrogates have none.
Mask UnicodeMask(unsigned short inUnit) {
    namespace os = tarncore::platform::os;
    const unsigned classes = os::CharacterClasses(inUnit);
    Mask m = 0;
    if (classes & os::kClassSpace) m |= std::ctype_base::space;
    if (classes & os::kClassBlank) m |= std::ctype_base::blank;
    if (classes & os::kClassControl) m |= std::ctype_base::cntrl;
    if (classes & os::kClassUpper) m |= std::ctype_base::upper;
    if (classes & os::kClassLower) m |= std::ctype_base::lower;
    if (classes & os::kClassAlpha) m |= std::ctype_base::alpha;
    if (classes & os::kClassPunctuation) m |= std::ctype_base::punct;
    if (classes & os::kClassGraphic) m |= std::ctype_base::graph;
    if (classes & os::kClassPrintable) m |= std::ctype_base::print;
    return m;
}

Mask UnitMask(unsigned short inUnit) { return inUnit < 0x80 ? AsciiMask(inUnit) : UnicodeMask(inUnit); }
Mask UnitMask(unsigned char inUnit) { return inUnit < 0x80 ? AsciiMask(inUnit) : 0; }

unsigned short ToUpperUnit(unsigned short inUnit) {
    if (inUnit < 0x80) return (inUnit >= 'a' && inUnit <= 'z') ? inUnit - 0x20 : inUnit;
    if (inUnit >= 0xD800 && inUnit <= 0xDFFF) return inUnit;
    const char32_t mapped = tarncore::platform::os::SimpleUpperCase(inUnit);
    return mapped <= 0xFFFF ? static_cast<unsigned short>(mapped) : inUnit;
}
unsigned short ToLowerUnit(unsigned short inUnit) {
    if (inUnit < 0x80) return (inUnit >= 'A' && inUnit <= 'Z') ? inUnit + 0x20 : inUnit;
    if (inUnit >= 0xD800 && inUnit <= 0xDFFF) return inUnit;
    const char32_t mapped = tarncore::platform::os::SimpleLowerCase(inUnit);
    return mapped <= 0xFFFF ? static_cast<unsigned short>(mapped) : inUnit;
}
unsigned char ToUpperUnit(unsigned char inUnit) {
    return (inUnit >= 'a' && inUnit <= 'z') ? inUnit - 0x20 : inUnit;
}
unsigned char ToLowerUnit(unsigned char inUnit) {
    return (inUnit >= 'A' && inUnit <= 'Z') ? inUnit + 0x20 : inUnit;
}

template <class T>
const T kTrueName[] = {'t', 'r', 'u', 'e', 0};
template <class T>
const T kFalseName[] = {'f', 'a', 'l', 's', 'e', 0};

// Fills the cache the generic numpunct reads its answers from.
template <class T>
void InitializeClassicPunctuation(std::__numpunct_cache<T>*& ioData) {
    if (ioData == nullptr) ioData = new std::__numpunct_cache<T>;
    ioData->_M_grouping = "";
    ioData->_M_grouping_size = 0;
    ioData->_M_use_grouping = false;
    ioData->_M_truename = kTrueName<T>;
    ioData->_M_truename_size = 4;
    ioData->_M_falsename = kFalseName<T>;
    ioData->_M_falsename_size = 5;
    ioData->_M_decimal_point = '.';
    ioData->_M_thousands_sep = ',';
    for (std::size_t i = 0; i < std::__num_base::_S_oend; ++i)
        ioData->_M_atoms_out[i] = static_cast<unsigned char>(std::__num_base::_S_atoms_out[i]);
    for (std::size_t i = 0; i < std::__num_base::_S_iend; ++i)
        ioData->_M_atoms_in[i] = static_cast<unsigned char>(std::__num_base::_S_atoms_in[i]);
}

}  // namespace

// The generic members, completed for the two code unit types. One macro body for both
// keeps them identical where they should be.
#define TARNCORE_DEFINE_CTYPE(T)                                                                         \
    template <>                                                                                          \
    ctype<T>::~ctype() {}                                                                                \
    template <>                                                                                          \
    bool ctype<T>::do_is(mask inMask, char_type inUnit) const {                                          \
        return (UnitMask(inUnit) & inMask) != 0;                                                         \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_is(const char_type* inLow, const char_type* inHigh, mask* outMasks) const {    \
        for (; inLow < inHigh; ++inLow, ++outMasks) *outMasks = UnitMask(*inLow);                        \
        return inHigh;                                                                                   \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_scan_is(mask inMask, const char_type* inLow, const char_type* inHigh) const {  \
        while (inLow < inHigh && (UnitMask(*inLow) & inMask) == 0) ++inLow;                              \
        return inLow;                                                                                    \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_scan_not(mask inMask, const char_type* inLow, const char_type* inHigh) const { \
        while (inLow < inHigh && (UnitMask(*inLow) & inMask) != 0) ++inLow;                              \
        return inLow;                                                                                    \
    }                                                                                                    \
    template <>                                                                                          \
    T ctype<T>::do_toupper(char_type inUnit) const {                                                     \
        return ToUpperUnit(inUnit);                                                                      \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_toupper(char_type* ioLow, const char_type* inHigh) const {                     \
        for (; ioLow < inHigh; ++ioLow) *ioLow = ToUpperUnit(*ioLow);                                    \
        return inHigh;                                                                                   \
    }                                                                                                    \
    template <>                                                                                          \
    T ctype<T>::do_tolower(char_type inUnit) const {                                                     \
        return ToLowerUnit(inUnit);                                                                      \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_tolower(char_type* ioLow, const char_type* inHigh) const {                     \
        for (; ioLow < inHigh; ++ioLow) *ioLow = ToLowerUnit(*ioLow);                                    \
        return inHigh;                                                                                   \
    }                                                                                                    \
    /* char is read as a byte: ASCII maps to itself, so do the bytes of UTF-8 text. */                   \
    template <>                                                                                          \
    T ctype<T>::do_widen(char inChar) const {                                                            \
        return static_cast<unsigned char>(inChar);                                                       \
    }                                                                                                    \
    template <>                                                                                          \
    const char* ctype<T>::do_widen(const char* inLow, const char* inHigh, char_type* outUnits) const {   \
        for (; inLow < inHigh; ++inLow, ++outUnits) *outUnits = static_cast<unsigned char>(*inLow);      \
        return inHigh;                                                                                   \
    }                                                                                                    \
    template <>                                                                                          \
    char ctype<T>::do_narrow(char_type inUnit, char inDefault) const {                                   \
        return inUnit < 0x80 ? static_cast<char>(inUnit) : inDefault;                                    \
    }                                                                                                    \
    template <>                                                                                          \
    const T* ctype<T>::do_narrow(const char_type* inLow, const char_type* inHigh, char inDefault,        \
                                 char* outChars) const {                                                 \
        for (; inLow < inHigh; ++inLow, ++outChars)                                                      \
            *outChars = *inLow < 0x80 ? static_cast<char>(*inLow) : inDefault;                           \
        return inHigh;                                                                                   \
    }                                                                                                    \
    template <>                                                                                          \
    numpunct<T>::~numpunct() {                                                                           \
        delete _M_data;                                                                                  \
    }                                                                                                    \
    template <>                                                                                          \
    void numpunct<T>::_M_initialize_numpunct(__c_locale) {                                               \
        InitializeClassicPunctuation<T>(_M_data);                                                        \
    }

namespace std {
TARNCORE_DEFINE_CTYPE(unsigned short)
TARNCORE_DEFINE_CTYPE(unsigned char)
}  // namespace std

#undef TARNCORE_DEFINE_CTYPE

namespace tarncore {
namespace utility {

namespace {

template <class T>
class PunctuationFacet : public std::numpunct<T> {
public:
    PunctuationFacet(T inDecimalPoint, T inThousandsSeparator, std::string inGrouping)
        : mDecimalPoint(inDecimalPoint), mThousandsSeparator(inThousandsSeparator),
          mGrouping(std::move(inGrouping)) {}

protected:
    T do_decimal_point() const override { return mDecimalPoint; }
    T do_thousands_sep() const override { return mThousandsSeparator; }
    std::string do_grouping() const override { return mGrouping; }

private:
    T mDecimalPoint;
    T mThousandsSeparator;
    std::string mGrouping;
};

template <class F>
std::locale AddIfMissing(const std::locale& inLocale, F* (*inMake)()) {
    return std::has_facet<F>(inLocale) ? inLocale : std::locale(inLocale, inMake());
}

template <class F>
F* Make() {
    return new F;
}

std::locale AddMissingFacets(std::locale locale) {
    locale = AddIfMissing<std::ctype<UTF16Char>>(locale, &Make<std::ctype<UTF16Char>>);
    locale = AddIfMissing<std::numpunct<UTF16Char>>(locale, &Make<std::numpunct<UTF16Char>>);
    locale = AddIfMissing<std::num_get<UTF16Char>>(locale, &Make<std::num_get<UTF16Char>>);
    locale = AddIfMissing<std::num_put<UTF16Char>>(locale, &Make<std::num_put<UTF16Char>>);
    locale = AddIfMissing<std::ctype<UTF8Char>>(locale, &Make<std::ctype<UTF8Char>>);
    locale = AddIfMissing<std::numpunct<UTF8Char>>(locale, &Make<std::numpunct<UTF8Char>>);
    locale = AddIfMissing<std::num_get<UTF8Char>>(locale, &Make<std::num_get<UTF8Char>>);
    locale = AddIfMissing<std::num_put<UTF8Char>>(locale, &Make<std::num_put<UTF8Char>>);
    return locale;
}

// Streams are made often and almost always from the same global locale: remember the
// last locale completed. Never destroyed, so streams made during static destruction
// still find it.
struct CompletedLocaleCache {
    std::mutex mutex;
    std::locale base;
    std::locale completed;
};

CompletedLocaleCache& Cache() {
    static CompletedLocaleCache* cache = [] {
        auto* made = new CompletedLocaleCache;
        made->completed = AddMissingFacets(made->base);
        return made;
    }();
    return *cache;
}

}  // namespace

bool HasTextStreamFacets(const std::locale& inLocale) {
    return std::has_facet<std::ctype<UTF16Char>>(inLocale) &&
           std::has_facet<std::numpunct<UTF16Char>>(inLocale) &&
           std::has_facet<std::num_get<UTF16Char>>(inLocale) &&
           std::has_facet<std::num_put<UTF16Char>>(inLocale) &&
           std::has_facet<std::ctype<UTF8Char>>(inLocale) &&
           std::has_facet<std::numpunct<UTF8Char>>(inLocale) &&
           std::has_facet<std::num_get<UTF8Char>>(inLocale) &&
           std::has_facet<std::num_put<UTF8Char>>(inLocale);
}

std::locale WithTextStreamFacets(const std::locale& inBase) {
    if (HasTextStreamFacets(inBase)) return inBase;
    CompletedLocaleCache& cache = Cache();
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        if (cache.base == inBase) return cache.completed;
    }
    std::locale completed = AddMissingFacets(inBase);
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.base = inBase;
    cache.completed = completed;
    return completed;
}

std::locale WithTextStreamFacets(const std::locale& inBase, const NumberPunctuation& inPunctuation) {
    UTF8Char decimal8 = '.';
    UTF8Char thousands8 = ',';
    std::string grouping8 = inPunctuation.grouping;
    if (inPunctuation.decimalPoint < 0x80) decimal8 = static_cast<UTF8Char>(inPunctuation.decimalPoint);
    if (inPunctuation.thousandsSeparator < 0x80) {
        thousands8 = static_cast<UTF8Char>(inPunctuation.thousandsSeparator);
    } else {
        grouping8.clear();
        thousands8 = decimal8 == ',' ? '.' : ',';
    }
    std::locale locale(
        inBase, new PunctuationFacet<UTF16Char>(inPunctuation.decimalPoint, inPunctuation.thousandsSeparator,
                                                inPunctuation.grouping));
    locale = std::locale(locale, new PunctuationFacet<UTF8Char>(decimal8, thousands8, grouping8));
    return AddMissingFacets(locale);
}

}  // namespace utility
}  // namespace tarncore
