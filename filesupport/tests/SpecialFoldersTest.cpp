#include "FileTestHelpers.h"

#include <tarncore/config/Client.h>
#include <tarncore/filesupport/CommonDirs.h>
#include <tarncore/filesupport/FileExceptions.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

using namespace tarncore::filesupport;
using namespace filetest;
namespace fs = std::filesystem;
namespace config = tarncore::config;

namespace {

// Sets (or with nullptr removes) an environment variable for the scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* inName, const char* inValue) : mName(inName) {
        if (const char* old = std::getenv(inName)) mOld = std::string(old);
        if (inValue != nullptr)
            setenv(inName, inValue, 1);
        else
            unsetenv(inName);
    }
    ~ScopedEnvironment() {
        if (mOld)
            setenv(mName.c_str(), mOld->c_str(), 1);
        else
            unsetenv(mName.c_str());
    }

private:
    std::string mName;
    std::optional<std::string> mOld;
};

// Puts every cache back to "compute on next use" when the test ends.
class SpecialFolders : public ::testing::Test {
protected:
    void TearDown() override {
        commondirs::SetMainExecutableOverride(File());
        commondirs::SetAppDirOverride(Dir());
        commondirs::SetExecutableDirOverride(Dir());
        commondirs::SetResourcesDirOverride(Dir());
        commondirs::SetPluginsDirOverride(Dir());
        commondirs::SetRequiredPluginsDirOverride(Dir());
    }
};

std::string Executable() { return fs::read_symlink("/proc/self/exe").string(); }

}  // namespace

TEST_F(SpecialFolders, ApplicationFoldersComeFromTheProgram) {
    const std::string executable = Executable();
    EXPECT_EQ(commondirs::MainExecutableFile().FullPath(), U(executable));
    EXPECT_EQ(Dir::AppDir().FullPath(), U(fs::path(executable).parent_path().string()));
    EXPECT_EQ(Dir::PackageDir(), Dir::AppDir());
    EXPECT_EQ(commondirs::ExecutableDir(), Dir::AppDir());
    EXPECT_EQ(commondirs::ResourcesDir(), Dir::AppDir());
}

TEST_F(SpecialFolders, OverridesAndDerivedFolders) {
    commondirs::SetPluginsDirOverride(Dir());
    commondirs::SetRequiredPluginsDirOverride(Dir());
    commondirs::SetAppDirOverride(Dir(U("/opt/App/")));
    EXPECT_EQ(Dir::AppDir().FullPath(), U("/opt/App"));
    EXPECT_EQ(Dir::PackageDir().FullPath(), U("/opt/App"));
    EXPECT_EQ(commondirs::PluginsDir().FullPath(), U("/opt/App/Plug-ins"));
    EXPECT_EQ(commondirs::RequiredPluginsDir().FullPath(), U("/opt/App/Required"));

    // Derived folders keep what they were derived from.
    commondirs::SetPackageDirOverride(Dir(U("/srv/Other")));
    EXPECT_EQ(Dir::AppDir().FullPath(), U("/srv/Other"));
    EXPECT_EQ(commondirs::PluginsDir().FullPath(), U("/opt/App/Plug-ins"));

    commondirs::SetPluginsDirOverride(Dir(U("/plugins")));
    EXPECT_EQ(commondirs::PluginsDir().FullPath(), U("/plugins"));
    commondirs::SetExecutableDirOverride(Dir(U("/bin")));
    EXPECT_EQ(commondirs::ExecutableDir().FullPath(), U("/bin"));
    commondirs::SetResourcesDirOverride(Dir(U("/res")));
    EXPECT_EQ(commondirs::ResourcesDir().FullPath(), U("/res"));
    commondirs::SetMainExecutableOverride(File(U("/bin/host")));
    EXPECT_EQ(commondirs::MainExecutableFile().FullPath(), U("/bin/host"));

    EXPECT_EQ(commondirs::AllUserPluginsDir().FullPath(), U("/opt/Corvane/Common/Plug-ins"));
    EXPECT_EQ(commondirs::UserPluginsDir(), commondirs::AllUserPluginsDir());
}

TEST_F(SpecialFolders, UserFoldersFollowTheEnvironment) {
    const std::string root = TempFolder();
    const std::string home = root + "/home";
    ScopedEnvironment homeVariable("HOME", home.c_str());
    ScopedEnvironment documents("XDG_DOCUMENTS_DIR", nullptr);

    {
        ScopedEnvironment configHome("XDG_CONFIG_HOME", (root + "/config/").c_str());
        EXPECT_EQ(Dir::GlobalPrefDir().FullPath(), U(root + "/config"));
        EXPECT_TRUE(fs::is_directory(root + "/config"));
    }
    {
        ScopedEnvironment configHome("XDG_CONFIG_HOME", "relative/ignored");
        EXPECT_EQ(Dir::GlobalPrefDir().FullPath(), U(home + "/.config"));
        EXPECT_TRUE(fs::is_directory(home + "/.config"));
    }

    ScopedEnvironment configHome("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(home + "/Documents"));
    EXPECT_TRUE(fs::is_directory(home + "/Documents"));
    WriteAll(home + "/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/My Papers\"\n");
    EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(home + "/My Papers"));
    EXPECT_TRUE(fs::is_directory(home + "/My Papers"));
    {
        ScopedEnvironment direct("XDG_DOCUMENTS_DIR", (root + "/docs").c_str());
        EXPECT_EQ(Dir::UserDocsDir().FullPath(), U(root + "/docs"));
    }

    {
        ScopedEnvironment temporary("TMPDIR", (root + "/tmp/").c_str());
        EXPECT_EQ(Dir::TempDir().FullPath(), U(root + "/tmp"));
    }
    {
        ScopedEnvironment temporary("TMPDIR", nullptr);
        EXPECT_EQ(Dir::TempDir().FullPath(), U("/tmp"));
    }
    EXPECT_EQ(Dir::CommonFilesDir().FullPath(), U("/usr/share"));
}

TEST_F(SpecialFolders, PrefDirIsCreatedFromTheClientIdentity) {
    const std::string root = TempFolder();
    ScopedEnvironment configHome("XDG_CONFIG_HOME", root.c_str());
    const auto company = config::GetCompanyName();
    const auto client = config::GetClientName();
    const auto version = config::GetClientInternalVersion();

    config::SetCompanyName(U("Corvane"));
    config::SetClientName(U("Test Client"));
    config::SetClientInternalVersion(U("7.1"));
    EXPECT_EQ(Dir::PrefDir().FullPath(), U(root + "/Corvane/Test Client/7.1"));
    EXPECT_TRUE(fs::is_directory(root + "/Corvane/Test Client/7.1"));
    EXPECT_NO_THROW(Dir::PrefDir());

    config::SetClientName(U("nested/name"));
    EXPECT_THROW(Dir::PrefDir(), dir_exception);

    config::SetCompanyName(company);
    config::SetClientName(client);
    config::SetClientInternalVersion(version);
}

TEST_F(SpecialFolders, FirstCallsFromManyThreadsAgree) {
    commondirs::SetPluginsDirOverride(Dir());
    std::vector<std::thread> threads;
    std::vector<UTF16String> results(8);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&results, i] {
            results[i] = commondirs::PluginsDir().FullPath() + Dir::AppDir().FullPath() +
                         commondirs::UserPluginsDir().FullPath();
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const UTF16String& result : results) EXPECT_EQ(result, results[0]);
}
