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

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace debugtest;
using namespace tarncore::debug;
using tarncore::platform::ModalPrompt;
using tarncore::platform::PromptButton;
using tarncore::platform::PromptRequest;
using tarncore::testing::RecordingErrorManager;
namespace fs = std::filesystem;

// Answers every request with `answer` (or throws), on whatever thread asks, and keeps
// what it was asked and on which thread. Installed while it exists.
class TestPrompt : public ModalPrompt {
public:
    TestPrompt() : mPrevious(tarncore::platform::SetModalPrompt(this)) {}
    ~TestPrompt() override { tarncore::platform::SetModalPrompt(mPrevious); }

    std::int32_t Ask(const PromptRequest& inRequest) override {
        std::unique_lock<std::mutex> lock(mMutex);
        mRequests.push_back(inRequest);
        mThreads.push_back(std::this_thread::get_id());
        if (mWaitFor > 0) {
            // Hold every asker until mWaitFor of them are asking at once.
            mArrived.notify_all();
            mArrived.wait_for(lock, std::chrono::seconds(20),
                              [&] { return static_cast<int>(mRequests.size()) >= mWaitFor; });
        }
        if (mThrow) throw std::runtime_error("no dialog today");
        return mAnswer;
    }

    void Answer(std::int32_t inAnswer) {
        std::lock_guard<std::mutex> lock(mMutex);
        mAnswer = inAnswer;
    }
    void Throw(bool inThrow) {
        std::lock_guard<std::mutex> lock(mMutex);
        mThrow = inThrow;
    }
    void HoldUntilAsking(int inCount) {
        std::lock_guard<std::mutex> lock(mMutex);
        mWaitFor = inCount;
    }
    std::vector<PromptRequest> Requests() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRequests;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mThreads;
    }
    std::size_t Count() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRequests.size();
    }

private:
    ModalPrompt* mPrevious;
    std::mutex mMutex;
    std::condition_variable mArrived;
    std::vector<PromptRequest> mRequests;
    std::vector<std::thread::id> mThreads;
    std::int32_t mAnswer = 3;
    bool mThrow = false;
    int mWaitFor = 0;
};

// Keeps the text of every trace line.
class RecordingHandler : public TraceHandler {
public:
    void HandleTrace(const UTF8String& inText) override {
        std::lock_guard<std::mutex> lock(mMutex);
        mLines.push_back(S(inText));
    }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLines;
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mLines;
};

// Each test starts as a process does: the flags at their start, no debug or trace
// settings read, no display to open. The test prompt answers every dialog.
class AssertTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* display = std::getenv("DISPLAY")) mDisplay = display, mHadDisplay = true;
        unsetenv("DISPLAY");
        detail::ResetAssertStateForTesting();
        detail::ForgetDebugDatabaseForTesting();
        detail::ResetTraceManagerForTesting();
        fs::remove(PreferencesPath(u"Debug Database.txt"));
        fs::remove(PreferencesPath(u"Trace Database.txt"));
        InstallMasterTraceHandler(&mTraces);
        mClientName = tarncore::config::GetClientName();
    }
    void TearDown() override {
        RemoveMasterTraceHandler();
        tarncore::config::SetClientName(mClientName);
        detail::ResetAssertStateForTesting();
        detail::ForgetDebugDatabaseForTesting();
        detail::ResetTraceManagerForTesting();
        if (mHadDisplay) setenv("DISPLAY", mDisplay.c_str(), 1);
    }

    static void EnableAssertDialog(const char* inValue = "true") {
        DebugDatabase::Instance().SetEntry(U8("assert.enabled"), U8(inValue));
    }

    RecordingSink mQuiet;  // the dialogs' texts, kept off standard error
    TestPrompt mPrompt;
    RecordingHandler mTraces;
    tarncore::utility::UTF16String mClientName;
    std::string mDisplay;
    bool mHadDisplay = false;
};

std::string Details(const std::string& inMessagePart, const char* inExpression) {
    return inMessagePart + "Expression: " + inExpression +
           "\r\nProcess: " + tarncore::platform::os::ProcessCommandLine() +
           "\r\nFile: a.cpp\r\nLine: 12\r\nFunction: f\r\n";
}

TEST_F(AssertTest, TheAssertDialogShowsTheAssertionWithSixButtonsOnAThreadOfItsOwn) {
    EnableAssertDialog();
    tarncore::config::SetClientName(tarncore::utility::MakeUTF16(u"Editor"));
    bool ignoreAlways = false;
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x > 0", "", "a.cpp", 12, "f"));
    EXPECT_FALSE(ignoreAlways);
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x > 0", nullptr, "a.cpp", 12, "f"));
    mPrompt.Answer(3);
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "y", "Count went negative.", "a.cpp", 12, "f"));

    const std::vector<PromptRequest> requests = mPrompt.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const PromptRequest& request = requests[0];
    EXPECT_EQ(request.title, "Editor Debug Event");
    EXPECT_EQ(request.caption, "Debug Assert failed!");
    EXPECT_EQ(request.details, Details("", "x > 0"));
    EXPECT_EQ(requests[1].details, Details("", "x > 0"));  // a null message is an empty one
    EXPECT_EQ(requests[2].details, Details("Count went negative.\r\n\r\n", "y"));
    EXPECT_EQ(request.cancelValue, 3);
    EXPECT_EQ(request.headlessValue, 3);

    const std::vector<std::pair<std::string, std::int32_t>> expected = {
        {"Copy", 0},          {"Debug", 0},           {"Ignore Once", 3},
        {"Ignore Always", 4}, {"Disable Asserts", 2}, {"Kill Process", 1}};
    ASSERT_EQ(request.buttons.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PromptButton& button = request.buttons[i];
        EXPECT_EQ(button.label, expected[i].first);
        EXPECT_EQ(button.copies, i == 0) << button.label;
        if (i > 0) {
            EXPECT_EQ(button.value, expected[i].second) << button.label;
        }
        EXPECT_EQ(button.controlValue, button.value) << button.label;
    }
    for (const std::thread::id& thread : mPrompt.Threads()) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST_F(AssertTest, EveryAnswerHasItsResult) {
    EnableAssertDialog();
    struct Case {
        std::int32_t answer;
        std::int32_t result;
        bool breakAfter;    // what BreakAfterAssertDialog returns
        bool ignoreAlways;  // and whether it sets the flag
        std::uint64_t breaksInside;
    };
    const Case cases[] = {
        {0, kAssertBreak, true, false, 0},
        {3, kAssertContinue, false, false, 0},
        {4, kAssertIgnoreAlways, false, true, 0},
        {-1, kAssertBreak, true, false, 1},  // no dialog could be made
        {7, kAssertFailed, false, false, 1},
        {-5, kAssertFailed, false, false, 1},
    };
    for (const Case& c : cases) {
        mPrompt.Answer(c.answer);
        std::uint64_t breaks = detail::DebugBreaks();
        EXPECT_EQ(DisplayAssert("c", "d"), c.result) << c.answer;
        EXPECT_EQ(detail::DebugBreaks() - breaks, c.breaksInside) << c.answer;
        bool ignoreAlways = false;
        breaks = detail::DebugBreaks();
        EXPECT_EQ(BreakAfterAssertDialog(ignoreAlways, "x", nullptr, "a.cpp", 1, "f"), c.breakAfter)
            << c.answer;
        EXPECT_EQ(ignoreAlways, c.ignoreAlways) << c.answer;
        EXPECT_EQ(detail::DebugBreaks() - breaks, c.breaksInside)
            << c.answer;  // the caller's break is its own
    }
    EXPECT_FALSE(detail::AssertsDisabled());

    // "Disable Asserts": ignore always, and no later assertion asks.
    mPrompt.Answer(2);
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertIgnoreAlways);
    EXPECT_TRUE(detail::AssertsDisabled());
    const std::size_t asked = mPrompt.Count();
    bool ignoreAlways = false;
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x", nullptr, "a.cpp", 1, "f"));
    EXPECT_TRUE(ignoreAlways);
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertIgnoreAlways);
    EXPECT_EQ(mPrompt.Count(), asked);
}

TEST_F(AssertTest, KillProcessEndsTheProcessWithExitCodeMinusOne) {
    EnableAssertDialog();
    mPrompt.Answer(1);
    EXPECT_EXIT(DisplayAssert("c", "d"), ::testing::ExitedWithCode(255), "");
    EXPECT_FALSE(detail::AssertsDisabled());  // only the child's
}

TEST_F(AssertTest, WithoutAssertEnabledNothingIsShownAndTheVariableIsAdded) {
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 0u);
    EXPECT_EQ(S(DebugDatabase::Instance().GetEntry(U8("assert.enabled"), U8("?"))), "false");
    EXPECT_FALSE(fs::exists(PreferencesPath(u"Debug Database.txt")));  // in memory only

    // Only "true" enables it.
    EnableAssertDialog("1");
    bool ignoreAlways = false;
    EXPECT_FALSE(BreakAfterAssertDialog(ignoreAlways, "x", nullptr, "a.cpp", 1, "f"));
    EXPECT_EQ(mPrompt.Count(), 0u);
    EnableAssertDialog();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 1u);
}

TEST_F(AssertTest, AnAssertionFailedOnRequestIsShownWhateverAssertEnabledSays) {
    mPrompt.Answer(4);
    EXPECT_EQ(FailAssertionOnRequest("false", "On request.", "a.cpp", 12, "f"), kAssertIgnoreAlways);
    ASSERT_EQ(mPrompt.Count(), 1u);
    EXPECT_EQ(mPrompt.Requests()[0].caption, "Debug Assert failed!");
    EXPECT_EQ(mPrompt.Requests()[0].details, Details("On request.\r\n\r\n", "false"));
    // Switched on for the call only, and never in the file.
    EXPECT_EQ(S(DebugDatabase::Instance().GetEntry(U8("assert.enabled"), U8("?"))), "false");
    EXPECT_FALSE(fs::exists(PreferencesPath(u"Debug Database.txt")));
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 1u);

    EnableAssertDialog("1");
    mPrompt.Answer(0);
    EXPECT_EQ(FailAssertionOnRequest("x", nullptr, "a.cpp", 12, "f"), kAssertBreak);
    EXPECT_EQ(S(DebugDatabase::Instance().GetEntry(U8("assert.enabled"), U8("?"))), "1");

    // Asserts disabled stay disabled.
    mPrompt.Answer(2);
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
    // Null texts are empty ones.
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
    EXPECT_EQ(BreakAfterContractDialog("x", "a.cpp", 12), false);
    EXPECT_EQ(mTraces.Lines(),
              (std::vector<std::string>{assertPrefix + "Caption\r\n", assertPrefix + "one\r\ntwo\r\n",
                                        S(TraceLinePrefix("Contract", 0)) + "[a.cpp-12]\r\n\r\n"}));
    EXPECT_EQ(sink.Pieces(), (std::vector<std::string>{"Caption", "one\r\ntwo"}));

    // A text that ends its own line still gets the line end; an assertion is traced
    // whether or not it is shown.
    EnableAssertDialog("false");
    EXPECT_EQ(DisplayAssert("c\r\n", ""), kAssertContinue);
    EXPECT_EQ(mTraces.Lines().at(3), assertPrefix + "c\r\n\r\n");
    EXPECT_EQ(mTraces.Lines().at(4), assertPrefix + "\r\n");

    // Volume 0 must pass the category.
    SetTraceVolume(U8("Assert"), -1);
    SetTraceVolume(U8("Contract"), -1);
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 12));
    EXPECT_EQ(mTraces.Lines().size(), 5u);
}

TEST_F(AssertTest, TheContractDialogBreaksOnlyForContinueWithCtrl) {
    tarncore::config::SetClientName(tarncore::utility::MakeUTF16(u"Editor"));
    mPrompt.Answer(0);
    EXPECT_FALSE(BreakAfterContractDialog("inBegin < inEnd", "src/b.cpp", -7));
    ASSERT_EQ(mPrompt.Count(), 1u);
    const PromptRequest request = mPrompt.Requests()[0];
    EXPECT_EQ(request.title, "Editor Debug Event");
    EXPECT_EQ(request.caption, "Editor has encountered an error.");
    EXPECT_EQ(request.details, "[src/b.cpp--7]\r\n");  // no expression
    ASSERT_EQ(request.buttons.size(), 1u);
    EXPECT_EQ(request.buttons[0].label, "Continue");
    EXPECT_EQ(request.buttons[0].value, 0);
    EXPECT_EQ(request.buttons[0].controlValue, 1);
    EXPECT_FALSE(request.buttons[0].copies);
    EXPECT_EQ(request.cancelValue, 0);
    EXPECT_EQ(request.headlessValue, 0);
    EXPECT_NE(mPrompt.Threads()[0], std::this_thread::get_id());

    mPrompt.Answer(1);
    EXPECT_TRUE(BreakAfterContractDialog("x", "a.cpp", 1));
    mPrompt.Answer(2);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));

    // Disabled, it neither asks nor traces.
    mPrompt.Answer(1);
    DisableContractDialog();
    const std::size_t traced = mTraces.Lines().size();
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(mPrompt.Count(), 3u);
    EXPECT_EQ(mTraces.Lines().size(), traced);
    EnableContractDialog();
    EXPECT_TRUE(BreakAfterContractDialog("x", "a.cpp", 1));
}

// Every text of both dialogs comes from the localizer when one is registered.
class BracketingLocalizer : public tarncore::config::Localizer {
public:
    tarncore::utility::UTF16String LocalizeString(const char* inKey) override {
        const std::string key(inKey);
        const std::string text =
            "<" + key.substr(key.rfind('/') + 1, key.find('=') - key.rfind('/') - 1) + " @0>";
        return tarncore::utility::UTF8to16(U8(text));
    }
};

TEST_F(AssertTest, TheDialogTextsAreLocalizedWithTheClientName) {
    BracketingLocalizer localizer;
    tarncore::config::Localizer::Set(&localizer);
    tarncore::config::SetClientName(tarncore::utility::MakeUTF16(u"Ed"));
    EnableAssertDialog();
    DisplayAssert("c", "d");
    BreakAfterContractDialog("x", "a.cpp", 1);
    tarncore::config::Localizer::Set(nullptr);

    const std::vector<PromptRequest> requests = mPrompt.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, "<DefaultAssertDialogTitle Ed>");
    EXPECT_EQ(requests[0].caption, "c");  // the caller's texts stay as they are
    std::vector<std::string> labels;
    for (const PromptButton& button : requests[0].buttons) labels.push_back(button.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"<CopyButton Ed>", "<DebugButton Ed>",
                                                "<IgnoreOnceButton Ed>", "<IgnoreAlwaysButton Ed>",
                                                "<DisableAssertsButton Ed>", "<KillProcessButton Ed>"}));
    EXPECT_EQ(requests[1].title, "<ContractDialogTitle Ed>");
    EXPECT_EQ(requests[1].caption, "<ErrorMessage Ed>");
    EXPECT_EQ(requests[1].buttons.at(0).label, "<ContinueButton Ed>");
}

TEST_F(AssertTest, ADialogThatFailsOrCannotStartBreaksIntoTheDebugger) {
    EnableAssertDialog();
    mPrompt.Answer(1);  // never reached: no Kill Process here
    mPrompt.Throw(true);
    std::uint64_t breaks = detail::DebugBreaks();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertFailed);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(detail::DebugBreaks() - breaks, 2u);
    EXPECT_FALSE(detail::AssertsDisabled());

    mPrompt.Throw(false);
    detail::FailDialogThreadStartsForTesting(true);
    const std::size_t asked = mPrompt.Count();
    breaks = detail::DebugBreaks();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(detail::DebugBreaks() - breaks, 2u);
    EXPECT_EQ(mPrompt.Count(), asked);
}

// Reporting never throws: an unreadable debug database keeps the dialog off, and a trace
// that cannot be saved leaves the dialog to come.
TEST_F(AssertTest, ADatabaseOrTraceFileThatFailsNeverStopsTheReport) {
    RecordingErrorManager errors;
    fs::create_directory(PreferencesPath(u"Debug Database.txt"));
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_EQ(mPrompt.Count(), 0u);
    fs::remove(PreferencesPath(u"Debug Database.txt"));

    detail::ForgetDebugDatabaseForTesting();
    EnableAssertDialog();
    detail::ResetTraceManagerForTesting();
    fs::remove(PreferencesPath(u"Trace Database.txt"));
    fs::create_directory(PreferencesPath(u"Trace Database.txt"));
    const std::size_t traced = mTraces.Lines().size();
    EXPECT_EQ(DisplayAssert("c", "d"), kAssertContinue);
    EXPECT_FALSE(BreakAfterContractDialog("x", "a.cpp", 1));
    EXPECT_EQ(mPrompt.Count(), 2u);
    EXPECT_EQ(mTraces.Lines().size(), traced);
    fs::remove(PreferencesPath(u"Trace Database.txt"));
}

TEST_F(AssertTest, AddressesAndTheirContract) {
    int values[2] = {};
    EXPECT_TRUE(IsValidAddress(values, false));
    EXPECT_FALSE(IsValidAddress(nullptr, false));
    EXPECT_TRUE(IsValidAddress(nullptr, true));
    EXPECT_TRUE(IsValidAddressRange(values, 0u, false));
    EXPECT_FALSE(IsValidAddressRange(nullptr, 100u, false));
    EXPECT_TRUE(IsValidAddressRange(nullptr, 100u, true));

    RecordingErrorManager errors;
    EXPECT_TRUE(IsValidAddressRange(values, values + 1, false));
    EXPECT_TRUE(IsValidAddressRange(nullptr, nullptr, true));
    EXPECT_TRUE(IsValidAddressRange(nullptr, values, true));
    EXPECT_FALSE(IsValidAddressRange(nullptr, values, false));
    EXPECT_TRUE(errors.Reports().empty());
    EXPECT_EQ(mPrompt.Count(), 0u);

    // An empty or reversed range breaks the contract: the dialog, then the error.
    mPrompt.Answer(0);
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
    for (const auto& value : report.values)
        EXPECT_EQ(value.GetKind(), tarncore::config::ReplacementValue::kValueNone);

    // Ctrl+Continue breaks before the error is raised; the host's manager ends the call.
    mPrompt.Answer(1);
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
    mPrompt.Answer(4);
    mPrompt.HoldUntilAsking(kThreads);
    std::vector<std::thread> threads;
    std::vector<int> results(kThreads, 0);
    std::vector<std::thread::id> askers(kThreads);
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            askers[i] = std::this_thread::get_id();
            bool ignoreAlways = false;
            BreakAfterAssertDialog(ignoreAlways, "x", nullptr, "a.cpp", i, "f");
            results[i] = ignoreAlways ? 1 : 0;
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(results, std::vector<int>(kThreads, 1));
    std::vector<std::thread::id> dialogs = mPrompt.Threads();
    ASSERT_EQ(dialogs.size(), static_cast<std::size_t>(kThreads));
    for (const std::thread::id& dialog : dialogs)
        for (const std::thread::id& asker : askers) EXPECT_NE(dialog, asker);
}

}  // namespace
