// RecordingErrorManager: records, and on request throws, every error report.
#include <tarncore_testing/RecordingErrorManager.h>

#include <tarncore/config/Messages.h>
#include <tarncore/utility/UnicodeStrings.h>

namespace tarncore {
namespace testing {

namespace {
config::ErrorManager* CurrentManager() {
    try {
        return config::ErrorManager::Get();
    } catch (const std::logic_error&) {
        return nullptr;
    }
}
}  // namespace

RecordingErrorManager::RecordingErrorManager(Mode inMode) : mMode(inMode), mPrevious(CurrentManager()) {
    config::ErrorManager::Set(this);
}

RecordingErrorManager::~RecordingErrorManager() { config::ErrorManager::Set(mPrevious); }

void RecordingErrorManager::ReportError(config::ErrorLevel inLevel, const char* inKey,
                                        std::uint32_t inComponent, std::int32_t inErrorCode,
                                        bool inDeferrable, const config::ReplacementValue& inValue1,
                                        const config::ReplacementValue& inValue2,
                                        const config::ReplacementValue& inValue3,
                                        const config::ReplacementValue& inValue4) {
    RecordedReport report{inLevel,      inKey != nullptr ? inKey : "",           inComponent, inErrorCode,
                          inDeferrable, {inValue1, inValue2, inValue3, inValue4}};
    mReports.push_back(report);
    if (mMode == kThrowAfterRecording) {
        const utility::UTF16String text = config::SubstituteReplacementValues(
            config::RenderMessage(inKey), inValue1, inValue2, inValue3, inValue4);
        const utility::UTF8String bytes = utility::UTF16to8(text);
        throw ReportedError(report, std::string(bytes.begin(), bytes.end()));
    }
}

}  // namespace testing
}  // namespace tarncore
