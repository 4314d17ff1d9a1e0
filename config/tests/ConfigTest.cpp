// Tests of the client identity, the localizer and replacement values.
#include <tarncore/config/Client.h>
#include <tarncore/config/Localizer.h>
#include <tarncore/config/Messages.h>
#include <tarncore/config/ReplacementValue.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <tuple>

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

TEST(Localizer, RegistrationAndRendering) {
    try {
        Localizer::Get();
        FAIL() << "no localizer registered";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "tarncore::config::Localizer not initialized. Check tarncore/config/Localizer.");
    }
    EXPECT_FALSE(Localizer::Initialized());
    const char* key = "$$$/tarncore/filesupport/FileNotFound=The file '@0' could not be found.";
    EXPECT_EQ(GetDefaultText(key), MakeUTF16(u"The file '@0' could not be found."));
    EXPECT_EQ(GetDefaultText("$$$/a/b=x=y"), MakeUTF16(u"x=y"));  // the first "=" counts
    EXPECT_EQ(GetDefaultText("$$$/no/text"), UTF16String());
    EXPECT_EQ(RenderMessage(key, {MakeUTF16(u"/tmp/a")}),
              MakeUTF16(u"The file '/tmp/a' could not be found."));

    struct Translated : Localizer {
        UTF16String LocalizeString(const char*) override { return MakeUTF16(u"Datei '@0' fehlt."); }
    } localizer;
    Localizer::Set(&localizer);
    EXPECT_TRUE(Localizer::Initialized() && Localizer::Get() == &localizer);
    EXPECT_EQ(RenderMessage(key, {MakeUTF16(u"x")}), MakeUTF16(u"Datei 'x' fehlt."));
    Localizer::Set(nullptr);
    EXPECT_THROW(Localizer::Get(), std::logic_error);
}

TEST(ReplacementValue, KindsWidenWithoutNarrowingOrAmbiguity) {
    using V = ReplacementValue;
    // Kind, signed, unsigned and double value; the fields of the other kinds stay zero.
    // Plain literals of every width pick a kind by signedness and keep their value.
    const std::tuple<V, V::ValueKind, std::int64_t, std::uint64_t, double> rows[] = {
        {V(), V::kValueNone, 0, 0, 0},
        {V(std::int32_t{INT32_MIN}), V::kValueSigned, -2147483648LL, 0, 0},
        {V(std::uint32_t{4294967295u}), V::kValueUnsigned, 0, 4294967295ULL, 0},
        {V(-5L), V::kValueSigned, -5, 0, 0},
        {V(-5000000000LL), V::kValueSigned, -5000000000LL, 0, 0},
        {V(short{-3}), V::kValueSigned, -3, 0, 0},
        {V(1.5f), V::kValueDouble, 0, 0, 1.5},
        {V(18000000000000000000ULL), V::kValueUnsigned, 0, 18000000000000000000ULL, 0},
    };
    for (const auto& [value, kind, s, u, d] : rows)
        EXPECT_EQ(std::make_tuple(value.GetKind(), value.GetSigned(), value.GetUnsigned(), value.GetDouble(),
                                  value.GetString().empty()),
                  std::make_tuple(kind, s, u, d, true));
    V text(MakeUTF16(u"abc"));
    text.Init();
    EXPECT_TRUE(text.GetKind() == V::kValueString && text.GetString() == MakeUTF16(u"abc"));
    EXPECT_EQ(
        SubstituteReplacementValues(MakeUTF16(u"int:^1, uint:^2, double:^3, none:^4, ^5 ^"),
                                    V(std::int32_t{-7}), V(std::uint32_t{4294967295u}), V(29.2334), V()),
        MakeUTF16(u"int:-7, uint:4294967295, double:29.2334, none:, ^5 ^"));
}
