// The allocator statistics trace: TraceAllocatorStatistics.
#pragma once

#include <tarncore/platform/Export.h>

/// @file
/// The allocators' statistics as trace output. The allocators keep no statistics
/// (utility::SmallBlockAllocator::Metrics::GetSnapshot answers false), and this says so.
namespace tarncore {
namespace utility {

/// When the trace category "TARN.Allocator" is enabled at volume 1, writes one trace
/// line to the debugger output: the start of a trace line (debug::TraceLinePrefix for
/// that category and volume 1), "Allocator is not being monitored. Statistics are not
/// available" and a line feed. Whether the category is enabled is asked on the first
/// call only; the answer holds for the rest of the process. No heap memory is used
/// once that answer is known.
TARNCORE_API void TraceAllocatorStatistics();

}  // namespace utility
}  // namespace tarncore
