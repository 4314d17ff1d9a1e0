// Arbitrary bytes decoded as PackBits packets through IRLEByteStream.
// The source's end is the only way out (eof_error); the output is at most 128 bytes per
// input byte; and encoding the output again and decoding that gives the output back.
#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tarncore::filesupport;

namespace {

std::string Decode(const unsigned char* inData, std::size_t inSize) {
    IBufferByteStream source(inData, inSize);
    IRLEByteStream in(source);
    std::string plain;
    try {
        for (;;) plain.push_back(static_cast<char>(in.Get()));
    } catch (const eof_error&) {
    }
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string plain = Decode(data, size);
    if (plain.size() > 128 * size) std::abort();

    std::string packed;
    OStringByteStream target(packed);
    ORLEByteStream out(target);
    out.WriteBlock(reinterpret_cast<const unsigned char*>(plain.data()),
                   static_cast<std::uint32_t>(plain.size()));
    out.Flush();
    // PackBits never grows data by more than one header per 128 bytes.
    if (packed.size() > plain.size() + (plain.size() + 127) / 128) std::abort();
    if (Decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size()) != plain) std::abort();
    return 0;
}
