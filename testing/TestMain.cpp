// Runs every test program inside a private folder, so no test can reach the real home.
#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace tarncore {
namespace testing {

namespace {

std::string& RootStorage() {
    static std::string root;
    return root;
}

void SetUpRoot() {
    namespace fs = std::filesystem;
    const char* base = std::getenv("TARNCORE_TEST_ROOT");
    fs::path parent = base != nullptr && *base ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(parent);
    std::string pattern = (parent / "tarncore-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    const fs::path root(buffer.data());
    fs::create_directories(root / "home" / ".config");
    fs::create_directories(root / "tmp");
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str(), 1);
    setenv("TMPDIR", (root / "tmp").c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    RootStorage() = root.string();
}

}  // namespace

const std::string& TestRoot() { return RootStorage(); }

std::string MakeTempFolder(const std::string& inPrefix) {
    std::string pattern = TestRoot() + "/tmp/" + inPrefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return std::string();
    return std::string(buffer.data());
}

}  // namespace testing
}  // namespace tarncore

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tarncore::testing::SetUpRoot();
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(tarncore::testing::TestRoot(), ignored);
    return result;
}
