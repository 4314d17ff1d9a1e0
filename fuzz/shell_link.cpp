// Arbitrary bytes as a shortcut file.
// Whatever reads must write and read back to the same target and description.
#include "filesupport/src/ShellLink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tarncore::filesupport;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    shelllink::Link link;
    if (!shelllink::Read(data, size, link)) return 0;
    if (link.target.empty()) std::abort();
    std::string bytes;
    if (!shelllink::Write(link, bytes)) {
        if (link.description.size() <= 0xFFFF) std::abort();
        return 0;
    }
    shelllink::Link again;
    if (!shelllink::Read(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), again))
        std::abort();
    if (again.target != link.target || again.description != link.description) std::abort();
    return 0;
}
