// Tests of case mapping and of the case table.
#include <tarncore/utility/CaseMapping.h>

#include "utility/src/CaseTable.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using namespace tarncore::utility;

namespace {

UTF16String U(const std::u16string& inText) { return UTF16String(inText.begin(), inText.end()); }

// ICU's full, context-free mapping of one unit: 0 lower, 1 upper, 2 fold.
UTF16String Icu(UTF16Char inUnit, int inKind) {
    const UChar source[1] = {static_cast<UChar>(inUnit)};
    UChar result[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = inKind == 0   ? u_strToLower(result, 8, source, 1, "", &status)
                           : inKind == 1 ? u_strToUpper(result, 8, source, 1, "", &status)
                                         : u_strFoldCase(result, 8, source, 1, U_FOLD_CASE_DEFAULT, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    return UTF16String(result, result + length);
}

}  // namespace

TEST(CaseMapping, MapsUnitByUnitWithExpansionsAndTheExceptionKeys) {
    using Mapping = UTF16String (*)(const UTF16String&);
    const Mapping L = &LowerCase, Up = &UpperCase, F = &FoldCase;
    const std::tuple<Mapping, std::u16string, std::u16string> rows[] = {
        {Up, u"\ufb04", u"FFL"},
        {L, u"\ufb04", u"\ufb04"},
        {F, u"\ufb04", u"ffl"},
        {Up, u"stra\u00dfe", u"STRASSE"},
        {Up, u"\u0149x", u"\u02bcNX"},
        {L, u"", u""},
        {Up, u"\u00df\u00df\u00dfa\ufb03", u"SSSSSSAFFI"},  // the result grows more than once
        // All sigmas fold to the final form, both Turkish i to plain i.
        {F, u"\u03a3\u03c3\u03c2", u"\u03c2\u03c2\u03c2"},
        {F, u"\u03f2", u"\u03c2"},
        {Up, u"\u03f2", u"\u03a3"},
        {L, u"\u0130", u"i"},
        {Up, u"\u0130", u"\u0130"},
        {F, u"\u0130\u0131I", u"iii"},
        {Up, u"\u0131", u"I"},
        {L, u"\u039f\u03a3", u"\u03bf\u03c3"},  // no context: a final capital sigma lowers to the medial form
    };
    for (const auto& [mapping, text, expected] : rows) EXPECT_EQ(mapping(U(text)), U(expected));
    // Units outside the table stay as they are.
    for (UTF16Char unit :
         {0x0180, 0x10D0, 0x13A0, 0x2C00, 0x023A, 0x1E9E, 0x0138, 0xD801, 0xDC00, 0xFF5B, 0xFFFF})
        EXPECT_EQ(UpperCase(UTF16String(1, unit)), UTF16String(1, unit)) << std::hex << unit;
    const UTF16String deseret = {0xD801, 0xDC00};  // a surrogate pair is not mapped
    EXPECT_EQ(LowerCase(deseret), deseret);
}

TEST(CaseMapping, InPlaceFormsAndHexFilter) {
    using Rewrite = void (*)(UTF16String&);
    const std::tuple<Rewrite, std::u16string, std::u16string> rows[] = {
        {&ToLowerCase, u"\u00c0B", u"\u00e0b"},     {&ToLowerCase, u"\uff21", u"\uff41"},
        {&ToUpperCase, u"stra\u00dfe", u"STRASSE"}, {&ToFoldCase, u"\u03a3A", u"\u03c2a"},
        {&ValidateForHex, u"0x1f-zz A", u"01FA"},   {&ValidateForHex, u"deadBEEF", u"DEADBEEF"},
        {&ValidateForHex, u"\uff11\uff419", u"9"},  // full-width digits and letters are removed
    };
    for (const auto& [rewrite, text, expected] : rows) {
        UTF16String value = U(text);
        rewrite(value);
        EXPECT_EQ(value, U(expected));
    }
}

// The table holds exactly the keys of its ranges, sorted, and every key except the six
// fixed by hand maps as ICU's full, context-free mappings do.
TEST(CaseTable, HasItsKeysMappedAsICUDoesButTheExceptions) {
    using namespace casetable;
    ASSERT_EQ(kEntryCount, 1446u);
    std::size_t keys = 0;
    for (int unit = 0; unit < 0x10000; ++unit)
        keys += Find(static_cast<std::uint16_t>(unit), kLower) != nullptr;
    EXPECT_EQ(keys, 1446u);
    const std::set<int> exceptions = {0x0130, 0x0131, 0x03A3, 0x03C2, 0x03C3, 0x03F2};
    int compared = 0;
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        const CaseEntry& entry = kEntries[i];
        EXPECT_TRUE(i == 0 || kEntries[i - 1].key < entry.key) << i;
        if (exceptions.count(entry.key) != 0) continue;
        const CaseString* strings[3] = {&entry.lower, &entry.upper, &entry.fold};
        for (int kind = 0; kind < 3; ++kind)
            EXPECT_EQ(UTF16String(strings[kind]->units, strings[kind]->units + strings[kind]->length),
                      Icu(entry.key, kind))
                << "U+" << std::hex << entry.key << " kind " << kind;
        ++compared;
    }
    EXPECT_EQ(compared, 1440);
}

TEST(CaseMapping, FirstCallsFromSeveralThreadsAgree) {
    const UTF16String text = U(u"Stra\u00dfe \u0391\u03b2\u03b3 \u0416\u0438\u0437\u043d\u044c");
    const UTF16String expected = U(u"STRASSE \u0391\u0392\u0393 \u0416\u0418\u0417\u041d\u042c");
    std::vector<UTF16String> results(8);
    std::vector<std::thread> threads;
    for (auto& result : results) threads.emplace_back([&result, &text] { result = UpperCase(text); });
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
}
