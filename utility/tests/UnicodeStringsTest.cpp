// Tests of the UTF conversions and the string helpers.
#include <tarncore/utility/UnicodeStrings.h>

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

using namespace tarncore::utility;

namespace {

using Ints = std::vector<int>;
UTF8String Bytes(const Ints& inBytes) { return UTF8String(inBytes.begin(), inBytes.end()); }
UTF16String Units(const Ints& inUnits) { return UTF16String(inUnits.begin(), inUnits.end()); }
UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }

// The decoding rules one byte at a time, to check the block-wise paths against.
UTF16String ReferenceUTF8to16(const UTF8String& in) {
    UTF16String out;
    for (std::size_t i = 0; i < in.size();) {
        const unsigned b0 = in[i];
        const std::size_t need = b0 < 0xC0 ? 0 : b0 < 0xE0 ? 1 : b0 < 0xF0 ? 2 : b0 < 0xF8 ? 3 : 4;
        if (i + need >= in.size() || (b0 >= 0x80 && b0 <= 0xC1) || b0 > 0xF4) break;
        std::uint32_t cp = need == 0 ? b0 : b0 & (0x3F >> need);
        bool ok = true;
        for (std::size_t k = 1; k <= need; ++k) {
            ok = ok && (in[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (in[i + k] & 0x3F);
        }
        const unsigned b1 = need > 0 ? in[i + 1] : 0x80;
        if (!ok || (b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F)) break;
        if (cp >= 0x10000) {
            out.push_back(static_cast<UTF16Char>(0xD800 + ((cp - 0x10000) >> 10)));
            cp = 0xDC00 + (cp & 0x3FF);
        }
        out.push_back(static_cast<UTF16Char>(cp));
        i += need + 1;
    }
    return out;
}

// A plain one-unit-at-a-time encoder, likewise.
UTF8String ReferenceUTF16to8(const UTF16String& text) {
    UTF8String out;
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            cp = ((cp - 0xD800) << 10) + (text[++i] - 0xDC00) + 0x10000;
        const int length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        const unsigned marks[] = {0, 0, 0xC0, 0xE0, 0xF0};
        out.push_back(static_cast<UTF8Char>(marks[length] | (cp >> (6 * (length - 1)))));
        for (int k = length - 2; k >= 0; --k)
            out.push_back(static_cast<UTF8Char>(0x80 | ((cp >> (6 * k)) & 0x3F)));
    }
    return out;
}

}  // namespace

TEST(UTF8to16, DecodesUpToTheFirstIllFormedOrTruncatedSequence) {
    const std::pair<Ints, Ints> rows[] = {
        {{0x41, 0xC3, 0x28, 0x42}, {0x41}},
        {{0x41, 0x42, 0xE2, 0x82}, {0x41, 0x42}},
        {{0xC0, 0x80}, {}},
        {{0x41, 0xE0, 0x9F, 0xBF}, {0x41}},
        {{0x41, 0xF0, 0x8F, 0xBF, 0xBF}, {0x41}},  // overlong
        {{0x41, 0xF4, 0x90, 0x80, 0x80}, {0x41}},
        {{0x41, 0xF5, 0x80, 0x80, 0x80}, {0x41}},  // above U+10FFFF
        {{0x41, 0xF8, 0x88, 0x80, 0x80, 0x80}, {0x41}},
        {{0x41, 0x80, 0x42}, {0x41}},
        {{0xED, 0xA0, 0x80}, {0xD800}},
        {{0xF0, 0x9F, 0x98, 0x80}, {0xD83D, 0xDE00}},
        {{0xF4, 0x8F, 0xBF, 0xBF}, {0xDBFF, 0xDFFF}},
        {{}, {}},
        {{0x61, 0x00, 0x62, 0xC3, 0xA9}, {0x61, 0x00, 0x62, 0xE9}},  // an embedded NUL stays
    };
    for (const auto& [bytes, units] : rows) EXPECT_EQ(UTF8to16(Bytes(bytes)), Units(units)) << bytes.size();
    EXPECT_EQ(AsciiToUTF16("caf\xC3\xA9\xE2\x82"), Units({'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(AsciiToUTF16(nullptr), UTF16String());
}

TEST(UTF8to16, MutatedTextMatchesAByteByByteDecoder) {
    // Runs of ASCII, two-, three- and four-byte sequences, long enough for the block
    // paths, with single bytes changed to break sequences at every offset.
    const char* const pieces[] = {"abcdefgh",     "\xC3\xA9",     "\xE4\xB8\xAD",     "\xE3\x81\x82",
                                  "\xED\xA0\x80", "\xE0\xA0\x80", "\xF0\x9F\x98\x80", " "};
    const UTF8Char replacements[] = {0x80, 0xBF, 0xC0, 0xE0, 0xED, 0xF4, 0xFF, 'x', 0x00};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        UTF8String text;
        for (int k = 1 + random() % 30; k > 0; --k) {
            const unsigned pick = random() % 8;
            for (int r = pick == 2 || pick == 3 ? 1 + random() % 8 : 1; r > 0; --r)
                text += MakeUTF8(pieces[pick]);
        }
        if (round % 2 == 0) text[random() % text.size()] = replacements[random() % 9];
        if (round % 3 == 0) text.pop_back();
        ASSERT_EQ(UTF8to16(text), ReferenceUTF8to16(text)) << "round " << round;
    }
}

TEST(UTF16to8, EncodesEveryUnitAndEndsAtNul) {
    const std::pair<Ints, Ints> rows[] = {
        {{0xD83D, 0xDE00}, {0xF0, 0x9F, 0x98, 0x80}},
        {{0xD800}, {0xED, 0xA0, 0x80}},
        {{0x00E9}, {0xC3, 0xA9}},
        {{0xDC00, 0xD800, 0x41}, {0xED, 0xB0, 0x80, 0xED, 0xA0, 0x80, 0x41}},
        {{0x20AC}, {0xE2, 0x82, 0xAC}},
        {{0x61, 0x62, 0x00, 0x63, 0x64}, {0x61, 0x62}},
    };
    for (const auto& [units, bytes] : rows) EXPECT_EQ(UTF16to8(Units(units)), Bytes(bytes)) << units.size();
    const UTF16Char terminated[] = {0x41, 0x20AC, 0, 0x42};
    EXPECT_EQ(UTF16to8(terminated), Bytes({0x41, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(UTF16to8(static_cast<const UTF16Char*>(nullptr)), UTF8String());
}

TEST(UTF16to8, RandomTextMatchesAUnitByUnitEncoderAndRoundTripsUpToNul) {
    // Pairs, lone highs and lows and NULs at every offset of the 8-unit blocks, ASCII
    // runs, and any other unit.
    const UTF16Char pool[] = {'a', 'b', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xDFFF, 0xD800, 0};
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        UTF16String text(random() % 80, 'a');
        const unsigned choices = round % 2 == 0 ? 10 : 11;  // half the rounds without NUL from the pool
        for (auto& unit : text) unit = random() % 6 != 0 ? pool[random() % choices] : random() % 0x10000;
        ASSERT_EQ(UTF16to8(text), ReferenceUTF16to8(text)) << "round " << round;
        ASSERT_EQ(UTF8to16(UTF16to8(text)), text.substr(0, text.find(UTF16Char(0)))) << "round " << round;
    }
}

TEST(UnicodeStrings, AppendingFormsConvertWholePiecesOntoWhatIsThere) {
    std::mt19937 random(17);
    const UTF16Char pool[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xD800, 0};
    for (int round = 0; round < 500; ++round) {
        UTF16String text(random() % 40, 'a');
        for (auto& unit : text) unit = pool[random() % 7];
        // A NUL unit gives a NUL byte and the text goes on after it.
        UTF8String narrow = MakeUTF8("x");
        AppendUTF16to8(text, narrow);
        UTF8String expected = MakeUTF8("x");
        std::size_t start = 0;
        for (std::size_t nul; (nul = text.find(UTF16Char(0), start)) != UTF16String::npos; start = nul + 1)
            expected += ReferenceUTF16to8(text.substr(start, nul - start)) + UTF8Char(0);
        expected += ReferenceUTF16to8(text.substr(start));
        ASSERT_EQ(narrow, expected) << "round " << round;

        UTF16String wide = W(u"y");
        AppendUTF8to16(narrow.data() + 1, narrow.size() - 1, wide);
        ASSERT_EQ(wide, W(u"y") + ReferenceUTF8to16(narrow.substr(1))) << "round " << round;
    }
}

TEST(UnicodeStrings, BoundedFormsAgreeWithTheStringConversions) {
    std::mt19937 random(23);
    const UTF16Char pool[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xD800, 0xDFFF, 0xFFFF, 0};
    for (int round = 0; round < 500; ++round) {
        UTF16String text(random() % 40, 'a');
        for (auto& unit : text) unit = pool[random() % 9];
        // Exactly the room promised: three bytes a unit.
        std::vector<UTF8Char> bytes(3 * text.size());
        const std::size_t written = EncodeUTF16to8(text.data(), text.size(), bytes.data());
        UTF8String expected;
        AppendUTF16to8(text, expected);
        ASSERT_EQ(UTF8String(bytes.data(), written), expected) << "round " << round;

        // Sequence by sequence gives what the whole conversion gives, up to where it stops.
        UTF8String narrow = expected;
        if (!narrow.empty() && round % 2 == 0) narrow[random() % narrow.size()] = 0xFF;
        UTF16String decoded;
        const UTF8Char* p = narrow.data();
        const UTF8Char* const end = p + narrow.size();
        UTF16Char units[2];
        std::size_t count = 0;
        for (std::size_t taken; (taken = DecodeUTF8Sequence(p, end, units, count)) != 0; p += taken)
            decoded.append(units, count);
        ASSERT_EQ(decoded, UTF8to16(narrow)) << "round " << round;
    }
    const UTF8Char truncated[] = {0xE2, 0x82};
    std::size_t count = 9;
    UTF16Char units[2];
    EXPECT_EQ(DecodeUTF8Sequence(truncated, truncated + 2, units, count), 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(DecodeUTF8Sequence(truncated, truncated, units, count), 0u);
}

TEST(UnicodeStrings, ReplaceInStringAndReplaceAll) {
    EXPECT_EQ(ReplaceInString(W(u"@0 and @1 @@ @x @"), W(u"A"), W(u"B")), W(u"A and B @ @x @"));
    EXPECT_EQ(ReplaceInString(W(u"<@0>"), W(u"@1@@"), W(u"no")), W(u"<@1@@>"));  // values are not rescanned
    const UTF16String none;
    EXPECT_EQ(
        ReplaceInString(W(u"@10 @9"), none, W(u"one"), none, none, none, none, none, none, none, W(u"nine")),
        W(u"one0 nine"));

    const std::tuple<const char16_t*, const char16_t*, const char16_t*, const char16_t*> rows[] = {
        {u"aaa", u"a", u"aa", u"aaaaaa"}, {u"x--y--", u"--", u"", u"xy"}, {u"xy", u"", u"!", u"xy"}};
    for (const auto& [before, search, replacement, after] : rows) {
        UTF16String text = W(before);
        ReplaceAllStringInString(text, W(search), W(replacement));
        EXPECT_EQ(text, W(after));
    }
}

TEST(UnicodeStrings, ConvertLineEndingsRewritesOnlyWhatDiffers) {
    const int CR = 0x0D, LF = 0x0A;
    const std::tuple<LineEndingType, Ints, Ints> rows[] = {
        {kLineEndingCRLF, {'a', LF, 'b', CR, LF, 'c', CR, 'd'}, {'a', CR, LF, 'b', CR, LF, 'c', CR, LF, 'd'}},
        {kLineEndingLF, {CR, CR, LF}, {LF, LF}},
        {kLineEndingCR, {'x', CR}, {'x', CR}},
        {static_cast<LineEndingType>(9), {'a', LF, 'b'}, {'a', 'b'}},  // endings removed, no failure
    };
    for (const auto& [type, before, after] : rows) {
        UTF16String text = Units(before);
        ConvertLineEndings(type, text);
        EXPECT_EQ(text, Units(after)) << type;
    }
    UTF16String same = Units({'a', CR, LF});
    const UTF16Char* data = same.data();
    ConvertLineEndings(kLineEndingCRLF, same);
    EXPECT_EQ(same.data(), data);  // untouched, not rebuilt
    EXPECT_EQ(GetLineEnding(static_cast<LineEndingType>(9)), UTF16String());
}

TEST(UnicodeStrings, NumericCaseAndSurrogates) {
    UTF16String text = Units({0xFF11, 0xFF12, 0xFF13, 0xFF05});
    EXPECT_TRUE(ToNumericCase(text));
    EXPECT_EQ(text, W(u"123%"));
    text = W(u"abc");
    EXPECT_FALSE(ToNumericCase(text));
    UTF16Char unit = 0xFF20;  // full-width commercial at is outside the range
    EXPECT_FALSE(ToNumericCase(unit));
    EXPECT_EQ(std::make_tuple(UnicodeSurrogate(0xDBFF), UnicodeSurrogate(0xDC00), UnicodeSurrogate(0xE000)),
              std::make_tuple(kSurrogateHigh, kSurrogateLow, kSurrogateNone));
}
