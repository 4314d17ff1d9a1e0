#include <tarncore/config/Errors.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tarncore::config;
using tarncore::testing::RecordingErrorManager;
using tarncore::testing::ReportedError;

namespace {
const char* const kKey = "$$$/tarn/test/Key=Something failed.";
}

TEST(ThrowError, NeedsARegisteredManager) {
    try {
        ThrowError(kErrorLevelNonFatal, kKey, 1, 2, true);
        FAIL() << "no manager registered";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "tarn::config::ErrorManager not initialized. Check tarn/config/Errors.");
    }
    EXPECT_THROW(DeferredErrorReporter reporter(true), std::logic_error);
}

TEST(ThrowError, ReachesTheManagerOnceWithEveryArgument) {
    RecordingErrorManager manager;
    ThrowError(kErrorLevelFatal, kKey, 104, -3, false, ReplacementValue(1), ReplacementValue(2u),
               ReplacementValue(3.5), ReplacementValue(tarncore::utility::MakeUTF16(u"s")));
    ASSERT_EQ(manager.Reports().size(), 1u);
    const auto& report = manager.Reports()[0];
    EXPECT_EQ(report.level, kErrorLevelFatal);
    EXPECT_EQ(report.key, kKey);
    EXPECT_EQ(report.component, 104u);
    EXPECT_EQ(report.code, -3);
    EXPECT_FALSE(report.deferrable);
    EXPECT_EQ(report.values[3].GetKind(), ReplacementValue::kValueString);
    EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

TEST(DeferredErrorReporter, OldestRecordsDeferrableReportsOnly) {
    RecordingErrorManager manager;
    auto older = manager.NewDeferredErrorReporter(true);
    auto newer = manager.NewDeferredErrorReporter(true);
    EXPECT_EQ(older->GetErrorLevel(), -1);
    EXPECT_EQ(older->GetComponent(), 110u);
    EXPECT_TRUE(manager.IsErrorReportingDeferred());

    ThrowError(kErrorLevelNonFatal, kKey, 5, 1, true);
    ThrowError(kErrorLevelNonFatal, kKey, 5, 2, false);  // not deferrable: not recorded
    EXPECT_EQ(older->GetErrorCount(), 1u);
    EXPECT_EQ(older->GetErrorCode(), 1);
    EXPECT_EQ(newer->GetErrorCount(), 0u);
    EXPECT_EQ(manager.Reports().size(), 2u);  // ReportError is called for every report

    newer.reset();
    EXPECT_EQ(manager.Reports().size(), 2u);  // held nothing, reports nothing
    older.reset();
    EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

TEST(DeferredErrorReporter, ReportsOnlyTheLastErrorOnceWhenAsked) {
    RecordingErrorManager manager;
    {
        DeferredErrorReporter reporter(true);
        ThrowError(kErrorLevelNonFatal, "$$$/a=1", 7, 1, true);
        ThrowError(kErrorLevelNonFatal, "$$$/a=2", 7, 2, true);
        TestThrowError(false);
        EXPECT_EQ(reporter.GetErrorCount(), 3u);
        manager.Clear();
    }
    ASSERT_EQ(manager.Reports().size(), 1u);
    const auto& last = manager.Reports()[0];
    EXPECT_EQ(last.code, 20);
    EXPECT_EQ(last.component, 100u);
    EXPECT_TRUE(last.deferrable);
    EXPECT_EQ(last.values[0].GetKind(), ReplacementValue::kValueSigned);
    EXPECT_EQ(last.values[0].GetSigned(), -2147483648LL);
    EXPECT_EQ(last.values[1].GetKind(), ReplacementValue::kValueUnsigned);
    EXPECT_EQ(last.values[1].GetUnsigned(), 4294967295ULL);
    EXPECT_EQ(last.values[2].GetKind(), ReplacementValue::kValueDouble);
    EXPECT_EQ(last.values[2].GetDouble(), 29.2334);
    EXPECT_EQ(last.values[3].GetKind(), ReplacementValue::kValueNone);

    {
        DeferredErrorReporter silent(false);
        TestThrowError(true);
        manager.Clear();
    }
    EXPECT_TRUE(manager.Reports().empty());
}

TEST(DeferredErrorReporter, FinalReportSeesReportingNoLongerDeferred) {
    struct Probe : RecordingErrorManager {
        bool deferredDuringReport = true;
        void ReportError(ErrorLevel l, const char* k, std::uint32_t c, std::int32_t e, bool d,
                         const ReplacementValue& v1, const ReplacementValue& v2,
                         const ReplacementValue& v3, const ReplacementValue& v4) override {
            deferredDuringReport = IsErrorReportingDeferred();
            RecordingErrorManager::ReportError(l, k, c, e, d, v1, v2, v3, v4);
        }
    } manager;
    {
        DeferredErrorReporter reporter(true);
        TestThrowError(true);
        EXPECT_TRUE(manager.deferredDuringReport);
    }
    EXPECT_FALSE(manager.deferredDuringReport);
}

TEST(DeferredErrorReporter, ExceptionFromFinalReportReachesTheCallerAndUnregisters) {
    RecordingErrorManager manager;
    auto* reporter = new DeferredErrorReporter(true);
    TestThrowError(true);
    manager.SetMode(RecordingErrorManager::kThrowAfterRecording);
    EXPECT_THROW(delete reporter, ReportedError);
    EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

TEST(DeferredErrorReporter, OutlivingItsManagerIsHarmless) {
    boost::intrusive_ptr<DeferredErrorReporter> reporter;
    {
        RecordingErrorManager manager(RecordingErrorManager::kThrowAfterRecording);
        reporter = manager.NewDeferredErrorReporter(true);
        EXPECT_THROW(TestThrowError(false), ReportedError);
    }
    EXPECT_NO_THROW(reporter.reset());  // the manager is gone: nothing is touched
}

TEST(DeferredErrorReporter, CopyKeepsTheRecordButIsNotRegistered) {
    RecordingErrorManager manager;
    DeferredErrorReporter original(true);
    TestThrowError(true);
    {
        DeferredErrorReporter copy(original);
        EXPECT_EQ(copy.GetErrorCount(), 1u);
        EXPECT_EQ(copy.GetErrorCode(), 21);
        EXPECT_EQ(copy.GetRefCount(), 0);
    }
    EXPECT_EQ(manager.Reports().size(), 1u);  // the copy did not report again
    EXPECT_TRUE(manager.IsErrorReportingDeferred());
}

TEST(ErrorManager, TopLevelExceptionHandler) {
    RecordingErrorManager manager;
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler({}), 1);
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler([] { return 7; }), 7);
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler([]() -> std::int32_t { throw 3; }), 1);
    EXPECT_FALSE(manager.PurgeMemory(100));
    EXPECT_TRUE(manager.Reports().empty());
}
