// Linux: the command line and the tracer from /proc/self, a SIGTRAP for the debugger, _exit.
#include "platform/os/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace tarncore {
namespace platform {
namespace os {

namespace {

// The whole of a /proc file (their sizes are not known beforehand); empty on failure.
std::string ReadProcFile(const char* inPath) {
    std::string bytes;
    const int file = ::open(inPath, O_RDONLY | O_CLOEXEC);
    if (file < 0) return bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(file, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(file);
    return bytes;
}

}  // namespace

std::string ProcessCommandLine() {
    // Each argument is followed by a NUL.
    std::string line = ReadProcFile("/proc/self/cmdline");
    if (!line.empty() && line.back() == '\0') line.pop_back();
    for (char& byte : line)
        if (byte == '\0') byte = ' ';
    return line;
}

bool DebuggerAttached() {
    const std::string status = ReadProcFile("/proc/self/status");
    static const char kField[] = "\nTracerPid:";
    const std::string::size_type field = status.find(kField);
    if (field == std::string::npos) return false;
    return std::strtol(status.c_str() + field + sizeof kField - 1, nullptr, 10) != 0;
}

bool BreakIntoDebugger() {
    if (!DebuggerAttached()) return false;
    // Blocked, the signal would wait for the thread to unblock it, when the process's own
    // disposition is back (by default, ending the process).
    sigset_t blocked;
    if (::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0 || sigismember(&blocked, SIGTRAP) == 1)
        return false;
    // A traced process sees even an ignored signal stop it in its tracer, and the
    // tracer decides whether it is delivered; delivered, it is dropped. The disposition
    // is the process's, so two breaks at once must not restore each other's.
    static std::mutex* const lock = new std::mutex;  // never destroyed: a late break may come
    const std::lock_guard<std::mutex> guard(*lock);
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (::sigaction(SIGTRAP, &ignore, &previous) != 0) return false;
    std::raise(SIGTRAP);
    ::sigaction(SIGTRAP, &previous, nullptr);
    return true;
}

void TerminateProcess(int inExitCode) { ::_exit(inExitCode); }

}  // namespace os
}  // namespace platform
}  // namespace tarncore
