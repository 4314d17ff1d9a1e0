// The supplied document parser: the platform's XML reader, its events in UTF-16.
#include <tarncore/xml/ExpatParser.h>

#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "platform/os/XmlReader.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace tarncore {
namespace xml {

namespace os = platform::os;
using utility::UTF16String;
using utility::UTF8Char;

namespace {

void AssignUTF16(std::string_view inText, UTF16String& outText) {
    outText.clear();
    utility::AppendUTF8to16(reinterpret_cast<const UTF8Char*>(inText.data()), inText.size(), outText);
}

// Hands the reader's events to the handler in UTF-16. A document repeats a few names
// many times, so their UTF-16 forms are kept; the attribute map and the text buffer are
// reused from one event to the next.
class EventAdapter : public os::XmlContentHandler {
public:
    explicit EventAdapter(AbstractParseHandler& inHandler) : mHandler(inHandler) {}

    void StartDocument() override { mHandler.StartDocument(); }

    void StartElement(std::string_view inName, const os::XmlAttribute* inAttributes,
                      std::size_t inCount) override {
        if (inCount == 0) {
            mHandler.StartElement(Name(inName), kNoAttributes);
            return;
        }
        // The attributes first: looking up their names may replace cached names, and
        // the element's must still be there when the handler gets it.
        FillAttributes(inAttributes, inCount);
        mHandler.StartElement(Name(inName), mAttributes);
    }

    void EndElement(std::string_view inName) override { mHandler.EndElement(Name(inName)); }

    void Characters(std::string_view inText) override {
        AssignUTF16(inText, mText);
        mHandler.Characters(mText);
    }

    void EndDocument() override { mHandler.EndDocument(); }

private:
    struct CachedName {
        std::string utf8;
        UTF16String utf16;
    };

    // A direct-mapped cache: a name has one slot, chosen by its length and its first
    // and last bytes. A document of many distinct names costs a conversion per name
    // that takes another's slot, never unbounded memory.
    static constexpr std::size_t kCachedNames = 64;

    const UTF16String& Name(std::string_view inName) {
        const std::size_t size = inName.size();
        const std::size_t hash = size == 0 ? 0
                                           : size * 7 + static_cast<unsigned char>(inName[0]) * 3 +
                                                 static_cast<unsigned char>(inName[size - 1]);
        CachedName& slot = mNames[hash % kCachedNames];
        if (slot.utf8 != inName) {
            slot.utf8.assign(inName.data(), size);
            AssignUTF16(inName, slot.utf16);
        }
        return slot.utf16;
    }

    // The map for these attributes, later ones replacing earlier ones of the same local
    // name. When the names are those of the last element with attributes, in the same
    // order (the common case), the entries are kept and only values that changed are
    // converted again.
    void FillAttributes(const os::XmlAttribute* inAttributes, std::size_t inCount) {
        if (!SameNames(inAttributes, inCount)) {
            mAttributes.clear();
            mLast.resize(inCount);
            for (std::size_t i = 0; i < inCount; ++i) {
                mLast[i].name.assign(inAttributes[i].name.data(), inAttributes[i].name.size());
                mLast[i].value.clear();
                mLast[i].slot = &mAttributes[Name(inAttributes[i].name)];
            }
            // Assigned in order, so a later attribute of the same local name wins.
            for (std::size_t i = 0; i < inCount; ++i) {
                mLast[i].value.assign(inAttributes[i].value.data(), inAttributes[i].value.size());
                AssignUTF16(inAttributes[i].value, *mLast[i].slot);
            }
            return;
        }
        bool changed = false;
        for (std::size_t i = 0; i < inCount; ++i) {
            LastAttribute& last = mLast[i];
            // After one value changed, every later one is assigned again: two attributes
            // may share a slot, and the last of them must win.
            if (!changed && last.value == inAttributes[i].value) continue;
            changed = true;
            last.value.assign(inAttributes[i].value.data(), inAttributes[i].value.size());
            AssignUTF16(inAttributes[i].value, *last.slot);
        }
    }

    bool SameNames(const os::XmlAttribute* inAttributes, std::size_t inCount) const {
        if (inCount != mLast.size()) return false;
        for (std::size_t i = 0; i < inCount; ++i)
            if (mLast[i].name != inAttributes[i].name) return false;
        return true;
    }

    static const AttributeMap kNoAttributes;

    AbstractParseHandler& mHandler;
    std::array<CachedName, kCachedNames> mNames;
    // The attributes of the last element that had any, and where each one's value is.
    struct LastAttribute {
        std::string name;
        std::string value;
        UTF16String* slot;
    };

    AttributeMap mAttributes;
    std::vector<LastAttribute> mLast;
    UTF16String mText;
};

const AttributeMap EventAdapter::kNoAttributes;

XMLParseStatus StatusOf(os::XmlParseResult inResult) {
    return inResult == os::XmlParseResult::kOk ? kXMLParseSucceeded : kXMLParseFailed;
}

}  // namespace

ExpatDocParser::ExpatDocParser(std::unique_ptr<AbstractParseHandler>& ioHandler)
    : AbstractDocParser(ioHandler) {}

ExpatDocParser::~ExpatDocParser() = default;

XMLParseStatus ExpatDocParser::ParseDocument(const UTF16String& inPath) {
    std::string native;
    if (GetHandler() == nullptr || !utility::ToNativePath(inPath, native)) return kXMLParseFailed;
    EventAdapter adapter(*GetHandler());
    return StatusOf(os::ParseXmlFile(native, adapter));
}

XMLParseStatus ExpatDocParser::ParseBuffer(const utility::UTF8String& inText) {
    if (GetHandler() == nullptr) return kXMLParseFailed;
    EventAdapter adapter(*GetHandler());
    return StatusOf(os::ParseXml(inText.data(), inText.size(), adapter));
}

ExpatParserFactory::~ExpatParserFactory() = default;

std::unique_ptr<AbstractDocParser> ExpatParserFactory::GetParser(
    std::unique_ptr<AbstractParseHandler>& ioHandler) {
    return std::unique_ptr<AbstractDocParser>(new ExpatDocParser(ioHandler));
}

}  // namespace xml
}  // namespace tarncore
