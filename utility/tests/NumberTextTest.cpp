#include <tarncore/utility/Locale.h>
#include <tarncore/utility/NumberText.h>
#include <tarncore/utility/TextStreams.h>

#include "platform/os/Locale.h"
#include "utility/src/RegionalSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iomanip>
#include <limits>
#include <random>
#include <string>

using namespace tarncore;
using namespace tarncore::utility;

namespace {

UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }
UTF16String A(const std::string& inText) { return UTF16String(inText.begin(), inText.end()); }

bool ClassicQuery(platform::os::NumericConventions& out) {
    out = platform::os::NumericConventions();
    out.decimalPoint = '.';
    return true;
}

bool GermanQuery(platform::os::NumericConventions& out) {
    out.decimalPoint = ',';
    out.thousandsSeparator = '.';
    out.grouping = "\3\3";
    return true;
}

bool EnglishQuery(platform::os::NumericConventions& out) {
    out.decimalPoint = '.';
    out.thousandsSeparator = ',';
    out.grouping = "\3\3";
    return true;
}

bool FailingQuery(platform::os::NumericConventions&) { return false; }

// Runs each test under injected regional settings and puts the real ones back after.
class Regional : public ::testing::Test {
protected:
    void Use(regional::Query inQuery) { regional::ReloadForTesting(inQuery); }
    void SetUp() override { Use(&ClassicQuery); }
    void TearDown() override { regional::ReloadForTesting(nullptr); }
};

using NumberToStringTest = Regional;
using StringToNumberTest = Regional;
using CalculateTest = Regional;
using DisplayStringTest = Regional;

}  // namespace

TEST_F(NumberToStringTest, FormatsWithTheRegionalSeparators) {
    EXPECT_EQ(NumberToString(3.14159), W(u"3.14"));
    EXPECT_EQ(NumberToString(-0.5), W(u"-0.50"));
    Use(&GermanQuery);
    EXPECT_EQ(NumberToString(3.14159), W(u"3,14"));
    EXPECT_EQ(NumberToString(1234567.891, 1, 2, kNumberGroupThousands), W(u"1.234.567,89"));
    EXPECT_EQ(NumberToString(1234567.891, 1, 2, kNumberGroupThousands | kNumberNotLocalized),
              W(u"1,234,567.89"));
    // The "%e" form is localized too.
    EXPECT_EQ(NumberToString(1e30, 1, 2, 0), W(u"1,000000e+30"));
}

TEST_F(NumberToStringTest, FlagCombinations) {
    const unsigned short raw = kNumberNotLocalized;
    EXPECT_EQ(NumberToString(2.5, 1, 0, 0), W(u"3"));
    EXPECT_EQ(NumberToString(-2.5, 1, 0, 0), W(u"-3"));
    EXPECT_EQ(NumberToString(1234567.891, 1, 2, kNumberGroupThousands | raw), W(u"1,234,567.89"));
    EXPECT_EQ(NumberToString(123.0, 1, 0, kNumberGroupThousands | raw), W(u"123"));
    EXPECT_EQ(NumberToString(123456.0, 1, 0, kNumberGroupThousands | raw), W(u"123,456"));
    EXPECT_EQ(NumberToString(7, 3, 1, raw), W(u"007.0"));
    EXPECT_EQ(NumberToString(7, 3, 1, raw | kNumberPadWithSpaces), W(u"  7.0"));
    EXPECT_EQ(NumberToString(7, 3, 1, raw | kNumberTrimZeros), W(u"007"));
    EXPECT_EQ(NumberToString(1.5, 1, 3, raw | kNumberTrimZeros), W(u"1.5"));
    EXPECT_EQ(NumberToString(100, 1, 0, raw | kNumberTrimZeros), W(u"100"));  // no ".": kept
    EXPECT_EQ(NumberToString(5, 1, 2, raw | kNumberPlusSign), W(u"+5.00"));
    EXPECT_EQ(NumberToString(5, 1, 2, raw | kNumberSpaceForSign), W(u" 5.00"));
    EXPECT_EQ(NumberToString(5, 1, 2, raw | kNumberPlusSign | kNumberSpaceForSign), W(u"+5.00"));
    EXPECT_EQ(NumberToString(-5, 1, 2, raw | kNumberPlusSign), W(u"-5.00"));
    // Padding counts as digits when grouping.
    EXPECT_EQ(NumberToString(7, 5, 0, raw | kNumberGroupThousands), W(u"00,007"));
    EXPECT_EQ(NumberToString(7, 4, 0, raw | kNumberGroupThousands | kNumberPadWithSpaces), W(u" ,  7"));
    EXPECT_EQ(NumberToString(1e30, 1, 2, raw), W(u"1.000000e+30"));
    EXPECT_EQ(NumberToString(-1e30, 9, 2, raw | kNumberGroupThousands | kNumberTrimZeros),
              W(u"-1.000000e+30"));
    EXPECT_EQ(NumberToString(1e18, 1, 2, raw), W(u"1000000000000000000.00"));  // 22 characters
    EXPECT_EQ(NumberToString(123456789012345678901.0, 1, 2, raw), W(u"1.234568e+20"));  // 24 characters
}

TEST_F(NumberToStringTest, DecimalsZeroRoundsCorrectlyBeyond32Bits) {
    const unsigned short raw = kNumberNotLocalized;
    EXPECT_EQ(NumberToString(12345678901.5, 1, 0, raw), W(u"12345678902"));
    EXPECT_EQ(NumberToString(-4294967296.5, 1, 0, raw), W(u"-4294967297"));
    // Adding 0.5 to this odd value would round it up to the next even integer.
    EXPECT_EQ(NumberToString(4503599627370497.0, 1, 0, raw), W(u"4503599627370497"));
    EXPECT_EQ(NumberToString(0.49999999999999994, 1, 0, raw), W(u"0"));
    EXPECT_EQ(NumberToString(1e25, 1, 0, raw), W(u"1.000000e+25"));
}

TEST_F(NumberToStringTest, IntegerAndHexForms) {
    EXPECT_EQ(NumberToString(std::int32_t(-42)), W(u"-42"));
    EXPECT_EQ(NumberToString(std::numeric_limits<std::int64_t>::min()), W(u"-9223372036854775808"));
    EXPECT_EQ(NumberToHexString(255), W(u"FF"));
    EXPECT_EQ(NumberToHexString(-1), W(u"FFFFFFFF"));
    EXPECT_EQ(NumberToHexString(0), W(u"0"));
}

TEST_F(StringToNumberTest, ReadsTheLeadingNumber) {
    EXPECT_EQ(StringToNumber(W(u"1,234.5"), 0), 1234.5);
    EXPECT_EQ(StringToNumber(W(u"\uff11\uff12"), 0), 12);
    EXPECT_EQ(StringToNumber(W(u"\uff11\u3002\uff15"), 0), 1.5);  // ideographic full stop
    EXPECT_EQ(StringToNumber(W(u"abc"), 0), 0);
    EXPECT_EQ(StringToNumber(W(u"12abc"), 0), 12);
    EXPECT_EQ(StringToNumber(W(u"  -2.5e2x"), 0), -250);
    EXPECT_EQ(StringToNumber(W(u""), 0), 0);
    EXPECT_EQ(StringToNumber(W(u"7\u00e98"), 0), 7);
    EXPECT_EQ(StringToNumber(W(u"1e99999"), 0), 0);  // out of range reads as a failure
}

TEST_F(StringToNumberTest, DelocalizesUnlessAskedNotTo) {
    Use(&GermanQuery);
    EXPECT_EQ(StringToNumber(W(u"1.234,5"), 0), 1234.5);
    EXPECT_EQ(StringToNumber(W(u"1,5"), kNumberNotDelocalized), 15);  // "," dropped
    EXPECT_EQ(StringToNumber(W(u"\uff11\uff0c\uff15"), 0), 1.5);       // full-width comma
}

TEST_F(CalculateTest, PrecedenceAndGrouping) {
    EXPECT_EQ(Calculate(W(u"(1+2)*3")), 9);
    EXPECT_EQ(Calculate(W(u"2^3^2")), 64);
    EXPECT_EQ(Calculate(W(u"10/0")), 10);
    EXPECT_EQ(Calculate(W(u"-5")), -5);
    EXPECT_EQ(Calculate(W(u"(1)+(2)")), 3);
    EXPECT_EQ(Calculate(W(u"1.5e3")), 1500);
    EXPECT_EQ(Calculate(W(u"2 * 3")), 6);
    EXPECT_EQ(Calculate(W(u"2+3e2")), 500);
    EXPECT_EQ(Calculate(W(u"1+2*3")), 7);
    EXPECT_EQ(Calculate(W(u"10-4-3")), 3);
    EXPECT_EQ(Calculate(W(u"8/4/2")), 1);
    EXPECT_EQ(Calculate(W(u"8/2*4")), 16);
    EXPECT_EQ(Calculate(W(u"2*3^2")), 18);
    EXPECT_DOUBLE_EQ(Calculate(W(u"1e-3")), 0.001);
    EXPECT_EQ(Calculate(W(u"*5")), 5);        // an operator at the start is dropped
    EXPECT_EQ(Calculate(W(u"2**3")), 6);      // ... and one after another operator
    EXPECT_EQ(Calculate(W(u"2*-3")), -3);     // "2*" is 2*0, then 0-3
    EXPECT_EQ(Calculate(W(u"1/(2-2)")), 1);
    EXPECT_EQ(Calculate(W(u"\uff11\uff0b\uff12")), 3);
    EXPECT_EQ(Calculate(W(u"1,000+1")), 1001);
    EXPECT_EQ(Calculate(W(u"")), 0);
    EXPECT_EQ(Calculate(W(u"7")), 7);
    EXPECT_EQ(Calculate(W(u"abc")), 0);
    EXPECT_EQ(Calculate(W(u"(((4)))")), 4);
    EXPECT_EQ(Calculate(W(u"3)+(4")), 3);     // the "+" is not at depth 0: one number
}

TEST_F(CalculateTest, NestedOuterParenthesesComeOffOneLevelAtATime) {
    // Removing both outer pairs would leave "1)+(2", so only the outer one goes.
    EXPECT_EQ(Calculate(W(u"((1)+(2))")), 3);
    EXPECT_EQ(Calculate(W(u"(((1)+(2))*2)")), 6);
}

namespace {

// The evaluation rules written out directly: every part is a fresh string and every
// split recurses. Calculate must agree with it wherever it fits the stack.
double Reference(std::u16string text) {
    auto isOp = [](char16_t c) { return std::u16string(u"+-*/eE^").find(c) != std::u16string::npos; };
    if (text.size() <= 1) return StringToNumber(UTF16String(text.begin(), text.end()), 1);
    std::size_t strip = 0;
    while (text.size() >= 2 * (strip + 1) && text[strip] == '(' && text[text.size() - 1 - strip] == ')') {
        const std::u16string inner = text.substr(strip + 1, text.size() - 2 * (strip + 1));
        int balance = 0;
        bool ok = true;
        for (char16_t c : inner) {
            balance += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (balance < 0) ok = false;
        }
        if (!ok) break;
        ++strip;
    }
    text = text.substr(strip, text.size() - 2 * strip);
    std::u16string kept;
    std::size_t e = std::u16string::npos, add = e, mul = e, div = e, pow = e;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (depth == 0) {
            const bool droppable = std::u16string(u"*/eE^").find(c) != std::u16string::npos;
            if (droppable && (i == 0 || isOp(text[i - 1]))) continue;
            if (c == '+' || c == '-') add = kept.size();
            else if (c == 'e' || c == 'E') e = kept.size();
            else if (c == '*') mul = kept.size();
            else if (c == '/') div = kept.size();
            else if (c == '^') pow = kept.size();
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        kept.push_back(c);
    }
    std::size_t split = e != std::u16string::npos ? e : add != std::u16string::npos ? add
                      : mul != std::u16string::npos ? mul : div != std::u16string::npos ? div : pow;
    if (split == std::u16string::npos) return StringToNumber(UTF16String(kept.begin(), kept.end()), 1);
    const double left = Reference(kept.substr(0, split));
    const double right = Reference(kept.substr(split + 1));
    switch (kept[split]) {
        case 'e': case 'E': return left * std::pow(10.0, right);
        case '+': return left + right;
        case '-': return left - right;
        case '*': return left * right;
        case '/': return right == 0 ? left : left / right;
        default: return std::pow(left, right);
    }
}

bool SameNumber(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

}  // namespace

TEST_F(CalculateTest, AgreesWithTheRulesOnRandomExpressions) {
    std::mt19937 random(12345);
    const std::u16string alphabet = u"0123456789()+-*/.^eE((()))+-";
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        const int length = 1 + static_cast<int>(random() % 16);
        for (int i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
        const double expected = Reference(text);
        const double actual = Calculate(UTF16String(text.begin(), text.end()));
        ASSERT_TRUE(SameNumber(expected, actual)) << std::string(text.begin(), text.end());
    }
}

TEST_F(CalculateTest, LongAndDeepExpressionsUpToOneMebibyte) {
    // A flat chain costs neither stack nor quadratic time.
    std::string chain = "1";
    while (chain.size() < (1u << 20) - 2) chain += "+1";
    EXPECT_EQ(Calculate(A(chain)), static_cast<double>((chain.size() + 1) / 2));
    std::string products = "1";
    while (products.size() < (1u << 20) - 2) products += "*1";
    EXPECT_EQ(Calculate(A(products)), 1);
    EXPECT_EQ(Calculate(A(std::string(1u << 20, '('))), 0);
    EXPECT_EQ(Calculate(A(std::string(1u << 19, '(') + "5" + std::string(1u << 19, ')'))), 5);
    EXPECT_EQ(Calculate(A(std::string(1u << 20, '9'))), 0);  // out of range reads as nothing

    // Nesting within the bound evaluates; beyond it the expression is 0.
    auto nested = [](int inLevels) {
        std::string text;
        for (int i = 0; i < inLevels; ++i) text += "2-(";
        text += "1";
        text += std::string(static_cast<std::size_t>(inLevels), ')');
        return text;
    };
    // 2-(2-(...(2-1))) alternates between 1 and 1.
    EXPECT_EQ(Calculate(A(nested(kCalculateMaxDepth / 2))), 1);
    EXPECT_EQ(Calculate(A(nested(kCalculateMaxDepth + 5))), 0);
    EXPECT_EQ(Calculate(A(nested(200000))), 0);
}

TEST_F(DisplayStringTest, TakesTheReadingOfLargerMagnitude) {
    EXPECT_EQ(Locale::GetValueFromDisplayString(UTF16String()), 0);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"12.5")), 12.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"abc")), 0);
    Use(&GermanQuery);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"1.234,5")), 1234.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"1234.5")), 1234.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"1234,5")), 1234.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"-1,5")), -1.5);
    // The classic reading of these is 0, which agrees with any sign.
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"0,5")), 0.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"-0,25")), -0.25);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"0.5")), 0.5);
    Use(&EnglishQuery);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"1,234.5")), 1234.5);
    EXPECT_EQ(Locale::GetValueFromDisplayString(W(u"-1,234")), -1234);
}

TEST_F(DisplayStringTest, NativeAndDefaultLocalesCarryTheirSeparators) {
    Use(&GermanQuery);
    oUTF16StringStream native;
    native.imbue(Locale::Native());
    native << std::fixed << std::setprecision(1) << 1234.5;
    EXPECT_EQ(native.str(), W(u"1.234,5"));
    oUTF16StringStream classic;
    classic.imbue(Locale::Default());
    classic << std::fixed << std::setprecision(1) << 1234.5;
    EXPECT_EQ(classic.str(), W(u"1234.5"));
    EXPECT_TRUE(HasTextStreamFacets(Locale::Native()));
}

TEST(RegionalSettings, FromThePlatformAnswer) {
    platform::os::NumericConventions answer;
    regional::Settings settings = regional::FromConventions(false, answer);
    EXPECT_EQ(settings.decimalSeparator, '.');
    EXPECT_EQ(settings.thousandsSeparator, ',');
    answer.decimalPoint = '.';  // the C locale: no thousands separator
    settings = regional::FromConventions(true, answer);
    EXPECT_EQ(settings.thousandsSeparator, ',');
    answer.decimalPoint = ',';  // a decimal comma without a thousands separator
    settings = regional::FromConventions(true, answer);
    EXPECT_EQ(settings.decimalSeparator, ',');
    EXPECT_EQ(settings.thousandsSeparator, '.');
    answer.thousandsSeparator = 0x202F;
    answer.grouping = "\3";
    settings = regional::FromConventions(true, answer);
    EXPECT_EQ(settings.thousandsSeparator, 0x202F);
    EXPECT_EQ(settings.grouping, "\3");
    answer.decimalPoint = 0x1D7CE;  // beyond the BMP: its first UTF-16 unit
    settings = regional::FromConventions(true, answer);
    EXPECT_EQ(settings.decimalSeparator, 0xD835);
}

TEST(RegionalSettings, ThePlatformReadsTheUsersNumericLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    platform::os::NumericConventions answer;
    EXPECT_TRUE(platform::os::QueryUserNumericConventions(answer));
    EXPECT_EQ(answer.decimalPoint, U'.');
    EXPECT_EQ(answer.thousandsSeparator, 0u);
    EXPECT_EQ(answer.grouping, "");
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_FALSE(platform::os::QueryUserNumericConventions(answer));
    if (saved != nullptr) setenv("LC_ALL", restore.c_str(), 1);
    else unsetenv("LC_ALL");
}

TEST_F(NumberToStringTest, AFailedQueryLeavesTheClassicSeparators) {
    Use(&FailingQuery);
    EXPECT_EQ(NumberToString(1234.5, 1, 1, kNumberGroupThousands), W(u"1,234.5"));
}
