// The UTF-16 and UTF-8 string streams and UTF16OutputStream, all reading and writing numbers.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreamFacets.h>

#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>

/// @file
/// Text streams over UTF-16 and UTF-8 code units. Each class only adds constructors to
/// its standard base; they start with the global locale of the moment, completed with
/// the facets that let them read and write numbers (TextStreamFacets.h). A locale given
/// to imbue later must hold those facets too (Locale::Native and Locale::Default do).
///
/// Beware: a single UTF16Char is an unsigned short, so `out << unit` writes its number.
/// Write a unit with put(unit) or as a one-unit string; a char ('x') writes the character.
namespace tarncore {

/// Reads numbers and words from UTF-16 text.
class TARNCORE_API iUTF16StringStream : public std::basic_istringstream<utility::UTF16Char> {
public:
    explicit iUTF16StringStream(const utility::UTF16String& inText);
    /// A null pointer reads as empty text.
    explicit iUTF16StringStream(const utility::UTF16Char* inText);
    ~iUTF16StringStream() override;
};

/// Writes numbers and text into a UTF-16 string.
class TARNCORE_API oUTF16StringStream : public std::basic_ostringstream<utility::UTF16Char> {
public:
    oUTF16StringStream();
    ~oUTF16StringStream() override;
};

/// A UTF-16 output stream over a stream buffer of the caller's.
class TARNCORE_API UTF16OutputStream : public std::basic_ostream<utility::UTF16Char> {
public:
    /// Without a buffer the stream is bad until one is set (SetStreamBuffer).
    UTF16OutputStream();
    /// The buffer is not owned.
    explicit UTF16OutputStream(std::basic_streambuf<utility::UTF16Char>* inBuffer);
    ~UTF16OutputStream() override;
};

/// Reads numbers and words from UTF-8 text.
class TARNCORE_API iUTF8StringStream : public std::basic_istringstream<utility::UTF8Char> {
public:
    explicit iUTF8StringStream(const utility::UTF8String& inText);
    /// A null pointer reads as empty text.
    explicit iUTF8StringStream(const utility::UTF8Char* inText);
    ~iUTF8StringStream() override;
};

/// Writes numbers and text into a UTF-8 string.
class TARNCORE_API oUTF8StringStream : public std::basic_ostringstream<utility::UTF8Char> {
public:
    oUTF8StringStream();
    ~oUTF8StringStream() override;
};

}  // namespace tarncore
