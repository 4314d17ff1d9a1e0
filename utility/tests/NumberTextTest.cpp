// Tests of numbers as text, the calculator and the regional settings.
#include <tarncore/utility/Locale.h>
#include <tarncore/utility/NumberText.h>
#include <tarncore/utility/TextStreams.h>

#include "platform/os/Locale.h"
#include "utility/src/RegionalSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace tarncore;
using namespace tarncore::utility;

namespace {

UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }
UTF16String A(const std::string& inText) { return UTF16String(inText.begin(), inText.end()); }

// Regional settings with these separators (0: the locale defines none).
template <char32_t kDecimal, char32_t kThousands>
bool Conventions(platform::os::NumericConventions& out) {
    out = {kDecimal, kThousands, kThousands != 0 ? "\3\3" : ""};
    return true;
}
const regional::Query kClassic = &Conventions<'.', 0>;
const regional::Query kGerman = &Conventions<',', '.'>;
const regional::Query kEnglish = &Conventions<'.', ','>;

// Runs each test under injected regional settings and puts the real ones back after.
class NumberText : public ::testing::Test {
protected:
    void Use(regional::Query inQuery) { regional::ReloadForTesting(inQuery); }
    void SetUp() override { Use(kClassic); }
    void TearDown() override { regional::ReloadForTesting(nullptr); }
};

// The evaluation rules written out directly: every part is a fresh string and every
// split recurses. Calculate must agree with it wherever it fits the stack.
double Reference(std::u16string text) {
    const auto npos = std::u16string::npos;
    auto number = [](const std::u16string& inText) {
        return StringToNumber(UTF16String(inText.begin(), inText.end()), 1);
    };
    if (text.size() <= 1) return number(text);
    std::size_t strip = 0;
    while (text.size() >= 2 * (strip + 1) && text[strip] == '(' && text[text.size() - 1 - strip] == ')') {
        int balance = 0;
        for (std::size_t i = strip + 1; i + strip + 1 < text.size() && balance >= 0; ++i)
            balance += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
        if (balance < 0) break;
        ++strip;
    }
    text = text.substr(strip, text.size() - 2 * strip);
    std::u16string kept;
    std::vector<std::size_t> split(5, npos);  // the last "e", "+-", "*", "/" and "^" at depth 0
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const std::size_t op = std::u16string(u"e+*/^").find(c == 'E' ? 'e' : c == '-' ? '+' : c);
        if (depth == 0 && op != npos) {
            if (op != 1 && (i == 0 || std::u16string(u"+-*/eE^").find(text[i - 1]) != npos)) continue;
            split[op] = kept.size();
        }
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        kept.push_back(c);
    }
    std::size_t at = npos;
    for (std::size_t s : split) at = at != npos ? at : s;
    if (at == npos) return number(kept);
    const double left = Reference(kept.substr(0, at)), right = Reference(kept.substr(at + 1));
    switch (kept[at]) {
    case 'e':
    case 'E': return left * std::pow(10.0, right);
    case '+': return left + right;
    case '-': return left - right;
    case '*': return left * right;
    case '/': return right == 0 ? left : left / right;
    default: return std::pow(left, right);
    }
}

}  // namespace

TEST_F(NumberText, NumberToStringFlagsUnlocalized) {
    Use(kGerman);  // flag 1 keeps "." and "," all the same
    const unsigned short G = kNumberGroupThousands, S = kNumberPadWithSpaces, T = kNumberTrimZeros;
    const std::tuple<double, int, int, unsigned short, const char16_t*> rows[] = {
        {2.5, 1, 0, 0, u"3"},
        {-2.5, 1, 0, 0, u"-3"},
        {1234567.891, 1, 2, G, u"1,234,567.89"},
        {123456.0, 1, 0, G, u"123,456"},
        {7, 3, 1, 0, u"007.0"},
        {7, 3, 1, S, u"  7.0"},
        {7, 3, 1, T, u"007"},
        {1.5, 1, 3, T, u"1.5"},
        {100, 1, 0, T, u"100"},  // no ".": zeros kept
        {5, 1, 2, kNumberPlusSign, u"+5.00"},
        {5, 1, 2, kNumberSpaceForSign, u" 5.00"},
        {5, 1, 2, kNumberPlusSign | kNumberSpaceForSign, u"+5.00"},
        {-5, 1, 2, kNumberPlusSign, u"-5.00"},
        {7, 5, 0, G, u"00,007"},
        {7, 4, 0, G | S, u" ,  7"},  // padding counts as digits
        {1e30, 1, 2, 0, u"1.000000e+30"},
        {-1e30, 9, 2, G | T, u"-1.000000e+30"},
        {1e18, 1, 2, 0, u"1000000000000000000.00"},           // 22 characters
        {123456789012345678901.0, 1, 2, 0, u"1.234568e+20"},  // 24 characters
        // Decimals 0 rounds correctly beyond 32 bits; adding 0.5 to the odd 2^52 + 1
        // would round it up to the next even integer.
        {-4294967296.5, 1, 0, 0, u"-4294967297"},
        {4503599627370497.0, 1, 0, 0, u"4503599627370497"},
        {0.49999999999999994, 1, 0, 0, u"0"},
        {1e25, 1, 0, 0, u"1.000000e+25"},
    };
    for (const auto& [value, digits, decimals, flags, text] : rows)
        EXPECT_EQ(NumberToString(value, digits, decimals, flags | kNumberNotLocalized), W(text)) << value;
    EXPECT_EQ(NumberToString(std::int32_t(-42)), W(u"-42"));
    EXPECT_EQ(NumberToString(std::numeric_limits<std::int64_t>::min()), W(u"-9223372036854775808"));
    EXPECT_EQ(NumberToHexString(255), W(u"FF"));
    EXPECT_EQ(NumberToHexString(-1), W(u"FFFFFFFF"));
    EXPECT_EQ(NumberToHexString(0), W(u"0"));
}

TEST_F(NumberText, NumberToStringUsesTheRegionalSeparators) {
    EXPECT_EQ(NumberToString(3.14159), W(u"3.14"));
    EXPECT_EQ(NumberToString(-0.5), W(u"-0.50"));
    Use(kGerman);
    EXPECT_EQ(NumberToString(3.14159), W(u"3,14"));
    EXPECT_EQ(NumberToString(1234567.891, 1, 2, kNumberGroupThousands), W(u"1.234.567,89"));
    EXPECT_EQ(NumberToString(1e30, 1, 2, 0), W(u"1,000000e+30"));  // the "%e" form too
    oUTF16StringStream native, classic;
    native.imbue(Locale::Native());
    classic.imbue(Locale::Default());
    native << std::fixed << std::setprecision(1) << 1234.5;
    classic << std::fixed << std::setprecision(1) << 1234.5;
    EXPECT_EQ(native.str() + W(u" ") + classic.str(), W(u"1.234,5 1234.5"));
    EXPECT_TRUE(HasTextStreamFacets(Locale::Native()));
    Use([](platform::os::NumericConventions&) { return false; });  // classic separators stay
    EXPECT_EQ(NumberToString(1234.5, 1, 1, kNumberGroupThousands), W(u"1,234.5"));
}

TEST_F(NumberText, StringToNumberReadsTheLeadingNumber) {
    const std::pair<const char16_t*, double> rows[] = {
        {u"1,234.5", 1234.5}, {u"\uff11\uff12", 12}, {u"\uff11\u3002\uff15", 1.5},
        {u"abc", 0},          {u"12abc", 12},        {u"  -2.5e2x", -250},
        {u"7\u00e98", 7},     {u"1e99999", 0},  // out of range reads as a failure
    };
    for (const auto& row : rows) EXPECT_EQ(StringToNumber(W(row.first), 0), row.second) << &row - rows;
    Use(kGerman);
    EXPECT_EQ(StringToNumber(W(u"1.234,5"), 0), 1234.5);
    EXPECT_EQ(StringToNumber(W(u"1,5"), kNumberNotDelocalized), 15);  // "," dropped
    EXPECT_EQ(StringToNumber(W(u"\uff11\uff0c\uff15"), 0), 1.5);      // full-width comma
}

TEST_F(NumberText, CalculateExamples) {
    const std::pair<const char16_t*, double> rows[] = {
        {u"(1+2)*3", 9},
        {u"2^3^2", 64},
        {u"10/0", 10},
        {u"-5", -5},
        {u"2 * 3", 6},
        {u"2+3e2", 500},
        {u"10-4-3", 3},
        {u"8/2*4", 16},
        {u"1e-3", 0.001},
        {u"\uff11\uff0b\uff12", 3},
        {u"1,000+1", 1001},
        {u"", 0},
        {u"abc", 0},
        {u"*5", 5},
        {u"2**3", 6},   // an operator at the start or after another is dropped
        {u"2*-3", -3},  // "2*" is 2*0, then 0-3
        {u"3)+(4", 3},  // the "+" is not at depth 0: one number
        // Removing both outer pairs would leave "1)+(2", so only the outer one goes.
        {u"((1)+(2))", 3},
        {u"(((1)+(2))*2)", 6},
    };
    for (const auto& row : rows) EXPECT_EQ(Calculate(W(row.first)), row.second) << &row - rows;
}

TEST_F(NumberText, CalculateAgreesWithTheRulesOnRandomExpressions) {
    std::mt19937 random(12345);
    const std::u16string alphabet = u"0123456789()+-*/.^eE((()))+-";
    for (int round = 0; round < 20000; ++round) {
        std::u16string text(1 + random() % 16, u' ');
        for (auto& unit : text) unit = alphabet[random() % alphabet.size()];
        const double expected = Reference(text), actual = Calculate(UTF16String(text.begin(), text.end()));
        ASSERT_TRUE((std::isnan(expected) && std::isnan(actual)) || expected == actual)
            << std::string(text.begin(), text.end());
    }
}

TEST_F(NumberText, CalculateLongAndDeepExpressionsUpToOneMebibyte) {
    // A flat chain costs neither stack nor quadratic time.
    std::string chain = "1", products = "1";
    while (chain.size() < (1u << 20) - 2) chain += "+1", products += "*1";
    EXPECT_EQ(Calculate(A(chain)), static_cast<double>((chain.size() + 1) / 2));
    EXPECT_EQ(Calculate(A(products)), 1);
    EXPECT_EQ(Calculate(A(std::string(1u << 20, '('))), 0);
    EXPECT_EQ(Calculate(A(std::string(1u << 19, '(') + "5" + std::string(1u << 19, ')'))), 5);
    EXPECT_EQ(Calculate(A(std::string(1u << 20, '9'))), 0);  // out of range reads as nothing

    // Nesting within the bound evaluates (2-(2-(...(2-1))) is 1); beyond it the result is 0.
    auto nested = [](std::size_t inLevels) {
        std::string text;
        for (std::size_t i = 0; i < inLevels; ++i) text += "2-(";
        return text + "1" + std::string(inLevels, ')');
    };
    EXPECT_EQ(Calculate(A(nested(kCalculateMaxDepth / 2))), 1);
    EXPECT_EQ(Calculate(A(nested(kCalculateMaxDepth + 5))), 0);
    EXPECT_EQ(Calculate(A(nested(200000))), 0);
}

TEST_F(NumberText, DisplayStringTakesTheReadingOfLargerMagnitude) {
    // The classic reading of "0,5" and "-0,25" is 0, which agrees with any sign.
    const std::tuple<regional::Query, const char16_t*, double> rows[] = {
        {kClassic, u"12.5", 12.5},    {kGerman, u"1.234,5", 1234.5}, {kGerman, u"1234.5", 1234.5},
        {kGerman, u"1234,5", 1234.5}, {kGerman, u"-1,5", -1.5},      {kGerman, u"0,5", 0.5},
        {kGerman, u"-0,25", -0.25},   {kGerman, u"0.5", 0.5},        {kEnglish, u"1,234.5", 1234.5},
        {kEnglish, u"-1,234", -1234},
    };
    for (const auto& [query, text, value] : rows) {
        Use(query);
        EXPECT_EQ(Locale::GetValueFromDisplayString(W(text)), value) << value;
    }
}

TEST(RegionalSettings, FromThePlatformAnswer) {
    const std::tuple<bool, char32_t, char32_t, UTF16Char, UTF16Char> rows[] = {
        {false, ',', '.', '.', ','},  // a failed query: classic
        {true, '.', 0, '.', ','},     // the C locale: no thousands separator
        {true, ',', 0, ',', '.'},     // a decimal comma without a thousands separator
        {true, ',', 0x202F, ',', 0x202F},
        {true, 0x1D7CE, 0x202F, 0xD835, 0x202F},  // beyond the BMP: its first UTF-16 unit
    };
    for (const auto& [answered, decimal, thousands, expectedDecimal, expectedThousands] : rows) {
        const regional::Settings settings = regional::FromConventions(answered, {decimal, thousands, "\3"});
        EXPECT_EQ(settings.decimalSeparator, expectedDecimal);
        EXPECT_EQ(settings.thousandsSeparator, expectedThousands);
        EXPECT_EQ(settings.grouping, answered ? "\3" : "");
    }
}
