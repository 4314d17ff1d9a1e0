// Turning the dependency's thread failures into the library's error reports.
#pragma once

#include <boost/thread/exceptions.hpp>

namespace tarncore {
namespace threads {

// Report the two thread failures of the dependency through config::ThrowError.
void ReportNotEnoughThreadResources();
void ReportFailedToAcquireThreadLock();

// Runs inOperation, turning the dependency's lack of resources and lock failure into
// the library's error reports. When the report returns (it was deferred), the caught
// exception goes on to the caller; every other exception passes unchanged.
template <class Operation>
auto WithErrorConversion(Operation&& inOperation) -> decltype(inOperation()) {
    try {
        return inOperation();
    } catch (const boost::thread_resource_error&) {
        ReportNotEnoughThreadResources();
        throw;
    } catch (const boost::lock_error&) {
        ReportFailedToAcquireThreadLock();
        throw;
    }
}

// The lock failure that a misuse (a wait without the lock, a moved-away mutex) raises.
[[noreturn]] void ThrowLockError(const char* inWhat);

}  // namespace threads
}  // namespace tarncore
