// TraceAllocatorStatistics: the answer to whether statistics are traced, kept, and its line.
#include <tarncore/debug/AllocatorStatistics.h>

#include <tarncore/debug/SafeTraceStream.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/utility/StringTypes.h>

#include "AllocatorStatisticsInternal.h"

#include <atomic>
#include <cstdint>

namespace tarncore {
namespace utility {

namespace {

constexpr const char* kCategory = "TARN.Allocator";
constexpr std::int32_t kVolume = 1;

// 0 not asked yet, 1 statistics traced, -1 not. Relaxed: only the answer matters, and
// two first calls at once ask the same question.
std::atomic<std::int32_t> sState{0};

}  // namespace

void TraceAllocatorStatistics() {
    std::int32_t state = sState.load(std::memory_order_relaxed);
    if (state == 0) {
        state = debug::TraceEnabled(MakeUTF8(kCategory), kVolume, false) ? 1 : -1;
        sState.store(state, std::memory_order_relaxed);
    }
    if (state != 1) return;
    debug::SafeTraceStream stream;
    debug::WriteTraceLinePrefix(stream, kCategory, kVolume)
        << "Allocator is not being monitored. Statistics are not available"
        << "\n";
}

namespace detail {

void ResetAllocatorStatisticsForTesting() { sState.store(0, std::memory_order_relaxed); }

}  // namespace detail

}  // namespace utility
}  // namespace tarncore
