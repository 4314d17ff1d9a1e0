// Localizer, the host's translator of message keys.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

namespace tarncore {
namespace config {

/// The host's translator of message keys ("$$$/path=Default text"). The library keeps
/// a plain pointer to the registered instance and never deletes it.
class TARNCORE_API Localizer {
public:
    Localizer() = default;
    Localizer(const Localizer&) = delete;
    Localizer& operator=(const Localizer&) = delete;
    virtual ~Localizer();

    /// Returns the display text of the key, with the placeholders of its default text.
    virtual utility::UTF16String LocalizeString(const char* inKey) = 0;

    /// Null unregisters.
    static void Set(Localizer* inLocalizer);
    /// Throws std::logic_error when none is registered.
    static Localizer* Get();
    static bool Initialized();

private:
    static Localizer* S_localizerP;
};

}  // namespace config
}  // namespace tarncore
