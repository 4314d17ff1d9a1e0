// Loading and saving property-list documents, and geometry stored under one key.
#include <tarncore/proplist/PropListUtils.h>

#include <tarncore/config/Errors.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>
#include <tarncore/proplist/PropNodes.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/XMLParser.h>
#include <tarncore/xml/XMLUtils.h>

#include "proplist/src/PropListWalker.h"
#include "proplist/src/PropListXMLHandler.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <list>
#include <memory>

namespace tarncore {
namespace proplist {
namespace utils {

using utility::UTF16String;
using utility::UTF8Char;
using utility::UTF8String;

namespace {

const char kMissingParserFactory[] =
    "$$$/tarn/proplist/Error/PropListUtils/MissingParserFactory=Missing XML Parser Factory.";
const char kParsingPropertiesList[] =
    "$$$/tarn/proplist/Error/PropListUtils/ParsingPropertiesList=Error parsing properties list.";
const char kUnwritableCharacter[] =
    "$$$/tarn/proplist/Error/PropListUtils/UnwritableCharacter=Cannot save the properties list: "
    "^1 holds a character that XML cannot store.";
const char kNestingTooDeep[] =
    "$$$/tarn/proplist/Error/PropListUtils/NestingTooDeep=Cannot save the properties list: "
    "^1 nests lists too deeply.";

constexpr std::uint32_t kComponent = 104;

void Report(const char* inKey, std::int32_t inCode, const UTF16String& inPath = UTF16String()) {
    if (inPath.empty())
        config::ThrowError(config::kErrorLevelNonFatal, inKey, kComponent, inCode, true);
    else
        config::ThrowError(config::kErrorLevelNonFatal, inKey, kComponent, inCode, true, inPath);
}

// ---- Reading

void Load(PropList& ioList, const std::function<xml::XMLParseStatus(xml::AbstractDocParser&)>& inParse) {
    std::unique_ptr<xml::AbstractParseHandler> handler(new PropListXMLHandler(ioList));
    std::unique_ptr<xml::AbstractDocParser> parser = xml::GetParser(handler);
    if (!parser) {
        Report(kMissingParserFactory, 21);
        return;
    }
    bool failed = false;
    try {
        failed = inParse(*parser) != xml::kXMLParseSucceeded;
    } catch (const PropListXMLHandler::NestingTooDeep&) {
        failed = true;
    }
    parser.reset();
    if (failed) Report(kParsingPropertiesList, 22);
}

// ---- What a document cannot carry

// The entries' key path, "a/b/c", for messages.
UTF16String PathText(const std::list<const UTF8String*>& inKeys) {
    UTF8String path;
    for (const UTF8String* key : inKeys) {
        if (!path.empty()) path.push_back('/');
        path += *key;
    }
    return utility::UTF8to16(path);
}

// The first list nested deeper than a document may be, as its key path; false when
// there is none. Stops at that depth, so a list of any depth is looked at safely.
bool FindTooDeep(const PropList& inList, int inDepth, std::list<const UTF8String*>& ioPath) {
    for (const auto& [key, node] : PropListWalker::EntriesOf(inList)) {
        if (node->GetType() != kPropertyList) continue;
        ioPath.push_back(&key);
        if (inDepth + 1 > PropList::kMaxNesting) return true;
        if (FindTooDeep(*static_cast<const PropListNode*>(node)->GetList(), inDepth + 1, ioPath)) return true;
        ioPath.pop_back();
    }
    return false;
}

bool IsXMLText(const UTF16String& inText) {
    UTF8String text;
    utility::AppendUTF16to8(inText, text);
    return xml::utils::IsXMLText(text);
}

template <class NodeT>
bool ListIsXMLText(const PropNodeBase& inNode) {
    for (const NodeT* item : static_cast<const PropListArrayNode<NodeT*>&>(inNode).GetItems())
        if (!IsXMLText(item->GetValue())) return false;
    return true;
}

bool NodeIsXMLText(const PropNodeBase& inNode) {
    switch (inNode.GetType()) {
    case kPropertyUnicodeString:
        return IsXMLText(static_cast<const UnicodeStringPropNode&>(inNode).GetValue());
    case kPropertyString: return xml::utils::IsXMLText(static_cast<const StringPropNode&>(inNode).GetValue());
    case kPropertyUnicodeStringList: return ListIsXMLText<UnicodeStringPropNode>(inNode);
    case kPropertyStringList: {
        for (const StringPropNode* item :
             static_cast<const PropListArrayNode<StringPropNode*>&>(inNode).GetItems())
            if (!xml::utils::IsXMLText(item->GetValue())) return false;
        return true;
    }
    default: return true;  // numbers and booleans are plain ASCII
    }
}

// The first entry whose key or text XML cannot carry, as its key path.
bool FindUnwritable(const PropList& inList, std::list<const UTF8String*>& ioPath) {
    for (const auto& [key, node] : PropListWalker::EntriesOf(inList)) {
        ioPath.push_back(&key);
        if (!xml::utils::IsXMLText(key) || !NodeIsXMLText(*node)) return true;
        if (node->GetType() == kPropertyList &&
            FindUnwritable(*static_cast<const PropListNode*>(node)->GetList(), ioPath))
            return true;
        ioPath.pop_back();
    }
    return false;
}

// The document of the list, or false (reported) when a document cannot carry the list
// and read it back as it is.
bool WriteCheckedDocument(const PropList& inList, UTF8String& outDocument) {
    std::list<const UTF8String*> path;
    if (FindTooDeep(inList, 1, path)) {
        Report(kNestingTooDeep, 24, PathText(path));
        return false;
    }
    WritePropList(outDocument, inList);
    // The markup is ASCII: only keys and values can fail the check, and the slower
    // search for the entry to name runs only then.
    if (xml::utils::IsXMLText(outDocument)) return true;
    if (FindUnwritable(inList, path))
        Report(kUnwritableCharacter, 23, PathText(path));
    else
        Report(kUnwritableCharacter, 23);
    return false;
}

// ---- Writing

constexpr std::uint32_t kBufferSize = 32768;
constexpr std::uint32_t kGranule = 4096;

void WriteAll(filesupport::OByteStream& ioStream, const UTF8Char* inData, std::size_t inSize) {
    while (inSize > 0) {
        const std::uint32_t piece = static_cast<std::uint32_t>(std::min<std::size_t>(inSize, 1u << 30));
        ioStream.WriteBlock(inData, piece);
        inData += piece;
        inSize -= piece;
    }
}

// Replaces the file with the document, with each line feed as carriage return and line
// feed when inTextMode. Every failure throws, and leaves the old file as it was.
void Replace(const filesupport::File& inFile, const UTF8String& inDocument, bool inTextMode) {
    filesupport::OReplacingPlatformByteStream file(inFile);
    filesupport::OBufferedByteStream buffered(file, kBufferSize, kGranule);
    if (!inTextMode) {
        WriteAll(buffered, inDocument.data(), inDocument.size());
    } else {
        static const UTF8Char kLineEnd[] = {'\r', '\n'};
        const UTF8Char* line = inDocument.data();
        const UTF8Char* const end = line + inDocument.size();
        while (line != end) {
            const UTF8Char* feed = std::find(line, end, UTF8Char('\n'));
            WriteAll(buffered, line, static_cast<std::size_t>(feed - line));
            if (feed == end) break;
            WriteAll(buffered, kLineEnd, 2);
            line = feed + 1;
        }
    }
    // Both explicitly: a failure must throw here, not vanish in a destructor.
    buffered.Flush();
    file.Commit();
}

template <class T>
std::list<T> ReadNumbers(const PropList::Key& inKey, const PropList& inList) {
    std::list<T> values;
    inList.GetValue(inKey, values);
    return values;
}

// The i-th number of the list, 0 past its end.
template <class T>
T Nth(const std::list<T>& inValues, std::size_t inIndex) {
    if (inIndex >= inValues.size()) return T(0);
    return *std::next(inValues.begin(), static_cast<std::ptrdiff_t>(inIndex));
}

}  // namespace

// ---- Geometry

void WritePointF32(const PropList::Key& inKey, const geom::PointT<float>& inPoint, PropList* ioList) {
    ioList->SetValue(inKey, std::list<float>{inPoint.x, inPoint.y});
}

geom::PointT<float> ReadPointF32(const PropList::Key& inKey, const PropList* inList) {
    const std::list<float> values = ReadNumbers<float>(inKey, *inList);
    return geom::PointT<float>(Nth(values, 0), Nth(values, 1));
}

void WriteRectF32(const PropList::Key& inKey, const geom::RectT<float>& inRect, PropList* ioList) {
    ioList->SetValue(inKey, std::list<float>{inRect.x, inRect.y, inRect.width, inRect.height});
}

geom::RectT<float> ReadRectF32(const PropList::Key& inKey, const PropList* inList) {
    const std::list<float> values = ReadNumbers<float>(inKey, *inList);
    return geom::RectT<float>(Nth(values, 0), Nth(values, 1), Nth(values, 2), Nth(values, 3));
}

void WriteRect32(const PropList::Key& inKey, const geom::Rect32& inRect, PropList& ioList) {
    ioList.SetValue(inKey, std::list<std::int32_t>{inRect.x, inRect.y, inRect.width, inRect.height});
}

geom::Rect32 ReadRect32(const PropList::Key& inKey, const PropList& inList) {
    const std::list<std::int32_t> values = ReadNumbers<std::int32_t>(inKey, inList);
    return geom::Rect32(Nth(values, 0), Nth(values, 1), Nth(values, 2), Nth(values, 3));
}

// ---- Documents

void SavePropList(const UTF16String& inPath, const PropList& inList) {
    UTF8String document;
    if (!WriteCheckedDocument(inList, document)) return;
    Replace(filesupport::File(inPath), document, true);
}

void SavePropList(filesupport::File& inFile, const PropList& inList) {
    UTF8String document;
    if (!WriteCheckedDocument(inList, document)) return;
    Replace(inFile, document, false);
}

void LoadPropList(const UTF16String& inPath, PropList& ioList) {
    Load(ioList, [&](xml::AbstractDocParser& parser) { return parser.ParseDocument(inPath); });
}

void ReadPropList(const UTF8String& inText, PropList& ioList) {
    Load(ioList, [&](xml::AbstractDocParser& parser) { return parser.ParseBuffer(inText); });
}

}  // namespace utils
}  // namespace proplist
}  // namespace tarncore
