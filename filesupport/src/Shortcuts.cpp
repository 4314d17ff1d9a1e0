#include <tarncore/filesupport/Shortcuts.h>

#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "filesupport/src/ShellLink.h"
#include "platform/os/Files.h"

#include <cerrno>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using utility::UTF16String;

namespace {

// Shortcut files are small; anything larger is not one we read.
constexpr std::size_t kMaxShortcutBytes = 1 << 20;

std::int32_t ResultOfWriteError(int inError) {
    switch (inError) {
    case 0:
        return FileUtils::kResultOK;
    case ENOENT:
    case ENOTDIR:
        return FileUtils::kResultPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return FileUtils::kResultAccessDenied;
    case EROFS:
        return FileUtils::kResultWriteProtected;
    case ENOSPC:
    case EDQUOT:
        return FileUtils::kResultDiskFull;
    default:
        return FileUtils::kResultFail;
    }
}

}  // namespace

std::int32_t FileUtils::ResolveIT(UTF16String& ioPath, bool& outIsDirectory) {
    std::string native;
    if (!utility::ToNativePath(ioPath, native)) return kResultInvalidArgument;
    std::string bytes;
    switch (os::ReadFile(native, kMaxShortcutBytes, bytes)) {
    case 0:
        break;
    case ENOENT:
    case ENOTDIR:
        return kResultFileNotFound;
    case EACCES:
    case EPERM:
        return kResultAccessDenied;
    default:
        return kResultFail;
    }
    shelllink::Link link;
    if (!shelllink::Read(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), link))
        return kResultFail;

    // Only an existing absolute target resolves; a relative one would depend on the
    // working directory, and a path written on another system names nothing here.
    std::string target;
    os::FileInfo info;
    if (utility::PathRules::Native().IsNormalizedRelativePath(link.target) ||
        !utility::ToNativePath(link.target, target) || os::QueryFile(target, info) != 0)
        return kResultFileNotFound;
    ioPath = link.target;
    outIsDirectory = info.kind == os::EntryKind::kDirectory;
    return kResultOK;
}

std::int32_t FileUtils::CreateLink(const UTF16String& inTarget, const UTF16String& inShortcut,
                                   const UTF16String& inDescription) {
    shelllink::Link link;
    link.target = inTarget;
    link.description = inDescription;
    std::string target;
    os::FileInfo info;
    if (utility::ToNativePath(inTarget, target) && os::QueryFile(target, info) == 0) {
        link.attributes = info.kind == os::EntryKind::kDirectory ? shelllink::kAttributeDirectory
                                                                  : shelllink::kAttributeArchive;
        link.created = info.created;
        link.accessed = info.accessed;
        link.modified = info.modified;
        link.fileSize = static_cast<std::uint32_t>(info.size);
    }
    std::string bytes, shortcut;
    if (!shelllink::Write(link, bytes) || !utility::ToNativePath(inShortcut, shortcut))
        return kResultInvalidArgument;
    return ResultOfWriteError(os::ReplaceFileContents(shortcut, bytes.data(), bytes.size()));
}

bool ResolveIfAlias(const File& inFile, File& outFile, Dir& outDir, bool& outIsDirectory) {
    if (inFile.GetExtension(true) != utility::MakeUTF16(u".lnk") || !inFile.Exists()) return false;
    UTF16String path = inFile.FullPath();
    if (FileUtils::ResolveIT(path, outIsDirectory) != FileUtils::kResultOK) return false;
    if (outIsDirectory) {
        outDir = Dir(path);
    } else {
        outFile = File(path);
    }
    return true;
}

void ResolveIfAliasFileOnly(File& ioFile) {
    File target;
    Dir targetDir;
    bool isDirectory = false;
    if (ResolveIfAlias(ioFile, target, targetDir, isDirectory) && !isDirectory) ioFile = target;
}

void CreateShortCut(const File& inShortcut, const Dir& inTarget) {
    (void)FileUtils::CreateLink(inTarget.FullPath(), inShortcut.FullPath(), UTF16String());
}

void CreateShortCut(const File& inShortcut, const File& inTarget) {
    (void)FileUtils::CreateLink(inTarget.FullPath(), inShortcut.FullPath(), UTF16String());
}

}  // namespace filesupport
}  // namespace tarncore
