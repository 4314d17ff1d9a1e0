// The facets that let streams of UTF-16 and UTF-8 code units read and write numbers.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <locale>
#include <ostream>
#include <string>

/// @file
/// Streams of UTF-16 and UTF-8 code units (`std::basic_*stream<unsigned short>` and
/// `<unsigned char>`) need the classification, punctuation and number facets for those
/// character types. libstdc++ declares the generic ctype and numpunct templates but
/// defines their members only for char and wchar_t, and no locale holds any of these
/// facets. This header completes the two templates for the code unit types (the
/// definitions are in TextStreamFacets.cpp) and WithTextStreamFacets puts the facets
/// into a locale. The library's stream classes do that when they are made; a plain
/// standard stream of these types works once it is imbued with such a locale:
///
///     std::basic_istringstream<UTF16Char> in(text);
///     in.imbue(tarncore::utility::WithTextStreamFacets(in.getloc()));
///
/// Classification: ASCII units as in the "C" locale; other UTF-16 units by their Unicode
/// properties; UTF-8 units from 0x80 up (parts of multi-byte sequences) have no class.
#if !defined(__GLIBCXX__)
#error "TextStreamFacets.h completes libstdc++'s facet templates; another standard library needs its own"
#endif

/// @cond
namespace std {

template <>
TARNCORE_API ctype<unsigned short>::~ctype();
template <>
TARNCORE_API bool ctype<unsigned short>::do_is(mask, char_type) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_is(const char_type*, const char_type*,
                                                                mask*) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_scan_is(mask, const char_type*,
                                                                     const char_type*) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_scan_not(mask, const char_type*,
                                                                      const char_type*) const;
template <>
TARNCORE_API unsigned short ctype<unsigned short>::do_toupper(char_type) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_toupper(char_type*, const char_type*) const;
template <>
TARNCORE_API unsigned short ctype<unsigned short>::do_tolower(char_type) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_tolower(char_type*, const char_type*) const;
template <>
TARNCORE_API unsigned short ctype<unsigned short>::do_widen(char) const;
template <>
TARNCORE_API const char* ctype<unsigned short>::do_widen(const char*, const char*, char_type*) const;
template <>
TARNCORE_API char ctype<unsigned short>::do_narrow(char_type, char) const;
template <>
TARNCORE_API const unsigned short* ctype<unsigned short>::do_narrow(const char_type*, const char_type*, char,
                                                                    char*) const;

template <>
TARNCORE_API ctype<unsigned char>::~ctype();
template <>
TARNCORE_API bool ctype<unsigned char>::do_is(mask, char_type) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_is(const char_type*, const char_type*,
                                                              mask*) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_scan_is(mask, const char_type*,
                                                                   const char_type*) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_scan_not(mask, const char_type*,
                                                                    const char_type*) const;
template <>
TARNCORE_API unsigned char ctype<unsigned char>::do_toupper(char_type) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_toupper(char_type*, const char_type*) const;
template <>
TARNCORE_API unsigned char ctype<unsigned char>::do_tolower(char_type) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_tolower(char_type*, const char_type*) const;
template <>
TARNCORE_API unsigned char ctype<unsigned char>::do_widen(char) const;
template <>
TARNCORE_API const char* ctype<unsigned char>::do_widen(const char*, const char*, char_type*) const;
template <>
TARNCORE_API char ctype<unsigned char>::do_narrow(char_type, char) const;
template <>
TARNCORE_API const unsigned char* ctype<unsigned char>::do_narrow(const char_type*, const char_type*, char,
                                                                  char*) const;

// The classic punctuation: "." decimal point, "," thousands separator, no grouping,
// "true" and "false".
template <>
TARNCORE_API numpunct<unsigned short>::~numpunct();
template <>
TARNCORE_API void numpunct<unsigned short>::_M_initialize_numpunct(__c_locale);
template <>
TARNCORE_API numpunct<unsigned char>::~numpunct();
template <>
TARNCORE_API void numpunct<unsigned char>::_M_initialize_numpunct(__c_locale);

// The generic inserter of a char writes widen(c) with <<, which for a stream of
// unsigned short picks the integer inserter and prints "32" for ' '. Writing the
// character is what every caller means.
template <>
inline basic_ostream<unsigned short>& operator<<(basic_ostream<unsigned short>& ioStream, char inChar) {
    const unsigned short unit = ioStream.widen(inChar);
    if (ioStream.width() != 0) return __ostream_insert(ioStream, &unit, 1);
    ioStream.put(unit);
    return ioStream;
}

}  // namespace std
/// @endcond

namespace tarncore {
namespace utility {

/// Separators for numbers in streams of the code unit types. A separator outside
/// ASCII is kept for UTF-16 streams; UTF-8 streams, whose units cannot hold it, use the
/// classic one instead (and no grouping for a thousands separator).
struct NumberPunctuation {
    UTF16Char decimalPoint = '.';
    UTF16Char thousandsSeparator = ',';
    std::string grouping;  ///< as std::numpunct::grouping; empty: digits are not grouped
};

/// inBase with the ctype, numpunct, num_get and num_put facets for UTF16Char and
/// UTF8Char. Facets inBase already has for these types are kept, so the call is cheap
/// for a locale that holds them all.
TARNCORE_API std::locale WithTextStreamFacets(const std::locale& inBase);

/// inBase with the four facets for both types, the numpunct facets carrying
/// inPunctuation.
TARNCORE_API std::locale WithTextStreamFacets(const std::locale& inBase,
                                              const NumberPunctuation& inPunctuation);

/// True when inLocale has all eight facets.
TARNCORE_API bool HasTextStreamFacets(const std::locale& inLocale);

}  // namespace utility
}  // namespace tarncore
