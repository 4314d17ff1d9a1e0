// The running process: its command line, a debugger attached to it, ending it at once.
#pragma once

#include <string>

// What the assertions need from the operating system about the process itself.
namespace tarncore {
namespace platform {
namespace os {

// The arguments the process was started with, the program first, joined by single
// spaces; their bytes stand as they are. Empty when they cannot be read.
std::string ProcessCommandLine();

// True when a tracer (a debugger, or a tool such as strace) is attached to the process.
bool DebuggerAttached();

// With a tracer attached, stops the calling thread in it with SIGTRAP and returns true
// once the tracer lets it go on. The signal is ignored by the process itself meanwhile,
// so a tracer that hands it on (strace) does not end the process, and a handler the
// process installed is not run. Without a tracer it does nothing and returns false.
bool BreakIntoDebugger();

// Ends the process at once with the exit code, whose low 8 bits are what its parent
// sees (-1 shows as 255): no destructors, exit handlers or stream flushing run, as when
// a process is killed.
[[noreturn]] void TerminateProcess(int inExitCode);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
