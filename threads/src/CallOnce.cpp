// CallOnce: a function run once per flag, with the calls in progress kept aside.
#include <tarncore/threads/Thread.h>

#include "ErrorConversion.h"

#include <boost/atomic/atomic_ref.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>

#include <algorithm>
#include <utility>
#include <vector>

namespace tarncore {
namespace threads {

namespace {

// The caller owns the flag and it must read 0 until the function has returned, so the
// calls in progress are kept here: the flag's address and the thread running it.
struct OnceRegistry {
    boost::mutex mutex;
    boost::condition_variable finished;
    std::vector<std::pair<const std::int32_t*, std::uint32_t>> running;

    auto Find(const std::int32_t* inFlag) {
        return std::find_if(running.begin(), running.end(),
                            [&](const auto& entry) { return entry.first == inFlag; });
    }
};

// Never destroyed, so that threads still running at exit can use it.
OnceRegistry& Registry() {
    static OnceRegistry* registry = new OnceRegistry;
    return *registry;
}

}  // namespace

void CallOnce(void (*inFunction)(), std::int32_t& ioFlag) {
    boost::atomic_ref<std::int32_t> flag(ioFlag);
    if (flag.load(boost::memory_order_acquire) == 1) return;

    // The waiting runs through the error conversion; the function's own exceptions
    // reach the caller unchanged.
    OnceRegistry& registry = Registry();
    const bool mustRun = WithErrorConversion([&] {
        const std::uint32_t self = GetCurrentThreadID();
        boost::unique_lock<boost::mutex> lock(registry.mutex);
        for (;;) {
            if (flag.load(boost::memory_order_acquire) == 1) return false;
            auto entry = registry.Find(&ioFlag);
            if (entry == registry.running.end()) break;
            if (entry->second == self)
                ThrowLockError("tarncore::threads::CallOnce: called again from its own function");
            registry.finished.wait(lock);
        }
        registry.running.emplace_back(&ioFlag, self);
        return true;
    });
    if (!mustRun) return;

    // Whatever happens, the entry goes and the waiters wake: after a success they find
    // the flag set, after a failure one of them tries again.
    auto finish = [&](bool inSucceeded) {
        boost::lock_guard<boost::mutex> lock(registry.mutex);
        if (inSucceeded) flag.store(1, boost::memory_order_release);
        registry.running.erase(registry.Find(&ioFlag));
        registry.finished.notify_all();
    };
    try {
        inFunction();
    } catch (...) {
        finish(false);
        throw;
    }
    finish(true);
}

}  // namespace threads
}  // namespace tarncore
