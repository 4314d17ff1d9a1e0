// Byte streams on files, and the stream that replaces a file in one step.
#pragma once

#include <tarncore/filesupport/ByteStreams.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/platform/Export.h>

#include <cstddef>
#include <cstdint>
#include <memory>

/// @file
/// Byte streams on files. Each opens its file when it is made and closes it when it is
/// destroyed. A missing file or folder throws file_not_found_exception; any other
/// failure to open, read, write or seek throws io_error (a directory, for one).
/// Every read and write goes to the operating system: wrap the stream in a buffered
/// adapter (StreamAdapters.h) for byte-wise work. OReplacingPlatformByteStream writes a
/// file anew in one step, for files that must never be left half-written.
namespace tarncore {
namespace filesupport {

// The open file and a copy of the File it was opened from (internal).
class PlatformFile;
// The temporary file of a replacement (internal).
class PlatformReplacement;

class TARNCORE_API IPlatformByteStream : public IByteStream {
public:
    explicit IPlatformByteStream(const File& inFile);
    ~IPlatformByteStream() override;

    /// At the end of the file: eof_error, and the position stays where it was (a block
    /// that does not fit is not read).
    /// @{
    unsigned char Get() override;
    void ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) override;
    /// @}
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    /// The file's size now.
    std::uint64_t Length() const override;

private:
    std::unique_ptr<PlatformFile> mFile;
};

/// Writes into an existing file, from its start, over what it holds; the file is never
/// made and never shortened here (File::Create makes or empties it first).
class TARNCORE_API OPlatformByteStream : public OByteStream {
public:
    explicit OPlatformByteStream(const File& inFile);
    ~OPlatformByteStream() override;

    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    /// A position beyond the end is allowed; writing there fills the gap with zeros.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    virtual std::uint64_t Length() const;

private:
    std::unique_ptr<PlatformFile> mFile;
};

/// Writes a file's new contents and puts them in its place in one step. The bytes go to
/// a temporary file in the file's folder; Commit() flushes that to disk, gives it the old
/// file's permissions and renames it over the file. Until then the file is untouched, and
/// it stays so when the stream fails or is destroyed without Commit(): the temporary file
/// is removed. A crash leaves the old contents or the new, never a mix.
///
/// The file need not exist (committing creates it, as on a first save); its folder must.
/// Positions count from the start of the new contents. Adapters over this stream hold
/// bytes of their own: flush them (OBufferedByteStream::Flush) before Commit().
class TARNCORE_API OReplacingPlatformByteStream : public OByteStream {
public:
    /// Makes the temporary file. Throws file_not_found_exception when the folder is
    /// missing, io_error for any other failure.
    explicit OReplacingPlatformByteStream(const File& inFile);
    /// Without a successful Commit(), removes the temporary file.
    ~OReplacingPlatformByteStream() override;

    /// A failed write, seek or query gives the replacement up: it throws io_error, the
    /// temporary file is removed, and every later call throws io_error.
    /// @{
    void Put(unsigned char inByte) override;
    void WriteBlock(const unsigned char* inData, std::uint32_t inCount) override;
    /// @}
    /// A position beyond the end is allowed; writing there fills the gap with zeros.
    void CurPos(std::uint64_t inPosition) override;
    std::uint64_t CurPos() const override;
    /// The length of the new contents so far.
    virtual std::uint64_t Length() const;

    /// Puts the new contents in the file's place. Throws io_error when that fails or the
    /// replacement was given up before; the old file is then untouched. Afterwards the
    /// stream is closed: writing or committing again throws io_error.
    void Commit();

private:
    std::unique_ptr<PlatformReplacement> mReplacement;
};

/// Replaces the file's contents with inSize bytes in one step, through an
/// OReplacingPlatformByteStream that is committed: a failure throws as that stream does
/// and leaves the file as it was.
TARNCORE_API void ReplaceFileContents(const File& inFile, const void* inData, std::size_t inSize);

}  // namespace filesupport
}  // namespace tarncore
