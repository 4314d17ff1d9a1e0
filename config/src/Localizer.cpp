// The registration of the host's Localizer.
#include <tarncore/config/Localizer.h>

#include <stdexcept>

namespace tarncore {
namespace config {

Localizer* Localizer::S_localizerP = nullptr;

Localizer::~Localizer() = default;

void Localizer::Set(Localizer* inLocalizer) { S_localizerP = inLocalizer; }

Localizer* Localizer::Get() {
    if (S_localizerP == nullptr)
        throw std::logic_error(
            "tarncore::config::Localizer not initialized. Check tarncore/config/Localizer.");
    return S_localizerP;
}

bool Localizer::Initialized() { return S_localizerP != nullptr; }

}  // namespace config
}  // namespace tarncore
