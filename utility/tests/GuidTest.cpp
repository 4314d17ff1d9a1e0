#include <tarncore/utility/Guid.h>
#include <tarncore/utility/TextStreams.h>

#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace tarncore;
using namespace tarncore::utility;
using tarncore::testing::RecordingErrorManager;

namespace {
UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }
const char* const kText = "6b29fc40-ca47-1067-b31d-00dd010662da";
}  // namespace

TEST(Guid, NilAndLayout) {
    static_assert(sizeof(Guid) == 16, "a Guid is the 16 bytes of a GUID");
    const Guid nil;
    EXPECT_EQ(nil, Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(nil.AsString(), W(u"00000000-0000-0000-0000-000000000000"));
    const Guid g(0x6b29fc40, 0xca47, 0x1067, 0xb3, 0x1d, 0x00, 0xdd, 0x01, 0x06, 0x62, 0xda);
    EXPECT_EQ(g.GetGUID().Data1, 0x6b29fc40u);
    EXPECT_EQ(g.GetGUID().Data4[7], 0xda);
    EXPECT_EQ(Guid(g.GetGUID()), g);
    EXPECT_EQ(g.AsString(), W(u"6b29fc40-ca47-1067-b31d-00dd010662da"));
}

TEST(Guid, ParsesTheTextFormInEitherCase) {
    RecordingErrorManager manager;
    const Guid upper("6B29FC40-CA47-1067-B31D-00DD010662DA");
    EXPECT_EQ(upper.AsString(), W(u"6b29fc40-ca47-1067-b31d-00dd010662da"));
    EXPECT_EQ(Guid(std::string(kText)), upper);
    EXPECT_EQ(Guid(W(u"6b29fc40-ca47-1067-b31d-00dd010662da")), upper);
    EXPECT_EQ(Guid(static_cast<const char*>(nullptr)), Guid());
    EXPECT_TRUE(manager.Reports().empty());
}

TEST(Guid, MalformedTextReportsCode28AndGivesNil) {
    RecordingErrorManager manager;
    for (const char* bad : {"{6b29fc40-ca47-1067-b31d-00dd010662da}", "6b29fc40-ca47-1067-b31d-00dd010662d",
                            "6b29fc40-ca47-1067-b31d-00dd010662dax", "6b29fc40ca47-1067-b31d-00dd010662da0",
                            "6b29fc40-ca47-1067-b31d-00dd010662dg", " 6b29fc40-ca47-1067-b31d-00dd010662d",
                            "", "+b29fc40-ca47-1067-b31d-00dd010662da"}) {
        manager.Clear();
        EXPECT_EQ(Guid(bad), Guid()) << bad;
        ASSERT_EQ(manager.Reports().size(), 1u) << bad;
        const auto& report = manager.Reports()[0];
        EXPECT_EQ(report.component, 105u);
        EXPECT_EQ(report.code, 28);
        EXPECT_EQ(report.level, config::kErrorLevelNonFatal);
        EXPECT_EQ(report.key, "$$$/tarn/utility/Error/MalformedGUID=Malformed Guid string.");
    }
    // A UTF-16 text with a unit beyond ASCII is malformed, not truncated.
    manager.Clear();
    EXPECT_EQ(Guid(W(u"6b29fc40-ca47-1067-b31d-00dd010662d\u00e9")), Guid());
    EXPECT_EQ(manager.Reports().size(), 1u);
}

TEST(Guid, OrderComparesTheLastEightBytesAsSignedLittleEndianNumbers) {
    const Guid high(1, 2, 3, 0, 0, 0, 0x80, 0, 0, 0, 0);
    const Guid low(1, 2, 3, 0, 0, 0, 0x00, 0, 0, 0, 0);
    EXPECT_TRUE(high < low);
    EXPECT_TRUE(low > high);
    const Guid one(1, 2, 3, 0x01, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(low < one);
    EXPECT_FALSE(one < low);
    EXPECT_TRUE(Guid(1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0x80) < Guid(1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_TRUE(Guid(0x7FFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) < Guid(0x80000000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_TRUE(Guid(0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0) > Guid(0, 1, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(low < low);
    EXPECT_NE(low, high);
}

TEST(Guid, StreamsWriteAndReadOneWord) {
    RecordingErrorManager manager;
    const Guid g(kText);
    std::ostringstream narrowOut;
    narrowOut << g;
    EXPECT_EQ(narrowOut.str(), kText);
    oUTF16StringStream wideOut;
    wideOut << g << ' ' << 1;
    EXPECT_EQ(wideOut.str(), W(u"6b29fc40-ca47-1067-b31d-00dd010662da 1"));

    std::istringstream narrowIn(std::string(kText) + " rest");
    Guid read;
    narrowIn >> read;
    EXPECT_EQ(read, g);
    std::string rest;
    std::getline(narrowIn, rest);
    EXPECT_EQ(rest, " rest");

    iUTF16StringStream wideIn(W(u"  6B29FC40-CA47-1067-B31D-00DD010662DA 7"));
    Guid wide;
    int seven = 0;
    wideIn >> wide >> seven;
    EXPECT_EQ(wide, g);
    EXPECT_EQ(seven, 7);

    std::istringstream nothing("   ");
    Guid untouched = g;
    EXPECT_FALSE(nothing >> untouched);
    EXPECT_EQ(untouched, g);
    EXPECT_TRUE(manager.Reports().empty());

    std::istringstream bad("not-a-guid");
    bad >> untouched;
    EXPECT_EQ(untouched, Guid());
    EXPECT_EQ(manager.Reports().size(), 1u);
}

TEST(Guid, CreateUniqueMakesDistinctVersion4Values) {
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        const Guid g = Guid::CreateUnique();
        EXPECT_EQ(g.GetGUID().Data3 >> 12, 4);
        EXPECT_EQ(g.GetGUID().Data4[0] & 0xC0, 0x80);
        std::ostringstream text;
        text << g;
        seen.insert(text.str());
        EXPECT_EQ(Guid(text.str()), g);
    }
    EXPECT_EQ(seen.size(), 100u);
}
