// The Shell Link binary format of ".lnk" files: the link it holds, parsed and encoded.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The Shell Link binary format of ".lnk" files: a 76-byte header with the shell-link
// class id and flags, an optional item-id list, the LinkInfo block (volume and local
// base path), the counted StringData strings and extra-data blocks. We read and write
// what a shortcut to a local path needs.
namespace tarncore {
namespace filesupport {
namespace shelllink {

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

struct Link {
    utility::UTF16String target;       // local base path followed by the common path suffix
    utility::UTF16String description;  // the NAME_STRING of StringData
    std::uint32_t attributes = 0;      // of the target when the link was made
    std::uint64_t created = 0;         // FILETIME values of the target
    std::uint64_t accessed = 0;
    std::uint64_t modified = 0;
    std::uint32_t fileSize = 0;  // low 32 bits of the target's size
};

// Parses untrusted bytes. False when they are not a shell link or name no local
// target path; every length and offset is checked against the buffer.
bool Read(const std::uint8_t* inData, std::size_t inSize, Link& outLink);

// False when the link cannot be encoded: an empty target, or a description longer
// than the 65535 units a counted string holds.
bool Write(const Link& inLink, std::string& outBytes);

}  // namespace shelllink
}  // namespace filesupport
}  // namespace tarncore
