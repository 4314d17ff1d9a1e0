// The volumes a user would pick from: the mount points of the running system.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The volumes a user would pick from: mount points of the running system.
namespace tarncore {
namespace platform {
namespace os {

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};

// The mount points of /proc/self/mounts that are volumes (see SelectVolumes), in
// mount order.
std::vector<std::string> ListVolumes();

// The entries of a mount table in the format of /proc/self/mounts, with the octal
// escapes of its fields ("\040" for a space) decoded. Malformed lines are skipped.
std::vector<MountEntry> ParseMountTable(const std::string& inText);

// The root, file systems on block devices that are neither removable (as inIsRemovable
// tells for a device path), nor loop, optical or RAM disks, and network file systems.
// Each mount point appears once.
std::vector<std::string> SelectVolumes(const std::vector<MountEntry>& inMounts,
                                       const std::function<bool(const std::string&)>& inIsRemovable);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
