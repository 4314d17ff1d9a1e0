// Tests of the error manager and deferred error reporters.
#include <tarncore/config/Errors.h>
#include <tarncore_testing/RecordingErrorManager.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

using namespace tarncore::config;
using tarncore::testing::RecordedReport;
using tarncore::testing::RecordingErrorManager;
using tarncore::testing::ReportedError;

namespace {
const char* const kKey = "$$$/tarn/test/Key=Something failed.";
}  // namespace

TEST(ErrorManager, ThrowErrorNeedsARegisteredManagerAndReachesItOnce) {
    try {
        ThrowError(kErrorLevelNonFatal, kKey, 1, 2, true);
        FAIL() << "no manager registered";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "tarn::config::ErrorManager not initialized. Check tarn/config/Errors.");
    }
    EXPECT_THROW(DeferredErrorReporter reporter(true), std::logic_error);
    RecordingErrorManager manager;
    ThrowError(kErrorLevelFatal, kKey, 104, -3, false, 1, 2u, 3.5, tarncore::utility::MakeUTF16(u"s"));
    ASSERT_EQ(manager.Reports().size(), 1u);
    const RecordedReport& r = manager.Reports()[0];
    EXPECT_EQ(
        std::make_tuple(r.level, r.key, r.component, r.code, r.deferrable, r.values[3].GetString().size()),
        std::make_tuple(kErrorLevelFatal, std::string(kKey), 104u, -3, false, 1u));
    EXPECT_FALSE(manager.IsErrorReportingDeferred());

    // The base hooks: the top-level handler turns every failure into 1 and reports none.
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler({}), 1);
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler([] { return 7; }), 7);
    EXPECT_EQ(manager.ExecuteFunctionWithTopLevelExceptionHandler([]() -> std::int32_t { throw 3; }), 1);
    EXPECT_FALSE(manager.PurgeMemory(100));
    EXPECT_EQ(manager.Reports().size(), 1u);
}

TEST(DeferredErrorReporter, OldestRecordsDeferrableReportsOnly) {
    RecordingErrorManager manager;
    auto older = manager.NewDeferredErrorReporter(true);
    auto newer = manager.NewDeferredErrorReporter(true);
    EXPECT_EQ(std::make_tuple(older->GetErrorLevel(), older->GetComponent()), std::make_tuple(-1, 110u));
    EXPECT_TRUE(manager.IsErrorReportingDeferred());
    ThrowError(kErrorLevelNonFatal, kKey, 5, 1, true);
    ThrowError(kErrorLevelNonFatal, kKey, 5, 2, false);  // not deferrable: not recorded
    EXPECT_EQ(std::make_tuple(older->GetErrorCount(), older->GetErrorCode(), newer->GetErrorCount()),
              std::make_tuple(1u, 1, 0u));
    {
        // A copy keeps the record but is not registered, and does not report it again.
        DeferredErrorReporter copy(*older);
        EXPECT_EQ(std::make_tuple(copy.GetErrorCount(), copy.GetErrorCode(), copy.GetRefCount()),
                  std::make_tuple(1u, 1, 0));
    }
    newer.reset();                            // held nothing, reports nothing
    EXPECT_EQ(manager.Reports().size(), 2u);  // ReportError was called for each report
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
    const RecordedReport& last = manager.Reports()[0];
    EXPECT_EQ(std::make_tuple(last.code, last.component, last.deferrable), std::make_tuple(20, 100u, true));
    // The values of the non-fatal test report: signed, unsigned, double and none.
    using V = ReplacementValue;
    const V* v = last.values;
    EXPECT_EQ(std::make_tuple(v[0].GetKind(), v[1].GetKind(), v[2].GetKind(), v[3].GetKind()),
              std::make_tuple(V::kValueSigned, V::kValueUnsigned, V::kValueDouble, V::kValueNone));
    EXPECT_EQ(std::make_tuple(v[0].GetSigned(), v[1].GetUnsigned(), v[2].GetDouble()),
              std::make_tuple(-2147483648LL, 4294967295ULL, 29.2334));
    {
        DeferredErrorReporter silent(false);
        TestThrowError(true);
        manager.Clear();
    }
    EXPECT_TRUE(manager.Reports().empty());
}

// The reporter leaves the manager's list before its final report, so the manager sees
// that reporting is no longer deferred and shows the error instead of keeping it back;
// an exception from that report still reaches the caller.
TEST(DeferredErrorReporter, FinalReportIsNoLongerDeferredAndMayThrow) {
    struct Probe : RecordingErrorManager {
        bool deferredDuringReport = true;
        void ReportError(ErrorLevel l, const char* k, std::uint32_t c, std::int32_t e, bool d,
                         const ReplacementValue& v1, const ReplacementValue& v2, const ReplacementValue& v3,
                         const ReplacementValue& v4) override {
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
