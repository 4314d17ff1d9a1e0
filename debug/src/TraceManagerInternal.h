// What the trace manager's tests reach beyond its interface.
#pragma once

#include <cstdint>

namespace tarncore {
namespace debug {
namespace detail {

// Drops the trace settings without saving them and forgets the master record, as at
// process start. For tests only.
void ResetTraceManagerForTesting();

// How many TraceEnabled calls have taken the trace lock.
std::uint64_t LockedTraceQueries();

// Called by TraceEnabled under the trace lock, with the busy flag set (null: nothing).
void SetLockedQueryProbeForTesting(void (*inProbe)());

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
