// The one-step file replacement behind saving property lists.
#include "proplist/src/ReplacingFileStream.h"

#include "platform/os/Files.h"

#include <algorithm>

namespace tarncore {
namespace proplist {

ReplacingFileStream::ReplacingFileStream(const filesupport::File& inFile) : mFile(inFile) {}

ReplacingFileStream::~ReplacingFileStream() = default;

void ReplacingFileStream::Put(unsigned char inByte) { WriteBlock(&inByte, 1); }

void ReplacingFileStream::WriteBlock(const unsigned char* inData, std::uint32_t inCount) {
    const std::size_t position = static_cast<std::size_t>(mPosition);
    if (mBytes.size() < position + inCount) mBytes.resize(position + inCount);
    std::copy(inData, inData + inCount, mBytes.begin() + static_cast<std::ptrdiff_t>(position));
    mPosition += inCount;
}

void ReplacingFileStream::CurPos(std::uint64_t inPosition) { mPosition = inPosition; }

std::uint64_t ReplacingFileStream::CurPos() const { return mPosition; }

void ReplacingFileStream::Commit() {
    std::string native;
    if (!platform::os::ToNativePath(mFile.FullPath(), native) ||
        platform::os::ReplaceFileContents(native, mBytes.data(), mBytes.size()) != 0)
        throw filesupport::io_error();
}

}  // namespace proplist
}  // namespace tarncore
