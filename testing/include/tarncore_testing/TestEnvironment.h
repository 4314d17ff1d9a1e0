// The private folder a test program runs in, and new temporary folders inside it.
#pragma once

#include <string>

namespace tarncore {
namespace testing {

// The private folder this test process runs in. HOME, XDG_CONFIG_HOME and TMPDIR point
// inside it ("home", "home/.config", "tmp"); it is removed when the process ends.
const std::string& TestRoot();

// A new empty folder inside TestRoot()/tmp.
std::string MakeTempFolder(const std::string& inPrefix = "t");

// Whether this build runs under AddressSanitizer or ThreadSanitizer, whose allocators
// keep freed memory: measures of resident memory mean nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kUnderMemorySanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kUnderMemorySanitizer = true;
#else
constexpr bool kUnderMemorySanitizer = false;
#endif
#else
constexpr bool kUnderMemorySanitizer = false;
#endif

}  // namespace testing
}  // namespace tarncore
