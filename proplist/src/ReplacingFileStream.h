// A byte sink that replaces a file in one step when it is committed.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/File.h>

#include <cstdint>
#include <string>

namespace tarncore {
namespace proplist {

// Collects the bytes written and, on Commit, puts them in the file's place through the
// platform's one-step replacement (a temporary file in the same folder, synced and
// renamed over the old one). Until Commit, and when it fails, the file is untouched; a
// stream destroyed without Commit writes nothing. This stands in for the byte-stream
// family's own atomic-replace sink, which has the same shape, and is used only here.
class ReplacingFileStream : public filesupport::OByteStream {
public:
    explicit ReplacingFileStream(const filesupport::File& inFile);
    ~ReplacingFileStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    // Moving past the end fills the gap with zero bytes when something is written there.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;

    // Replaces the file with the bytes written. io_error when that fails.
    void Commit();

private:
    filesupport::File mFile;
    std::string mBytes;
    std::uint64_t mPosition = 0;
};

}  // namespace proplist
}  // namespace tarncore
