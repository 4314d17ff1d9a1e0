// The two settings files of debug support: their text, reading them whole and replacing them.
#pragma once

#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

#include <cstddef>
#include <cstdint>

namespace tarncore {
namespace filesupport {
class File;
}

namespace debug {
namespace files {

// Debug support's component number in error reports, and its codes.
constexpr std::uint32_t kComponent = 108;
constexpr std::int32_t kUnstorableCategory = 20;
constexpr std::int32_t kUnstorableDebugEntry = 21;

// The file of that name in the preferences folder (dir_exception when the folder
// cannot be made).
filesupport::File PreferencesFile(const char16_t* inName);

// The whole file into outBytes; false, with outBytes empty, when there is no file.
// Stream errors pass on.
bool ReadWholeFile(const filesupport::File& inFile, utility::UTF8String& outBytes);

// "Debug Database.txt": lines of key, tab, value, line feed. A key ends at the first
// tab, even on a later line; a value at the line feed, without one carriage return
// standing right before it. An entry cut short by the end of the text is dropped. The
// values found are stored as strings in ioList, replacing what their keys held.
void ParseDebugDatabase(const utility::UTF8Char* inText, std::size_t inSize, proplist::PropList& ioList);
// Every key with its string value (empty for a key holding none), CR LF line ends. Keys
// and values are written as they are, so whatever ParseDebugDatabase gave reads back
// the same.
utility::UTF8String FormatDebugDatabase(const proplist::PropList& inList);

// The two properties of a trace category's sub-list: "Enabled" (bool), "Volume" (int32).
const proplist::PropList::Key& EnabledKey();
const proplist::PropList::Key& VolumeKey();

// "Trace Database.txt": lines of name, tab, enabled, tab, volume, line feed. Each line
// becomes the sub-list of its name with "Enabled" (true exactly when the text reads as
// the number 1) and "Volume" (int32). An entry cut short by the end is dropped.
void ParseTraceDatabase(const utility::UTF8Char* inText, std::size_t inSize, proplist::PropList& ioList);
// Every sub-list as name, tab, 1 or 0, tab, decimal volume, CR LF.
utility::UTF8String FormatTraceDatabase(const proplist::PropList& inList);

// The number at the start of the text after white space: an optional sign and decimal
// digits, held to the int32 range; 0 when there is none.
std::int32_t ReadNumber(const utility::UTF8Char* inText, std::size_t inSize);

// What a line of these files cannot bring back.
bool HoldsTabOrLineBreak(const utility::UTF8String& inText);
bool HoldsLineBreak(const utility::UTF8String& inText);

}  // namespace files
}  // namespace debug
}  // namespace tarncore
