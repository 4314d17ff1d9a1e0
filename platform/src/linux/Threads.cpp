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

}  // namespace platform
}  // namespace tarncore
