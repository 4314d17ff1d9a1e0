// What the assertion tests reach beyond the interface.
#pragma once

#include <cstdint>

namespace tarncore {
namespace debug {
namespace detail {

// Puts the process-wide flags back to their start: asserts enabled, no standard output,
// the contract dialog shown, dialog threads started. For tests only.
void ResetAssertStateForTesting();

// True once "Disable Asserts" or "Kill Process" was answered.
bool AssertsDisabled();

// How many times TARN_DebugBreak has been called.
std::uint64_t DebugBreaks();

// With true, no dialog thread can be started, as when the system has none to give.
void FailDialogThreadStartsForTesting(bool inFail);

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
