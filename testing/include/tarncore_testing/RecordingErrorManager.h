// An error manager for tests that records every report, and the exception it can throw.
#pragma once

#include <tarncore/config/Errors.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarncore {
namespace testing {

struct RecordedReport {
    config::ErrorLevel level;
    std::string key;
    std::uint32_t component;
    std::int32_t code;
    bool deferrable;
    config::ReplacementValue values[4];
};

// Thrown by RecordingErrorManager in throwing mode; carries the rendered text.
class ReportedError : public std::runtime_error {
public:
    ReportedError(const RecordedReport& inReport, const std::string& inText)
        : std::runtime_error(inText), report(inReport) {}
    RecordedReport report;
};

// An error manager that records every report. It registers itself while it exists
// and puts the previous manager back when it goes.
class RecordingErrorManager : public config::ErrorManager {
public:
    enum Mode { kRecordOnly, kThrowAfterRecording };

    explicit RecordingErrorManager(Mode inMode = kRecordOnly);
    ~RecordingErrorManager() override;

    void ReportError(config::ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                     std::int32_t inErrorCode, bool inDeferrable, const config::ReplacementValue& inValue1,
                     const config::ReplacementValue& inValue2, const config::ReplacementValue& inValue3,
                     const config::ReplacementValue& inValue4) override;

    void SetMode(Mode inMode) { mMode = inMode; }
    const std::vector<RecordedReport>& Reports() const { return mReports; }
    void Clear() { mReports.clear(); }

    using config::ErrorManager::IsErrorReportingDeferred;

private:
    Mode mMode;
    std::vector<RecordedReport> mReports;
    config::ErrorManager* mPrevious;
};

}  // namespace testing
}  // namespace tarncore
