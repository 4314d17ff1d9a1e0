// Tests of property lists as XML documents: the writer's text, the reader's rules, files, refusals.
#include <tarncore/filesupport/File.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>

#include <tarncore_testing/RecordingErrorManager.h>
#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>

namespace {

using namespace tarncore;
using namespace tarncore::proplist;
using utility::MakeUTF16;
using utility::MakeUTF8;
using utility::UTF16String;
using utility::UTF8String;
namespace tt = tarncore::testing;

UTF8String K(const char* inKey) { return MakeUTF8(inKey); }
UTF8String Bytes(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }
std::string Text(const UTF8String& inBytes) { return std::string(inBytes.begin(), inBytes.end()); }
UTF16String PathOf(const std::string& inPath) { return utility::UTF8to16(Bytes(inPath)); }

std::string ReadFile(const std::string& inPath) {
    std::ifstream in(inPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Document(const PropList& inList) {
    UTF8String text;
    utils::WritePropList(text, inList);
    return Text(text);
}

// Each test parses with the supplied parser and records reports without throwing.
class PropListXML : public ::testing::Test {
protected:
    void SetUp() override {
        std::unique_ptr<xml::DocParserFactory> factory(new xml::ExpatParserFactory);
        xml::SetParserFactory(factory);
        mFolder = tt::MakeTempFolder("plist");
    }
    void TearDown() override {
        std::unique_ptr<xml::DocParserFactory> none;
        xml::SetParserFactory(none);
    }

    // Reads the document into ioList and returns the codes reported.
    std::vector<std::int32_t> Read(const std::string& inDocument, PropList& ioList) {
        mErrors.Clear();
        utils::ReadPropList(Bytes(inDocument), ioList);
        return Codes();
    }

    std::vector<std::int32_t> Codes() const {
        std::vector<std::int32_t> codes;
        for (const auto& report : mErrors.Reports()) {
            EXPECT_EQ(report.component, 104u);
            EXPECT_EQ(report.level, config::kErrorLevelNonFatal);
            codes.push_back(report.code);
        }
        return codes;
    }

    std::string mFolder;
    tt::RecordingErrorManager mErrors;
};

const char kWorkedExample[] =
    "<?xml version='1.0'?>\n<prop.map version='4'>\n<prop.list>\n"
    "<prop.pair>\n<key>Count</key>\n<int type='signed' size='32'>42</int>\n</prop.pair>\n"
    "<prop.pair>\n<key>Enabled</key>\n<true/>\n</prop.pair>\n"
    "<prop.pair>\n<key>Name</key>\n<ustring>R&amp;D</ustring>\n</prop.pair>\n"
    "<prop.pair>\n<key>Ratio</key>\n<double>0.5</double>\n</prop.pair>\n"
    "<prop.pair>\n<key>Sizes</key>\n<array>\n<array.type><int type='unsigned' size='16'/></array.type>\n"
    "<int type='unsigned' size='16'>1</int>\n<int type='unsigned' size='16'>2</int>\n</array>\n</prop.pair>\n"
    "<prop.pair>\n<key>Window</key>\n<prop.list>\n"
    "<prop.pair>\n<key>Title</key>\n<string>Main</string>\n</prop.pair>\n"
    "</prop.list>\n</prop.pair>\n"
    "</prop.list>\n</prop.map>\n";

TEST_F(PropListXML, TheWorkedExampleByteForByteAndBack) {
    PropList list;
    list.SetValue(K("Count"), std::int32_t(42));
    list.SetValue(K("Enabled"), true);
    list.SetValue(K("Name"), MakeUTF16(u"R&D"));
    list.SetValue(K("Ratio"), 0.5);
    list.SetValue(K("Sizes"), std::list<unsigned short>{1, 2});
    list.NewSubList(K("Window"))->SetValue(K("Title"), MakeUTF8("Main"));
    EXPECT_EQ(Document(list), kWorkedExample);

    PropList read;
    EXPECT_EQ(Read(kWorkedExample, read), std::vector<std::int32_t>{});
    EXPECT_EQ(Document(read), kWorkedExample);

    UTF8String fragment = MakeUTF8("x");
    read.GetSubList(K("Window"))->OutputAsXMLFragment(fragment);
    EXPECT_EQ(
        Text(fragment),
        "x<prop.list>\n<prop.pair>\n<key>Title</key>\n<string>Main</string>\n</prop.pair>\n</prop.list>\n");

    EXPECT_EQ(Document(PropList()),
              "<?xml version='1.0'?>\n<prop.map version='4'>\n<prop.list>\n</prop.list>\n</prop.map>\n");
}

// A list holding every type and list type, with text that needs escaping.
PropList EveryType() {
    PropList list;
    list.SetValue(K("ustring"), MakeUTF16(u"a<b & \"c\" 'd' \u20ac \U0001F600 line\nfeed\r\ttab"));
    list.SetValue(K("string"), utility::UTF16to8(MakeUTF16(u"a<b>\u00e9")));
    list.SetValue(K("empty"), UTF8String());
    list.SetValue(K("true"), true);
    list.SetValue(K("false"), false);
    list.SetValue(K("u16"), static_cast<unsigned short>(65535));
    list.SetValue(K("u32"), std::uint32_t(4294967295u));
    list.SetValue(K("i32"), std::int32_t(-2147483647 - 1));
    list.SetValue(K("i64"), std::int64_t(-9223372036854775807LL - 1));
    list.SetValue(K("u64"), std::uint64_t(18446744073709551615ull));
    list.SetValue(K("float"), 0.25f);
    list.SetValue(K("double"), 1e-300);
    list.SetValue(K("ustrings"), std::list<UTF16String>{MakeUTF16(u"x"), UTF16String(), MakeUTF16(u"&")});
    list.SetValue(K("strings"), std::list<UTF8String>{MakeUTF8("y")});
    list.SetValue(K("bools"), std::list<bool>{true, false, true});
    list.SetValue(K("u16s"), std::list<unsigned short>{0, 65535});
    list.SetValue(K("u32s"), std::list<std::uint32_t>{7});
    list.SetValue(K("i32s"), std::list<std::int32_t>{-7, 7});
    list.SetValue(K("i64s"), std::list<std::int64_t>{-70000000000LL});
    list.SetValue(K("u64s"), std::list<std::uint64_t>{70000000000ULL});
    list.SetValue(K("floats"), std::list<float>{});
    list.SetValue(K("doubles"), std::list<double>{-1.5, 1e10});
    PropList* nested = list.NewSubList(K("key with <markup> & \r\t"));
    nested->NewSubList(K("deeper"))->SetValue(K("n"), std::int32_t(1));
    nested->SetValue(K("empty list"), std::list<bool>{});
    return list;
}

TEST_F(PropListXML, EveryTypeThroughBothSavesAndBothLoads) {
    const PropList list = EveryType();
    const std::string document = Document(list);
    EXPECT_NE(document.find("<string></string>\n"), std::string::npos);
    EXPECT_NE(document.find("<array.type><float/></array.type>\n</array>"), std::string::npos);
    EXPECT_NE(document.find("line\nfeed&#13;&#9;tab"), std::string::npos);
    PropList reread;
    EXPECT_EQ(Read(document, reread), std::vector<std::int32_t>{});
    EXPECT_EQ(Document(reread), document);
    UTF16String text;
    EXPECT_TRUE(reread.GetValue(K("ustring"), text));
    EXPECT_EQ(text, MakeUTF16(u"a<b & \"c\" 'd' \u20ac \U0001F600 line\nfeed\r\ttab"));

    // The path form writes CR LF, the File form the document as it stands.
    const std::string textPath = mFolder + "/text.plist";
    const std::string bytesPath = mFolder + "/bytes.plist";
    utils::SavePropList(PathOf(textPath), list);
    filesupport::File file(PathOf(bytesPath));
    utils::SavePropList(file, list);
    EXPECT_EQ(ReadFile(bytesPath), document);
    std::string crlf;
    for (const char c : document) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReadFile(textPath), crlf);

    for (const std::string& path : {textPath, bytesPath}) {
        PropList loaded;
        utils::LoadPropList(PathOf(path), loaded);
        EXPECT_EQ(Codes(), std::vector<std::int32_t>{});
        EXPECT_EQ(Document(loaded), document) << path;
    }
}

TEST_F(PropListXML, NumbersKeepSixDigitsAndUnreadableNumbersAreZero) {
    PropList list;
    list.SetValue(K("pi"), 3.14159265);
    EXPECT_NE(Document(list).find("<double>3.14159</double>"), std::string::npos);

    PropList read;
    Read(
        "<prop.map><prop.list>"
        "<prop.pair><key>junk</key><int type='signed' size='32'>abc</int></prop.pair>"
        "<prop.pair><key>big</key><int type='unsigned' size='16'>70000</int></prop.pair>"
        "<prop.pair><key>prefix</key><int type='signed' size='64'>  12abc</int></prop.pair>"
        "<prop.pair><key>huge</key><float>1e999</float></prop.pair>"
        "</prop.list></prop.map>",
        read);
    std::int32_t junk = 1;
    unsigned short big = 1;
    std::int64_t prefix = 0;
    float huge = 1;
    EXPECT_TRUE(read.GetValue(K("junk"), junk));
    EXPECT_TRUE(read.GetValue(K("big"), big));
    EXPECT_TRUE(read.GetValue(K("prefix"), prefix));
    EXPECT_TRUE(read.GetValue(K("huge"), huge));
    EXPECT_EQ(junk, 0);
    EXPECT_EQ(big, 0);
    EXPECT_EQ(prefix, 12);
    EXPECT_EQ(huge, 0.0f);
}

TEST_F(PropListXML, TheReadersClassificationRules) {
    PropList list;
    list.SetValue(K("kept"), MakeUTF8("from before"));
    list.SetValue(K("a"), MakeUTF8("replaced"));
    const std::string document =
        "<prop.map version='4'><prop.list>"
        "<prop.pair><key>a</key><ustring>new</ustring></prop.pair>"
        "<prop.pair><key>anyname</key><x type='signed' size='32'>5</x></prop.pair>"
        "<prop.pair><key>s16</key><int type='signed' size='16'>6</int></prop.pair>"
        "<prop.pair><key>zz32</key><int type='zzz' size='32'>7</int></prop.pair>"
        "<prop.pair><key>size8</key><int type='signed' size='8'>9</int></prop.pair>"
        "<prop.pair><key>unknown</key><color>red</color></prop.pair>"
        "<prop.pair><key>after</key><bool>ignored text</bool></prop.pair>"
        "<prop.pair><key>declared</key><array><array.type><string/></array.type></array></prop.pair>"
        "<prop.pair><key>mixed</key><array><array.type><string/></array.type>"
        "<ustring>1</ustring><int type='signed' size='32'>2</int></array></prop.pair>"
        "</prop.list></prop.map>";
    EXPECT_EQ(Read(document, list), std::vector<std::int32_t>{});

    UTF16String wide;
    UTF8String narrow;
    EXPECT_TRUE(list.GetValue(K("kept"), narrow));
    EXPECT_TRUE(list.GetValue(K("a"), wide));
    EXPECT_EQ(wide, MakeUTF16(u"new"));
    EXPECT_EQ(list.GetPropertyType(K("anyname")), kPropertyInt32);
    EXPECT_EQ(list.GetPropertyType(K("s16")), kPropertyUInt16) << "size 16 is unsigned whatever the type";
    EXPECT_EQ(list.GetPropertyType(K("zz32")), kPropertyUInt32) << "after \"signed\" in byte order";
    EXPECT_EQ(list.GetPropertyType(K("size8")), kPropertyNone);
    EXPECT_EQ(list.GetPropertyType(K("unknown")), kPropertyNone);
    // The skipped pairs' keys do not run into the next one.
    EXPECT_EQ(list.GetPropertyType(K("after")), kPropertyBool);
    EXPECT_EQ(list.GetPropertyType(K("declared")), kPropertyStringList);
    std::list<std::int32_t> mixed;
    EXPECT_TRUE(list.GetValue(K("mixed"), mixed)) << "the last element's type decides";
    EXPECT_EQ(mixed, (std::list<std::int32_t>{1, 2}));

    // Values outside every list have nowhere to go.
    PropList outside;
    EXPECT_EQ(Read("<prop.map><prop.pair><key>a</key><string>x</string></prop.pair>"
                   "<array><array.type><bool/></array.type></array></prop.map>",
                   outside),
              std::vector<std::int32_t>{});
    EXPECT_TRUE(outside.IsEmpty());
}

TEST_F(PropListXML, VersionsOldAndNew) {
    PropList old;
    EXPECT_EQ(Read("<prop.map version='1'><prop.list><prop.pair><key>d</key><ustring>2.5</ustring>"
                   "</prop.pair></prop.list></prop.map>",
                   old),
              std::vector<std::int32_t>{});
    EXPECT_EQ(old.GetVersion(), 1);
    double value = 0;
    EXPECT_TRUE(old.GetValue(K("d"), value));
    EXPECT_EQ(value, 2.5);
    EXPECT_NE(Document(old).find("<prop.map version='1'>"), std::string::npos) << "a loaded list keeps it";

    PropList newer;
    EXPECT_EQ(Read("<prop.map version='5'><prop.list><prop.pair><key>n</key><true/></prop.pair>"
                   "</prop.list></prop.map>",
                   newer),
              std::vector<std::int32_t>{20});
    EXPECT_EQ(mErrors.Reports()[0].key,
              "$$$/tarn/proplist/Error/PropListXMLHandler/VersionGreaterThan=Cannot read PropList data; "
              "version greater than expected.");
    EXPECT_TRUE(mErrors.Reports()[0].deferrable);
    EXPECT_EQ(newer.GetVersion(), 5);
    EXPECT_EQ(newer.GetPropertyType(K("n")), kPropertyBool) << "reading goes on when the report returns";

    // A manager that throws stops the load there.
    mErrors.SetMode(tt::RecordingErrorManager::kThrowAfterRecording);
    PropList stopped;
    EXPECT_THROW(utils::ReadPropList(MakeUTF8("<prop.map version='9'><prop.list/></prop.map>"), stopped),
                 tt::ReportedError);
    mErrors.SetMode(tt::RecordingErrorManager::kRecordOnly);
}

TEST_F(PropListXML, FailuresAreReportedAndKeepWhatWasRead) {
    PropList list;
    EXPECT_EQ(Read("<prop.map><prop.list><prop.pair><key>first</key><true/></prop.pair>"
                   "<prop.pair><key>second</key><true/></prop.pair><broken",
                   list),
              std::vector<std::int32_t>{22});
    EXPECT_EQ(mErrors.Reports()[0].key,
              "$$$/tarn/proplist/Error/PropListUtils/ParsingPropertiesList=Error parsing properties list.");
    EXPECT_EQ(list.GetPropertyType(K("first")), kPropertyBool);
    EXPECT_EQ(list.GetPropertyType(K("second")), kPropertyBool);

    mErrors.Clear();
    utils::LoadPropList(PathOf(mFolder + "/missing.plist"), list);
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{22});

    std::unique_ptr<xml::DocParserFactory> none;
    xml::SetParserFactory(none);
    PropList untouched;
    EXPECT_EQ(Read("<prop.map><prop.list/></prop.map>", untouched), std::vector<std::int32_t>{21});
    EXPECT_EQ(mErrors.Reports()[0].key,
              "$$$/tarn/proplist/Error/PropListUtils/MissingParserFactory=Missing XML Parser Factory.");
}

std::string Nested(int inDepth) {
    std::string document = "<prop.map><prop.list>";
    for (int i = 1; i < inDepth; ++i) document += "<prop.pair><key>k</key><prop.list>";
    document += "<prop.pair><key>leaf</key><true/></prop.pair>";
    for (int i = 1; i < inDepth; ++i) document += "</prop.list></prop.pair>";
    return document + "</prop.list></prop.map>";
}

TEST_F(PropListXML, NestingIsBoundedOnReadingAndSaving) {
    PropList deepest;
    EXPECT_EQ(Read(Nested(PropList::kMaxNesting), deepest), std::vector<std::int32_t>{});
    const std::string path = mFolder + "/deep.plist";
    filesupport::File file(PathOf(path));
    utils::SavePropList(file, deepest);
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{});
    PropList loaded;
    utils::LoadPropList(PathOf(path), loaded);
    EXPECT_EQ(Document(loaded), Document(deepest));

    PropList tooDeep;
    EXPECT_EQ(Read(Nested(PropList::kMaxNesting + 1), tooDeep), std::vector<std::int32_t>{22});
    EXPECT_NE(tooDeep.GetSubList(K("k")), nullptr) << "the levels read before stay";
    // A hundred thousand levels: refused, not a stack overflow.
    PropList wayTooDeep;
    EXPECT_EQ(Read(Nested(100000), wayTooDeep), std::vector<std::int32_t>{22});

    // A list built deeper than a document may be is not saved: it could not be loaded.
    PropList built;
    PropList* level = &built;
    for (int i = 0; i < PropList::kMaxNesting; ++i) level = level->NewSubList(K("k"));
    mErrors.Clear();
    utils::SavePropList(file, built);
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{24});
    std::string expectedPath = "k";
    for (int i = 1; i < PropList::kMaxNesting; ++i) expectedPath += "/k";
    EXPECT_EQ(mErrors.Reports()[0].values[0].GetString(), PathOf(expectedPath));
    utils::LoadPropList(PathOf(path), loaded);
    EXPECT_EQ(Document(loaded), Document(deepest)) << "the file is untouched";
}

TEST_F(PropListXML, TextXMLCannotCarryIsRefusedBeforeAnythingIsWritten) {
    const std::string path = mFolder + "/settings.plist";
    PropList good;
    good.SetValue(K("ok"), true);
    utils::SavePropList(PathOf(path), good);
    const std::string before = ReadFile(path);

    // An unpaired surrogate, a byte that is not UTF-8 inside a list, a control character in a key.
    PropList cases[3];
    cases[0].NewSubList(K("outer"))->SetValue(K("bad"), UTF16String(1, 0xD800));
    cases[1].NewSubList(K("outer"))->SetValue(K("bad"), std::list<UTF8String>{Bytes("\xff")});
    cases[2].NewSubList(K("outer"))->SetValue(Bytes("bad\x01"), true);
    for (int i = 0; i < 3; ++i) {
        mErrors.Clear();
        utils::SavePropList(PathOf(path), cases[i]);
        ASSERT_EQ(Codes(), std::vector<std::int32_t>{23}) << i;
        EXPECT_EQ(mErrors.Reports()[0].values[0].GetString().substr(0, 9), MakeUTF16(u"outer/bad")) << i;
        EXPECT_EQ(ReadFile(path), before) << i;
    }
}

TEST_F(PropListXML, AFailedSaveThrowsAndLeavesTheOldFile) {
    PropList list;
    list.SetValue(K("v"), true);
    EXPECT_THROW(utils::SavePropList(PathOf(mFolder + "/no/such/folder/x.plist"), list), std::exception);
    // A folder where the file should be: the rename fails and the folder stays.
    const std::string folder = mFolder + "/taken";
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/inside") << "kept";
    filesupport::File file(PathOf(folder));
    EXPECT_THROW(utils::SavePropList(file, list), std::exception);
    EXPECT_EQ(ReadFile(folder + "/inside"), "kept");
    // Nothing of the attempts is left behind.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder)) entries += entry.path() != folder;
    EXPECT_EQ(entries, 0u);
}

TEST_F(PropListXML, EntityExpansionIsBounded) {
    std::string laughs = "<!DOCTYPE prop.map [<!ENTITY l0 'lollollollollollollollollollol'>";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " '";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "'>";
    }
    laughs +=
        "]><prop.map><prop.list><prop.pair><key>v</key><string>&l9;</string></prop.pair>"
        "</prop.list></prop.map>";
    PropList bomb;
    EXPECT_EQ(Read(laughs, bomb), std::vector<std::int32_t>{22});
    EXPECT_TRUE(bomb.IsEmpty());
}

}  // namespace
