// Escaping the five XML reserved characters, and what text must be to survive a trip through XML.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

/// @file
/// Escaping the five XML reserved characters in text written by hand, and what else text
/// must be to survive a trip through an XML document.
namespace tarncore {
namespace xml {
namespace utils {

/// Appends inText to ioText with `` '"' `` as `"&quot;"`, `` '&' `` as `"&amp;"`,
/// `` '\'' `` as `"&apos;"`, `` '<' `` as `"&lt;"` and `` '>' `` as `"&gt;"`; every other
/// byte as it stands.
TARNCORE_API void EncodeReservedCharacters(const utility::UTF8String& inText, utility::UTF8String& ioText);
/// The same through UTF-8; outText is replaced.
TARNCORE_API void EncodeReservedCharacters(const utility::UTF16String& inText, utility::UTF16String& outText);

/// Appends inText escaped as EncodeReservedCharacters escapes it, with a carriage return
/// also written as `"&#13;"` and a tab as `"&#9;"`: an XML reader turns a carriage return
/// into a line feed, and may do the same to a tab in an attribute. Text written this way
/// reads back as it stood, provided IsXMLText holds for it.
TARNCORE_API void EncodeTextContent(const utility::UTF8String& inText, utility::UTF8String& ioText);

/// True when inText is well-formed UTF-8 of characters an XML 1.0 document may hold:
/// tab, line feed, carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD and U+10000 up.
/// Other control characters, encoded surrogates and U+FFFE or U+FFFF cannot be written
/// in any form: a document holding them is not well-formed.
TARNCORE_API bool IsXMLText(const utility::UTF8String& inText);

/// Replaces `"&lt;"`, `"&gt;"`, `"&amp;"`, `"&apos;"` and `"&quot;"`, in that order, each
/// over the whole text; outText is replaced. Other references stay as they are. Because
/// `"&amp;"` goes before the last two, `"&amp;quot;"` becomes `` '"' ``.
TARNCORE_API void DecodeReservedCharacters(const utility::UTF16String& inText, utility::UTF16String& outText);
/// The same through UTF-16.
TARNCORE_API void DecodeReservedCharacters(const utility::UTF8String& inText, utility::UTF8String& outText);

}  // namespace utils
}  // namespace xml
}  // namespace tarncore
