// The process-wide debugger output: the sink interface, installing a sink, writing a piece.
#pragma once

#include <tarncore/platform/Export.h>

#include <string_view>

/// @file
/// The process-wide debugger output. Library code writes pieces of UTF-8 text to it
/// (the debug stream, trace lines); by default they go to standard error unchanged.
/// A host or a test installs its own sink to receive exactly the same pieces.
namespace tarncore {
namespace platform {

/// Receives the pieces of debugger output once installed with SetDebugOutputSink.
class TARNCORE_API DebugOutputSink {
public:
    virtual ~DebugOutputSink();
    /// One piece, as written: no line end is added or removed.
    virtual void Write(std::string_view inPiece) = 0;
};

/// Installs inSink (not owned; null puts the standard-error default back) and returns
/// the previously installed sink (null for the default). Meant for start-up, shut-down
/// and tests: a writer on another thread may still use the old sink for one piece.
TARNCORE_API DebugOutputSink* SetDebugOutputSink(DebugOutputSink* inSink);

/// Hands one piece to the installed sink.
TARNCORE_API void WriteDebugOutput(std::string_view inPiece);

}  // namespace platform
}  // namespace tarncore
