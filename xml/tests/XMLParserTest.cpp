// Tests of escaping, the parser factory, and the expat parser's events, failures and defences.
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>
#include <tarncore/xml/XMLParser.h>
#include <tarncore/xml/XMLUtils.h>

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tarncore;
using utility::MakeUTF16;
using utility::MakeUTF8;
using utility::UTF16String;
using utility::UTF8String;

std::string Narrow(const UTF16String& inText) {
    const UTF8String bytes = utility::UTF16to8(inText);
    return std::string(bytes.begin(), bytes.end());
}

UTF8String Bytes(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

// Writes every event as a line: "<name k=v ...", ">name", "text", "start", "end".
class RecordingHandler : public xml::AbstractParseHandler {
public:
    explicit RecordingHandler(std::vector<std::string>& outEvents, int* ioDestroyed = nullptr)
        : mEvents(outEvents), mDestroyed(ioDestroyed) {}
    ~RecordingHandler() override {
        if (mDestroyed) ++*mDestroyed;
    }
    void StartDocument() override { mEvents.push_back("start"); }
    void StartElement(const UTF16String& inName, const xml::AttributeMap& inAttributes) override {
        std::string line = "<" + Narrow(inName);
        for (const auto& [name, value] : inAttributes) line += " " + Narrow(name) + "=" + Narrow(value);
        mEvents.push_back(line);
    }
    void EndElement(const UTF16String& inName) override { mEvents.push_back(">" + Narrow(inName)); }
    // Runs of text arrive in pieces: join them, so tests see the whole run.
    void Characters(const UTF16String& inText) override {
        if (!mEvents.empty() && mEvents.back().rfind("text:", 0) == 0)
            mEvents.back() += Narrow(inText);
        else
            mEvents.push_back("text:" + Narrow(inText));
    }
    void EndDocument() override { mEvents.push_back("end"); }

private:
    std::vector<std::string>& mEvents;
    int* mDestroyed;
};

// Parses with a fresh expat parser; the events go to outEvents.
xml::XMLParseStatus ParseText(const std::string& inText, std::vector<std::string>& outEvents) {
    std::unique_ptr<xml::AbstractParseHandler> handler(new RecordingHandler(outEvents));
    xml::ExpatDocParser parser(handler);
    return parser.ParseBuffer(Bytes(inText));
}

std::string WriteTempFile(const std::string& inName, const std::string& inContents) {
    const std::string path = tarncore::testing::MakeTempFolder("xml") + "/" + inName;
    std::ofstream(path, std::ios::binary) << inContents;
    return path;
}

TEST(XMLEscaping, ReservedCharactersBothWaysInBothForms) {
    UTF8String out = MakeUTF8("x");
    xml::utils::EncodeReservedCharacters(MakeUTF8("a<b&c'\">"), out);
    EXPECT_EQ(out, MakeUTF8("xa&lt;b&amp;c&apos;&quot;&gt;"));  // appended

    UTF16String wide = MakeUTF16(u"old");
    xml::utils::EncodeReservedCharacters(MakeUTF16(u"\u00e9<"), wide);
    EXPECT_EQ(wide, MakeUTF16(u"\u00e9&lt;"));  // replaced

    const std::pair<const char16_t*, const char16_t*> decodings[] = {{u"&amp;lt;", u"&lt;"},
                                                                     {u"&#65;", u"&#65;"}};
    for (const auto& [in, expected] : decodings) {
        xml::utils::DecodeReservedCharacters(MakeUTF16(in), wide);
        EXPECT_EQ(wide, MakeUTF16(expected)) << Narrow(MakeUTF16(in));
        UTF8String narrow = MakeUTF8("old");
        xml::utils::DecodeReservedCharacters(utility::UTF16to8(MakeUTF16(in)), narrow);
        EXPECT_EQ(narrow, utility::UTF16to8(MakeUTF16(expected)));
    }
}

TEST(XMLEscaping, TextContentKeepsCarriageReturnsAndTabsAndTheCheckFindsWhatXMLCannotHold) {
    UTF8String out;
    xml::utils::EncodeTextContent(MakeUTF8("a\r\n\tb<"), out);
    EXPECT_EQ(out, MakeUTF8("a&#13;\n&#9;b&lt;"));

    EXPECT_TRUE(xml::utils::IsXMLText(MakeUTF8("plain \t\r\n text")));
    EXPECT_TRUE(xml::utils::IsXMLText(utility::UTF16to8(MakeUTF16(u"\u00e9\u20ac\U0001F600\uFFFD"))));
    // NUL, a control, a surrogate, U+FFFE, an overlong form, beyond U+10FFFF, cut short, stray.
    const std::string refused[] = {
        std::string("a\0b", 3), "\x01", "\xed\xa0\x80", "\xef\xbf\xbe", "\xe0\x80\xaf",
        "\xf4\x90\x80\x80",     "\xc3", "\xff"};
    for (const std::string& text : refused)
        EXPECT_FALSE(xml::utils::IsXMLText(Bytes(text))) << ::testing::PrintToString(text);
}

TEST(XMLParserFactory, GetParserNeedsAFactoryAndTakesTheHandlerOnlyWithOne) {
    std::vector<std::string> events;
    int destroyed = 0;
    std::unique_ptr<xml::AbstractParseHandler> handler(new RecordingHandler(events, &destroyed));
    EXPECT_FALSE(xml::GetParser(handler));
    EXPECT_TRUE(handler) << "without a factory the handler stays with the caller";

    std::unique_ptr<xml::DocParserFactory> factory(new xml::MSXMLParserFactory);
    xml::DocParserFactory* installed = factory.get();
    xml::SetParserFactory(factory);
    EXPECT_FALSE(factory);
    // Installing the same object again keeps it.
    factory.reset(installed);
    xml::SetParserFactory(factory);
    EXPECT_FALSE(factory);

    std::unique_ptr<xml::AbstractDocParser> parser = xml::GetParser(handler);
    ASSERT_TRUE(parser);
    EXPECT_FALSE(handler);
    EXPECT_EQ(parser->ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseSucceeded);
    EXPECT_EQ(events, (std::vector<std::string>{"start", "<a", ">a", "end"}));
    parser.reset();
    EXPECT_EQ(destroyed, 1) << "the parser owns the handler";
    std::unique_ptr<xml::DocParserFactory> none;
    xml::SetParserFactory(none);
}

TEST(XMLParserFactory, CopyingAParserMovesItsHandler) {
    std::vector<std::string> events;
    int destroyed = 0;
    std::unique_ptr<xml::AbstractParseHandler> handler(new RecordingHandler(events, &destroyed));
    xml::ExpatDocParser first(handler);
    xml::ExpatDocParser second(first);
    EXPECT_EQ(first.ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseFailed) << "no handler left";
    EXPECT_EQ(second.ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseSucceeded);

    std::unique_ptr<xml::AbstractParseHandler> other(new RecordingHandler(events, &destroyed));
    xml::ExpatDocParser third(other);
    third = second;  // third's own handler goes
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(second.ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseFailed);
    EXPECT_EQ(third.ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseSucceeded);
}

TEST(ExpatParser, DeliversLocalNamesAttributeMapsAndDecodedText) {
    std::vector<std::string> events;
    ASSERT_EQ(ParseText("<?xml version='1.0'?>\n"
                        "<p:root xmlns:p='urn:x' xmlns='urn:default'>"
                        "<p:item p:k='1' k='2' z='&lt;&#65;'>a&amp;b&#x20AC;<![CDATA[<c>]]></p:item>"
                        "<plain/></p:root>",
                        events),
              xml::kXMLParseSucceeded);
    EXPECT_EQ(events, (std::vector<std::string>{"start", "<root", "<item k=2 z=<A", "text:a&b\u20ac<c>",
                                                ">item", "<plain", ">plain", ">root", "end"}));

    // Attribute maps from one element to the next: values change, names repeat, and a
    // later attribute of the same local name still wins.
    events.clear();
    ASSERT_EQ(ParseText("<r xmlns:p='urn:p'><e p:k='1' k='2'/><e p:k='1' k='5'/><e/><e a='1'/></r>", events),
              xml::kXMLParseSucceeded);
    EXPECT_EQ(events, (std::vector<std::string>{"start", "<r", "<e k=2", ">e", "<e k=5", ">e", "<e", ">e",
                                                "<e a=1", ">e", ">r", "end"}));

    // The same element names many times over, and more distinct names than the adapter
    // keeps converted: every event still carries its own name.
    std::string many = "<r>";
    for (int i = 0; i < 100; ++i)
        many += "<n" + std::to_string(i % 40) + " a" + std::to_string(i % 3) + "='v'/>";
    many += "</r>";
    events.clear();
    ASSERT_EQ(ParseText(many, events), xml::kXMLParseSucceeded);
    for (int i = 0; i < 100; ++i) {
        const std::string name = "n" + std::to_string(i % 40);
        EXPECT_EQ(events[2 + 2 * i], "<" + name + " a" + std::to_string(i % 3) + "=v");
        EXPECT_EQ(events[3 + 2 * i], ">" + name);
    }
}

TEST(ExpatParser, TakesTheEncodingFromTheDocument) {
    std::vector<std::string> events;
    ASSERT_EQ(ParseText("<?xml version='1.0' encoding='ISO-8859-1'?><a>\xe9</a>", events),
              xml::kXMLParseSucceeded);
    EXPECT_EQ(events[2], "text:\u00e9");
}

TEST(ExpatParser, EveryFailureIsStatusTenWithoutAnEndOfDocument) {
    const std::string broken[] = {"", "<a></b>", "<p:a/>", "<a>\xff</a>"};
    for (const std::string& text : broken) {
        std::vector<std::string> events;
        EXPECT_EQ(ParseText(text, events), xml::kXMLParseFailed) << text;
        EXPECT_TRUE(events.empty() || events.back() != "end") << text;
    }
    std::vector<std::string> events;
    std::unique_ptr<xml::AbstractParseHandler> handler(new RecordingHandler(events));
    xml::ExpatDocParser parser(handler);
    EXPECT_EQ(parser.ParseDocument(utility::UTF8to16(Bytes(tarncore::testing::TestRoot() + "/missing.xml"))),
              xml::kXMLParseFailed);
    EXPECT_TRUE(events.empty()) << "nothing is called for a file that cannot be opened";
    EXPECT_EQ(parser.ParseDocument(utility::UTF8to16(Bytes(tarncore::testing::TestRoot()))),
              xml::kXMLParseFailed)
        << "a folder";
}

TEST(ExpatParser, ReadsFilesInPieces) {
    // Larger than one read, with a name split across the boundary somewhere.
    std::string text = "<list>";
    for (int i = 0; i < 20000; ++i) text += "<entry n='" + std::to_string(i) + "'>v</entry>";
    text += "</list>";
    const std::string path = WriteTempFile("big.xml", text);
    std::vector<std::string> events;
    std::unique_ptr<xml::AbstractParseHandler> handler(new RecordingHandler(events));
    xml::ExpatDocParser parser(handler);
    ASSERT_EQ(parser.ParseDocument(utility::UTF8to16(Bytes(path))), xml::kXMLParseSucceeded);
    ASSERT_EQ(events.size(), 2u + 2u + 3u * 20000u);
    EXPECT_EQ(events[1 + 3 * 19999 + 1], "<entry n=19999");
    EXPECT_EQ(events.back(), "end");
}

TEST(ExpatParser, NeverLoadsExternalEntities) {
    const std::string secret = WriteTempFile("secret.txt", "SECRET-CONTENTS");
    const std::string dtd = WriteTempFile("evil.dtd", "<!ENTITY leak SYSTEM 'file://" + secret + "'>");
    const std::string documents[] = {
        "<!DOCTYPE r [<!ENTITY x SYSTEM 'file://" + secret + "'>]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM '" + secret + "'>]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY % p SYSTEM 'file://" + dtd + "'> %p;]><r>&leak;</r>",
        "<!DOCTYPE r SYSTEM 'file://" + dtd + "'><r>&leak;</r>",
    };
    for (const std::string& document : documents) {
        std::vector<std::string> events;
        ParseText(document, events);  // refused or parsed without the entity: either is safe
        for (const std::string& event : events)
            EXPECT_EQ(event.find("SECRET"), std::string::npos) << document;
    }
}

TEST(ExpatParser, AHandlersExceptionStopsTheParseAndReachesTheCaller) {
    class Throwing : public xml::AbstractParseHandler {
    public:
        explicit Throwing(int& ioElements) : mElements(ioElements) {}
        void StartElement(const UTF16String&, const xml::AttributeMap&) override {
            if (++mElements == 2) throw std::runtime_error("stop here");
        }

    private:
        int& mElements;
    };
    int elements = 0;
    std::unique_ptr<xml::AbstractParseHandler> handler(new Throwing(elements));
    xml::ExpatDocParser parser(handler);
    EXPECT_THROW(parser.ParseBuffer(MakeUTF8("<a><b/><c/><d/></a>")), std::runtime_error);
    EXPECT_EQ(elements, 2);
    // The parser is usable again afterwards.
    elements = 10;
    EXPECT_EQ(parser.ParseBuffer(MakeUTF8("<a/>")), xml::kXMLParseSucceeded);
}

}  // namespace
