// The drives a user picks from: the root and the real mounted volumes on
// Linux, the drive letters on Windows.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/window/paths.h"

namespace quillmere {

struct Volume {
  std::string root;  // the mount point ("/", "/media/ann/USB STICK") or drive root ("C:\")
  std::string name;  // the volume's label, device or share ("vda", "server:/export"); may be empty
};

// One line of the system's mount table.
struct MountedFileSystem {
  std::string target;          // the mount point
  std::string source;          // the device or share ("/dev/sdb1", "//server/share")
  std::string fileSystemType;  // "ext4", "tmpfs", ...
  std::string device;          // "MAJOR:MINOR" of the file system
  std::string fileSystemRoot;  // the folder of that file system shown at the mount point
};

// The volumes a user would pick among `mounts` (in the mount table's order),
// sorted by ListingOrder of their roots, "/" always first. Pseudo and memory
// file systems (proc, sysfs, tmpfs, cgroup, ...) and mounts inside the
// system's own trees (/proc, /sys, /dev, /run except /run/media, /etc, /boot,
// /snap, /var/lib) are left out; a mount point mounted twice is listed once,
// the later mount hiding the earlier. A file system mounted again elsewhere
// (a bind mount) is listed once, at its shortest mount point; a mount of a
// folder that another listed mount of the same file system already shows is
// left out. A volume's name is its label from `labels` (device path ->
// label, the source also looked up with its links resolved), else the
// device's file name for a /dev device, else the source as written (a share
// such as "//server/share").
std::vector<Volume> VolumesFromMounts(const std::vector<MountedFileSystem>& mounts,
                                      const std::map<std::string, std::string>& labels = {});

// Linux only (volumes_linux.cpp): the volumes of a /proc/self/mountinfo text,
// read with libmount and chosen by VolumesFromMounts. Lines that cannot be
// parsed are skipped.
std::vector<Volume> VolumesFromMountInfo(std::string_view mountInfo,
                                         const std::map<std::string, std::string>& labels = {});

// Device path -> label, from the links in `folder` (/dev/disk/by-label);
// empty when it cannot be read.
std::map<std::string, std::string> VolumeLabels(const std::string& folder = "/dev/disk/by-label");

// The volumes of this system. On Linux from the mount table that libmount
// reads (/proc/self/mountinfo); when that cannot be read, the root alone. On Windows every drive letter in use, drives
// without a medium included, named by their volume label or, for a network
// drive, the share it stands for ("\\server\share"). One source per
// platform: volumes_linux.cpp, volumes_windows.cpp.
std::vector<Volume> MountedVolumes();

// Index in `volumes` of the one holding the absolute `path` (written in
// `style`): the longest root that is `path` or a folder above it.
// volumes.size() when none holds it.
std::size_t VolumeHolding(const std::vector<Volume>& volumes, std::string_view path,
                          PathStyle style = kNativePathStyle);

}  // namespace quillmere
