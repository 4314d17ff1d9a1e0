// Assertions and contract violations: the texts, the flags, the trace lines and the dialog threads.
#include <tarncore/debug/Assert.h>

#include <tarncore/config/Client.h>
#include <tarncore/config/Errors.h>
#include <tarncore/config/Messages.h>
#include <tarncore/debug/DebugDatabase.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/platform/ModalPrompt.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "debug/src/AssertInternal.h"
#include "platform/os/Process.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <system_error>
#include <thread>

namespace tarncore {
namespace debug {

namespace {

using platform::PromptButton;
using platform::PromptRequest;

const char kAssertTitle[] = "$$$/private/tarncore/debug/DefaultAssertDialogTitle=@0 Debug Event";
const char kCopyButton[] = "$$$/private/tarncore/debug/DefaultAssertDialog/CopyButton=Copy";
const char kDebugButton[] = "$$$/private/tarncore/debug/DefaultAssertDialog/DebugButton=Debug";
const char kIgnoreOnceButton[] =
    "$$$/private/tarncore/debug/DefaultAssertDialog/IgnoreOnceButton=Ignore Once";
const char kIgnoreAlwaysButton[] =
    "$$$/private/tarncore/debug/DefaultAssertDialog/IgnoreAlwaysButton=Ignore Always";
const char kDisableAssertsButton[] =
    "$$$/private/tarncore/debug/DefaultAssertDialog/DisableAssertsButton=Disable Asserts";
const char kKillProcessButton[] =
    "$$$/private/tarncore/debug/DefaultAssertDialog/KillProcessButton=Kill Process";
const char kContractTitle[] = "$$$/private/tarncore/debug/ContractDialogTitle=@0 Debug Event";
const char kContractMessage[] =
    "$$$/private/tarncore/debug/ContractDialog/ErrorMessage=@0 has encountered an error.";
const char kContinueButton[] = "$$$/private/tarncore/debug/ContractDialog/ContinueButton=Continue";
const char kInputContractViolation[] =
    "$$$/tarn/utility/Error/Contract/InputContractViolation=An input contract violation has occurred!";

constexpr std::uint32_t kUtilityComponent = 105;
constexpr std::int32_t kInputContractViolationCode = 25;

// The values the assert dialog's buttons end it with.
constexpr std::int32_t kDebugValue = 0;
constexpr std::int32_t kKillProcessValue = 1;
constexpr std::int32_t kDisableAssertsValue = 2;
constexpr std::int32_t kIgnoreOnceValue = 3;
constexpr std::int32_t kIgnoreAlwaysValue = 4;
// The contract dialog's Continue: plain, and with Ctrl.
constexpr std::int32_t kContinueValue = 0;
constexpr std::int32_t kBreakValue = 1;

// Plain process-wide switches; atomic only so that threads asserting at once see whole values.
std::atomic<bool> sAssertsDisabled{false};
std::atomic<bool> sWriteToStdOut{false};
std::atomic<bool> sContractDialogEnabled{true};
std::atomic<std::uint64_t> sDebugBreaks{0};
std::atomic<bool> sFailDialogThreadStarts{false};

std::string Text(const char* inText) { return inText != nullptr ? std::string(inText) : std::string(); }

// The display text of a dialog's key, "@0" being the client name, in UTF-8.
std::string DialogText(const char* inKey) {
    const utility::UTF8String text =
        utility::UTF16to8(config::RenderMessage(inKey, {config::GetClientName()}));
    return std::string(text.begin(), text.end());
}

// One trace line at volume 0: the prefix, the text and a line end (also after a text that
// ends its own line, as the assertion's details do). When tracing fails, the dialog still comes.
void TraceAtVolumeZero(const char* inCategory, const std::string& inText) {
    try {
        if (!TraceEnabled(utility::MakeUTF8(inCategory), 0, true)) return;
        utility::UTF8String line = TraceLinePrefix(inCategory, 0);
        line.append(inText.begin(), inText.end());
        line.append({'\r', '\n'});
        Trace(reinterpret_cast<const char*>(line.c_str()));
    } catch (...) {
    }
}

// The debug database takes no lock of its own: the assertions read and change
// "assert.enabled" under this one.
threads::RecursiveMutex& DatabaseLock() {
    static threads::RecursiveMutex* const lock = new threads::RecursiveMutex;  // never destroyed
    return *lock;
}
using DatabaseGuard = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

const utility::UTF8String& AssertEnabledKey() {
    static const utility::UTF8String* const key =
        new utility::UTF8String(utility::MakeUTF8("assert.enabled"));
    return *key;
}

// "assert.enabled" (a missing variable is added). A database that cannot be read leaves
// assertions quiet, as a missing variable does.
bool AssertDialogEnabled() {
    try {
        DatabaseGuard guard(DatabaseLock(), true);
        return DebugDatabase::Instance().GetBoolEntry(AssertEnabledKey(), false);
    } catch (...) {
        return false;
    }
}

// The assertion's details, lines ended by CR LF.
std::string AssertionDetails(const char* inExpression, const char* inMessage, const char* inFile,
                             std::int32_t inLine, const char* inFunction) {
    std::string details;
    if (inMessage != nullptr && *inMessage != '\0') details.append(inMessage).append("\r\n\r\n");
    details.append("Expression: ").append(Text(inExpression)).append("\r\n");
    details.append("Process: ").append(platform::os::ProcessCommandLine()).append("\r\n");
    details.append("File: ").append(Text(inFile)).append("\r\n");
    details.append("Line: ").append(std::to_string(inLine)).append("\r\n");
    details.append("Function: ").append(Text(inFunction)).append("\r\n");
    return details;
}

const char kAssertCaption[] = "Debug Assert failed!";

enum class DialogOutcome { kAnswered, kNotStarted, kFailed };

// Builds and asks a prompt on a thread of its own while the calling thread waits.
DialogOutcome AskOnDialogThread(const std::function<PromptRequest()>& inBuild, std::int32_t& outValue) {
    std::int32_t value = 0;
    std::exception_ptr failure;
    std::thread dialog;
    try {
        if (sFailDialogThreadStarts.load(std::memory_order_relaxed))
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        dialog = std::thread([&] {
            try {
                value = platform::AskModalPrompt(inBuild());
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (...) {
        return DialogOutcome::kNotStarted;
    }
    dialog.join();
    if (failure) return DialogOutcome::kFailed;
    outValue = value;
    return DialogOutcome::kAnswered;
}

PromptRequest AssertRequest(const std::string& inCaption, const std::string& inDetails) {
    PromptRequest request;
    request.title = DialogText(kAssertTitle);
    request.caption = inCaption;
    request.details = inDetails;
    request.buttons = {PromptButton::Copy(DialogText(kCopyButton)),
                       PromptButton(DialogText(kDebugButton), kDebugValue),
                       PromptButton(DialogText(kIgnoreOnceButton), kIgnoreOnceValue),
                       PromptButton(DialogText(kIgnoreAlwaysButton), kIgnoreAlwaysValue),
                       PromptButton(DialogText(kDisableAssertsButton), kDisableAssertsValue),
                       PromptButton(DialogText(kKillProcessButton), kKillProcessValue)};
    request.cancelValue = request.headlessValue = kIgnoreOnceValue;
    return request;
}

PromptRequest ContractRequest(const std::string& inText) {
    PromptRequest request;
    request.title = DialogText(kContractTitle);
    request.caption = DialogText(kContractMessage);
    request.details = inText;
    request.buttons = {PromptButton(DialogText(kContinueButton), kContinueValue, kBreakValue)};
    request.cancelValue = request.headlessValue = kContinueValue;
    return request;
}

std::int32_t RunAssertDialog(const std::string& inCaption, const std::string& inDetails) {
    if (sAssertsDisabled.load(std::memory_order_relaxed)) return kAssertIgnoreAlways;
    DebugTrace(inCaption.c_str());
    DebugTrace(inDetails.c_str());
    std::int32_t value = 0;
    switch (AskOnDialogThread([&] { return AssertRequest(inCaption, inDetails); }, value)) {
    case DialogOutcome::kNotStarted: TARN_DebugBreak(); return kAssertContinue;
    case DialogOutcome::kFailed: TARN_DebugBreak(); return kAssertFailed;
    case DialogOutcome::kAnswered: break;
    }
    switch (value) {
    case kDebugValue: return kAssertBreak;
    case kIgnoreOnceValue: return kAssertContinue;
    case kIgnoreAlwaysValue: return kAssertIgnoreAlways;
    case kDisableAssertsValue: sAssertsDisabled.store(true); return kAssertIgnoreAlways;
    case kKillProcessValue: sAssertsDisabled.store(true); platform::os::TerminateProcess(-1);
    case -1: TARN_DebugBreak(); return kAssertBreak;  // a dialog that could not be made
    default: TARN_DebugBreak(); return kAssertFailed;
    }
}

}  // namespace

std::int32_t DisplayAssert(const char* inCaption, const char* inDetails) {
    try {
        const std::string caption = Text(inCaption);
        const std::string details = Text(inDetails);
        TraceAtVolumeZero("Assert", caption);
        TraceAtVolumeZero("Assert", details);
        const bool enabled = AssertDialogEnabled();
        if (sWriteToStdOut.load(std::memory_order_relaxed)) {
            std::puts(caption.c_str());
            std::puts(details.c_str());
            std::fflush(stdout);  // the process may not live to flush it
            return kAssertContinue;
        }
        if (!enabled) return kAssertContinue;
        return RunAssertDialog(caption, details);
    } catch (...) {
        TARN_DebugBreak();
        return kAssertFailed;
    }
}

bool BreakAfterAssertDialog(bool& ioIgnoreAlways, const char* inExpression, const char* inMessage,
                            const char* inFile, std::int32_t inLine, const char* inFunction) {
    std::int32_t result = kAssertFailed;
    try {
        result = DisplayAssert(kAssertCaption,
                               AssertionDetails(inExpression, inMessage, inFile, inLine, inFunction).c_str());
    } catch (...) {
        TARN_DebugBreak();
    }
    if (result == kAssertIgnoreAlways || result == kDisableAssertsValue) ioIgnoreAlways = true;
    return result == kAssertBreak;
}

std::int32_t FailAssertionOnRequest(const char* inExpression, const char* inMessage, const char* inFile,
                                    std::int32_t inLine, const char* inFunction) {
    std::string details;
    try {
        details = AssertionDetails(inExpression, inMessage, inFile, inLine, inFunction);
    } catch (...) {
        TARN_DebugBreak();
        return kAssertFailed;
    }
    // Switched on in memory only; it goes back to what it was (or to its default) after.
    utility::UTF8String previous;
    bool switched = false;
    try {
        DatabaseGuard guard(DatabaseLock(), true);
        DebugDatabase& database = DebugDatabase::Instance();
        if (!database.GetValue(AssertEnabledKey(), previous)) previous = DebugDatabase::sFalseText;
        database.SetValue(AssertEnabledKey(), utility::MakeUTF8("true"));
        switched = true;
    } catch (...) {
    }
    const std::int32_t result = DisplayAssert(kAssertCaption, details.c_str());
    if (switched) {
        try {
            DatabaseGuard guard(DatabaseLock(), true);
            DebugDatabase::Instance().SetValue(AssertEnabledKey(), previous);
        } catch (...) {
        }
    }
    return result;
}

bool BreakAfterContractDialog(const char* /*inExpression*/, const char* inFile, std::int32_t inLine) {
    if (!sContractDialogEnabled.load(std::memory_order_relaxed)) return false;
    try {
        const std::string text = "[" + Text(inFile) + "-" + std::to_string(inLine) + "]\r\n";
        TraceAtVolumeZero("Contract", text);
        std::int32_t value = kContinueValue;
        switch (AskOnDialogThread([&] { return ContractRequest(text); }, value)) {
        case DialogOutcome::kAnswered: return value == kBreakValue;
        case DialogOutcome::kNotStarted:
        case DialogOutcome::kFailed: break;
        }
    } catch (...) {
    }
    TARN_DebugBreak();
    return false;
}

void EnableContractDialog() { sContractDialogEnabled.store(true); }
void DisableContractDialog() { sContractDialogEnabled.store(false); }
void SetAssertWriteToStdOut(bool inWriteToStdOut) { sWriteToStdOut.store(inWriteToStdOut); }

void TARN_DebugBreak() {
    sDebugBreaks.fetch_add(1, std::memory_order_relaxed);
    platform::os::BreakIntoDebugger();
}

bool IsValidAddress(const void* inAddress, bool inNullIsValid) {
    return inAddress != nullptr || inNullIsValid;
}

bool IsValidAddressRange(const void* inAddress, std::uint32_t /*inSize*/, bool inNullIsValid) {
    return IsValidAddress(inAddress, inNullIsValid);
}

bool IsValidAddressRange(const void* inBegin, const void* inEnd, bool inNullIsValid) {
    if (inBegin == nullptr && inNullIsValid) return true;
    if (reinterpret_cast<std::uintptr_t>(inBegin) < reinterpret_cast<std::uintptr_t>(inEnd))
        return inBegin != nullptr;
    if (BreakAfterContractDialog("inBegin < inEnd", "debug/src/Debug", 76)) TARN_DebugBreak();
    config::ThrowError(config::kErrorLevelFatal, kInputContractViolation, kUtilityComponent,
                       kInputContractViolationCode, true);
    return false;
}

namespace detail {

void ResetAssertStateForTesting() {
    sAssertsDisabled.store(false);
    sWriteToStdOut.store(false);
    sContractDialogEnabled.store(true);
    sFailDialogThreadStarts.store(false);
}

bool AssertsDisabled() { return sAssertsDisabled.load(); }

std::uint64_t DebugBreaks() { return sDebugBreaks.load(); }

void FailDialogThreadStartsForTesting(bool inFail) { sFailDialogThreadStarts.store(inFail); }

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
