#include <tarncore/filesupport/PlatformByteStreams.h>

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/utility/NativePaths.h>

#include "platform/os/Files.h"

#include <cerrno>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;

class PlatformFile {
public:
    enum class Mode { kRead, kWrite };

    PlatformFile(const File& inFile, Mode inMode) : mFile(inFile) {
        std::string native;
        int error = utility::ToNativePath(mFile.FullPath(), native) ? 0 : EINVAL;
        if (error == 0)
            error = inMode == Mode::kRead ? os::OpenFileForReading(native, mHandle)
                                          : os::OpenFileForWriting(native, mHandle);
        // A missing file, or a missing folder on the way (or a file where a folder
        // should be), is "not found"; everything else is a failure of the system.
        if (error == ENOENT || error == ENOTDIR) throw file_not_found_exception(mFile);
        if (error != 0) throw io_error();
    }

    ~PlatformFile() { os::CloseFile(mHandle); }

    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;

    // A read that meets the end throws eof_error and puts the position back.
    void Read(unsigned char* outBuffer, std::uint32_t inCount) {
        std::size_t got = 0;
        Check(os::ReadFromFile(mHandle, outBuffer, inCount, got));
        if (got == inCount) return;
        // A file that cannot seek (a pipe) cannot give the bytes back.
        std::uint64_t end = 0;
        if (got > 0 && os::GetFilePosition(mHandle, end) == 0) (void)os::SetFilePosition(mHandle, end - got);
        throw eof_error();
    }

    void Write(const unsigned char* inData, std::uint32_t inCount) {
        Check(os::WriteToFile(mHandle, inData, inCount));
    }

    void Position(std::uint64_t inPosition) { Check(os::SetFilePosition(mHandle, inPosition)); }

    std::uint64_t Position() const {
        std::uint64_t position = 0;
        Check(os::GetFilePosition(mHandle, position));
        return position;
    }

    std::uint64_t Length() const {
        std::uint64_t length = 0;
        Check(os::GetFileLength(mHandle, length));
        return length;
    }

private:
    static void Check(int inError) {
        if (inError != 0) throw io_error();
    }

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

}  // namespace filesupport
}  // namespace tarncore
