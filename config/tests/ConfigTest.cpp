#include <tarncore/config/Client.h>
#include <tarncore/config/Localizer.h>
#include <tarncore/config/Messages.h>
#include <tarncore/config/ReplacementValue.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

using namespace tarncore::config;
using tarncore::utility::MakeUTF16;
using tarncore::utility::UTF16String;

TEST(ClientIdentity, DefaultsSettersAndVersion) {
    EXPECT_EQ(GetClientBuildNumber(), MakeUTF16(u"No Client Internal Version"));
    EXPECT_EQ(GetCompanyName(), MakeUTF16(u"No Company Name"));
    EXPECT_EQ(GetClientVersion(), MakeUTF16(u"No Client Version"));
    const UTF16String& name = GetClientName();
    EXPECT_EQ(name, MakeUTF16(u"No Client Name"));
    SetClientName(MakeUTF16(u"Editor"));
    EXPECT_EQ(name, MakeUTF16(u"Editor"));  // the earlier reference sees the new value
    SetClientName(UTF16String());
    EXPECT_TRUE(GetClientName().empty());
    EXPECT_EQ(GetVersionString(), MakeUTF16(u"2.0.0.127159"));
}

namespace {
struct UpperLocalizer : Localizer {
    UTF16String LocalizeString(const char* inKey) override {
        UTF16String text = GetDefaultText(inKey);
        for (auto& unit : text)
            if (unit >= 'a' && unit <= 'z') unit = static_cast<unsigned short>(unit - 32);
        return text;
    }
};
}  // namespace

TEST(Localizer, RegistrationAndRendering) {
    EXPECT_FALSE(Localizer::Initialized());
    try {
        Localizer::Get();
        FAIL() << "no localizer registered";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "tarncore::config::Localizer not initialized. Check tarncore/config/Localizer.");
    }
    const char* key = "$$$/tarncore/filesupport/FileNotFound=The file '@0' could not be found.";
    EXPECT_EQ(GetDefaultText(key), MakeUTF16(u"The file '@0' could not be found."));
    EXPECT_EQ(GetDefaultText("$$$/a/b=x=y"), MakeUTF16(u"x=y"));  // the first "=" counts
    EXPECT_EQ(GetDefaultText("$$$/no/text"), UTF16String());
    EXPECT_EQ(RenderMessage(key, {MakeUTF16(u"/tmp/a")}),
              MakeUTF16(u"The file '/tmp/a' could not be found."));

    UpperLocalizer upper;
    Localizer::Set(&upper);
    EXPECT_TRUE(Localizer::Initialized());
    EXPECT_EQ(Localizer::Get(), &upper);
    EXPECT_EQ(RenderMessage(key, {MakeUTF16(u"x")}), MakeUTF16(u"THE FILE 'x' COULD NOT BE FOUND."));
    Localizer::Set(nullptr);
    EXPECT_THROW(Localizer::Get(), std::logic_error);
}

TEST(ReplacementValue, KindsWidenWithoutNarrowingOrAmbiguity) {
    const ReplacementValue none;
    EXPECT_EQ(none.GetKind(), ReplacementValue::kValueNone);
    EXPECT_EQ(none.GetSigned(), 0);
    EXPECT_EQ(none.GetDouble(), 0.0);
    EXPECT_TRUE(none.GetString().empty());

    const ReplacementValue minLong(std::int32_t{INT32_MIN});
    EXPECT_EQ(minLong.GetKind(), ReplacementValue::kValueSigned);
    EXPECT_EQ(minLong.GetSigned(), -2147483648LL);
    const ReplacementValue maxULong(std::uint32_t{4294967295u});
    EXPECT_EQ(maxULong.GetKind(), ReplacementValue::kValueUnsigned);
    EXPECT_EQ(maxULong.GetUnsigned(), 4294967295ULL);

    // Plain literals of every width pick a kind by signedness and keep their value.
    EXPECT_EQ(ReplacementValue(-5).GetSigned(), -5);
    EXPECT_EQ(ReplacementValue(-5L).GetSigned(), -5);
    EXPECT_EQ(ReplacementValue(-5000000000LL).GetSigned(), -5000000000LL);
    EXPECT_EQ(ReplacementValue(18000000000000000000ULL).GetUnsigned(), 18000000000000000000ULL);
    EXPECT_EQ(ReplacementValue(short{-3}).GetKind(), ReplacementValue::kValueSigned);
    EXPECT_EQ(ReplacementValue(7u).GetKind(), ReplacementValue::kValueUnsigned);
    EXPECT_EQ(ReplacementValue(1.5f).GetKind(), ReplacementValue::kValueDouble);

    ReplacementValue text(MakeUTF16(u"abc"));
    text.Init();
    EXPECT_EQ(text.GetKind(), ReplacementValue::kValueString);
    EXPECT_EQ(text.GetString(), MakeUTF16(u"abc"));
}

TEST(Messages, ReplacementValuesAsText) {
    const UTF16String text = SubstituteReplacementValues(
        MakeUTF16(u"int:^1, uint:^2, double:^3, none:^4, ^5 ^"), ReplacementValue(std::int32_t{-7}),
        ReplacementValue(std::uint32_t{4294967295u}), ReplacementValue(29.2334), ReplacementValue());
    EXPECT_EQ(text, MakeUTF16(u"int:-7, uint:4294967295, double:29.2334, none:, ^5 ^"));
}
