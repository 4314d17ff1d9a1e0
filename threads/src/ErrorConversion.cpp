// The thread failures reported through config::ThrowError, and the lock failure of a misuse.
#include "ErrorConversion.h"

#include <tarncore/config/Errors.h>

#include <boost/system/error_code.hpp>
#include <boost/throw_exception.hpp>

namespace tarncore {
namespace threads {

namespace {
const std::uint32_t kThreadsComponent = 106;
}

void ReportNotEnoughThreadResources() {
    config::ThrowError(config::kErrorLevelNonFatal,
                       "$$$/tarn/threads/Error/NotEnoughThreadResources=Not enough thread resources.",
                       kThreadsComponent, 20, true);
}

void ReportFailedToAcquireThreadLock() {
    config::ThrowError(config::kErrorLevelNonFatal,
                       "$$$/tarn/threads/Error/FailedToAcquireThreadLock=Failure to acquire thread lock.",
                       kThreadsComponent, 21, true);
}

void ThrowLockError(const char* inWhat) {
    boost::throw_exception(
        boost::lock_error(static_cast<int>(boost::system::errc::operation_not_permitted), inWhat));
}

}  // namespace threads
}  // namespace tarncore
