// The process-wide debugger-output sink, standard error by default.
#include <tarncore/platform/DebugOutput.h>

#include <atomic>
#include <cstdio>

namespace tarncore {
namespace platform {

namespace {
std::atomic<DebugOutputSink*> sSink{nullptr};
}  // namespace

DebugOutputSink::~DebugOutputSink() = default;

DebugOutputSink* SetDebugOutputSink(DebugOutputSink* inSink) {
    return sSink.exchange(inSink, std::memory_order_acq_rel);
}

void WriteDebugOutput(std::string_view inPiece) {
    if (DebugOutputSink* sink = sSink.load(std::memory_order_acquire)) {
        sink->Write(inPiece);
        return;
    }
    if (!inPiece.empty()) {
        // stderr is unbuffered: one fwrite keeps the piece whole next to other writers.
        std::fwrite(inPiece.data(), 1, inPiece.size(), stderr);
    }
}

}  // namespace platform
}  // namespace tarncore
