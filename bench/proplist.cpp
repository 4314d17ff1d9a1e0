// Loading and saving a property list, against bare expat and pugixml.
// The list has 100,000 entries (every value type, lists among them, nested two levels
// deep); expat parses the same document with empty callbacks, and pugixml loads it into
// its DOM and walks it into the same values.
//
// The figures are printed at the end: MB/s of document and entries/s for each, and the
// ratios of the load against both peers.
#include <tarncore/config/Errors.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>

#include <benchmark/benchmark.h>
#include <expat.h>
#include <pugixml.hpp>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

using namespace tarncore;
using namespace tarncore::proplist;
using utility::UTF16String;
using utility::UTF8String;

namespace {

constexpr int kGroups = 20;
constexpr int kSubgroups = 50;
constexpr int kEntriesPerSubgroup = 100;
constexpr int kEntries = kGroups * kSubgroups * kEntriesPerSubgroup;

UTF8String U8(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

// Every scalar type and a few list types, in turn; ten thousand entries of each kind.
void AddEntry(PropList& ioList, int inIndex) {
    char key[32];
    std::snprintf(key, sizeof key, "entry%05d", inIndex);
    const UTF8String name = U8(key);
    switch (inIndex % 10) {
    case 0:
        ioList.SetValue(name, utility::UTF8to16(U8("Caf\xc3\xa9 r&d item " + std::to_string(inIndex))));
        break;
    case 1:
        ioList.SetValue(name, U8("/usr/share/tarn/presets/" + std::to_string(inIndex) + ".preset"));
        break;
    case 2: ioList.SetValue(name, inIndex % 3 == 0); break;
    case 3: ioList.SetValue(name, static_cast<unsigned short>(inIndex & 0xFFFF)); break;
    case 4: ioList.SetValue(name, static_cast<std::int32_t>(-inIndex * 37)); break;
    case 5: ioList.SetValue(name, static_cast<std::uint64_t>(inIndex * 1000003ull)); break;
    case 6: ioList.SetValue(name, static_cast<float>(inIndex) / 7.0f); break;
    case 7: ioList.SetValue(name, static_cast<double>(inIndex) * 3.25e-3); break;
    case 8: ioList.SetValue(name, std::list<std::int32_t>{inIndex, -inIndex, 7}); break;
    default: ioList.SetValue(name, std::list<double>{inIndex * 0.5, 1.25}); break;
    }
}

PropList& Sample() {
    static PropList list = [] {
        PropList made;
        int index = 0;
        for (int g = 0; g < kGroups; ++g) {
            PropList* group = made.NewSubList(U8("group" + std::to_string(g)));
            for (int s = 0; s < kSubgroups; ++s) {
                PropList* sub = group->NewSubList(U8("section" + std::to_string(s)));
                for (int e = 0; e < kEntriesPerSubgroup; ++e) AddEntry(*sub, index++);
            }
        }
        return made;
    }();
    return list;
}

const UTF8String& SampleDocument() {
    static const UTF8String document = [] {
        UTF8String text;
        utils::WritePropList(text, Sample());
        return text;
    }();
    return document;
}

// Reports throw: the benchmark must not time a document that fails to load.
class ThrowingErrorManager : public config::ErrorManager {
public:
    void ReportError(config::ErrorLevel, const char* inKey, std::uint32_t, std::int32_t, bool,
                     const config::ReplacementValue&, const config::ReplacementValue&,
                     const config::ReplacementValue&, const config::ReplacementValue&) override {
        throw std::runtime_error(inKey);
    }
};

void SetCounters(benchmark::State& ioState) {
    ioState.SetBytesProcessed(static_cast<std::int64_t>(ioState.iterations() * SampleDocument().size()));
    ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations() * kEntries));
}

// ---- tarncore

void BM_Load_tarncore(benchmark::State& state) {
    const UTF8String& document = SampleDocument();
    for (auto _ : state) {
        PropList list;
        utils::ReadPropList(document, list);
        benchmark::DoNotOptimize(list.IsEmpty());
    }
    SetCounters(state);
}

void BM_Save_tarncore_WritePropList(benchmark::State& state) {
    const PropList& list = Sample();
    for (auto _ : state) {
        UTF8String text;
        utils::WritePropList(text, list);
        benchmark::DoNotOptimize(text.data());
    }
    SetCounters(state);
}

// To a file in the temporary folder: the write, the sync and the rename of the one-step
// replacement included.
void BM_Save_tarncore_SavePropListFile(benchmark::State& state) {
    const char* folder = std::getenv("TMPDIR");
    const std::string path =
        std::string(folder != nullptr && *folder ? folder : "/tmp") + "/bench_proplist.plist";
    filesupport::File file(utility::UTF8to16(U8(path)));
    for (auto _ : state) utils::SavePropList(file, Sample());
    std::remove(path.c_str());
    SetCounters(state);
}

// What making and destroying the list itself costs, whatever reads it: a deep copy.
void BM_Model_CopyList(benchmark::State& state) {
    for (auto _ : state) {
        PropList copy(Sample());
        benchmark::DoNotOptimize(copy.IsEmpty());
    }
    SetCounters(state);
}

// ---- expat with empty callbacks (namespace processing on, as the library parses)

void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL NoEnd(void*, const XML_Char*) {}
void XMLCALL NoText(void*, const XML_Char*, int) {}

void BM_Load_expat_bare(benchmark::State& state) {
    const UTF8String& document = SampleDocument();
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreateNS(nullptr, ' ');
        XML_SetElementHandler(parser, NoStart, NoEnd);
        XML_SetCharacterDataHandler(parser, NoText);
        const bool ok = XML_Parse(parser, reinterpret_cast<const char*>(document.data()),
                                  static_cast<int>(document.size()), 1) == XML_STATUS_OK;
        XML_ParserFree(parser);
        if (!ok) state.SkipWithError("expat refused the document");
    }
    SetCounters(state);
}

// ---- pugixml: its DOM, then a walk that sets the same values into a PropList

template <class T>
T Number(const char* inText) {
    T value{};
    std::from_chars(inText, inText + std::strlen(inText), value);
    return value;
}

UTF16String Wide(const char* inText) {
    UTF16String text;
    utility::AppendUTF8to16(reinterpret_cast<const utility::UTF8Char*>(inText), std::strlen(inText), text);
    return text;
}

template <class T>
std::list<T> Numbers(const pugi::xml_node& inArray) {
    std::list<T> values;
    for (pugi::xml_node item = inArray.child("array.type").next_sibling(); item; item = item.next_sibling())
        values.push_back(Number<T>(item.child_value()));
    return values;
}

void SetFromElement(PropList& ioList, const UTF8String& inKey, const pugi::xml_node& inValue);

void WalkList(const pugi::xml_node& inList, PropList& ioList) {
    for (pugi::xml_node pair = inList.child("prop.pair"); pair; pair = pair.next_sibling("prop.pair")) {
        const pugi::xml_node key = pair.child("key");
        const char* keyText = key.child_value();
        const UTF8String name(reinterpret_cast<const utility::UTF8Char*>(keyText), std::strlen(keyText));
        SetFromElement(ioList, name, key.next_sibling());
    }
}

void SetFromElement(PropList& ioList, const UTF8String& inKey, const pugi::xml_node& inValue) {
    const char* element = inValue.name();
    const char* text = inValue.child_value();
    if (std::strcmp(element, "prop.list") == 0) {
        WalkList(inValue, *ioList.NewSubList(inKey));
    } else if (std::strcmp(element, "ustring") == 0) {
        ioList.SetValue(inKey, Wide(text));
    } else if (std::strcmp(element, "string") == 0) {
        ioList.SetValue(inKey,
                        UTF8String(reinterpret_cast<const utility::UTF8Char*>(text), std::strlen(text)));
    } else if (std::strcmp(element, "true") == 0 || std::strcmp(element, "false") == 0) {
        ioList.SetValue(inKey, element[0] == 't');
    } else if (std::strcmp(element, "float") == 0) {
        ioList.SetValue(inKey, Number<float>(text));
    } else if (std::strcmp(element, "double") == 0) {
        ioList.SetValue(inKey, Number<double>(text));
    } else if (std::strcmp(element, "int") == 0) {
        const char* size = inValue.attribute("size").value();
        const bool isUnsigned = std::strcmp(inValue.attribute("type").value(), "unsigned") == 0;
        if (std::strcmp(size, "16") == 0)
            ioList.SetValue(inKey, Number<unsigned short>(text));
        else if (std::strcmp(size, "32") == 0 && isUnsigned)
            ioList.SetValue(inKey, Number<std::uint32_t>(text));
        else if (std::strcmp(size, "32") == 0)
            ioList.SetValue(inKey, Number<std::int32_t>(text));
        else if (isUnsigned)
            ioList.SetValue(inKey, Number<std::uint64_t>(text));
        else
            ioList.SetValue(inKey, Number<std::int64_t>(text));
    } else if (std::strcmp(element, "array") == 0) {
        // The sample's lists: signed 32-bit and double.
        const char* type = inValue.child("array.type").first_child().name();
        if (std::strcmp(type, "double") == 0)
            ioList.SetValue(inKey, Numbers<double>(inValue));
        else
            ioList.SetValue(inKey, Numbers<std::int32_t>(inValue));
    }
}

void BM_Load_pugixml_DOM_and_walk(benchmark::State& state) {
    const UTF8String& document = SampleDocument();
    for (auto _ : state) {
        pugi::xml_document dom;
        if (!dom.load_buffer(document.data(), document.size()))
            state.SkipWithError("pugixml refused the document");
        PropList list;
        WalkList(dom.child("prop.map").child("prop.list"), list);
        benchmark::DoNotOptimize(list.IsEmpty());
    }
    SetCounters(state);
}

void BM_Load_pugixml_DOM_only(benchmark::State& state) {
    const UTF8String& document = SampleDocument();
    for (auto _ : state) {
        pugi::xml_document dom;
        if (!dom.load_buffer(document.data(), document.size()))
            state.SkipWithError("pugixml refused the document");
        benchmark::DoNotOptimize(dom.first_child());
    }
    SetCounters(state);
}

// The walk must give the very list the library loads.
void CheckPeersAgree() {
    PropList ours, theirs;
    utils::ReadPropList(SampleDocument(), ours);
    pugi::xml_document dom;
    dom.load_buffer(SampleDocument().data(), SampleDocument().size());
    WalkList(dom.child("prop.map").child("prop.list"), theirs);
    UTF8String a, b;
    utils::WritePropList(a, ours);
    utils::WritePropList(b, theirs);
    if (a != b || a != SampleDocument()) {
        std::fprintf(stderr, "the loads disagree\n");
        std::exit(1);
    }
}

BENCHMARK(BM_Load_tarncore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_expat_bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_pugixml_DOM_and_walk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_pugixml_DOM_only)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_CopyList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_tarncore_WritePropList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_tarncore_SavePropListFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers each benchmark's time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& inRuns) override {
        for (const Run& run : inRuns)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                // CPU time, the machine being shared; real time where the disk takes part.
                const std::string name = run.benchmark_name();
                const bool disk = name.find("File") != std::string::npos;
                mSeconds[name.substr(0, name.find('/'))] =
                    (disk ? run.real_accumulated_time : run.cpu_accumulated_time) / run.iterations;
            }
        ConsoleReporter::ReportRuns(inRuns);
    }

    double Seconds(const std::string& inName) const {
        const auto found = mSeconds.find(inName);
        return found == mSeconds.end() ? 0 : found->second;
    }

    void PrintRate(const char* inWhat, const std::string& inName) const {
        const double seconds = Seconds(inName);
        if (seconds <= 0) return;
        std::printf("%-40s %8.1f MB/s %12.0f entries/s\n", inWhat, SampleDocument().size() / seconds / 1e6,
                    kEntries / seconds);
    }

    void PrintRatio(const char* inWhat, const std::string& inOurs, const std::string& inPeer) const {
        const double ours = Seconds(inOurs), peer = Seconds(inPeer);
        if (ours > 0 && peer > 0) std::printf("%-52s %6.2f\n", inWhat, peer / ours);
    }

private:
    std::map<std::string, double> mSeconds;
};

}  // namespace

int main(int argc, char** argv) {
    ThrowingErrorManager errors;
    config::ErrorManager::Set(&errors);
    std::unique_ptr<xml::DocParserFactory> factory(new xml::ExpatParserFactory);
    xml::SetParserFactory(factory);
    CheckPeersAgree();
    std::printf("document: %zu bytes, %d entries\n", SampleDocument().size(), kEntries);

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n");
    reporter.PrintRate("load, tarncore ReadPropList", "BM_Load_tarncore");
    reporter.PrintRate("load, bare expat (empty callbacks)", "BM_Load_expat_bare");
    reporter.PrintRate("load, pugixml DOM and walk", "BM_Load_pugixml_DOM_and_walk");
    reporter.PrintRate("load, pugixml DOM only", "BM_Load_pugixml_DOM_only");
    reporter.PrintRate("copy of the list (the model's own cost)", "BM_Model_CopyList");
    reporter.PrintRate("save, tarncore WritePropList", "BM_Save_tarncore_WritePropList");
    reporter.PrintRate("save, tarncore SavePropList (file)", "BM_Save_tarncore_SavePropListFile");
    std::printf("\nthroughput of the tarncore load as a share of the peer's (above 1 is faster):\n");
    reporter.PrintRatio("  tarncore load / bare expat (target at least 0.5)", "BM_Load_tarncore",
                        "BM_Load_expat_bare");
    reporter.PrintRatio("  tarncore load / pugixml DOM and walk (target above 1)", "BM_Load_tarncore",
                        "BM_Load_pugixml_DOM_and_walk");
    config::ErrorManager::Set(nullptr);
    return 0;
}
