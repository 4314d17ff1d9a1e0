// The path string rules of the Windows and POSIX flavours.
#include <tarncore/utility/PathRules.h>

#include "platform/os/CharacterProperties.h"

#include <vector>

namespace tarncore {
namespace utility {

namespace {

constexpr UTF16Char kBackslash = '\\';
constexpr UTF16Char kSlash = '/';
constexpr UTF16Char kDot = '.';
constexpr UTF16Char kColon = ':';

constexpr PathRules kWindowsRules(PathFlavour::kWindows);
constexpr PathRules kPosixRules(PathFlavour::kPosix);

bool StartsWith(const UTF16String& inText, const char* inPrefix) {
    std::size_t i = 0;
    for (; inPrefix[i] != '\0'; ++i) {
        if (i >= inText.size() || inText[i] != static_cast<UTF16Char>(inPrefix[i])) return false;
    }
    return true;
}

bool EndsWith(const UTF16String& inText, UTF16Char inUnit) {
    return !inText.empty() && inText.back() == inUnit;
}

// Index of the dot that starts the extension, or npos.
std::size_t ExtensionDot(const UTF16String& inPath, std::size_t inSeparator) {
    const std::size_t dot = inPath.rfind(kDot);
    if (dot == UTF16String::npos) return dot;
    if (inSeparator != UTF16String::npos && dot < inSeparator) return UTF16String::npos;
    return dot;
}

UTF16Char LowerCaseUnit(UTF16Char inUnit) {
    // Surrogate halves are left alone: they have no case of their own.
    if (inUnit >= 0xD800 && inUnit <= 0xDFFF) return inUnit;
    const char32_t lower = platform::os::SimpleLowerCase(inUnit);
    return lower <= 0xFFFF ? static_cast<UTF16Char>(lower) : inUnit;
}

}  // namespace

const PathRules& PathRules::Windows() { return kWindowsRules; }
const PathRules& PathRules::Posix() { return kPosixRules; }
const PathRules& PathRules::Native() {
#if defined(_WIN32)
    return kWindowsRules;
#else
    return kPosixRules;
#endif
}

UTF16Char PathRules::Separator() const { return mFlavour == PathFlavour::kWindows ? kBackslash : kSlash; }

bool PathRules::IsSeparator(UTF16Char inUnit) const {
    return inUnit == kSlash || (mFlavour == PathFlavour::kWindows && inUnit == kBackslash);
}

std::size_t PathRules::LastSeparator(const UTF16String& inPath) const {
    for (std::size_t i = inPath.size(); i > 0; --i) {
        if (IsSeparator(inPath[i - 1])) return i - 1;
    }
    return UTF16String::npos;
}

UTF16String PathRules::NormalizeFilePath(const UTF16String& inPath) const {
    if (mFlavour == PathFlavour::kPosix) return inPath;
    UTF16String path = inPath;
    for (UTF16Char& unit : path) {
        if (unit == kSlash) unit = kBackslash;
    }
    // Only a prefix at the very start counts.
    if (StartsWith(path, "\\\\?\\UNC\\")) {
        path.erase(2, 6);
    } else if (StartsWith(path, "\\\\?\\")) {
        path.erase(0, 4);
    }
    return path;
}

UTF16String PathRules::NormalizeDirPath(const UTF16String& inPath) const {
    UTF16String path = inPath;
    RemoveTrailingSeparator(path);
    return NormalizeFilePath(path);
}

UTF16String PathRules::LongPathForm(const UTF16String& inPath) const {
    if (mFlavour == PathFlavour::kPosix) return inPath;
    const bool unc = inPath.size() >= 3 && inPath[0] == kBackslash && inPath[1] == kBackslash &&
                     inPath.find(kBackslash, 2) != UTF16String::npos;
    if (unc) return MakeUTF16(u"\\\\?\\UNC\\") + inPath.substr(2);
    return MakeUTF16(u"\\\\?\\") + inPath;
}

UTF16String PathRules::DirectoryQueryPath(const UTF16String& inDirPath) const {
    if (mFlavour == PathFlavour::kWindows && inDirPath.size() == 2 && inDirPath[1] == kColon)
        return inDirPath + kBackslash;
    return inDirPath;
}

void PathRules::RemoveTrailingSeparator(UTF16String& ioPath) const {
    if (mFlavour == PathFlavour::kWindows) {
        if (EndsWith(ioPath, kBackslash)) ioPath.pop_back();
    } else if (ioPath.size() > 1 && EndsWith(ioPath, kSlash)) {
        ioPath.pop_back();
    }
}

UTF16String PathRules::ParentPart(const UTF16String& inPath) const {
    const std::size_t separator = LastSeparator(inPath);
    if (separator == UTF16String::npos) return UTF16String();
    // The POSIX root is the parent of "/a", and has none itself.
    if (mFlavour == PathFlavour::kPosix && separator == 0)
        return inPath.size() > 1 ? UTF16String(1, kSlash) : UTF16String();
    return inPath.substr(0, separator);
}

UTF16String PathRules::ParentDirPath(const UTF16String& inPath) const {
    UTF16String parent = ParentPart(inPath);
    RemoveTrailingSeparator(parent);
    return NormalizeDirPath(parent);
}

UTF16String PathRules::Name(const UTF16String& inPath) const {
    const std::size_t separator = LastSeparator(inPath);
    return separator == UTF16String::npos ? inPath : inPath.substr(separator + 1);
}

UTF16String PathRules::Title(const UTF16String& inPath) const {
    const std::size_t separator = LastSeparator(inPath);
    const std::size_t start = separator == UTF16String::npos ? 0 : separator + 1;
    const std::size_t dot = ExtensionDot(inPath, separator);
    return inPath.substr(start, dot == UTF16String::npos ? UTF16String::npos : dot - start);
}

UTF16String PathRules::Extension(const UTF16String& inPath, bool inLowerCase) const {
    const std::size_t dot = ExtensionDot(inPath, LastSeparator(inPath));
    if (dot == UTF16String::npos) return UTF16String();
    UTF16String extension = inPath.substr(dot);
    if (inLowerCase) {
        for (UTF16Char& unit : extension) unit = LowerCaseUnit(unit);
    }
    return extension;
}

bool PathRules::IsTopLevel(const UTF16String& inPath) const { return ParentPart(inPath).empty(); }

UTF16String PathRules::JoinDir(const UTF16String& inDir, const UTF16String& inName) const {
    if (mFlavour == PathFlavour::kPosix && inDir.empty()) return NormalizeDirPath(inName);
    // An empty Windows directory is read as one that does not end in "\".
    UTF16String path = inDir;
    if (!EndsWith(path, Separator())) path += Separator();
    path += inName;
    return NormalizeDirPath(path);
}

UTF16String PathRules::JoinFile(const UTF16String& inDir, const UTF16String& inName) const {
    if (mFlavour == PathFlavour::kWindows) {
        UTF16String path = inDir;
        path += kBackslash;
        path += inName;
        return NormalizeFilePath(path);
    }
    return AppendName(inDir, inName);
}

UTF16String PathRules::AppendName(const UTF16String& inDir, const UTF16String& inName) const {
    UTF16String path = inDir;
    if (!path.empty() && !EndsWith(path, Separator())) path += Separator();
    path += inName;
    return path;
}

bool PathRules::IsNormalizedRelativePath(const UTF16String& inPath) const {
    if (inPath.empty() || inPath[0] == kSlash) return false;
    if (mFlavour == PathFlavour::kWindows) {
        if (inPath[0] == kBackslash) return false;
        if (inPath.size() >= 2 && inPath[1] == kColon) return false;
    }
    return true;
}

UTF16String PathRules::ResolveRelativePath(const UTF16String& inPath, const UTF16String& inBaseFile) const {
    if (!IsNormalizedRelativePath(inPath)) return NormalizeFilePath(inPath);
    UTF16String dir = ParentDirPath(inBaseFile);
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = inPath.find(kSlash, start);
        if (slash == UTF16String::npos) {
            if (start == inPath.size()) return UTF16String();  // ends in "/"
            return JoinFile(dir, inPath.substr(start));
        }
        const UTF16String component = inPath.substr(start, slash - start);
        if (component == MakeUTF16(u"..")) {
            if (!IsTopLevel(dir)) dir = ParentDirPath(dir);
        } else if (component != MakeUTF16(u".")) {
            dir = JoinDir(dir, component);
        }
        start = slash + 1;
    }
}

UTF16String PathRules::MakeRelativePath(const UTF16String& inTarget, const UTF16String& inBaseFile) const {
    const UTF16String targetParent = ParentDirPath(inTarget);
    UTF16String dir = ParentDirPath(inBaseFile);
    if (targetParent == dir) return Name(inTarget);

    // The target's ancestors from its top-level directory down to its parent. Every
    // step shortens the path, so the chain ends.
    std::vector<UTF16String> chain;
    for (UTF16String ancestor = targetParent;;) {
        chain.insert(chain.begin(), ancestor);
        if (IsTopLevel(ancestor)) break;
        ancestor = ParentDirPath(ancestor);
    }

    UTF16String result;
    for (;;) {
        std::size_t found = 0;
        while (found < chain.size() && chain[found] != dir) ++found;
        if (found < chain.size()) {
            for (std::size_t i = found + 1; i < chain.size(); ++i) {
                result += Name(chain[i]);
                result += kSlash;
            }
            return result + Name(inTarget);
        }
        result += MakeUTF16(u"../");
        if (IsTopLevel(dir)) return UTF16String();
        dir = ParentDirPath(dir);
    }
}

}  // namespace utility
}  // namespace tarncore
