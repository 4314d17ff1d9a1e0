#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>

#include <cstdint>
#include <memory>

// Byte streams on files. Each opens its file when it is made and closes it when it is
// destroyed. A missing file or folder throws file_not_found_exception; any other
// failure to open, read, write or seek throws io_error (a directory, for one).
// Every read and write goes to the operating system: wrap the stream in a buffered
// adapter (StreamAdapters.h) for byte-wise work.
namespace tarncore {
namespace filesupport {

// The open file and a copy of the File it was opened from (internal).
class PlatformFile;

class TARNCORE_API IPlatformByteStream : public IByteStream {
public:
    explicit IPlatformByteStream(const File& inFile);
    ~IPlatformByteStream() override;

    // At the end of the file: eof_error, and the position stays where it was (a block
    // that does not fit is not read).
    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    // The file's size now.
    std::uint64_t Length() const override;

private:
    std::unique_ptr<PlatformFile> mFile;
};

// Writes into an existing file, from its start, over what it holds; the file is never
// made and never shortened here (File::Create makes or empties it first).
class TARNCORE_API OPlatformByteStream : public OByteStream {
public:
    explicit OPlatformByteStream(const File& inFile);
    ~OPlatformByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    // A position beyond the end is allowed; writing there fills the gap with zeros.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    virtual std::uint64_t Length() const;

private:
    std::unique_ptr<PlatformFile> mFile;
};

}  // namespace filesupport
}  // namespace tarncore
