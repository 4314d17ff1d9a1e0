// Property lists as XML documents, and geometry stored under one key.
#pragma once

#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

/// @file
/// Property lists as XML documents, and geometry stored under one key.
///
/// The "prop.map" document:
///
///     <?xml version='1.0'?>
///     <prop.map version='4'>
///     <prop.list>
///     <prop.pair>
///     <key>Count</key>
///     <int type='signed' size='32'>42</int>
///     </prop.pair>
///     ...
///     </prop.list>
///     </prop.map>
///
/// one element per line, pairs in key order, nested lists as nested "prop.list" blocks
/// and lists of values as "array" blocks; numbers in decimal, floating-point values with
/// six significant digits. Text is escaped as XML needs, and a carriage return or tab
/// is written as a character reference so that it reads back unchanged.
namespace tarncore {
namespace filesupport {
class File;
}

namespace proplist {
namespace utils {

/// Geometry as a list of numbers under one key: a point as (x, y), a rectangle as
/// (x, y, width, height). Reading a key that holds no list of that number type gives
/// zeros; a shorter list leaves the missing fields zero.
/// @{
TARNCORE_API void WritePointF32(const PropList::Key& inKey, const geom::PointT<float>& inPoint,
                                PropList* ioList);
TARNCORE_API geom::PointT<float> ReadPointF32(const PropList::Key& inKey, const PropList* inList);
TARNCORE_API void WriteRectF32(const PropList::Key& inKey, const geom::RectT<float>& inRect,
                               PropList* ioList);
TARNCORE_API geom::RectT<float> ReadRectF32(const PropList::Key& inKey, const PropList* inList);
TARNCORE_API void WriteRect32(const PropList::Key& inKey, const geom::Rect32& inRect, PropList& ioList);
TARNCORE_API geom::Rect32 ReadRect32(const PropList::Key& inKey, const PropList& inList);
/// @}

/// Replaces ioText with the list's document.
TARNCORE_API void WritePropList(utility::UTF8String& ioText, const PropList& inList);

/// Replace the file with the list's document: the path form writes every line feed as a
/// carriage return and line feed, the File form the document's bytes as they stand.
/// The file is replaced in one step: a failure, or a crash while saving, leaves the old
/// file as it was. A list that a document cannot carry is reported (component 104) and
/// nothing is written: a key or text holding a character XML cannot hold (code 23, with
/// the entry's key path), lists nested more than PropList::kMaxNesting deep (code 24). A
/// file that cannot be written throws the file support exceptions
/// (filesupport/FileExceptions.h, filesupport/ByteStreams.h).
/// @{
TARNCORE_API void SavePropList(const utility::UTF16String& inPath, const PropList& inList);
TARNCORE_API void SavePropList(filesupport::File& inFile, const PropList& inList);
/// @}

/// Read a document into ioList through the installed XML parser factory. Entries read
/// replace those of the same key; others stay. Reported (component 104): no parser
/// factory (code 21); a document that cannot be read, is not well-formed or nests lists
/// more than PropList::kMaxNesting deep (code 22), keeping what was read before the
/// failure; a newer version than this library's (code 20), after which reading goes on
/// if the report returns.
/// @{
TARNCORE_API void LoadPropList(const utility::UTF16String& inPath, PropList& ioList);
TARNCORE_API void ReadPropList(const utility::UTF8String& inText, PropList& ioList);
/// @}

}  // namespace utils
}  // namespace proplist
}  // namespace tarncore
