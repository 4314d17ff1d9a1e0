// ErrorManager, DeferredErrorReporter and ThrowError.
#include <tarncore/config/Errors.h>

#include <algorithm>
#include <stdexcept>

namespace tarncore {
namespace config {

ErrorManager* ErrorManager::S_managerP = nullptr;

ErrorManager::ErrorManager() = default;
ErrorManager::~ErrorManager() = default;

bool ErrorManager::PurgeMemory(unsigned int) { return false; }
void ErrorManager::IncrementLazilyDisplayErrors() {}
void ErrorManager::DecrementLazilyDisplayErrors() {}

std::int32_t ErrorManager::ExecuteFunctionWithTopLevelExceptionHandler(
    boost::function0<std::int32_t> inFunction) {
    try {
        return inFunction();
    } catch (...) {
        return 1;
    }
}

boost::intrusive_ptr<DeferredErrorReporter> ErrorManager::NewDeferredErrorReporter(
    bool inReportErrorWhenFinished) {
    return boost::intrusive_ptr<DeferredErrorReporter>(new DeferredErrorReporter(inReportErrorWhenFinished));
}

void ErrorManager::ThrowErrorDispatch(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                                      std::int32_t inErrorCode, bool inDeferrable,
                                      const ReplacementValue& inValue1, const ReplacementValue& inValue2,
                                      const ReplacementValue& inValue3,
                                      const ReplacementValue& inValue4) const {
    if (inDeferrable && !mDeferredReporters.empty())
        mDeferredReporters.front()->SetLastError(inLevel, inKey, inComponent, inErrorCode, inValue1, inValue2,
                                                 inValue3, inValue4);
    const_cast<ErrorManager*>(this)->ReportError(inLevel, inKey, inComponent, inErrorCode, inDeferrable,
                                                 inValue1, inValue2, inValue3, inValue4);
}

bool ErrorManager::IsErrorReportingDeferred() const { return !mDeferredReporters.empty(); }

void ErrorManager::Set(ErrorManager* inManager) { S_managerP = inManager; }

ErrorManager* ErrorManager::Get() {
    if (S_managerP == nullptr)
        throw std::logic_error("tarn::config::ErrorManager not initialized. Check tarn/config/Errors.");
    return S_managerP;
}

void ErrorManager::AddDeferredErrorReporter(DeferredErrorReporter* inReporter) {
    if (inReporter != nullptr) mDeferredReporters.push_back(inReporter);
}

void ErrorManager::RemoveDeferredErrorReporter(DeferredErrorReporter* inReporter) {
    auto found = std::find(mDeferredReporters.begin(), mDeferredReporters.end(), inReporter);
    if (found != mDeferredReporters.end()) mDeferredReporters.erase(found);
}

DeferredErrorReporter::DeferredErrorReporter(bool inReportErrorWhenFinished)
    : mReportErrorWhenFinished(inReportErrorWhenFinished) {
    ErrorManager* manager = ErrorManager::Get();
    manager->AddDeferredErrorReporter(this);
    mManager = manager;
}

DeferredErrorReporter::DeferredErrorReporter(const DeferredErrorReporter& inOther)
    : utility::RefCountedObject(inOther), mReportErrorWhenFinished(inOther.mReportErrorWhenFinished),
      mLevel(inOther.mLevel), mKey(inOther.mKey), mComponent(inOther.mComponent),
      mErrorCode(inOther.mErrorCode), mValues{inOther.mValues[0], inOther.mValues[1], inOther.mValues[2],
                                              inOther.mValues[3]},
      mErrorCount(inOther.mErrorCount) {}

DeferredErrorReporter::~DeferredErrorReporter() noexcept(false) {
    ErrorManager* manager = mManager;
    if (manager == nullptr || manager != ErrorManager::S_managerP) return;
    // Leave the list before reporting, so that the manager sees the true deferral
    // state while it decides whether to show this report now.
    manager->RemoveDeferredErrorReporter(this);
    if (mReportErrorWhenFinished && mErrorCount > 0)
        manager->ReportError(static_cast<ErrorLevel>(mLevel), mKey.c_str(), mComponent, mErrorCode, true,
                             mValues[0], mValues[1], mValues[2], mValues[3]);
}

void DeferredErrorReporter::SetLastError(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent,
                                         std::int32_t inErrorCode, const ReplacementValue& inValue1,
                                         const ReplacementValue& inValue2, const ReplacementValue& inValue3,
                                         const ReplacementValue& inValue4) {
    mLevel = inLevel;
    mKey = inKey != nullptr ? inKey : "";
    mComponent = inComponent;
    mErrorCode = inErrorCode;
    mValues[0] = inValue1;
    mValues[1] = inValue2;
    mValues[2] = inValue3;
    mValues[3] = inValue4;
    ++mErrorCount;
}

void ThrowError(ErrorLevel inLevel, const char* inKey, std::uint32_t inComponent, std::int32_t inErrorCode,
                bool inDeferrable, const ReplacementValue& inValue1, const ReplacementValue& inValue2,
                const ReplacementValue& inValue3, const ReplacementValue& inValue4) {
    ErrorManager::Get()->ThrowErrorDispatch(inLevel, inKey, inComponent, inErrorCode, inDeferrable, inValue1,
                                            inValue2, inValue3, inValue4);
}

void TestThrowError(bool inFatal) {
    if (inFatal) {
        ThrowError(kErrorLevelFatal, "$$$/tarn/config/Error/test/fataltest=This is a fatal exception.", 100,
                   21, true);
        return;
    }
    ThrowError(kErrorLevelNonFatal,
               "$$$/tarn/config/Error/test/nonfataltest=This is a non-fatal exception. int:^1, "
               "uint:^2, double:^3",
               100, 20, true, ReplacementValue(std::int32_t{-2147483647 - 1}),
               ReplacementValue(std::uint32_t{4294967295u}), ReplacementValue(29.2334), ReplacementValue());
}

}  // namespace config
}  // namespace tarncore
