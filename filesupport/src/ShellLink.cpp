// Reading and writing the Shell Link binary format of shortcut files.
#include "filesupport/src/ShellLink.h"

#include <tarncore/utility/UnicodeStrings.h>

#include <cstring>

namespace tarncore {
namespace filesupport {
namespace shelllink {

namespace {

using utility::UTF16Char;
using utility::UTF16String;

constexpr std::uint32_t kHeaderSize = 0x4C;
// 00021401-0000-0000-C000-000000000046 in its stored byte order.
constexpr std::uint8_t kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlags : std::uint32_t {
    kHasLinkTargetIDList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
    kForceNoLinkInfo = 0x100,
};

constexpr std::uint32_t kVolumeIDAndLocalBasePath = 0x1;
constexpr std::uint32_t kLinkInfoHeaderWithUnicode = 0x24;
constexpr std::uint32_t kMinimalLinkInfoHeader = 0x1C;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kShowNormal = 1;

// Windows-1252 at 0x80..0x9F; the rest of the code page is Latin-1.
constexpr UTF16Char kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A bounds-checked little-endian view of a byte range.
class Bytes {
public:
    Bytes(const std::uint8_t* inData, std::size_t inSize) : mData(inData), mSize(inSize) {}

    std::size_t Size() const { return mSize; }
    bool Has(std::size_t inAt, std::size_t inCount) const { return inAt <= mSize && inCount <= mSize - inAt; }
    bool U16(std::size_t inAt, std::uint16_t& outValue) const {
        if (!Has(inAt, 2)) return false;
        outValue = static_cast<std::uint16_t>(mData[inAt] | (mData[inAt + 1] << 8));
        return true;
    }
    bool U32(std::size_t inAt, std::uint32_t& outValue) const {
        if (!Has(inAt, 4)) return false;
        outValue = 0;
        for (int i = 3; i >= 0; --i) outValue = (outValue << 8) | mData[inAt + i];
        return true;
    }
    bool U64(std::size_t inAt, std::uint64_t& outValue) const {
        std::uint32_t low = 0, high = 0;
        if (!U32(inAt, low) || !U32(inAt + 4, high)) return false;
        outValue = (static_cast<std::uint64_t>(high) << 32) | low;
        return true;
    }
    const std::uint8_t* At(std::size_t inAt) const { return mData + inAt; }

    // A NUL-terminated string of the code page at inAt; the NUL must lie inside.
    bool AnsiZ(std::size_t inAt, UTF16String& outText) const {
        if (inAt >= mSize) return false;
        const void* end = std::memchr(mData + inAt, 0, mSize - inAt);
        if (end == nullptr) return false;
        outText = DecodeAnsi(mData + inAt, static_cast<const std::uint8_t*>(end) - (mData + inAt));
        return true;
    }
    // A NUL-terminated UTF-16LE string at inAt; the NUL unit must lie inside.
    bool UnicodeZ(std::size_t inAt, UTF16String& outText) const {
        UTF16String text;
        for (std::size_t at = inAt;; at += 2) {
            std::uint16_t unit = 0;
            if (!U16(at, unit)) return false;
            if (unit == 0) break;
            text.push_back(unit);
        }
        outText.swap(text);
        return true;
    }

    // Narrow strings are the system code page of the machine that wrote them: UTF-8
    // when they decode as such, else Windows-1252.
    static UTF16String DecodeAnsi(const std::uint8_t* inText, std::size_t inLength) {
        const utility::UTF8String bytes(inText, inLength);
        UTF16String decoded = utility::UTF8to16(bytes);
        if (utility::UTF16to8(decoded) == bytes) return decoded;
        decoded.clear();
        for (std::size_t i = 0; i < inLength; ++i) {
            const std::uint8_t byte = inText[i];
            decoded.push_back(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
        }
        return decoded;
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
};

bool ReadLinkInfo(const Bytes& inInfo, bool inUseIt, UTF16String& outTarget) {
    std::uint32_t headerSize = 0, flags = 0, baseOffset = 0, suffixOffset = 0;
    if (!inInfo.U32(4, headerSize) || headerSize < kMinimalLinkInfoHeader || headerSize > inInfo.Size())
        return false;
    if (!inInfo.U32(8, flags) || !inInfo.U32(16, baseOffset) || !inInfo.U32(24, suffixOffset)) return false;
    std::uint32_t baseUnicode = 0, suffixUnicode = 0;
    if (headerSize >= kLinkInfoHeaderWithUnicode &&
        (!inInfo.U32(28, baseUnicode) || !inInfo.U32(32, suffixUnicode)))
        return false;
    if (!inUseIt || (flags & kVolumeIDAndLocalBasePath) == 0) return true;

    UTF16String base, suffix;
    const bool baseRead =
        baseUnicode != 0 ? inInfo.UnicodeZ(baseUnicode, base) : inInfo.AnsiZ(baseOffset, base);
    if (!baseRead) return false;
    if (suffixUnicode != 0) {
        if (!inInfo.UnicodeZ(suffixUnicode, suffix)) return false;
    } else if (suffixOffset != 0) {
        if (!inInfo.AnsiZ(suffixOffset, suffix)) return false;
    }
    outTarget = base + suffix;
    return true;
}

void Put16(std::string& ioOut, std::uint16_t inValue) {
    ioOut += static_cast<char>(inValue & 0xFF);
    ioOut += static_cast<char>(inValue >> 8);
}
void Put32(std::string& ioOut, std::uint32_t inValue) {
    for (int i = 0; i < 4; ++i) ioOut += static_cast<char>((inValue >> (8 * i)) & 0xFF);
}
void Put64(std::string& ioOut, std::uint64_t inValue) {
    Put32(ioOut, static_cast<std::uint32_t>(inValue));
    Put32(ioOut, static_cast<std::uint32_t>(inValue >> 32));
}
void PutUnits(std::string& ioOut, const UTF16String& inText) {
    for (const UTF16Char unit : inText) Put16(ioOut, unit);
}

}  // namespace

bool Read(const std::uint8_t* inData, std::size_t inSize, Link& outLink) {
    const Bytes bytes(inData, inSize);
    std::uint32_t headerSize = 0, flags = 0;
    if (!bytes.U32(0, headerSize) || headerSize != kHeaderSize || !bytes.Has(0, kHeaderSize)) return false;
    if (std::memcmp(bytes.At(4), kLinkClassId, sizeof kLinkClassId) != 0) return false;
    Link link;
    if (!bytes.U32(20, flags) || !bytes.U32(24, link.attributes) || !bytes.U64(28, link.created) ||
        !bytes.U64(36, link.accessed) || !bytes.U64(44, link.modified) || !bytes.U32(52, link.fileSize))
        return false;

    std::size_t at = kHeaderSize;
    if ((flags & kHasLinkTargetIDList) != 0) {
        std::uint16_t listSize = 0;
        if (!bytes.U16(at, listSize) || !bytes.Has(at + 2, listSize)) return false;
        at += 2 + static_cast<std::size_t>(listSize);
    }
    if ((flags & kHasLinkInfo) != 0) {
        std::uint32_t infoSize = 0;
        if (!bytes.U32(at, infoSize) || infoSize < kMinimalLinkInfoHeader || !bytes.Has(at, infoSize))
            return false;
        if (!ReadLinkInfo(Bytes(bytes.At(at), infoSize), (flags & kForceNoLinkInfo) == 0, link.target))
            return false;
        at += infoSize;
    }
    const std::size_t unitSize = (flags & kIsUnicode) != 0 ? 2 : 1;
    for (const std::uint32_t present :
         {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
        if ((flags & present) == 0) continue;
        std::uint16_t count = 0;
        if (!bytes.U16(at, count) || !bytes.Has(at + 2, count * unitSize)) return false;
        if (present == kHasName) {
            link.description.clear();
            if (unitSize == 2) {
                for (std::size_t i = 0; i < count; ++i) {
                    std::uint16_t unit = 0;
                    bytes.U16(at + 2 + 2 * i, unit);
                    link.description.push_back(unit);
                }
            } else {
                link.description = Bytes::DecodeAnsi(bytes.At(at + 2), count);
            }
        }
        at += 2 + count * unitSize;
    }
    if (link.target.empty()) return false;
    outLink = std::move(link);
    return true;
}

bool Write(const Link& inLink, std::string& outBytes) {
    if (inLink.target.empty() || inLink.description.size() > 0xFFFF) return false;
    if (inLink.target.find(UTF16Char(0)) != UTF16String::npos) return false;

    std::string out;
    std::uint32_t flags = kHasLinkInfo | kIsUnicode;
    if (!inLink.description.empty()) flags |= kHasName;
    Put32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClassId), sizeof kLinkClassId);
    Put32(out, flags);
    Put32(out, inLink.attributes);
    Put64(out, inLink.created);
    Put64(out, inLink.accessed);
    Put64(out, inLink.modified);
    Put32(out, inLink.fileSize);
    Put32(out, 0);            // icon index
    Put32(out, kShowNormal);  // show command
    Put16(out, 0);            // hot key
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 0);

    // LinkInfo: header with the Unicode offsets, a volume id without label, the narrow
    // local base path, an empty common path suffix, then both again in UTF-16.
    const utility::UTF8String narrow = utility::UTF16to8(inLink.target);
    const std::uint32_t volumeSize = 0x11;
    const std::uint32_t volumeOffset = kLinkInfoHeaderWithUnicode;
    const std::uint32_t baseOffset = volumeOffset + volumeSize;
    const std::uint32_t suffixOffset = baseOffset + static_cast<std::uint32_t>(narrow.size()) + 1;
    const std::uint32_t baseUnicodeOffset = suffixOffset + 1;
    const std::uint32_t suffixUnicodeOffset =
        baseUnicodeOffset + 2 * static_cast<std::uint32_t>(inLink.target.size()) + 2;
    const std::uint32_t infoSize = suffixUnicodeOffset + 2;
    Put32(out, infoSize);
    Put32(out, kLinkInfoHeaderWithUnicode);
    Put32(out, kVolumeIDAndLocalBasePath);
    Put32(out, volumeOffset);
    Put32(out, baseOffset);
    Put32(out, 0);  // no network location
    Put32(out, suffixOffset);
    Put32(out, baseUnicodeOffset);
    Put32(out, suffixUnicodeOffset);
    Put32(out, volumeSize);
    Put32(out, kDriveFixed);
    Put32(out, 0);     // serial number
    Put32(out, 0x10);  // label offset: the empty label that follows
    out += '\0';
    out.append(narrow.begin(), narrow.end());
    out += '\0';
    out += '\0';  // common path suffix
    PutUnits(out, inLink.target);
    Put16(out, 0);
    Put16(out, 0);

    if (!inLink.description.empty()) {
        Put16(out, static_cast<std::uint16_t>(inLink.description.size()));
        PutUnits(out, inLink.description);
    }
    Put32(out, 0);  // terminal block of the extra data
    outBytes.swap(out);
    return true;
}

}  // namespace shelllink
}  // namespace filesupport
}  // namespace tarncore
