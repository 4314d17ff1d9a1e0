// The debug and trace database files: their lines, reading them whole, replacing them in one step.
#include "debug/src/DatabaseFiles.h"

#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <list>

namespace tarncore {
namespace debug {
namespace files {

using utility::UTF8Char;
using utility::UTF8String;

namespace {

const UTF8Char kTab = '\t';
const UTF8Char kLineFeed = '\n';
const UTF8Char kReturn = '\r';

// Reads the text from ioPosition up to the next inEnd, which is consumed; false when the
// text ends first.
bool ReadUpTo(const UTF8Char* inText, std::size_t inSize, std::size_t& ioPosition, UTF8Char inEnd,
              UTF8String& outField) {
    const UTF8Char* const start = inText + ioPosition;
    const UTF8Char* const stop = std::find(start, inText + inSize, inEnd);
    if (stop == inText + inSize) return false;
    outField.assign(start, stop);
    ioPosition = static_cast<std::size_t>(stop - inText) + 1;
    return true;
}

void AppendAscii(UTF8String& ioText, const char* inText) {
    for (; *inText; ++inText) ioText.push_back(static_cast<UTF8Char>(*inText));
}

void AppendLineEnd(UTF8String& ioText) { AppendAscii(ioText, "\r\n"); }

bool IsSpace(UTF8Char inByte) { return inByte == ' ' || (inByte >= '\t' && inByte <= '\r'); }

}  // namespace

const proplist::PropList::Key& EnabledKey() {
    static const proplist::PropList::Key key = utility::MakeUTF8("Enabled");
    return key;
}

const proplist::PropList::Key& VolumeKey() {
    static const proplist::PropList::Key key = utility::MakeUTF8("Volume");
    return key;
}

filesupport::File PreferencesFile(const char16_t* inName) {
    return filesupport::File(filesupport::Dir::PrefDir(), utility::MakeUTF16(inName));
}

bool ReadWholeFile(const filesupport::File& inFile, UTF8String& outBytes) {
    outBytes.clear();
    if (!inFile.Exists()) return false;
    filesupport::IPlatformByteStream in(inFile);
    const std::uint64_t length = in.Length();
    UTF8String bytes;
    bytes.resize(static_cast<std::size_t>(length));
    for (std::uint64_t done = 0; done < length;) {
        const std::uint32_t count = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(length - done, std::numeric_limits<std::uint32_t>::max()));
        in.ReadBlock(&bytes[static_cast<std::size_t>(done)], count);
        done += count;
    }
    outBytes.swap(bytes);
    return true;
}

void ParseDebugDatabase(const UTF8Char* inText, std::size_t inSize, proplist::PropList& ioList) {
    std::size_t position = 0;
    UTF8String key, value;
    while (ReadUpTo(inText, inSize, position, kTab, key) &&
           ReadUpTo(inText, inSize, position, kLineFeed, value)) {
        // The file's lines end in CR LF: the CR is the line end's, not the value's.
        if (!value.empty() && value.back() == kReturn) value.pop_back();
        ioList.SetValue(key, value);
    }
}

UTF8String FormatDebugDatabase(const proplist::PropList& inList) {
    std::list<UTF8String> keys;
    inList.GetPropertyNames(keys);
    UTF8String text;
    UTF8String value;
    for (const UTF8String& key : keys) {
        value.clear();
        inList.GetValue(key, value);
        text += key;
        text.push_back(kTab);
        text += value;
        AppendLineEnd(text);
    }
    return text;
}

void ParseTraceDatabase(const UTF8Char* inText, std::size_t inSize, proplist::PropList& ioList) {
    std::size_t position = 0;
    UTF8String name, enabled, volume;
    while (ReadUpTo(inText, inSize, position, kTab, name) &&
           ReadUpTo(inText, inSize, position, kTab, enabled) &&
           ReadUpTo(inText, inSize, position, kLineFeed, volume)) {
        // A carriage return before the line feed ends the number like any other byte.
        proplist::PropList* category = ioList.NewSubList(name);
        category->SetValue(EnabledKey(), ReadNumber(enabled.data(), enabled.size()) == 1);
        category->SetValue(VolumeKey(), ReadNumber(volume.data(), volume.size()));
    }
}

UTF8String FormatTraceDatabase(const proplist::PropList& inList) {
    std::list<UTF8String> names;
    inList.GetPropertyNames(names);
    UTF8String text;
    for (const UTF8String& name : names) {
        const proplist::PropList* category = inList.GetSubList(name);
        if (category == nullptr) continue;
        bool enabled = true;
        std::int32_t volume = 5;
        category->GetValue(EnabledKey(), enabled);
        category->GetValue(VolumeKey(), volume);
        char digits[16];
        const char* const end = std::to_chars(digits, digits + sizeof digits, volume).ptr;
        text += name;
        text.push_back(kTab);
        text.push_back(enabled ? '1' : '0');
        text.push_back(kTab);
        text.append(static_cast<const char*>(digits), end);
        AppendLineEnd(text);
    }
    return text;
}

std::int32_t ReadNumber(const UTF8Char* inText, std::size_t inSize) {
    std::size_t i = 0;
    while (i < inSize && IsSpace(inText[i])) ++i;
    bool negative = false;
    if (i < inSize && (inText[i] == '+' || inText[i] == '-')) negative = inText[i++] == '-';
    // Held to the int32 range as the digits come, so no length of digits overflows.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; i < inSize && inText[i] >= '0' && inText[i] <= '9'; ++i)
        magnitude = std::min<std::int64_t>(limit, magnitude * 10 + (inText[i] - '0'));
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool HoldsTabOrLineBreak(const UTF8String& inText) {
    return inText.find_first_of(utility::MakeUTF8("\t\r\n")) != UTF8String::npos;
}

bool HoldsLineBreak(const UTF8String& inText) {
    return inText.find_first_of(utility::MakeUTF8("\r\n")) != UTF8String::npos;
}

}  // namespace files
}  // namespace debug
}  // namespace tarncore
