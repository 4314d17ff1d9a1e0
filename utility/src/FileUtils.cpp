#include <tarncore/utility/FileUtils.h>

#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "platform/os/Files.h"

#include <string>

namespace tarncore {
namespace utility {
namespace FileUtils {

namespace os = platform::os;

namespace {

const PathRules& Rules() { return PathRules::Native(); }

// The text-mode bytes: every LF becomes CR LF, as a text-mode writer puts them.
std::string TextModeBytes(const UTF8String& inText) {
    std::string bytes;
    bytes.reserve(inText.size() + inText.size() / 32 + 1);
    for (const UTF8Char byte : inText) {
        if (byte == '\n') bytes += '\r';
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

}  // namespace

bool FileExists(const UTF16String& inPath) {
    std::string native;
    os::FileInfo info;
    return ToNativePath(inPath, native) && os::QueryFile(native, info) == 0;
}

void CreateNewFile(const UTF16String& inPath) {
    std::string native;
    if (ToNativePath(inPath, native)) (void)os::CreateNewFile(native);
}

bool RemoveFile(const UTF16String& inPath) {
    std::string native;
    return ToNativePath(inPath, native) && os::DeleteFile(native) == 0;
}

bool GetParentPath(const UTF16String& inPath, UTF16String& outParent) {
    UTF16String parent =
        Rules().LastSeparator(inPath) == UTF16String::npos ? inPath : Rules().ParentPart(inPath);
    if (parent.empty()) return false;
    Rules().RemoveTrailingSeparator(parent);
    outParent = parent;
    return true;
}

void BuildPathSpec(const UTF16String& inDirectory, const UTF16String& inName, UTF16String& outPath) {
    outPath = Rules().AppendName(inDirectory, inName);
}

void ContainedFiles(const UTF16String& inDirectory, std::vector<UTF16String>& ioFiles) {
    std::string native;
    if (!ToNativePath(inDirectory, native)) return;
    std::vector<os::DirEntry> entries;
    (void)os::ListDirectory(native, entries);
    for (const os::DirEntry& entry : entries) {
        if (entry.hidden || entry.system || entry.kind != os::EntryKind::kFile) continue;
        UTF16String name;
        if (!FromNativePath(entry.name, name)) continue;
        ioFiles.push_back(Rules().AppendName(inDirectory, name));
    }
}

UTF16String UniqueFileName(const UTF16String& inDirectory, const UTF16String& inBaseName,
                           const UTF16String& inExtension) {
    for (unsigned long long n = 1;; ++n) {
        const std::string digits = std::to_string(n);
        const UTF16String candidate = Rules().AppendName(
            inDirectory, inBaseName + UTF16String(digits.begin(), digits.end()) + inExtension);
        if (!FileExists(candidate)) return candidate;
    }
}

void SimpleWriteStringToFile(const UTF16String& inPath, const UTF8String& inText) {
    std::string native;
    if (!ToNativePath(inPath, native)) return;
    const std::string bytes = TextModeBytes(inText);
    (void)os::ReplaceFileContents(native, bytes.data(), bytes.size());
}

void SimpleAppendStringToFile(const UTF16String& inPath, const UTF8String& inText) {
    std::string native;
    if (!ToNativePath(inPath, native)) return;
    const std::string bytes = TextModeBytes(inText);
    (void)os::AppendToFile(native, bytes.data(), bytes.size());
}

}  // namespace FileUtils
}  // namespace utility
}  // namespace tarncore
