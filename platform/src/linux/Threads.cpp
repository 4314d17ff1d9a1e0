// Linux: the calling thread's id through gettid().
#include "platform/os/Threads.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace tarncore {
namespace platform {

std::uint32_t GetCurrentThreadId() {
    // Kernel thread ids are positive pids, which fit in 32 bits.
    return static_cast<std::uint32_t>(::gettid());
}

void SpinPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

}  // namespace platform
}  // namespace tarncore
