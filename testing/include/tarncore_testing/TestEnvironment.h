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

}  // namespace testing
}  // namespace tarncore
