// The drive list on Linux: the mount table read by libmount, the volumes a
// user would pick chosen from it, and their labels.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/window/volumes.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ScratchDirectory;

// "root [name]" of every volume, in order.
std::vector<std::string> Shown(const std::vector<Volume>& volumes) {
  std::vector<std::string> shown;
  for (const Volume& volume : volumes) shown.push_back(volume.root + " [" + volume.name + "]");
  return shown;
}

TEST(VolumesLinuxTest, ListsTheRootAndRealVolumesOfADesktop) {
  const std::string mountInfo =
      "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
      "23 22 0:5 / /dev rw,nosuid shared:2 - devtmpfs udev rw,size=8099580k\n"
      "24 22 0:21 / /proc rw,nosuid - proc proc rw\n"
      "25 22 0:22 / /sys rw,nosuid - sysfs sysfs rw\n"
      "26 22 0:23 / /run rw,nosuid - tmpfs tmpfs rw,size=1627204k\n"
      "27 22 8:1 / /boot/efi rw,relatime - vfat /dev/sda1 rw\n"
      "28 22 8:3 / /home rw,relatime shared:5 - ext4 /dev/sda3 rw\n"
      "29 26 8:17 / /run/media/ann/USB\\040STICK rw,nosuid - vfat /dev/sdb1 rw\n"
      "30 22 0:40 / /mnt/share rw,relatime - cifs //server/share rw\n"
      "31 22 8:33 / /media/ann/Backup rw,relatime - ext4 /dev/sdc1 rw\n"
      "32 22 0:42 / /tmp rw,nosuid - tmpfs tmpfs rw\n"
      "33 22 7:0 / /snap/core/1 ro,nodev - squashfs /dev/loop0 ro\n"
      "34 22 254:1 /var/lib/docker/containers/x/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n"
      "35 22 0:44 / /mnt/nfs rw,relatime - nfs4 server:/export rw\n"
      "36 25 0:30 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
      "37 26 0:45 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n";
  EXPECT_EQ(Shown(VolumesFromMountInfo(mountInfo, {{"/dev/sdc1", "Backup disk"}})),
            (std::vector<std::string>{"/ [sda2]", "/home [sda3]", "/media/ann/Backup [Backup disk]",
                                      "/mnt/nfs [server:/export]", "/mnt/share [//server/share]",
                                      "/run/media/ann/USB STICK [sdb1]"}));
}

// Odd mount tables never lose the root; a file system mounted again
// elsewhere is listed once.
TEST(VolumesLinuxTest, ReadsOddMountInfoWithoutLosingTheRootAndListsEachFileSystemOnce) {
  const std::string root = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n";
  const struct {
    std::string mountInfo;
    std::vector<std::string> shown;
  } cases[] = {
      {"", {"/ []"}},
      {"not a mount line\n1 2 3\n- - -\n\n", {"/ []"}},
      // A container: the root is an overlay, the rest is the system's.
      {"27 1 0:50 / / rw - overlay overlay rw,lowerdir=/a\n28 27 0:51 / /proc rw - proc proc rw\n",
       {"/ [overlay]"}},
      // A later mount on the same point hides the earlier one.
      {"22 1 8:2 / / rw - ext4 /dev/sda2 rw\n40 22 8:17 / /mnt/x rw - vfat /dev/sdb1 rw\n"
       "41 40 8:33 / /mnt/x rw - ext4 /dev/sdc1 rw\n",
       {"/ [sda2]", "/mnt/x [sdc1]"}},
      // Optional fields before the separator, no newline at the end, a tab
      // and a backslash escaped in the mount point.
      {"22 1 8:2 / / rw shared:1 master:2 - ext4 /dev/sda2 rw\n"
       "50 22 8:17 / /mnt/a\\011b\\134c rw - ext4 /dev/sdb1 rw",
       {"/ [sda2]", "/mnt/a\tb\\c [sdb1]"}},
      // Sorted as the run sorts names, the root first.
      {"50 22 8:17 / /mnt/b rw - ext4 /dev/sdb1 rw\n51 22 8:18 / /mnt/A rw - ext4 /dev/sdb2 rw\n"
       "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n",
       {"/ [sda2]", "/mnt/A [sdb2]", "/mnt/b [sdb1]"}},
      // The same stick bound to a second, shorter and a third, longer point.
      {root + "40 22 8:17 / /media/ann/STICK rw - vfat /dev/sdb1 rw\n"
              "41 22 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
              "42 22 8:17 / /srv/exports/usb-stick rw - vfat /dev/sdb1 rw\n",
       {"/ [sda2]", "/mnt/usb [sdb1]"}},
      // As long: the first in listing order.
      {root + "40 22 8:17 / /mnt/b rw - vfat /dev/sdb1 rw\n41 22 8:17 / /mnt/A rw - vfat /dev/sdb1 rw\n",
       {"/ [sda2]", "/mnt/A [sdb1]"}},
      // A folder of a listed file system bound elsewhere, the root's too.
      {root + "40 22 8:17 / /data rw - ext4 /dev/sdb1 rw\n"
              "41 22 8:17 /runs/2024 /home/ann/runs rw - ext4 /dev/sdb1 rw\n"
              "42 22 8:2 /srv/share /mnt/share rw - ext4 /dev/sda2 rw\n",
       {"/ [sda2]", "/data [sdb1]"}},
      // Two folders of one file system that neither holds (btrfs
      // subvolumes) are two volumes; so are two file systems.
      {"22 1 0:31 /@ / rw - btrfs /dev/sda2 rw\n23 22 0:31 /@home /home rw - btrfs /dev/sda2 rw\n"
       "24 22 8:33 / /mnt/x rw - ext4 /dev/sdc1 rw\n",
       {"/ [sda2]", "/home [sda2]", "/mnt/x [sdc1]"}},
      // The root stays, even where a bind shows more of its file system.
      {"22 1 8:2 /srv/root / rw - ext4 /dev/sda2 rw\n23 22 8:2 / /mnt/whole rw - ext4 /dev/sda2 rw\n",
       {"/ [sda2]", "/mnt/whole [sda2]"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shown(VolumesFromMountInfo(c.mountInfo)), c.shown) << c.mountInfo;
  }
}

TEST(VolumesLinuxTest, LabelsComeFromTheLinkNamesWithTheirEscapesUndone) {
  namespace fs = std::filesystem;
  ScratchDirectory scratch;
  scratch.Write("dev/sdb1", "");
  scratch.MakeFolder("dev/disk/by-label");
  fs::create_symlink("../../sdb1", scratch / "dev/disk/by-label/USB\\x20STICK");
  const auto labels = VolumeLabels(scratch / "dev/disk/by-label");
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels.begin()->first, fs::canonical(scratch / "dev/sdb1").string());
  EXPECT_EQ(labels.begin()->second, "USB STICK");
  EXPECT_TRUE(VolumeLabels(scratch / "missing").empty());

  // A mount naming the device by a link to it still gets its label.
  scratch.MakeFolder("dev/mapper");
  fs::create_symlink("../sdb1", scratch / "dev/mapper/vg-home");
  const std::string mountInfo = "40 1 254:1 / /home rw - ext4 " + scratch / "dev/mapper/vg-home" + " rw\n";
  EXPECT_EQ(Shown(VolumesFromMountInfo(mountInfo, labels)),
            (std::vector<std::string>{"/ []", "/home [USB STICK]"}));
}

}  // namespace
}  // namespace quillmere
