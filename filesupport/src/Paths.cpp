#include <tarncore/filesupport/Paths.h>

#include <tarncore/utility/PathRules.h>

#include "filesupport/src/FileNameCollation.h"
#include "platform/os/Collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <memory>

namespace tarncore {
namespace filesupport {

using utility::UTF16String;

namespace {

const utility::PathRules& Rules() { return utility::PathRules::Native(); }

// A collator at secondary strength: case, width and kana type are tertiary
// differences and drop out; accents are secondary and count. ICU reads "C" and
// "POSIX" as en_US_POSIX, whose tailoring orders by case, so those use the root.
std::unique_ptr<icu::Collator> MakeCollator(const std::string& inLocaleName) {
    std::string name = inLocaleName.substr(0, inLocaleName.find_first_of(".@"));
    icu::Locale locale = name.empty() || name == "C" || name == "POSIX"
                             ? icu::Locale::getRoot()
                             : icu::Locale::createCanonical(name.c_str());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || collator == nullptr) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) return nullptr;
    }
    collator->setStrength(icu::Collator::SECONDARY);
    return collator;
}

int Compare(const icu::Collator* inCollator, const UTF16String& inFirst, const UTF16String& inSecond) {
    if (inCollator == nullptr) return -2;
    const std::u16string first(inFirst.begin(), inFirst.end());
    const std::u16string second(inSecond.begin(), inSecond.end());
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        inCollator->compare(first.data(), static_cast<int32_t>(first.size()), second.data(),
                            static_cast<int32_t>(second.size()), status);
    if (U_FAILURE(status)) return -2;
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

}  // namespace

int CompareFileNamesInLocale(const UTF16String& inFirst, const UTF16String& inSecond,
                             const std::string& inLocaleName) {
    const std::unique_ptr<icu::Collator> collator = MakeCollator(inLocaleName);
    return Compare(collator.get(), inFirst, inSecond);
}

int CompareFileNames(const UTF16String& inFirst, const UTF16String& inSecond) {
    // Made once; comparing through a shared collator is safe from several threads.
    static const std::unique_ptr<icu::Collator> collator =
        MakeCollator(platform::os::CollationLocaleName());
    return Compare(collator.get(), inFirst, inSecond);
}

bool IsNormalizedRelativePath(const UTF16String& inPath) {
    return Rules().IsNormalizedRelativePath(inPath);
}

File MakeFileFromPath(const UTF16String& inPath, const File& inBase) {
    const UTF16String path = Rules().ResolveRelativePath(inPath, inBase.FullPath());
    return path.empty() ? File() : File(path);
}

UTF16String MakeNormalizedRelativePath(const File& inTarget, const File& inBase) {
    return Rules().MakeRelativePath(inTarget.FullPath(), inBase.FullPath());
}

}  // namespace filesupport
}  // namespace tarncore
