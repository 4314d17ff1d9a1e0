// Comparing file names by the user's collation, and relative paths between files.
#include <tarncore/filesupport/Paths.h>

#include <tarncore/utility/PathRules.h>

#include "filesupport/src/FileNameCollation.h"
#include "platform/os/Collation.h"

namespace tarncore {
namespace filesupport {

using utility::UTF16String;

namespace {

const utility::PathRules& Rules() { return utility::PathRules::Native(); }

int Compare(const platform::os::NameCollator& inCollator, const UTF16String& inFirst,
            const UTF16String& inSecond) {
    return inCollator.Compare(inFirst.data(), inFirst.size(), inSecond.data(), inSecond.size());
}

}  // namespace

int CompareFileNamesInLocale(const UTF16String& inFirst, const UTF16String& inSecond,
                             const std::string& inLocaleName) {
    return Compare(platform::os::NameCollator(inLocaleName), inFirst, inSecond);
}

int CompareFileNames(const UTF16String& inFirst, const UTF16String& inSecond) {
    return Compare(platform::os::UserNameCollator(), inFirst, inSecond);
}

bool IsNormalizedRelativePath(const UTF16String& inPath) { return Rules().IsNormalizedRelativePath(inPath); }

File MakeFileFromPath(const UTF16String& inPath, const File& inBase) {
    const UTF16String path = Rules().ResolveRelativePath(inPath, inBase.FullPath());
    return path.empty() ? File() : File(path);
}

UTF16String MakeNormalizedRelativePath(const File& inTarget, const File& inBase) {
    return Rules().MakeRelativePath(inTarget.FullPath(), inBase.FullPath());
}

}  // namespace filesupport
}  // namespace tarncore
