// UTF8to16 and UTF16to8 against ICU's u_strFromUTF8 / u_strToUTF8.
// Four corpora of at least 1 MiB each; throughput is reported per UTF-8 byte in both directions.
#include <tarncore/utility/UnicodeStrings.h>

#include <benchmark/benchmark.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace tarncore::utility;

namespace {

constexpr std::size_t kCorpusBytes = 1 << 20;

void AppendCodePoint(UTF8String& out, std::uint32_t cp) {
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

void AppendText(UTF8String& out, const char* text) {
    for (; *text; ++text) out.push_back(static_cast<UTF8Char>(*text));
}

UTF8String AsciiSource() {
    static const char* const kLines[] = {
        "#include <tarncore/utility/UnicodeStrings.h>\n",
        "namespace tarncore {\nnamespace utility {\n",
        "// Decodes the sequence and stops at the first malformed byte.\n",
        "std::size_t DecodeUTF8(const std::uint8_t* in, const std::uint8_t* end, UTF16Char* out) {\n",
        "    for (std::size_t i = 0; i < length; ++i) {\n",
        "        if (text[i] >= 0x80) ascii = false;\n",
        "    }\n",
        "    return static_cast<std::size_t>(out - start);\n}\n",
        "TEST(UTF8to16, StopsAtTheFirstIllFormedOrTruncatedSequence) {\n",
        "    EXPECT_EQ(UTF8to16(Bytes({0x41, 0xC3, 0x28, 0x42})), Units({0x41}));\n",
        "\tconst auto result = ReplaceInString(format, value0, value1); // tabs too\n",
    };
    std::mt19937 random(1);
    UTF8String out;
    while (out.size() < kCorpusBytes) AppendText(out, kLines[random() % (sizeof kLines / sizeof *kLines)]);
    return out;
}

UTF8String LatinAccented() {
    static const char* const kWords[] = {"le",          "café",    "où",      "élève",   "déjà", "garçon",
                                         "Straße",      "Mädchen", "über",    "größer",  "niño", "señor",
                                         "corazón",     "acción",  "não",     "coração", "the",  "and",
                                         "naïve",       "Zürich",  "fenêtre", "à",       "été",  "Ærø",
                                         "smörgåsbord", "Łódź",    "český",   "text",    "of",   "in"};
    std::mt19937 random(2);
    UTF8String out;
    while (out.size() < kCorpusBytes) {
        AppendText(out, kWords[random() % (sizeof kWords / sizeof *kWords)]);
        AppendText(out, random() % 12 == 0 ? ".\n" : " ");
    }
    return out;
}

UTF8String Cjk() {
    std::mt19937 random(3);
    UTF8String out;
    while (out.size() < kCorpusBytes) {
        const unsigned pick = random() % 100;
        if (pick < 75)
            AppendCodePoint(out, 0x4E00 + random() % 0x5200);  // ideographs
        else if (pick < 90)
            AppendCodePoint(out, 0x3041 + random() % 0x56);  // hiragana
        else if (pick < 95)
            AppendCodePoint(out, pick % 2 ? 0x3001 : 0x3002);  // punctuation
        else if (pick < 98)
            AppendCodePoint(out, '0' + random() % 10);
        else
            AppendCodePoint(out, '\n');
    }
    return out;
}

UTF8String EmojiHeavy() {
    static const char* const kWords[] = {"ok", "lol", "see you", "great", "yes!", "no", "wow"};
    std::mt19937 random(4);
    UTF8String out;
    while (out.size() < kCorpusBytes) {
        const unsigned pick = random() % 10;
        if (pick < 6)
            AppendCodePoint(out, 0x1F600 + random() % 0x50);  // faces
        else if (pick < 8)
            AppendCodePoint(out, 0x1F300 + random() % 0x100);  // symbols
        else if (pick < 9)
            AppendCodePoint(out, 0x2600 + random() % 0x100);  // misc, 3 bytes
        else
            AppendText(out, kWords[random() % (sizeof kWords / sizeof *kWords)]);
        if (random() % 4 == 0) AppendCodePoint(out, ' ');
    }
    return out;
}

struct Corpus {
    const char* name;
    UTF8String utf8;
    UTF16String utf16;
};

const std::vector<Corpus>& Corpora() {
    static const std::vector<Corpus> corpora = [] {
        std::vector<Corpus> list;
        for (auto [name, make] :
             {std::pair{"ascii_source", &AsciiSource}, std::pair{"latin_accented", &LatinAccented},
              std::pair{"cjk", &Cjk}, std::pair{"emoji", &EmojiHeavy}}) {
            Corpus corpus{name, make(), {}};
            corpus.utf16 = UTF8to16(corpus.utf8);
            // Both libraries must agree on the text before their speed is compared.
            std::vector<UChar> icu(corpus.utf8.size() + 1);
            int32_t length = 0;
            UErrorCode status = U_ZERO_ERROR;
            u_strFromUTF8(icu.data(), static_cast<int32_t>(icu.size()), &length,
                          reinterpret_cast<const char*>(corpus.utf8.data()),
                          static_cast<int32_t>(corpus.utf8.size()), &status);
            if (U_FAILURE(status) || static_cast<std::size_t>(length) != corpus.utf16.size() ||
                !std::equal(corpus.utf16.begin(), corpus.utf16.end(), icu.begin())) {
                std::fprintf(stderr, "corpus %s: tarncore and ICU disagree\n", name);
                std::abort();
            }
            list.push_back(std::move(corpus));
        }
        return list;
    }();
    return corpora;
}

void TarnUTF8to16(benchmark::State& state) {
    const Corpus& corpus = Corpora()[state.range(0)];
    state.SetLabel(corpus.name);
    for (auto _ : state) benchmark::DoNotOptimize(UTF8to16(corpus.utf8));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.utf8.size()));
}

void IcuUTF8to16(benchmark::State& state) {
    const Corpus& corpus = Corpora()[state.range(0)];
    state.SetLabel(corpus.name);
    std::vector<UChar> buffer(corpus.utf8.size() + 1);  // the peer gets its buffer for free
    for (auto _ : state) {
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8(buffer.data(), static_cast<int32_t>(buffer.size()), &length,
                      reinterpret_cast<const char*>(corpus.utf8.data()),
                      static_cast<int32_t>(corpus.utf8.size()), &status);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.utf8.size()));
}

void TarnUTF16to8(benchmark::State& state) {
    const Corpus& corpus = Corpora()[state.range(0)];
    state.SetLabel(corpus.name);
    for (auto _ : state) benchmark::DoNotOptimize(UTF16to8(corpus.utf16));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.utf8.size()));
}

void IcuUTF16to8(benchmark::State& state) {
    const Corpus& corpus = Corpora()[state.range(0)];
    state.SetLabel(corpus.name);
    std::vector<char> buffer(corpus.utf8.size() + 1);
    for (auto _ : state) {
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strToUTF8(buffer.data(), static_cast<int32_t>(buffer.size()), &length,
                    reinterpret_cast<const UChar*>(corpus.utf16.data()),
                    static_cast<int32_t>(corpus.utf16.size()), &status);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.utf8.size()));
}

BENCHMARK(TarnUTF8to16)->DenseRange(0, 3);
BENCHMARK(IcuUTF8to16)->DenseRange(0, 3);
BENCHMARK(TarnUTF16to8)->DenseRange(0, 3);
BENCHMARK(IcuUTF16to8)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
