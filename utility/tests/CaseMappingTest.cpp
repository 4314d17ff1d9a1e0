#include <tarncore/utility/CaseMapping.h>

#include "utility/src/CaseTable.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace tarncore::utility;

namespace {

UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }

UTF16String Units(std::initializer_list<int> inUnits) {
    UTF16String s;
    for (int u : inUnits) s.push_back(static_cast<UTF16Char>(u));
    return s;
}

using IcuMapping = int32_t (*)(UChar*, int32_t, const UChar*, int32_t, UErrorCode*);

UTF16String Icu(UTF16Char inUnit, int inKind) {
    UChar source[1] = {static_cast<UChar>(inUnit)};
    UChar result[8];
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    if (inKind == 0) length = u_strToLower(result, 8, source, 1, "", &status);
    else if (inKind == 1) length = u_strToUpper(result, 8, source, 1, "", &status);
    else length = u_strFoldCase(result, 8, source, 1, U_FOLD_CASE_DEFAULT, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    return UTF16String(result, result + length);
}

}  // namespace

TEST(CaseMapping, MapsUnitByUnitWithExpansions) {
    EXPECT_EQ(UpperCase(Units({0xFB04})), W(u"FFL"));
    EXPECT_EQ(LowerCase(Units({0xFB04})), Units({0xFB04}));
    EXPECT_EQ(FoldCase(Units({0xFB04})), W(u"ffl"));
    EXPECT_EQ(UpperCase(W(u"stra\u00dfe")), W(u"STRASSE"));
    EXPECT_EQ(UpperCase(Units({0x0149, 'x'})), Units({0x02BC, 'N', 'X'}));
    EXPECT_EQ(UpperCase(Units({0x1FB7})), Units({0x0391, 0x0342, 0x0399}));
    EXPECT_EQ(LowerCase(Units({0x2126})), Units({0x03C9}));
    EXPECT_EQ(UpperCase(Units({0x00B5})), Units({0x039C}));
    EXPECT_EQ(LowerCase(UTF16String()), UTF16String());
    // Mixed text where expansions make the result grow more than once.
    EXPECT_EQ(UpperCase(W(u"\u00df\u00df\u00dfa\ufb03")), W(u"SSSSSSAFFI"));
}

TEST(CaseMapping, TheExceptionKeysFoldAllSigmasAndBothTurkishIAlike) {
    EXPECT_EQ(FoldCase(Units({0x03A3, 0x03C3, 0x03C2})), Units({0x03C2, 0x03C2, 0x03C2}));
    EXPECT_EQ(FoldCase(Units({0x03F2})), Units({0x03C2}));
    EXPECT_EQ(UpperCase(Units({0x03F2})), Units({0x03A3}));
    EXPECT_EQ(LowerCase(Units({0x0130})), Units({0x0069}));
    EXPECT_EQ(UpperCase(Units({0x0130})), Units({0x0130}));
    EXPECT_EQ(FoldCase(Units({0x0130, 0x0131, 'I'})), W(u"iii"));
    EXPECT_EQ(UpperCase(Units({0x0131})), W(u"I"));
    // No context: a final capital sigma lowers to the medial form.
    EXPECT_EQ(LowerCase(Units({0x039F, 0x03A3})), Units({0x03BF, 0x03C3}));
}

TEST(CaseMapping, UnitsOutsideTheTableStayAsTheyAre) {
    for (int unit : {0x0180, 0x10D0, 0x13A0, 0x2C00, 0x023A, 0x1E9E, 0x0138, 0xD801, 0xDC00, 0xFFFF})
        EXPECT_EQ(UpperCase(Units({unit})), Units({unit})) << std::hex << unit;
    // A surrogate pair of a Deseret letter is not mapped.
    EXPECT_EQ(LowerCase(Units({0xD801, 0xDC00})), Units({0xD801, 0xDC00}));
}

TEST(CaseMapping, InPlaceFormsAndHexFilter) {
    UTF16String text = W(u"\u00c0B");
    ToLowerCase(text);
    EXPECT_EQ(text, W(u"\u00e0b"));
    text = Units({0xFF21});
    ToLowerCase(text);
    EXPECT_EQ(text, Units({0xFF41}));
    text = W(u"stra\u00dfe");
    ToUpperCase(text);
    EXPECT_EQ(text, W(u"STRASSE"));
    text = W(u"\u03a3A");
    ToFoldCase(text);
    EXPECT_EQ(text, Units({0x03C2, 'a'}));

    text = W(u"0x1f-zz A");
    ValidateForHex(text);
    EXPECT_EQ(text, W(u"01FA"));
    text = W(u"deadBEEF");
    ValidateForHex(text);
    EXPECT_EQ(text, W(u"DEADBEEF"));
    text = Units({0xFF11, 0xFF41, '9'});  // full-width digits and letters are removed
    ValidateForHex(text);
    EXPECT_EQ(text, W(u"9"));
}

TEST(CaseTable, HasExactlyTheKeysOfItsRanges) {
    using namespace casetable;
    ASSERT_EQ(kEntryCount, 1446u);
    std::size_t keys = 0;
    for (int unit = 0; unit < 0x10000; ++unit) {
        if (Find(static_cast<std::uint16_t>(unit), kLower) != nullptr) ++keys;
    }
    EXPECT_EQ(keys, 1446u);
    for (std::size_t i = 1; i < kEntryCount; ++i) EXPECT_LT(kEntries[i - 1].key, kEntries[i].key);
    EXPECT_NE(Find(0x0041, kUpper), nullptr);
    EXPECT_EQ(Find(0x0138, kUpper), nullptr);
    EXPECT_EQ(Find(0xFF5B, kUpper), nullptr);
}

// Every key except the six fixed by hand maps as ICU's full, context-free mappings do.
TEST(CaseTable, AgreesWithICUOnEveryKeyButTheExceptions) {
    using namespace casetable;
    const std::set<int> exceptions = {0x0130, 0x0131, 0x03A3, 0x03C2, 0x03C3, 0x03F2};
    int compared = 0;
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        const CaseEntry& entry = kEntries[i];
        if (exceptions.count(entry.key) != 0) continue;
        const CaseString* strings[3] = {&entry.lower, &entry.upper, &entry.fold};
        for (int kind = 0; kind < 3; ++kind) {
            const UTF16String ours(strings[kind]->units, strings[kind]->units + strings[kind]->length);
            EXPECT_EQ(ours, Icu(entry.key, kind)) << "U+" << std::hex << entry.key << " kind " << kind;
        }
        ++compared;
    }
    EXPECT_EQ(compared, 1440);
}

TEST(CaseMapping, FirstCallsFromSeveralThreadsAgree) {
    const UTF16String text = W(u"Stra\u00dfe \u0391\u03b2\u03b3 \u0416\u0438\u0437\u043d\u044c");
    const UTF16String expected = W(u"STRASSE \u0391\u0392\u0393 \u0416\u0418\u0417\u041d\u042c");
    std::vector<UTF16String> results(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&results, &text, i] { results[i] = UpperCase(text); });
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
}
