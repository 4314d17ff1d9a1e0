// Error reporting: the host's ErrorManager, deferred reporters and ThrowError.
#pragma once

#include <tarncore/config/ReplacementValue.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/RefCountedObject.h>

#include <boost/function.hpp>
#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace tarncore {
namespace config {

enum ErrorLevel : std::int32_t { kErrorLevelFatal = 0, kErrorLevelNonFatal = 1 };

class DeferredErrorReporter;

/// The host's handler of error reports. The host derives from it, registers its
/// instance with Set at start-up and unregisters it after the last library call.
class TARNCORE_API ErrorManager {
public:
    ErrorManager();
    ErrorManager(const ErrorManager&) = delete;
    ErrorManager& operator=(const ErrorManager&) = delete;
    virtual ~ErrorManager();

    /// Hook for giving memory back; the base releases nothing.
    virtual bool PurgeMemory(unsigned int inBytesNeeded);
    virtual void IncrementLazilyDisplayErrors();
    virtual void DecrementLazilyDisplayErrors();
    /// Runs the function and returns its result; returns 1 when it throws anything
    /// (an empty function counts as throwing).
    virtual std::int32_t ExecuteFunctionWithTopLevelExceptionHandler(
        boost::function0<std::int32_t> inFunction);
    virtual boost::intrusive_ptr<DeferredErrorReporter> NewDeferredErrorReporter(
        bool inReportErrorWhenFinished);
    /// Shows, logs or throws. Callers rely on it not returning for reports that are
    /// not deferred.
    virtual void ReportError(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                             std::int32_t inErrorCode, bool inDeferrable, const ReplacementValue& inValue1,
                             const ReplacementValue& inValue2, const ReplacementValue& inValue3,
                             const ReplacementValue& inValue4) = 0;

    /// Records the report in the oldest deferred reporter (when deferrable), then
    /// calls ReportError.
    void ThrowErrorDispatch(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                            std::int32_t inErrorCode, bool inDeferrable, const ReplacementValue& inValue1,
                            const ReplacementValue& inValue2, const ReplacementValue& inValue3,
                            const ReplacementValue& inValue4) const;

    /// True while at least one deferred reporter is registered.
    bool IsErrorReportingDeferred() const;

    static void Set(ErrorManager* inManager);
    /// Throws std::logic_error when none is registered.
    static ErrorManager* Get();

protected:
    void AddDeferredErrorReporter(DeferredErrorReporter* inReporter);
    void RemoveDeferredErrorReporter(DeferredErrorReporter* inReporter);

private:
    friend class DeferredErrorReporter;

    std::vector<DeferredErrorReporter*> mDeferredReporters;  // oldest first, not owned

    static ErrorManager* S_managerP;
};

/// Collects the last error raised while it exists and reports it once when it is
/// destroyed. It registers with the current manager on construction.
class TARNCORE_API DeferredErrorReporter : public utility::RefCountedObject {
public:
    explicit DeferredErrorReporter(bool inReportErrorWhenFinished = true);
    /// The copy holds the same record but is not registered and never reports.
    DeferredErrorReporter(const DeferredErrorReporter& inOther);
    DeferredErrorReporter& operator=(const DeferredErrorReporter&) = delete;
    /// Reports the last recorded error if asked to and one was recorded; an exception
    /// from ReportError passes on to the caller. A reporter whose manager is no longer
    /// the registered one neither reports nor touches a manager.
    ~DeferredErrorReporter() noexcept(false) override;

    bool GetReportErrorWhenFinished() const { return mReportErrorWhenFinished; }
    void SetReportErrorWhenFinished(bool inReport) { mReportErrorWhenFinished = inReport; }

    /// The last recorded error; level -1, component 110 and count 0 when none.
    /// @{
    std::int32_t GetErrorLevel() const { return mLevel; }
    const std::string& GetErrorKey() const { return mKey; }
    std::uint32_t GetComponent() const { return mComponent; }
    std::int32_t GetErrorCode() const { return mErrorCode; }
    const ReplacementValue& GetValue(int inIndex) const { return mValues[inIndex]; }
    std::uint32_t GetErrorCount() const { return mErrorCount; }
    /// @}

private:
    friend class ErrorManager;

    void SetLastError(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                      std::int32_t inErrorCode, const ReplacementValue& inValue1,
                      const ReplacementValue& inValue2, const ReplacementValue& inValue3,
                      const ReplacementValue& inValue4);

    bool mReportErrorWhenFinished;
    std::int32_t mLevel = -1;
    std::string mKey;
    std::uint32_t mComponent = 110;
    std::int32_t mErrorCode = 0;
    ReplacementValue mValues[4];
    std::uint32_t mErrorCount = 0;
    ErrorManager* mManager = nullptr;  // the manager this reporter registered with
};

/// Hands a report to the registered manager (std::logic_error without one).
TARNCORE_API void ThrowError(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                             std::int32_t inErrorCode, bool inDeferrable,
                             const ReplacementValue& inValue1 = ReplacementValue(),
                             const ReplacementValue& inValue2 = ReplacementValue(),
                             const ReplacementValue& inValue3 = ReplacementValue(),
                             const ReplacementValue& inValue4 = ReplacementValue());

/// Raises the fatal (component 100, code 21) or non-fatal (code 20) test report.
TARNCORE_API void TestThrowError(bool inFatal);

}  // namespace config
}  // namespace tarncore
