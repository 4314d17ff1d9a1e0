// Arbitrary text through the GUID parsers.
// Text that parses must print back as the lower-case form of itself; text that does not
// must give the nil GUID and one report.
#include <tarncore/config/Errors.h>
#include <tarncore/utility/Guid.h>
#include <tarncore/utility/TextStreams.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tarncore;
using namespace tarncore::utility;

namespace {

class CountingErrorManager : public config::ErrorManager {
public:
    void ReportError(config::ErrorLevel, const char*, std::uint32_t inComponent, std::int32_t inCode, bool,
                     const config::ReplacementValue&, const config::ReplacementValue&,
                     const config::ReplacementValue&, const config::ReplacementValue&) override {
        if (inComponent != 105 || inCode != 28) std::abort();
        ++reports;
    }
    int reports = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CountingErrorManager manager;
    config::ErrorManager::Set(&manager);
    manager.reports = 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Guid parsed(text);
    if (manager.reports == 0) {
        const UTF8String printed = UTF16to8(parsed.AsString());
        std::string lower = text;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (std::string(printed.begin(), printed.end()) != lower) std::abort();
    } else if (parsed != Guid() || manager.reports != 1) {
        std::abort();
    }
    // The same bytes as UTF-8 through the UTF-16 constructor and stream.
    const Guid wide(UTF8to16(UTF8String(data, size)));
    iUTF16StringStream in(UTF8to16(UTF8String(data, size)));
    Guid streamed;
    in >> streamed;
    (void)wide;
    return 0;
}
