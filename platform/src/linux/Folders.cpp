// Linux: the special folders from the XDG variables and their fallbacks.
#include "platform/os/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace tarncore {
namespace platform {
namespace os {

namespace {

// An environment value that is an absolute path; XDG ignores relative ones.
bool AbsoluteFromEnvironment(const char* inName, std::string& outPath) {
    const char* value = std::getenv(inName);
    if (value == nullptr || value[0] != '/') return false;
    outPath = value;
    return true;
}

void TrimTrailingSlashes(std::string& ioPath) {
    while (ioPath.size() > 1 && ioPath.back() == '/') ioPath.pop_back();
}

bool HomeFolder(std::string& outPath) {
    if (AbsoluteFromEnvironment("HOME", outPath)) return true;
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return false;
    outPath = found->pw_dir;
    return true;
}

bool UserConfigFolder(std::string& outPath) {
    if (AbsoluteFromEnvironment("XDG_CONFIG_HOME", outPath)) return true;
    if (!HomeFolder(outPath)) return false;
    TrimTrailingSlashes(outPath);
    outPath += "/.config";
    return true;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs: a quoted value that is "$HOME/..." or
// absolute. "$HOME/" alone means the user has no documents folder but home.
bool DocumentsFromUserDirs(const std::string& inHome, std::string& outPath) {
    std::string config;
    if (!UserConfigFolder(config)) return false;
    std::ifstream file(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value;
        bool closed = false;
        for (std::size_t i = start + key.size(); i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed) continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
            outPath = inHome + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            outPath = value;
        } else {
            continue;
        }
        TrimTrailingSlashes(outPath);
        return true;
    }
    return false;
}

int CreateWithParents(const std::string& inPath) {
    for (std::size_t slash = inPath.find('/', 1);; slash = inPath.find('/', slash + 1)) {
        const std::string part = inPath.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (::stat(inPath.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

}  // namespace

int GetSpecialFolder(SpecialFolder inFolder, bool inCreate, std::string& outPath) {
    std::string path;
    switch (inFolder) {
    case SpecialFolder::kUserAppData:
        if (!UserConfigFolder(path)) return ENOENT;
        break;
    case SpecialFolder::kUserDocuments: {
        std::string home;
        if (!HomeFolder(home)) return ENOENT;
        TrimTrailingSlashes(home);
        if (!AbsoluteFromEnvironment("XDG_DOCUMENTS_DIR", path) && !DocumentsFromUserDirs(home, path))
            path = home + "/Documents";
        break;
    }
    case SpecialFolder::kProgramFiles: path = "/opt"; break;
    case SpecialFolder::kCommonProgramFiles: path = "/usr/share"; break;
    case SpecialFolder::kTemporary:
        if (!AbsoluteFromEnvironment("TMPDIR", path)) path = "/tmp";
        break;
    default: return EINVAL;
    }
    TrimTrailingSlashes(path);
    if (inCreate) {
        if (const int error = CreateWithParents(path)) return error;
    }
    outPath = path;
    return 0;
}

int MainExecutablePath(std::string& outPath) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return errno;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            outPath.assign(buffer.data(), static_cast<std::size_t>(length));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
