#include <tarncore/utility/UnicodeStrings.h>

#include <gtest/gtest.h>

#include <random>

using namespace tarncore::utility;

namespace {

UTF8String Bytes(std::initializer_list<int> inBytes) {
    UTF8String s;
    for (int b : inBytes) s.push_back(static_cast<UTF8Char>(b));
    return s;
}

UTF16String Units(std::initializer_list<int> inUnits) {
    UTF16String s;
    for (int u : inUnits) s.push_back(static_cast<UTF16Char>(u));
    return s;
}

}  // namespace

TEST(UTF8to16, StopsAtTheFirstIllFormedOrTruncatedSequence) {
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xC3, 0x28, 0x42})), Units({0x41}));
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0x42, 0xE2, 0x82})), Units({0x41, 0x42}));
    EXPECT_EQ(UTF8to16(Bytes({0xC0, 0x80})), UTF16String());                  // overlong NUL
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xE0, 0x9F, 0xBF})), Units({0x41}));      // overlong 3-byte
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xF0, 0x8F, 0xBF, 0xBF})), Units({0x41}));  // overlong 4-byte
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xF4, 0x90, 0x80, 0x80})), Units({0x41}));  // above U+10FFFF
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xF5, 0x80, 0x80, 0x80})), Units({0x41}));
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xF8, 0x88, 0x80, 0x80, 0x80})), Units({0x41}));
    EXPECT_EQ(UTF8to16(Bytes({0x41, 0x80, 0x42})), Units({0x41}));  // stray continuation
    EXPECT_EQ(UTF8to16(Bytes({0xE2, 0x82, 0x41})), UTF16String());   // bad third byte
    // The stop also applies in the middle of a long ASCII run handled in blocks.
    UTF8String text(40, 'a');
    text[21] = static_cast<UTF8Char>(0xFF);
    EXPECT_EQ(UTF8to16(text), UTF16String(21, 'a'));
}

TEST(UTF8to16, DecodesSurrogatesSupplementaryAndEmbeddedNul) {
    EXPECT_EQ(UTF8to16(Bytes({0xED, 0xA0, 0x80})), Units({0xD800}));
    EXPECT_EQ(UTF8to16(Bytes({0xF0, 0x9F, 0x98, 0x80})), Units({0xD83D, 0xDE00}));
    EXPECT_EQ(UTF8to16(Bytes({0xF4, 0x8F, 0xBF, 0xBF})), Units({0xDBFF, 0xDFFF}));
    EXPECT_EQ(UTF8to16(Bytes({0x61, 0x00, 0x62, 0xC3, 0xA9})), Units({0x61, 0x00, 0x62, 0xE9}));
    EXPECT_EQ(UTF8to16(Bytes({0xEF, 0xBF, 0xBF})), Units({0xFFFF}));
    EXPECT_EQ(UTF8to16(UTF8String()), UTF16String());
    EXPECT_EQ(AsciiToUTF16("caf\xC3\xA9\xE2\x82"), Units({'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(AsciiToUTF16(nullptr), UTF16String());
}

// The decoding rules one byte at a time, to check the block-wise paths against.
UTF16String ReferenceUTF8to16(const UTF8String& in) {
    UTF16String out;
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned b0 = in[i];
        const std::size_t need = b0 < 0xC0 ? 0 : b0 < 0xE0 ? 1 : b0 < 0xF0 ? 2 : b0 < 0xF8 ? 3 : b0 < 0xFC ? 4 : 5;
        if (i + need >= in.size()) break;
        if ((b0 >= 0x80 && b0 <= 0xC1) || b0 > 0xF4 || need > 3) break;
        bool ok = true;
        for (std::size_t k = 1; k <= need; ++k) ok = ok && (in[i + k] & 0xC0) == 0x80;
        if (need >= 1) {
            const unsigned b1 = in[i + 1];
            if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F)) ok = false;
        }
        if (!ok) break;
        std::uint32_t cp = need == 0 ? b0 : need == 1 ? (b0 & 0x1F) : need == 2 ? (b0 & 0x0F) : (b0 & 0x07);
        for (std::size_t k = 1; k <= need; ++k) cp = (cp << 6) | (in[i + k] & 0x3F);
        if (cp >= 0x10000) {
            out.push_back(static_cast<UTF16Char>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<UTF16Char>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<UTF16Char>(cp));
        }
        i += need + 1;
    }
    return out;
}

TEST(UTF8to16, MutatedTextMatchesAByteByByteDecoder) {
    // Runs of ASCII, two-, three- and four-byte sequences, long enough for the block
    // paths, with single bytes changed to break sequences at every offset.
    const char* const pieces[] = {"abcdefgh", "\xC3\xA9", "\xE4\xB8\xAD", "\xE3\x81\x82",
                                  "\xED\xA0\x80", "\xE0\xA0\x80", "\xF0\x9F\x98\x80", " "};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        UTF8String text;
        const int count = 1 + static_cast<int>(random() % 30);
        for (int k = 0; k < count; ++k) {
            const unsigned pick = random() % 8;
            const int repeat = pick == 2 || pick == 3 ? 1 + static_cast<int>(random() % 8) : 1;
            for (int r = 0; r < repeat; ++r) text += MakeUTF8(pieces[pick]);
        }
        if (round % 2 == 0 && !text.empty()) {
            const UTF8Char replacements[] = {0x80, 0xBF, 0xC0, 0xE0, 0xED, 0xF4, 0xFF, 'x', 0x00};
            text[random() % text.size()] = replacements[random() % 9];
        }
        if (round % 3 == 0 && !text.empty()) text.pop_back();
        ASSERT_EQ(UTF8to16(text), ReferenceUTF8to16(text)) << "round " << round;
    }
}

TEST(UTF16to8, EncodesEveryUnitAndEndsAtNul) {
    EXPECT_EQ(UTF16to8(Units({0xD83D, 0xDE00})), Bytes({0xF0, 0x9F, 0x98, 0x80}));
    EXPECT_EQ(UTF16to8(Units({0xD800})), Bytes({0xED, 0xA0, 0x80}));
    EXPECT_EQ(UTF16to8(Units({0xDC00, 0xD800, 0x41})), Bytes({0xED, 0xB0, 0x80, 0xED, 0xA0, 0x80, 0x41}));
    EXPECT_EQ(UTF16to8(Units({0x00E9})), Bytes({0xC3, 0xA9}));
    EXPECT_EQ(UTF16to8(Units({0x20AC})), Bytes({0xE2, 0x82, 0xAC}));
    EXPECT_EQ(UTF16to8(Units({0x61, 0x62, 0x00, 0x63, 0x64})), Bytes({0x61, 0x62}));
    UTF16String longAscii(37, 'x');
    longAscii[30] = 0;
    EXPECT_EQ(UTF16to8(longAscii), UTF8String(30, 'x'));
    const UTF16Char terminated[] = {0x41, 0x20AC, 0, 0x42};
    EXPECT_EQ(UTF16to8(terminated), Bytes({0x41, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(UTF16to8(static_cast<const UTF16Char*>(nullptr)), UTF8String());
}

TEST(UnicodeConversion, RandomUnitsRoundTripUpToTheFirstNul) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        UTF16String text;
        const int length = static_cast<int>(random() % 64);
        for (int i = 0; i < length; ++i) {
            // Bias towards ASCII runs so the block paths meet the unit paths.
            const unsigned pick = random() % 4;
            text.push_back(static_cast<UTF16Char>(pick < 2 ? 1 + random() % 0x7F : 1 + random() % 0xFFFF));
        }
        EXPECT_EQ(UTF8to16(UTF16to8(text)), text);
    }
}

// A plain one-unit-at-a-time encoder, to check the block-wise paths against.
UTF8String ReferenceUTF16to8(const UTF16String& text) {
    UTF8String out;
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            cp = ((cp - 0xD800) << 10) + (text[++i] - 0xDC00) + 0x10000;
        if (cp < 0x80) {
            out.push_back(static_cast<UTF8Char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<UTF8Char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<UTF8Char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<UTF8Char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<UTF8Char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<UTF8Char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<UTF8Char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<UTF8Char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<UTF8Char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<UTF8Char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

TEST(UTF16to8, SurrogateHeavyTextMatchesAUnitByUnitEncoder) {
    // Pairs, lone highs and lows, at every offset of the 8-unit blocks.
    const UTF16Char pool[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xDFFF, 0xD800};
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        UTF16String text;
        const int length = static_cast<int>(random() % 80);
        for (int i = 0; i < length; ++i) text.push_back(pool[random() % (sizeof pool / sizeof *pool)]);
        ASSERT_EQ(UTF16to8(text), ReferenceUTF16to8(text));
        ASSERT_EQ(UTF8to16(UTF16to8(text)), text);
    }
}

TEST(ReplaceInString, SubstitutesDigitPlaceholdersOnce) {
    EXPECT_EQ(ReplaceInString(MakeUTF16(u"@0 and @1 @@ @x @"), MakeUTF16(u"A"), MakeUTF16(u"B")),
              MakeUTF16(u"A and B @ @x @"));
    EXPECT_EQ(ReplaceInString(MakeUTF16(u"<@0>"), MakeUTF16(u"@1@@"), MakeUTF16(u"no")),
              MakeUTF16(u"<@1@@>"));
    EXPECT_EQ(ReplaceInString(MakeUTF16(u"@10 @9"), UTF16String(), MakeUTF16(u"one"), UTF16String(),
                              UTF16String(), UTF16String(), UTF16String(), UTF16String(),
                              UTF16String(), UTF16String(), MakeUTF16(u"nine")),
              MakeUTF16(u"one0 nine"));
}

TEST(ReplaceAllStringInString, NeverRescansReplacements) {
    UTF16String text = MakeUTF16(u"aaa");
    ReplaceAllStringInString(text, MakeUTF16(u"a"), MakeUTF16(u"aa"));
    EXPECT_EQ(text, MakeUTF16(u"aaaaaa"));
    text = MakeUTF16(u"x--y--");
    ReplaceAllStringInString(text, MakeUTF16(u"--"), UTF16String());
    EXPECT_EQ(text, MakeUTF16(u"xy"));
    ReplaceAllStringInString(text, UTF16String(), MakeUTF16(u"!"));
    EXPECT_EQ(text, MakeUTF16(u"xy"));
}

TEST(ConvertLineEndings, RewritesOnlyWhatDiffers) {
    UTF16String text = Units({'a', 0x0A, 'b', 0x0D, 0x0A, 'c', 0x0D, 'd'});
    ConvertLineEndings(kLineEndingCRLF, text);
    EXPECT_EQ(text, Units({'a', 0x0D, 0x0A, 'b', 0x0D, 0x0A, 'c', 0x0D, 0x0A, 'd'}));

    UTF16String same = Units({'a', 0x0D, 0x0A});
    const UTF16Char* before = same.data();
    ConvertLineEndings(kLineEndingCRLF, same);
    EXPECT_EQ(same.data(), before);  // untouched, not rebuilt

    text = Units({0x0D, 0x0D, 0x0A});
    ConvertLineEndings(kLineEndingLF, text);
    EXPECT_EQ(text, Units({0x0A, 0x0A}));

    text = Units({'x', 0x0D});
    ConvertLineEndings(kLineEndingCR, text);
    EXPECT_EQ(text, Units({'x', 0x0D}));

    EXPECT_EQ(GetLineEnding(static_cast<LineEndingType>(9)), UTF16String());
    text = Units({'a', 0x0A, 'b'});
    ConvertLineEndings(static_cast<LineEndingType>(9), text);  // endings removed, no failure
    EXPECT_EQ(text, Units({'a', 'b'}));
}

TEST(ToNumericCase, FoldsFullWidthPunctuationAndDigits) {
    UTF16String text = Units({0xFF11, 0xFF12, 0xFF13, 0xFF05});
    EXPECT_TRUE(ToNumericCase(text));
    EXPECT_EQ(text, MakeUTF16(u"123%"));
    text = MakeUTF16(u"abc");
    EXPECT_FALSE(ToNumericCase(text));
    UTF16Char unit = 0xFF20;  // full-width commercial at is outside the range
    EXPECT_FALSE(ToNumericCase(unit));
    EXPECT_EQ(UnicodeSurrogate(0xDBFF), kSurrogateHigh);
    EXPECT_EQ(UnicodeSurrogate(0xDC00), kSurrogateLow);
    EXPECT_EQ(UnicodeSurrogate(0xE000), kSurrogateNone);
}
