// Assertions and contract violations: their texts, their flags and the dialogs that report them.
#pragma once

#include <tarncore/platform/Export.h>

#include <cstdint>

/// @file
/// Reporting a broken assumption (an assertion) or an input that breaks a function's
/// documented contract, and letting the developer decide what happens next.
///
/// An assertion is traced in the category "Assert" and, when the debug variable
/// "assert.enabled" is "true" (DebugDatabase), shown in the assert dialog, whose buttons
/// answer:
///
/// | Button | DisplayAssert result |
/// |---|---|
/// | Copy | none: the caption, a line feed and the details go to the clipboard |
/// | Debug | kAssertBreak (0) |
/// | Ignore Once (also Escape, and the headless answer) | kAssertContinue (3) |
/// | Ignore Always | kAssertIgnoreAlways (4) |
/// | Disable Asserts | kAssertIgnoreAlways (4); no later assertion shows a dialog |
/// | Kill Process | none: the process ends at once with exit code -1 |
///
/// Copy leaves the dialog open. Closing the dialog answers as Ignore Once does, and so
/// does a prompt when nobody can be asked.
///
/// A contract violation is traced in the category "Contract" and shown, unless
/// DisableContractDialog() was called, in the contract dialog: one Continue button that
/// goes on, or breaks into the debugger when pressed with Ctrl held down.
///
/// The dialogs are asked through the modal prompt (tarncore/platform/ModalPrompt.h: an
/// X11 dialog, a terminal prompt, or the headless answer; a host or a test installs its
/// own), each on a thread of its own while the reporting thread waits for the answer.
/// Several threads may report at once; each gets its own dialog. Their titles, message
/// and button labels are the texts of their message keys (config::LocalizeKey), with
/// "@0" replaced by the client name (config::GetClientName).
namespace tarncore {
namespace debug {

/// Results of DisplayAssert.
/// @{
constexpr std::int32_t kAssertBreak = 0;         ///< Break into the debugger.
constexpr std::int32_t kAssertContinue = 3;      ///< Go on: ignored once, or nothing shown.
constexpr std::int32_t kAssertIgnoreAlways = 4;  ///< Go on, and stop checking this assertion.
constexpr std::int32_t kAssertFailed = -1;       ///< The dialog failed (after a break).
/// @}

/// Reports an assertion. In order:
/// 1. When trace category "Assert" is enabled at volume 0, traces the caption as one
///    line ("<thread id> <Assert> <0> ", the caption, CR LF), then, asking again, the
///    details the same way.
/// 2. Reads the boolean debug variable "assert.enabled", default false (a missing one
///    is added as "false", in memory).
/// 3. With SetAssertWriteToStdOut(true): writes the caption and the details to standard
///    output, each followed by a line feed, and returns kAssertContinue.
/// 4. With "assert.enabled" false: returns kAssertContinue, showing nothing.
/// 5. After "Disable Asserts" or "Kill Process": returns kAssertIgnoreAlways.
/// 6. Otherwise writes the caption and then the details to the debugger output
///    (DebugTrace) and asks the assert dialog, whose caption is inCaption and whose
///    details are inDetails (lines ended by CR LF), and returns its answer (table above).
///    When the dialog's thread cannot be started it breaks into the debugger
///    (TARN_DebugBreak) and returns kAssertContinue; when the dialog fails (an exception)
///    it breaks and returns kAssertFailed.
///
/// It never throws: a failure to trace is skipped, and a debug database that cannot be
/// read counts as "assert.enabled" false. A null caption or details is taken as empty.
TARNCORE_API std::int32_t DisplayAssert(const char* inCaption, const char* inDetails);

/// Reports a failed assertion through DisplayAssert with the caption "Debug Assert
/// failed!" and, as details, lines ended by CR LF: the message followed by an empty line
/// (when inMessage is neither null nor empty), then "Expression: ", "Process: " (the
/// process's command line, its arguments joined by spaces), "File: ", "Line: " (decimal)
/// and "Function: ", each with its value.
///
/// Sets ioIgnoreAlways to true when the answer is to ignore the assertion always (or
/// asserts were disabled), and returns true exactly when the caller should break into the
/// debugger (kAssertBreak). The caller stops checking the assertion once ioIgnoreAlways
/// is true:
/// @code
/// static bool ignoreAlways = false;
/// if (!ignoreAlways && !(count > 0) &&
///     BreakAfterAssertDialog(ignoreAlways, "count > 0", nullptr, __FILE__, __LINE__, __func__))
///     TARN_DebugBreak();
/// @endcode
TARNCORE_API bool BreakAfterAssertDialog(bool& ioIgnoreAlways, const char* inExpression,
                                         const char* inMessage, const char* inFile, std::int32_t inLine,
                                         const char* inFunction);

/// Fails an assertion on request, so that a person sees the assert dialog (as a console
/// command does): the text is built as BreakAfterAssertDialog() builds it and shown
/// through DisplayAssert(), whose result is returned. For the call "assert.enabled" is
/// "true" in memory (the file is not written); afterwards it has its earlier value, or
/// "false" when it had none. Never throws.
TARNCORE_API std::int32_t FailAssertionOnRequest(const char* inExpression, const char* inMessage,
                                                 const char* inFile, std::int32_t inLine,
                                                 const char* inFunction);

/// Reports a contract violation. Returns false at once when the contract dialog is
/// disabled. Otherwise the text is "[", inFile, "-", inLine in decimal, "]", CR LF (the
/// expression is not part of it): traced as one line in category "Contract" at volume 0
/// when that is enabled, then shown in the contract dialog. Returns true when Continue was
/// pressed with Ctrl held down: the caller then breaks into the debugger. A dialog thread
/// that cannot be started, or a dialog that fails, breaks into the debugger here and
/// gives false. Never throws.
TARNCORE_API bool BreakAfterContractDialog(const char* inExpression, const char* inFile, std::int32_t inLine);

/// The contract dialog is shown (the initial state) or not; the setting stays until
/// changed.
/// @{
TARNCORE_API void EnableContractDialog();
TARNCORE_API void DisableContractDialog();
/// @}

/// With true, DisplayAssert writes its texts to standard output instead of asking
/// (initially false); the setting stays until changed.
TARNCORE_API void SetAssertWriteToStdOut(bool inWriteToStdOut);

/// Breaks into an attached debugger: the calling thread stops in it with SIGTRAP and
/// goes on when the debugger continues. Without a debugger (no tracer attached) it does
/// nothing, and the signal never ends the process (a tracer that hands it on, such as
/// strace, sees it dropped).
TARNCORE_API void TARN_DebugBreak();

/// True when the pointer is not null; null is valid only when inNullIsValid.
TARNCORE_API bool IsValidAddress(const void* inAddress, bool inNullIsValid);

/// The same test as IsValidAddress; the size plays no part.
TARNCORE_API bool IsValidAddressRange(const void* inAddress, std::uint32_t inSize, bool inNullIsValid);

/// A null inBegin with inNullIsValid is valid. Otherwise, when inBegin < inEnd as
/// addresses, the result is whether inBegin is not null. When inBegin >= inEnd the input
/// contract "inBegin < inEnd" is broken: BreakAfterContractDialog() is called for it
/// (true breaks into the debugger), then the fatal error "An input contract violation has
/// occurred!" (component 105, code 25) is raised through config::ThrowError; if the
/// error manager returns, the result is false.
TARNCORE_API bool IsValidAddressRange(const void* inBegin, const void* inEnd, bool inNullIsValid);

}  // namespace debug
}  // namespace tarncore
