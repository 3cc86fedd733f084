#include "app/window/volumes.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "runtime/listing.h"

namespace quillmere {

namespace {

// File systems that hold no user data: the kernel's views of itself and
// memory-backed scratch space.
constexpr std::array<std::string_view, 22> kPseudoFileSystems = {
    "autofs",   "binfmt_misc", "bpf",        "cgroup",    "cgroup2", "configfs", "debugfs", "devpts",
    "devtmpfs", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",  "nsfs",     "proc",    "pstore",
    "ramfs",    "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",   "tmpfs"};

// Trees where the system mounts things of its own (bind mounts of single
// files in containers, snap images, boot partitions).
constexpr std::array<std::string_view, 9> kSystemTrees = {"/proc", "/sys",  "/dev",     "/run",     "/etc",
                                                          "/boot", "/snap", "/var/lib", "/var/snap"};
constexpr std::string_view kRemovableMediaTree = "/run/media";

bool IsInside(std::string_view path, std::string_view tree) {
  if (tree == "/") return !path.empty() && path.front() == '/';
  return path == tree ||
         (path.size() > tree.size() && path.substr(0, tree.size()) == tree && path[tree.size()] == '/');
}

bool IsUserVolume(std::string_view root, std::string_view fileSystem) {
  if (root == "/") return true;
  if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), fileSystem) !=
      kPseudoFileSystems.end()) {
    return false;
  }
  if (IsInside(root, kRemovableMediaTree)) return true;
  return std::none_of(kSystemTrees.begin(), kSystemTrees.end(),
                      [&](std::string_view tree) { return IsInside(root, tree); });
}

// udev writes unsafe bytes of a label in its link name as "\x20".
std::string UnescapeHex(std::string_view name) {
  auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string text;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && name.size() - i > 3 && name[i + 1] == 'x' && hexValue(name[i + 2]) >= 0 &&
        hexValue(name[i + 3]) >= 0) {
      text += static_cast<char>(hexValue(name[i + 2]) * 16 + hexValue(name[i + 3]));
      i += 3;
    } else {
      text += name[i];
    }
  }
  return text;
}

std::string NameOf(const std::string& source, const std::map<std::string, std::string>& labels) {
  if (const auto label = labels.find(source); label != labels.end()) return label->second;
  // Labels are kept by the device's own path; mounts may name it by a link
  // to it, such as /dev/mapper/vg-home for /dev/dm-1.
  if (!labels.empty() && source.starts_with('/')) {
    std::error_code error;
    const std::string device = std::filesystem::weakly_canonical(source, error).string();
    if (const auto label = labels.find(device); !error && label != labels.end()) return label->second;
  }
  constexpr std::string_view kDevices = "/dev/";
  if (source.starts_with(kDevices) && source.size() > kDevices.size()) {
    return source.substr(source.rfind('/') + 1);
  }
  return source;
}

// A mount as the drive list needs it: the volume, and which part of which
// file system it shows.
struct Mount {
  Volume volume;
  const std::string* device;            // "MAJOR:MINOR" of the file system
  const std::string* fileSystemFolder;  // the folder of that file system shown at the mount point
};

// Whether `mount` shows nothing that `other`, a mount of the same file system,
// does not show already: its folder lies inside the other's, and when both
// show the same folder the other is mounted at the shorter mount point (the
// first in listing order when as long).
bool ShownBy(const Mount& mount, const Mount& other) {
  if (*mount.device != *other.device || !IsInside(*mount.fileSystemFolder, *other.fileSystemFolder)) {
    return false;
  }
  if (*mount.fileSystemFolder != *other.fileSystemFolder) return true;
  const std::string& root = mount.volume.root;
  const std::string& otherRoot = other.volume.root;
  return otherRoot.size() < root.size() || (otherRoot.size() == root.size() && ListingOrder(otherRoot, root));
}

}  // namespace

std::vector<Volume> VolumesFromMounts(const std::vector<MountedFileSystem>& mountTable,
                                      const std::map<std::string, std::string>& labels) {
  std::vector<Mount> mounts;
  for (const MountedFileSystem& entry : mountTable) {
    const std::string& root = entry.target;
    if (root.empty() || root.front() != '/' || !IsUserVolume(root, entry.fileSystemType)) continue;
    // A later mount on the same point hides the earlier one.
    std::erase_if(mounts, [&](const Mount& listed) { return listed.volume.root == root; });
    mounts.push_back(Mount{Volume{root, NameOf(entry.source, labels)}, &entry.device, &entry.fileSystemRoot});
  }
  // A file system mounted again elsewhere (a bind mount) is listed once.
  std::vector<Volume> volumes;
  for (const Mount& mount : mounts) {
    const bool shownElsewhere = std::any_of(mounts.begin(), mounts.end(), [&](const Mount& other) {
      return &other != &mount && ShownBy(mount, other);
    });
    if (!shownElsewhere || mount.volume.root == "/") volumes.push_back(mount.volume);
  }
  if (std::none_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == "/"; })) {
    volumes.push_back(Volume{"/", ""});
  }
  std::stable_sort(volumes.begin(), volumes.end(),
                   [](const Volume& a, const Volume& b) { return ListingOrder(a.root, b.root); });
  return volumes;
}

std::map<std::string, std::string> VolumeLabels(const std::string& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> labels;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const fs::path device = fs::weakly_canonical(entry->path(), error);
    if (error) {
      error.clear();
      continue;
    }
    labels[device.string()] = UnescapeHex(entry->path().filename().string());
  }
  return labels;
}

std::size_t VolumeHolding(const std::vector<Volume>& volumes, std::string_view path, PathStyle style) {
  auto isSeparator = [style](char c) { return c == '/' || (style == PathStyle::kWindows && c == '\\'); };
  std::size_t holding = volumes.size();
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    const std::string_view root = volumes[i].root;
    if (root.empty() || !path.starts_with(root)) continue;
    // Roots such as "/" and "C:\" end in a separator; other mount points
    // hold only what lies below a separator after them.
    if (path.size() > root.size() && !isSeparator(root.back()) && !isSeparator(path[root.size()])) continue;
    if (holding == volumes.size() || root.size() > volumes[holding].root.size()) holding = i;
  }
  return holding;
}

}  // namespace quillmere
