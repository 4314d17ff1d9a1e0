// Byte streams on files, and the replacement of a file through a temporary one.
#include <tarncore/filesupport/PlatformByteStreams.h>

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/utility/NativePaths.h>

#include "filesupport/src/FileErrors.h"
#include "platform/os/FileErrors.h"
#include "platform/os/Files.h"

#include <algorithm>
#include <limits>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;

namespace {

// The failure of a call of the operating system on an open file, as the streams throw it.
void Check(int inError) {
    if (inError != 0) throw file_io_error(os::ClassifyFileError(inError));
}

// Reads inCount bytes; at the end of the file throws eof_error and puts the position back.
void ReadExactly(os::FileHandle inHandle, unsigned char* outBuffer, std::uint32_t inCount) {
    std::size_t got = 0;
    Check(os::ReadFromFile(inHandle, outBuffer, inCount, got));
    if (got == inCount) return;
    // A file that cannot seek (a pipe) cannot give the bytes back.
    std::uint64_t end = 0;
    if (got > 0 && os::GetFilePosition(inHandle, end) == 0) (void)os::SetFilePosition(inHandle, end - got);
    throw eof_error();
}

std::uint64_t PositionOf(os::FileHandle inHandle) {
    std::uint64_t position = 0;
    Check(os::GetFilePosition(inHandle, position));
    return position;
}

std::uint64_t LengthOf(os::FileHandle inHandle) {
    std::uint64_t length = 0;
    Check(os::GetFileLength(inHandle, length));
    return length;
}

// The native path of a file, or the stream error of a path that has none (it holds a
// NUL).
std::string NativePathOf(const File& inFile) {
    std::string native;
    if (!utility::ToNativePath(inFile.FullPath(), native)) throw file_io_error(os::FileFailure::kOther);
    return native;
}

}  // namespace

class PlatformFile {
public:
    enum class Mode { kRead, kWrite };

    PlatformFile(const File& inFile, Mode inMode) : mFile(inFile) {
        const std::string native = NativePathOf(mFile);
        ThrowStreamError(
            mFile, os::ClassifyFileError(inMode == Mode::kRead ? os::OpenFileForReading(native, mHandle)
                                                               : os::OpenFileForWriting(native, mHandle)));
    }

    ~PlatformFile() { os::CloseFile(mHandle); }

    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;

    void Read(unsigned char* outBuffer, std::uint32_t inCount) { ReadExactly(mHandle, outBuffer, inCount); }
    void Write(const unsigned char* inData, std::uint32_t inCount) {
        Check(os::WriteToFile(mHandle, inData, inCount));
    }
    void Position(std::uint64_t inPosition) { Check(os::SetFilePosition(mHandle, inPosition)); }
    std::uint64_t Position() const { return PositionOf(mHandle); }
    std::uint64_t Length() const { return LengthOf(mHandle); }

private:
    File mFile;
    os::FileHandle mHandle = os::kNoFile;
};

IPlatformByteStream::IPlatformByteStream(const File& inFile)
    : mFile(new PlatformFile(inFile, PlatformFile::Mode::kRead)) {}
IPlatformByteStream::~IPlatformByteStream() = default;

unsigned char IPlatformByteStream::Get() {
    unsigned char byte;
    mFile->Read(&byte, 1);
    return byte;
}

void IPlatformByteStream::ReadBlock(unsigned char* outBuffer, std::uint32_t inCount) {
    if (inCount > 0) mFile->Read(outBuffer, inCount);
}

void IPlatformByteStream::CurPos(std::uint64_t inPosition) { mFile->Position(inPosition); }
std::uint64_t IPlatformByteStream::CurPos() const { return mFile->Position(); }
std::uint64_t IPlatformByteStream::Length() const { return mFile->Length(); }

OPlatformByteStream::OPlatformByteStream(const File& inFile)
    : mFile(new PlatformFile(inFile, PlatformFile::Mode::kWrite)) {}
OPlatformByteStream::~OPlatformByteStream() = default;

void OPlatformByteStream::Put(unsigned char inByte) { mFile->Write(&inByte, 1); }

void OPlatformByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    if (inCount > 0) mFile->Write(inData, inCount);
}

void OPlatformByteStream::CurPos(std::uint64_t inPosition) { mFile->Position(inPosition); }
std::uint64_t OPlatformByteStream::CurPos() const { return mFile->Position(); }
std::uint64_t OPlatformByteStream::Length() const { return mFile->Length(); }

// Every call on the temporary file goes through Guarded: a failure aborts the
// replacement before it is thrown, so that nothing half-written can be committed.
class PlatformReplacement {
public:
    explicit PlatformReplacement(const File& inFile) {
        ThrowStreamError(inFile,
                         os::ClassifyFileError(os::BeginFileReplacement(NativePathOf(inFile), mState)));
    }

    ~PlatformReplacement() { os::AbortFileReplacement(mState); }

    PlatformReplacement(const PlatformReplacement&) = delete;
    PlatformReplacement& operator=(const PlatformReplacement&) = delete;

    void Write(const unsigned char* inData, std::uint32_t inCount) {
        Guarded([&] { Check(os::WriteToFile(mState.handle, inData, inCount)); });
    }
    void Position(std::uint64_t inPosition) {
        Guarded([&] { Check(os::SetFilePosition(mState.handle, inPosition)); });
    }
    std::uint64_t Position() {
        std::uint64_t position = 0;
        Guarded([&] { position = PositionOf(mState.handle); });
        return position;
    }
    std::uint64_t Length() {
        std::uint64_t length = 0;
        Guarded([&] { length = LengthOf(mState.handle); });
        return length;
    }
    void Commit() {
        Guarded([&] { Check(os::CommitFileReplacement(mState)); });
    }

private:
    template <class Call>
    void Guarded(Call inCall) {
        // Given up, failed or committed already.
        if (mState.handle == os::kNoFile) throw io_error();
        try {
            inCall();
        } catch (...) {
            os::AbortFileReplacement(mState);
            throw;
        }
    }

    os::FileReplacement mState;
};

OReplacingPlatformByteStream::OReplacingPlatformByteStream(const File& inFile)
    : mReplacement(new PlatformReplacement(inFile)) {}
OReplacingPlatformByteStream::~OReplacingPlatformByteStream() = default;

void OReplacingPlatformByteStream::Put(unsigned char inByte) { mReplacement->Write(&inByte, 1); }

void OReplacingPlatformByteStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    if (inCount > 0) mReplacement->Write(inData, inCount);
}

void OReplacingPlatformByteStream::CurPos(std::uint64_t inPosition) { mReplacement->Position(inPosition); }
std::uint64_t OReplacingPlatformByteStream::CurPos() const { return mReplacement->Position(); }
std::uint64_t OReplacingPlatformByteStream::Length() const { return mReplacement->Length(); }
void OReplacingPlatformByteStream::Commit() { mReplacement->Commit(); }

void ReplaceFileContents(const File& inFile, const void* inData, std::size_t inSize) {
    OReplacingPlatformByteStream out(inFile);
    const auto* bytes = static_cast<const unsigned char*>(inData);
    while (inSize > 0) {
        const auto count = static_cast<std::uint32_t>(
            std::min<std::size_t>(inSize, std::numeric_limits<std::uint32_t>::max()));
        out.WriteBlock(bytes, count);
        bytes += count;
        inSize -= count;
    }
    out.Commit();
}

}  // namespace filesupport
}  // namespace tarncore
