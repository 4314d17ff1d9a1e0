// Linux: the volumes from the mount table of /proc/self/mounts.
#include "platform/os/Volumes.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace tarncore {
namespace platform {
namespace os {

namespace {

std::string DecodeField(const std::string& inField) {
    std::string out;
    for (std::size_t i = 0; i < inField.size(); ++i) {
        if (inField[i] == '\\' && inField.size() - i >= 4) {
            const char a = inField[i + 1], b = inField[i + 2], c = inField[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += inField[i];
    }
    return out;
}

bool StartsWith(const std::string& inText, const char* inPrefix) {
    return inText.compare(0, std::char_traits<char>::length(inPrefix), inPrefix) == 0;
}

bool IsNetworkType(const std::string& inType) {
    static const std::set<std::string> kTypes = {
        "nfs",  "nfs4", "cifs",  "smb3",      "smbfs",      "ncpfs",          "afs",
        "ceph", "9p",   "davfs", "glusterfs", "fuse.sshfs", "fuse.glusterfs", "fuse.davfs2"};
    return kTypes.count(inType) != 0;
}

bool IsSpecialBlockDevice(const std::string& inDevice, const std::string& inType) {
    if (inType == "iso9660" || inType == "udf") return true;
    const std::string name = inDevice.substr(5);  // after "/dev/"
    for (const char* prefix : {"loop", "sr", "scd", "ram", "zram", "fd"}) {
        if (StartsWith(name, prefix)) return true;
    }
    return false;
}

// sysfs keeps "removable" on the whole disk; a partition is a folder inside it.
bool IsRemovableDevice(const std::string& inDevice) {
    char resolved[PATH_MAX];
    if (::realpath(inDevice.c_str(), resolved) == nullptr) return false;
    std::string name(resolved);
    name = name.substr(name.rfind('/') + 1);
    if (::realpath(("/sys/class/block/" + name).c_str(), resolved) == nullptr) return false;
    const std::string folder(resolved);
    for (const std::string& candidate : {folder + "/removable", folder + "/../removable"}) {
        std::ifstream file(candidate);
        char flag = 0;
        if (file >> flag) return flag == '1';
    }
    return false;
}

}  // namespace

std::vector<MountEntry> ParseMountTable(const std::string& inText) {
    std::vector<MountEntry> mounts;
    std::istringstream lines(inText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        MountEntry entry;
        if (!(fields >> entry.device >> entry.mountPoint >> entry.type)) continue;
        entry.device = DecodeField(entry.device);
        entry.mountPoint = DecodeField(entry.mountPoint);
        entry.type = DecodeField(entry.type);
        if (entry.mountPoint.empty() || entry.mountPoint[0] != '/') continue;
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::vector<std::string> SelectVolumes(const std::vector<MountEntry>& inMounts,
                                       const std::function<bool(const std::string&)>& inIsRemovable) {
    std::vector<std::string> volumes;
    std::set<std::string> seen;
    for (const MountEntry& mount : inMounts) {
        bool keep = mount.mountPoint == "/" || IsNetworkType(mount.type);
        if (!keep && StartsWith(mount.device, "/dev/") && mount.device.size() > 5)
            keep = !IsSpecialBlockDevice(mount.device, mount.type) && !inIsRemovable(mount.device);
        if (keep && seen.insert(mount.mountPoint).second) volumes.push_back(mount.mountPoint);
    }
    return volumes;
}

std::vector<std::string> ListVolumes() {
    std::ifstream file("/proc/self/mounts");
    std::ostringstream text;
    text << file.rdbuf();
    return SelectVolumes(ParseMountTable(text.str()), IsRemovableDevice);
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
