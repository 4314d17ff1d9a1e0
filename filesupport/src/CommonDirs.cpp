// The special folders of Dir and the application's folders of commondirs, cached or overridden.
#include <tarncore/filesupport/CommonDirs.h>

#include <tarncore/config/Client.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/PathRules.h>

#include "platform/os/Files.h"
#include "platform/os/Folders.h"

#include <mutex>

namespace tarncore {
namespace filesupport {

namespace os = platform::os;
using utility::UTF16String;

namespace {

// Hosts set overrides at start-up, but a first call from two threads at once must
// still not race, so the caches share one lock. It is recursive because derived
// folders ask for the application folder while holding it.
struct Caches {
    std::recursive_mutex lock;
    UTF16String appDir;
    File mainExecutable;
    Dir executableDir;
    Dir resourcesDir;
    Dir pluginsDir;
    Dir requiredPluginsDir;
    Dir allUserPluginsDir;
    Dir userPluginsDir;
};

Caches& TheCaches() {
    static Caches caches;
    return caches;
}

using Guard = std::lock_guard<std::recursive_mutex>;

bool MainExecutablePath(UTF16String& outPath) {
    std::string native;
    return os::MainExecutablePath(native) == 0 && utility::FromNativePath(native, outPath);
}

// The system's folder, or false when it has none.
bool SpecialFolder(os::SpecialFolder inFolder, bool inCreate, UTF16String& outPath) {
    std::string native;
    return os::GetSpecialFolder(inFolder, inCreate, native) == 0 && utility::FromNativePath(native, outPath);
}

Dir SpecialFolderOrAppDir(os::SpecialFolder inFolder, bool inCreate) {
    UTF16String path;
    return SpecialFolder(inFolder, inCreate, path) ? Dir(path) : Dir::AppDir();
}

}  // namespace

Dir Dir::AppDir() {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    if (caches.appDir.empty()) {
        UTF16String executable;
        if (MainExecutablePath(executable))
            caches.appDir = utility::PathRules::Native().ParentDirPath(executable);
    }
    return Dir(caches.appDir);
}

Dir Dir::PackageDir() { return AppDir(); }

Dir Dir::TempDir() {
    UTF16String path;
    return SpecialFolder(os::SpecialFolder::kTemporary, false, path) ? Dir(path) : Dir();
}

Dir Dir::GlobalPrefDir() { return SpecialFolderOrAppDir(os::SpecialFolder::kUserAppData, true); }
Dir Dir::CommonFilesDir() { return SpecialFolderOrAppDir(os::SpecialFolder::kCommonProgramFiles, false); }
Dir Dir::UserDocsDir() { return SpecialFolderOrAppDir(os::SpecialFolder::kUserDocuments, true); }

Dir Dir::PrefDir() {
    Dir dir = GlobalPrefDir();
    for (const UTF16String* name :
         {&config::GetCompanyName(), &config::GetClientName(), &config::GetClientInternalVersion()}) {
        dir = Dir(dir, *name);
        dir.Create();
    }
    return dir;
}

namespace commondirs {

File MainExecutableFile() {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    if (caches.mainExecutable.FullPath().empty()) {
        UTF16String executable;
        if (MainExecutablePath(executable)) caches.mainExecutable = File(executable);
    }
    return caches.mainExecutable;
}

namespace {
// A cached Dir filled by inCompute when empty.
template <typename Compute>
Dir Cached(Dir Caches::*inMember, Compute inCompute) {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    Dir& cached = caches.*inMember;
    if (cached.FullPath().empty()) cached = inCompute();
    return cached;
}

void Set(Dir Caches::*inMember, const Dir& inDir) {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    caches.*inMember = inDir;
}
}  // namespace

Dir ExecutableDir() {
    return Cached(&Caches::executableDir, [] { return Dir::AppDir(); });
}
Dir ResourcesDir() {
    return Cached(&Caches::resourcesDir, [] { return Dir::AppDir(); });
}
Dir PluginsDir() {
    return Cached(&Caches::pluginsDir, [] { return Dir(Dir::AppDir(), utility::MakeUTF16(u"Plug-ins")); });
}
Dir RequiredPluginsDir() {
    return Cached(&Caches::requiredPluginsDir,
                  [] { return Dir(Dir::AppDir(), utility::MakeUTF16(u"Required")); });
}
Dir AllUserPluginsDir() {
    return Cached(&Caches::allUserPluginsDir, [] {
        UTF16String programFiles;
        if (!SpecialFolder(os::SpecialFolder::kProgramFiles, false, programFiles)) return Dir();
        return Dir(programFiles + utility::MakeUTF16(u"/Corvane/Common/Plug-ins"));
    });
}
Dir UserPluginsDir() {
    return Cached(&Caches::userPluginsDir, [] { return AllUserPluginsDir(); });
}

void SetMainExecutableOverride(const File& inFile) {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    caches.mainExecutable = inFile;
}

void SetAppDirOverride(const Dir& inDir) {
    Caches& caches = TheCaches();
    Guard guard(caches.lock);
    caches.appDir = inDir.FullPath();
}
void SetPackageDirOverride(const Dir& inDir) { SetAppDirOverride(inDir); }
void SetExecutableDirOverride(const Dir& inDir) { Set(&Caches::executableDir, inDir); }
void SetResourcesDirOverride(const Dir& inDir) { Set(&Caches::resourcesDir, inDir); }
void SetPluginsDirOverride(const Dir& inDir) { Set(&Caches::pluginsDir, inDir); }
void SetRequiredPluginsDirOverride(const Dir& inDir) { Set(&Caches::requiredPluginsDir, inDir); }

}  // namespace commondirs
}  // namespace filesupport
}  // namespace tarncore
