// The supplied document parser: the platform's XML reader, its events in UTF-16.
#include <tarncore/xml/ExpatParser.h>

#include <tarncore/utility/UnicodeStrings.h>

#include "platform/os/Files.h"
#include "platform/os/XmlReader.h"

#include <array>
#include <cstring>
#include <string>

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

    static constexpr std::size_t kCachedNames = 32;

    const UTF16String& Name(std::string_view inName) {
        for (std::size_t i = 0; i < mCachedCount; ++i) {
            const CachedName& cached = mNames[i];
            if (cached.utf8.size() == inName.size() &&
                std::memcmp(cached.utf8.data(), inName.data(), inName.size()) == 0)
                return cached.utf16;
        }
        // A full cache replaces its entries in turn: a document of many distinct names
        // costs a conversion per name, never unbounded memory.
        CachedName& slot =
            mNames[mCachedCount < kCachedNames ? mCachedCount++ : mNextVictim++ % kCachedNames];
        slot.utf8.assign(inName.data(), inName.size());
        AssignUTF16(inName, slot.utf16);
        return slot.utf16;
    }

    // The map for these attributes, later ones replacing earlier ones of the same local
    // name. When the names are those of the last element with attributes (the common
    // case), the entries are kept and only their values are replaced.
    void FillAttributes(const os::XmlAttribute* inAttributes, std::size_t inCount) {
        if (!SameNames(inAttributes, inCount)) {
            mAttributes.clear();
            for (std::size_t i = 0; i < inCount; ++i) {
                UTF16String& value = mAttributes[Name(inAttributes[i].name)];
                AssignUTF16(inAttributes[i].value, value);
            }
            return;
        }
        for (std::size_t i = 0; i < inCount; ++i) AssignUTF16(inAttributes[i].value, *mSlots[i]);
    }

    // True when every attribute's local name is a distinct key of the map and the map
    // has no other keys; mSlots then holds each attribute's value.
    bool SameNames(const os::XmlAttribute* inAttributes, std::size_t inCount) {
        if (inCount != mAttributes.size() || inCount > mSlots.size()) return false;
        for (std::size_t i = 0; i < inCount; ++i) {
            const auto found = mAttributes.find(Name(inAttributes[i].name));
            if (found == mAttributes.end()) return false;
            for (std::size_t j = 0; j < i; ++j)
                if (mSlots[j] == &found->second) return false;
            mSlots[i] = &found->second;
        }
        return true;
    }

    static const AttributeMap kNoAttributes;

    AbstractParseHandler& mHandler;
    std::array<CachedName, kCachedNames> mNames;
    std::size_t mCachedCount = 0;
    std::size_t mNextVictim = 0;
    AttributeMap mAttributes;
    std::array<UTF16String*, 8> mSlots{};
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
    if (GetHandler() == nullptr || !os::ToNativePath(inPath, native)) return kXMLParseFailed;
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
