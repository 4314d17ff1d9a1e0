// What the debug database's tests reach beyond its interface.
#pragma once

namespace tarncore {
namespace debug {
namespace detail {

// Destroys the process's debug database, so that the next Instance() makes and loads
// a new one, as at process start. For tests only.
void ForgetDebugDatabaseForTesting();

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
