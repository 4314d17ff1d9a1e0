// The allocator statistics trace's state, for its tests.
#pragma once

namespace tarncore {
namespace utility {
namespace detail {

// Forgets whether statistics are traced, as at the start of a process.
void ResetAllocatorStatisticsForTesting();

}  // namespace detail
}  // namespace utility
}  // namespace tarncore
