// The name collator on ICU, and the user's collation locale from the environment.
#include "platform/os/Collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <cstdlib>
#include <limits>

namespace tarncore {
namespace platform {
namespace os {

std::string CollationLocaleName() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return "C";
}

struct NameCollator::Engine {
    std::unique_ptr<icu::Collator> collator;
};

namespace {

// ICU reads "C" and "POSIX" as en_US_POSIX, whose tailoring orders by case, so those
// use the root.
std::unique_ptr<icu::Collator> MakeCollator(const std::string& inLocaleName) {
    const std::string name = inLocaleName.substr(0, inLocaleName.find_first_of(".@"));
    const icu::Locale locale = name.empty() || name == "C" || name == "POSIX"
                                   ? icu::Locale::getRoot()
                                   : icu::Locale::createCanonical(name.c_str());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || collator == nullptr) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || collator == nullptr) return nullptr;
    }
    collator->setStrength(icu::Collator::SECONDARY);
    return collator;
}

}  // namespace

NameCollator::NameCollator(const std::string& inLocaleName) {
    std::unique_ptr<icu::Collator> collator = MakeCollator(inLocaleName);
    if (collator != nullptr) mEngine.reset(new Engine{std::move(collator)});
}

NameCollator::~NameCollator() = default;

int NameCollator::Compare(const std::uint16_t* inFirst, std::size_t inFirstLength,
                          const std::uint16_t* inSecond, std::size_t inSecondLength) const {
    constexpr std::size_t kLongest = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
    if (mEngine == nullptr || inFirstLength > kLongest || inSecondLength > kLongest) return -2;
    // ICU's units are char16_t, a type of its own: copy rather than alias.
    const std::u16string first(inFirst, inFirst + inFirstLength);
    const std::u16string second(inSecond, inSecond + inSecondLength);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        mEngine->collator->compare(first.data(), static_cast<int32_t>(first.size()), second.data(),
                                   static_cast<int32_t>(second.size()), status);
    if (U_FAILURE(status)) return -2;
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

const NameCollator& UserNameCollator() {
    static const NameCollator collator(CollationLocaleName());
    return collator;
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
