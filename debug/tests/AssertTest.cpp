// Assertions and contract violations: the dialogs' texts and answers, the flags, the trace lines, the
// contract error, and threads asserting at once.
#include <tarncore/config/Client.h>
#include <tarncore/config/Localizer.h>
#include <tarncore/debug/Assert.h>
#include <tarncore/debug/DebugDatabase.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/platform/ModalPrompt.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <tarncore_testing/RecordingErrorManager.h>

#include "DebugTestHelpers.h"
#include "debug/src/AssertInternal.h"
#include "debug/src/DebugDatabaseInternal.h"
#include "debug/src/TraceManagerInternal.h"
#include "platform/os/Process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace debugtest;
using namespace tarncore::debug;
using tarncore::platform::PromptButton;
using tarncore::platform::PromptRequest;
using tarncore::testing::RecordingErrorManager;
namespace fs = std::filesystem;

// Answers every request with `answer` (or throws), on whatever thread asks, and keeps what it
// was asked and on which thread. Installed while it exists; set its fields while no dialog is open.
class TestPrompt : public tarncore::platform::ModalPrompt {
public:
    TestPrompt() : mPrevious(tarncore::platform::SetModalPrompt(this)) {}
    ~TestPrompt() override { tarncore::platform::SetModalPrompt(mPrevious); }

    std::int32_t Ask(const PromptRequest& inRequest) override {
        std::unique_lock<std::mutex> lock(mMutex);
        mRequests.push_back(inRequest);
        mThreads.push_back(std::this_thread::get_id());
        // Hold every asker until holdUntil of them are asking at once.
        mArrived.notify_all();
        mArrived.wait_for(lock, std::chrono::seconds(20),
                          [&] { return static_cast<int>(mRequests.size()) >= holdUntil; });
        if (fail) throw std::runtime_error("no dialog today");
        return answer;
    }
    std::vector<PromptRequest> Requests() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRequests;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mThreads;
    }
    std::size_t Count() { return Requests().size(); }

    std::int32_t answer = 3;
    bool fail = false;
    int holdUntil = 0;

private:
    ModalPrompt* mPrevious;
    std::mutex mMutex;
    std::condition_variable mArrived;
    std::vector<PromptRequest> mRequests;
    std::vector<std::thread::id> mThreads;
};

// Each test starts as a process does: the flags at their start, no debug or trace settings
// read. The test prompt answers every dialog.
class AssertTest : public ::testing::Test {
protected:
    static void Reset() {
        detail::ResetAssertStateForTesting();
        detail::ForgetDebugDatabaseForTesting();
        detail::ResetTraceManagerForTesting();
        fs::remove(PreferencesPath(u"Debug Database.txt"));
        fs::remove(PreferencesPath(u"Trace Database.txt"));
    }
    void SetUp() override {
        Reset();
        InstallMasterTraceHandler(&mTraces);
        mClientName = tarncore::config::GetClientName();
        tarncore::config::SetClientName(tarncore::utility::MakeUTF16(u"Editor"));
    }
    void TearDown() override {
        RemoveMasterTraceHandler();
        tarncore::config::SetClientName(mClientName);
        Reset();
    }

    static void EnableAssertDialog(const char* inValue = "true") {
        DebugDatabase::Instance().SetEntry(U8("assert.enabled"), U8(inValue));
    }
    static std::string AssertEnabled() {
        return S(DebugDatabase::Instance().GetEntry(U8("assert.enabled"), U8("?")));
    }
    static bool Break(bool& outIgnoreAlways) {
        outIgnoreAlways = false;
        return BreakAfterAssertDialog(outIgnoreAlways, "x", nullptr, "a.cpp", 1, "f");
    }

    RecordingSink mQuiet;  // the dialogs' texts, kept off standard error
    TestPrompt mPrompt;
    RecordingHandler mTraces;
    tarncore::utility::UTF16String mClientName;
};

std::string Details(const std::string& inMessagePart, const char* inExpression) {
    return inMessagePart + "Expression: " + inExpression +
           "\r\nProcess: " + tarncore::platform::os::ProcessCommandLine() +
           "\r\nFile: a.cpp\r\nLine: 12\r\nFunction: f\r\n";
}

// A dialog on one line: title | caption | cancel/headless values | each button as label=value/Ctrl value.
std::string Describe(const PromptRequest& inRequest) {
    std::string text = inRequest.title + " | " + inRequest.caption + " | " +
                       std::to_string(inRequest.cancelValue) + "/" + std::to_string(inRequest.headlessValue);
    for (const PromptButton& button : inRequest.buttons)
        text += " | " + button.label + "=" + std::to_string(button.value) + "/" +
                std::to_string(button.controlValue) + (button.copies ? " copies" : "");
    return text;
}

TEST_F(AssertTest, TheAssertDialogShowsTheAssertionWithSixButtonsOnAThreadOfItsOwn) {
    EnableAssertDialog();
    bool ignoreAlways = false;
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x > 0", nullptr, "a.cpp", 12, "f"));
    EXPECT_FALSE(ignoreAlways);
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "y", "Count went negative.", "a.cpp", 12, "f"));

    const std::vector<PromptRequest> requests = mPrompt.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(Describe(requests[0]),
              "Editor Debug Event | Debug Assert failed! | 3/3 | Copy=0/0 copies | Debug=0/0 | "
              "Ignore Once=3/3 | Ignore Always=4/4 | Disable Asserts=2/2 | Kill Process=1/1");
    EXPECT_EQ(requests[0].details, Details("", "x > 0"));
    EXPECT_EQ(requests[1].details, Details("Count went negative.\r\n\r\n", "y"));
    for (const std::thread::id& thread : mPrompt.Threads()) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST_F(AssertTest, EveryAnswerHasItsResult) {
    EnableAssertDialog();
    struct Case {
        std::int32_t answer, result;
        bool breakAfter, ignoreAlways;  // what BreakAfterAssertDialog returns and sets
        std::uint64_t breaksInside;     // the caller's break is its own
    };
    const Case cases[] = {{0, kAssertBreak, true, false, 0},
                          {3, kAssertContinue, false, false, 0},
                          {4, kAssertIgnoreAlways, false, true, 0},
                          {-1, kAssertBreak, true, false, 1},
                          {7, kAssertFailed, false, false, 1}};
    for (const Case& c : cases) {
        mPrompt.answer = c.answer;
        std::uint64_t breaks = detail::DebugBreaks();
        EXPECT_EQ(DisplayAssert("c", "d"), c.result) << c.answer;
        EXPECT_EQ(detail::DebugBreaks() - breaks, c.breaksInside) << c.answer;
        bool ignoreAlways = false;
        breaks = detail::DebugBreaks();
        EXPECT_EQ(Break(ignoreAlways), c.breakAfter) << c.answer;
        EXPECT_EQ(ignoreAlways, c.ignoreAlways) << c.answer;
        EXPECT_EQ(detail::DebugBreaks() - breaks, c.breaksInside) << c.answer;
    }
    EXPECT_FALSE(detail::AssertsDisabled());

    // "Disable Asserts": ignore always, and no later assertion asks.
    mPrompt.answer = 2;
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertIgnoreAlways);
    EXPECT_TRUE(detail::AssertsDisabled());
    const std::size_t asked = mPrompt.Count();
    bool ignoreAlways = false;
    EXPECT_FALSE(Break(ignoreAlways));
    EXPECT_TRUE(ignoreAlways);
    EXPECT_EQ(mPrompt.Count(), asked);
}

TEST_F(AssertTest, KillProcessEndsTheProcessWithExitCodeMinusOne) {
    EnableAssertDialog();
    mPrompt.answer = 1;
    EXPECT_EXIT(DisplayAssert("c", "d"), ::testing::ExitedWithCode(255), "");
}

TEST_F(AssertTest, OnlyAssertEnabledTrueOrARequestShowsTheDialog) {
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 0u);
    EXPECT_EQ(AssertEnabled(), "false");  // the variable is added, in memory only
    EXPECT_FALSE(fs::exists(PreferencesPath(u"Debug Database.txt")));

    // On request it is shown, switched on for the call only.
    detail::ForgetDebugDatabaseForTesting();
    mPrompt.answer = 4;
    EXPECT_EQ(FailAssertionOnRequest("false", "On request.", "a.cpp", 12, "f"), kAssertIgnoreAlways);
    ASSERT_EQ(mPrompt.Count(), 1u);
    EXPECT_EQ(mPrompt.Requests()[0].details, Details("On request.\r\n\r\n", "false"));
    EXPECT_EQ(AssertEnabled(), "false");
    EXPECT_FALSE(fs::exists(PreferencesPath(u"Debug Database.txt")));
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 1u);

    // Only "true" enables it, and a request puts back what was there.
    EnableAssertDialog("1");
    bool ignoreAlways = false;
    EXPECT_FALSE(Break(ignoreAlways));
    EXPECT_EQ(mPrompt.Count(), 1u);
    mPrompt.answer = 0;
    EXPECT_EQ(FailAssertionOnRequest("x", nullptr, "a.cpp", 12, "f"), kAssertBreak);
    EXPECT_EQ(AssertEnabled(), "1");

    // Asserts disabled stay disabled.
    mPrompt.answer = 2;
    EXPECT_EQ(FailAssertionOnRequest("x", nullptr, "a.cpp", 12, "f"), kAssertIgnoreAlways);
    EXPECT_EQ(FailAssertionOnRequest("x", nullptr, "a.cpp", 12, "f"), kAssertIgnoreAlways);
    EXPECT_EQ(mPrompt.Count(), 3u);
}

TEST_F(AssertTest, StandardOutputTakesTheTextsInsteadOfTheDialog) {
    SetAssertWriteToStdOut(true);
    for (const char* enabled : {"false", "true"}) {
        EnableAssertDialog(enabled);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(DisplayAssert("a", "b\r\nc"), kAssertContinue);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "a\nb\r\nc\n") << enabled;
    }
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(DisplayAssert(nullptr, nullptr), kAssertContinue);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\n\n");
    EXPECT_EQ(mPrompt.Count(), 0u);
    SetAssertWriteToStdOut(false);
    EXPECT_EQ(DisplayAssert("a", "b"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 1u);
}

TEST_F(AssertTest, AssertionsAndContractsAreTracedAndTheDialogTextsGoToTheDebuggerOutput) {
    RecordingSink sink;
    EnableAssertDialog();
    const std::string assertPrefix = S(TraceLinePrefix("Assert", 0));
    EXPECT_EQ(DisplayAssert("Caption", "one\r\ntwo"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 12));
    EXPECT_EQ(mTraces.Pieces(),
              (std::vector<std::string>{assertPrefix + "Caption\r\n", assertPrefix + "one\r\ntwo\r\n",
                                        S(TraceLinePrefix("Contract", 0)) + "[a.cpp-12]\r\n\r\n"}));
    EXPECT_EQ(sink.Pieces(), (std::vector<std::string>{"Caption", "one\r\ntwo"}));

    // Traced whether or not it is shown, a line end even after one.
    EnableAssertDialog("false");
    EXPECT_EQ(DisplayAssert("c\r\n", ""), kAssertContinue);
    EXPECT_EQ(mTraces.Pieces().at(3), assertPrefix + "c\r\n\r\n");
    EXPECT_EQ(mTraces.Pieces().at(4), assertPrefix + "\r\n");

    // Volume 0 must pass the category.
    SetTraceVolume(U8("Assert"), -1);
    SetTraceVolume(U8("Contract"), -1);
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 12));
    EXPECT_EQ(mTraces.Pieces().size(), 5u);
}

TEST_F(AssertTest, TheContractDialogBreaksOnlyForContinueWithCtrl) {
    mPrompt.answer = 0;
    EXPECT_FALSE(BreakAfterContractDialog("inBegin < inEnd", "src/b.cpp", -7));
    ASSERT_EQ(mPrompt.Count(), 1u);
    EXPECT_EQ(Describe(mPrompt.Requests()[0]),
              "Editor Debug Event | Editor has encountered an error. | 0/0 | Continue=0/1");
    EXPECT_EQ(mPrompt.Requests()[0].details, "[src/b.cpp--7]\r\n");  // no expression
    mPrompt.answer = 1;
    EXPECT_TRUE(BreakAfterContractDialog("x", "a.cpp", 1));

    // Disabled, it neither asks nor traces.
    DisableContractDialog();
    const std::size_t traced = mTraces.Pieces().size();
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(mPrompt.Count(), 2u);
    EXPECT_EQ(mTraces.Pieces().size(), traced);
    EnableContractDialog();
    EXPECT_TRUE(BreakAfterContractDialog("x", "a.cpp", 1));
}

// Gives "<Name @0>" for the key ".../Name=Text".
class BracketingLocalizer : public tarncore::config::Localizer {
public:
    tarncore::utility::UTF16String LocalizeString(const char* inKey) override {
        const std::string key(inKey);
        const std::size_t slash = key.rfind('/');
        return tarncore::utility::UTF8to16(
            U8("<" + key.substr(slash + 1, key.find('=') - slash - 1) + " @0>"));
    }
};

TEST_F(AssertTest, TheDialogTextsAreLocalizedWithTheClientName) {
    BracketingLocalizer localizer;
    tarncore::config::Localizer::Set(&localizer);
    EnableAssertDialog();
    DisplayAssert("c", "d");
    BreakAfterContractDialog("x", "a.cpp", 1);
    tarncore::config::Localizer::Set(nullptr);

    const std::vector<PromptRequest> requests = mPrompt.Requests();
    ASSERT_EQ(requests.size(), 2u);
    // The caller's texts stay as they are.
    EXPECT_EQ(Describe(requests[0]),
              "<DefaultAssertDialogTitle Editor> | c | 3/3 | <CopyButton Editor>=0/0 copies | "
              "<DebugButton Editor>=0/0 | <IgnoreOnceButton Editor>=3/3 | "
              "<IgnoreAlwaysButton Editor>=4/4 | <DisableAssertsButton Editor>=2/2 | "
              "<KillProcessButton Editor>=1/1");
    EXPECT_EQ(Describe(requests[1]),
              "<ContractDialogTitle Editor> | <ErrorMessage Editor> | 0/0 | <ContinueButton Editor>=0/1");
}

// Reporting never throws and never stops: a dialog that fails or cannot start breaks into
// the debugger, an unreadable debug database keeps the dialog off, and a trace that cannot
// be saved leaves the dialog to come.
TEST_F(AssertTest, NoFailureStopsTheReport) {
    EnableAssertDialog();
    mPrompt.answer = 1;  // never reached: no Kill Process here
    mPrompt.fail = true;
    std::uint64_t breaks = detail::DebugBreaks();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertFailed);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(detail::DebugBreaks() - breaks, 2u);
    EXPECT_FALSE(detail::AssertsDisabled());

    mPrompt.fail = false;
    detail::FailDialogThreadStartsForTesting(true);
    breaks = detail::DebugBreaks();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(detail::DebugBreaks() - breaks, 2u);
    EXPECT_EQ(mPrompt.Count(), 2u);
    Reset();
    mPrompt.answer = 3;

    RecordingErrorManager errors;
    fs::create_directory(PreferencesPath(u"Debug Database.txt"));
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 2u);

    Reset();
    EnableAssertDialog();
    fs::create_directory(PreferencesPath(u"Trace Database.txt"));
    const std::size_t traced = mTraces.Pieces().size();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(mPrompt.Count(), 4u);
    EXPECT_EQ(mTraces.Pieces().size(), traced);
}

TEST_F(AssertTest, AddressesAndTheirContract) {
    int values[2] = {};
    EXPECT_FALSE(IsValidAddress(nullptr, false));
    EXPECT_TRUE(IsValidAddress(nullptr, true));
    RecordingErrorManager errors;
    EXPECT_TRUE(IsValidAddressRange(values, values + 1, false));
    EXPECT_TRUE(IsValidAddressRange(nullptr, nullptr, true));
    EXPECT_FALSE(IsValidAddressRange(nullptr, values, false));
    EXPECT_TRUE(errors.Reports().empty());
    EXPECT_EQ(mPrompt.Count(), 0u);

    // An empty or reversed range breaks the contract: the dialog, then the error.
    mPrompt.answer = 0;
    std::uint64_t breaks = detail::DebugBreaks();
    EXPECT_FALSE(IsValidAddressRange(values, values, false));
    EXPECT_FALSE(IsValidAddressRange(values + 1, values, true));
    EXPECT_EQ(detail::DebugBreaks(), breaks);
    ASSERT_EQ(mPrompt.Count(), 2u);
    EXPECT_EQ(mPrompt.Requests()[0].details, "[debug/src/Debug-76]\r\n");
    ASSERT_EQ(errors.Reports().size(), 2u);
    const tarncore::testing::RecordedReport& report = errors.Reports()[0];
    EXPECT_EQ(report.level, tarncore::config::kErrorLevelFatal);
    EXPECT_EQ(
        report.key,
        "$$$/tarn/utility/Error/Contract/InputContractViolation=An input contract violation has occurred!");
    EXPECT_EQ(report.component, 105u);
    EXPECT_EQ(report.code, 25);
    EXPECT_TRUE(report.deferrable);

    // Ctrl+Continue breaks before the error is raised; the host's manager ends the call.
    mPrompt.answer = 1;
    errors.SetMode(RecordingErrorManager::kThrowAfterRecording);
    breaks = detail::DebugBreaks();
    EXPECT_THROW(IsValidAddressRange(values, values, false), tarncore::testing::ReportedError);
    EXPECT_EQ(detail::DebugBreaks() - breaks, 1u);
    // Without the dialog the error is still raised.
    DisableContractDialog();
    EXPECT_THROW(IsValidAddressRange(values, nullptr, false), tarncore::testing::ReportedError);
    EXPECT_EQ(mPrompt.Count(), 3u);
    EXPECT_EQ(errors.Reports().size(), 4u);
}

// Threads asserting at once each get a dialog of their own, all open together.
TEST_F(AssertTest, ThreadsAssertingAtOnceEachGetTheirOwnDialog) {
    EnableAssertDialog();
    constexpr int kThreads = 4;
    mPrompt.answer = 4;
    mPrompt.holdUntil = kThreads;
    std::vector<std::thread> threads;
    std::vector<std::thread::id> askers(kThreads);
    std::atomic<int> ignoredAlways{0};
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            askers[i] = std::this_thread::get_id();
            bool ignoreAlways = false;
            Break(ignoreAlways);
            ignoredAlways += ignoreAlways ? 1 : 0;
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(ignoredAlways.load(), kThreads);
    const std::vector<std::thread::id> dialogs = mPrompt.Threads();
    ASSERT_EQ(dialogs.size(), static_cast<std::size_t>(kThreads));
    for (const std::thread::id& dialog : dialogs)
        for (const std::thread::id& asker : askers) EXPECT_NE(dialog, asker);
}

}  // namespace
