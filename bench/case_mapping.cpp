// UpperCase and FoldCase against ICU's u_strToUpper and u_strFoldCase.
// The text is 1 MiB of mixed Latin, Greek and Cyrillic. Ours returns a new string each time
// (allocation included); ICU writes into a buffer made once. Compare items_per_second.
#include <tarncore/utility/CaseMapping.h>

#include <benchmark/benchmark.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <random>
#include <vector>

using namespace tarncore::utility;

namespace {

const UTF16String& Text() {
    static const UTF16String text = [] {
        const std::u16string words[] = {
            u"Stra\u00dfe ",
            u"\u00c9cole ",
            u"na\u00efve ",
            u"Fu\u00dfball ",
            u"Hello ",
            u"WORLD ",
            u"\u0391\u03b8\u03ae\u03bd\u03b1 ",
            u"\u039b\u039f\u0393\u039f\u03a3 ",
            u"\u03c8\u03c5\u03c7\u03ae ",
            u"\u041c\u043e\u0441\u043a\u0432\u0430 ",
            u"\u0416\u0418\u0417\u041d\u042c ",
            u"\u0451\u043b\u043a\u0430 ",
            u"\ufb01nance ",
            u"\u1f00\u03c1\u03c7\u03ae ",
        };
        std::mt19937 random(7);
        UTF16String made;
        while (made.size() < (1u << 20)) {
            const std::u16string& word = words[random() % (sizeof words / sizeof words[0])];
            made.append(word.begin(), word.end());
        }
        made.resize(1u << 20);
        return made;
    }();
    return text;
}

void Finish(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Text().size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Text().size() * 2));
}

void BM_UpperCase(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(UpperCase(Text()));
    Finish(state);
}

void BM_IcuStrToUpper(benchmark::State& state) {
    const UTF16String& text = Text();
    std::vector<UChar> out(text.size() * 3);
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(u_strToUpper(out.data(), static_cast<int32_t>(out.size()),
                                              reinterpret_cast<const UChar*>(text.data()),
                                              static_cast<int32_t>(text.size()), "", &status));
    }
    Finish(state);
}

void BM_FoldCase(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(FoldCase(Text()));
    Finish(state);
}

void BM_IcuStrFoldCase(benchmark::State& state) {
    const UTF16String& text = Text();
    std::vector<UChar> out(text.size() * 3);
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        benchmark::DoNotOptimize(u_strFoldCase(
            out.data(), static_cast<int32_t>(out.size()), reinterpret_cast<const UChar*>(text.data()),
            static_cast<int32_t>(text.size()), U_FOLD_CASE_DEFAULT, &status));
    }
    Finish(state);
}

}  // namespace

BENCHMARK(BM_UpperCase);
BENCHMARK(BM_IcuStrToUpper);
BENCHMARK(BM_FoldCase);
BENCHMARK(BM_IcuStrFoldCase);

BENCHMARK_MAIN();
