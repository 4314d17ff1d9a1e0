// Shortcut files: resolving them to their targets and writing new ones.
#include <tarncore/filesupport/Shortcuts.h>

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "filesupport/src/FileErrors.h"
#include "filesupport/src/ShellLink.h"
#include "platform/os/FileErrors.h"
#include "platform/os/Files.h"

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using utility::UTF16String;

namespace {

// Shortcut files are small; anything larger is not one we read.
constexpr std::size_t kMaxShortcutBytes = 1 << 20;

}  // namespace

std::int32_t ShortcutFiles::ResolveIT(UTF16String& ioPath, bool& outIsDirectory) {
    std::string native;
    if (!utility::ToNativePath(ioPath, native)) return kResultInvalidArgument;
    std::string bytes;
    const std::int32_t read =
        ShortcutReadResult(os::ClassifyFileError(os::ReadFile(native, kMaxShortcutBytes, bytes)));
    if (read != kResultOK) return read;
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

std::int32_t ShortcutFiles::CreateLink(const UTF16String& inTarget, const UTF16String& inShortcut,
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
    // A shortcut path with no native form (it holds a NUL) is a bad argument, not a
    // failed write.
    std::string bytes, native;
    if (!shelllink::Write(link, bytes) || !utility::ToNativePath(inShortcut, native))
        return kResultInvalidArgument;
    try {
        ReplaceFileContents(File(inShortcut), bytes.data(), bytes.size());
    } catch (const file_not_found_exception&) {  // the folder is missing
        return ShortcutWriteResult(os::FileFailure::kNotFound);
    } catch (const file_io_error& e) {
        return ShortcutWriteResult(e.Failure());
    } catch (const io_error&) {
        return kResultFail;
    }
    return kResultOK;
}

bool ResolveIfAlias(const File& inFile, File& outFile, Dir& outDir, bool& outIsDirectory) {
    if (inFile.GetExtension(true) != utility::MakeUTF16(u".lnk") || !inFile.Exists()) return false;
    UTF16String path = inFile.FullPath();
    if (ShortcutFiles::ResolveIT(path, outIsDirectory) != ShortcutFiles::kResultOK) return false;
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
    (void)ShortcutFiles::CreateLink(inTarget.FullPath(), inShortcut.FullPath(), UTF16String());
}

void CreateShortCut(const File& inShortcut, const File& inTarget) {
    (void)ShortcutFiles::CreateLink(inTarget.FullPath(), inShortcut.FullPath(), UTF16String());
}

}  // namespace filesupport
}  // namespace tarncore
