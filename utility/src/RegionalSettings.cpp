// The user's regional number conventions and the Native and Default locales built on them.
#include "RegionalSettings.h"

#include <tarncore/utility/Locale.h>
#include <tarncore/utility/TextStreamFacets.h>

#include <stdexcept>

namespace tarncore {
namespace utility {
namespace regional {

namespace {

UTF16Char FirstUnit(char32_t inCodePoint) {
    if (inCodePoint <= 0xFFFF) return static_cast<UTF16Char>(inCodePoint);
    return static_cast<UTF16Char>(0xD800 + ((inCodePoint - 0x10000) >> 10));
}

struct State {
    Settings settings;
    std::locale native;
};

std::locale MakeNative(const Settings& inSettings) {
    std::locale user = std::locale::classic();
    try {
        user = std::locale("");
    } catch (const std::runtime_error&) {
        // The environment names a locale this system cannot make: stay classic.
    }
    NumberPunctuation punctuation;
    punctuation.decimalPoint = inSettings.decimalSeparator;
    punctuation.thousandsSeparator = inSettings.thousandsSeparator;
    punctuation.grouping = inSettings.grouping;
    return WithTextStreamFacets(user, punctuation);
}

void Load(State& ioState, Query inQuery) {
    platform::os::NumericConventions conventions;
    const bool answered =
        (inQuery != nullptr ? inQuery : &platform::os::QueryUserNumericConventions)(conventions);
    ioState.settings = FromConventions(answered, conventions);
    ioState.native = MakeNative(ioState.settings);
}

State& GetState() {
    static State state = [] {
        State made;
        Load(made, nullptr);
        return made;
    }();
    return state;
}

}  // namespace

Settings FromConventions(bool inAnswered, const platform::os::NumericConventions& inConventions) {
    Settings settings;
    if (!inAnswered) return settings;
    if (inConventions.decimalPoint != 0) settings.decimalSeparator = FirstUnit(inConventions.decimalPoint);
    if (inConventions.thousandsSeparator != 0)
        settings.thousandsSeparator = FirstUnit(inConventions.thousandsSeparator);
    if (settings.thousandsSeparator == settings.decimalSeparator)
        settings.thousandsSeparator = settings.decimalSeparator == ',' ? '.' : ',';
    settings.grouping = inConventions.grouping;
    return settings;
}

const Settings& Get() { return GetState().settings; }
const std::locale& NativeLocale() { return GetState().native; }

void ReloadForTesting(Query inQuery) { Load(GetState(), inQuery); }

}  // namespace regional
}  // namespace utility

namespace Locale {

const std::locale& Native() { return utility::regional::NativeLocale(); }

const std::locale& Default() {
    static const std::locale classic = utility::WithTextStreamFacets(std::locale::classic());
    return classic;
}

}  // namespace Locale
}  // namespace tarncore
