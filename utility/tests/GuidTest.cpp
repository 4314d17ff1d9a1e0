// Tests of Guid: making, text form, comparison and streams.
#include <tarncore/utility/Guid.h>
#include <tarncore/utility/TextStreams.h>

#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <tuple>

using namespace tarncore;
using namespace tarncore::utility;
using tarncore::testing::RecordingErrorManager;

namespace {
UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }
const char* const kText = "6b29fc40-ca47-1067-b31d-00dd010662da";
}  // namespace

TEST(Guid, LayoutAndTextForm) {
    RecordingErrorManager manager;
    static_assert(sizeof(Guid) == 16, "a Guid is the 16 bytes of a GUID");
    EXPECT_EQ(Guid(), Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(Guid().AsString(), W(u"00000000-0000-0000-0000-000000000000"));
    const Guid g(0x6b29fc40, 0xca47, 0x1067, 0xb3, 0x1d, 0x00, 0xdd, 0x01, 0x06, 0x62, 0xda);
    EXPECT_TRUE(g.GetGUID().Data1 == 0x6b29fc40u && g.GetGUID().Data4[7] == 0xda);
    EXPECT_EQ(Guid(g.GetGUID()), g);
    EXPECT_EQ(g.AsString(), W(u"6b29fc40-ca47-1067-b31d-00dd010662da"));
    EXPECT_EQ(Guid("6B29FC40-CA47-1067-B31D-00DD010662DA"), g);
    EXPECT_EQ(Guid(std::string(kText)), g);
    EXPECT_EQ(Guid(W(u"6b29fc40-ca47-1067-b31d-00dd010662da")), g);
    EXPECT_EQ(Guid(static_cast<const char*>(nullptr)), Guid());
    EXPECT_TRUE(manager.Reports().empty());
}

TEST(Guid, MalformedTextReportsCode28AndGivesNil) {
    RecordingErrorManager manager;
    std::size_t reports = 0;
    for (const char* bad : {"{6b29fc40-ca47-1067-b31d-00dd010662da}", "6b29fc40-ca47-1067-b31d-00dd010662d",
                            "6b29fc40-ca47-1067-b31d-00dd010662dax", "6b29fc40ca47-1067-b31d-00dd010662da0",
                            "6b29fc40-ca47-1067-b31d-00dd010662dg", " 6b29fc40-ca47-1067-b31d-00dd010662d",
                            "", "+b29fc40-ca47-1067-b31d-00dd010662da"}) {
        EXPECT_EQ(Guid(bad), Guid()) << bad;
        EXPECT_EQ(manager.Reports().size(), ++reports) << bad;
    }
    // A UTF-16 text with a unit beyond ASCII is malformed, not truncated.
    EXPECT_EQ(Guid(W(u"6b29fc40-ca47-1067-b31d-00dd010662d\u00e9")), Guid());
    ASSERT_EQ(manager.Reports().size(), 9u);
    for (const auto& report : manager.Reports())
        EXPECT_EQ(
            std::make_tuple(report.component, report.code, report.level, report.key),
            std::make_tuple(105u, 28, config::kErrorLevelNonFatal,
                            std::string("$$$/tarn/utility/Error/MalformedGUID=Malformed Guid string.")));
}

TEST(Guid, OrderComparesTheLastEightBytesAsSignedLittleEndianNumbers) {
    const Guid zero(1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0);
    const std::pair<Guid, Guid> ascending[] = {
        {Guid(1, 2, 3, 0, 0, 0, 0x80, 0, 0, 0, 0), zero},
        {zero, Guid(1, 2, 3, 0x01, 0, 0, 0, 0, 0, 0, 0)},
        {Guid(1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0x80), zero},
        {Guid(0x7FFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), Guid(0x80000000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
        {Guid(0, 1, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0), Guid(0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
    };
    for (const auto& [low, high] : ascending) {
        EXPECT_TRUE(low < high && high > low && low != high) << low << " < " << high;
        EXPECT_FALSE(high < low || low > high);
    }
    EXPECT_FALSE(zero < zero);
}

TEST(Guid, StreamsWriteAndReadOneWord) {
    RecordingErrorManager manager;
    const Guid g(kText);
    std::ostringstream narrowOut;
    oUTF16StringStream wideOut;
    narrowOut << g;
    wideOut << g << ' ' << 1;
    EXPECT_EQ(narrowOut.str(), kText);
    EXPECT_EQ(wideOut.str(), W(u"6b29fc40-ca47-1067-b31d-00dd010662da 1"));

    std::istringstream narrowIn(std::string(kText) + " rest"), nothing("   "), bad("not-a-guid");
    iUTF16StringStream wideIn(W(u"  6B29FC40-CA47-1067-B31D-00DD010662DA 7"));
    Guid read, wide;
    std::string rest;
    int seven = 0;
    std::getline(narrowIn >> read, rest);
    wideIn >> wide >> seven;
    EXPECT_EQ(std::make_tuple(read, rest, wide, seven), std::make_tuple(g, std::string(" rest"), g, 7));
    EXPECT_FALSE(nothing >> read);
    EXPECT_EQ(read, g);  // untouched
    EXPECT_TRUE(manager.Reports().empty());
    bad >> read;
    EXPECT_EQ(read, Guid());
    EXPECT_EQ(manager.Reports().size(), 1u);
}

TEST(Guid, CreateUniqueMakesDistinctVersion4Values) {
    std::set<Guid> seen;
    for (int i = 0; i < 100; ++i) {
        const Guid g = Guid::CreateUnique();
        EXPECT_EQ(g.GetGUID().Data3 >> 12, 4);
        EXPECT_EQ(g.GetGUID().Data4[0] & 0xC0, 0x80);
        EXPECT_EQ(Guid(g.AsString()), g);
        seen.insert(g);
    }
    EXPECT_EQ(seen.size(), 100u);
}
