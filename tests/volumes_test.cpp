#include "app/window/volumes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmere {
namespace {

TEST(VolumesTest, TheVolumeHoldingAPathIsItsLongestRoot) {
  const std::vector<Volume> mounts{{"/", ""}, {"/home", ""}, {"/media/ann/Backup", ""}};
  const std::vector<Volume> drives{{"C:\\", ""}, {"D:\\", ""}, {"C:\\mnt\\disk", ""}};
  const struct {
    const std::vector<Volume>* volumes;
    PathStyle style;
    std::string path;
    std::size_t holding;
  } cases[] = {
      {&mounts, PathStyle::kPosix, "/", 0},
      {&mounts, PathStyle::kPosix, "/home", 1},
      {&mounts, PathStyle::kPosix, "/home/ann/runs", 1},
      {&mounts, PathStyle::kPosix, "/homework", 0},
      {&mounts, PathStyle::kPosix, "/home\\ann", 0},
      {&mounts, PathStyle::kPosix, "/media/ann", 0},
      {&mounts, PathStyle::kPosix, "/media/ann/Backup/runs", 2},
      {&mounts, PathStyle::kPosix, "relative/path", 3},
      {&drives, PathStyle::kWindows, "D:\\runs", 1},
      {&drives, PathStyle::kWindows, "C:\\", 0},
      {&drives, PathStyle::kWindows, "E:\\runs", 3},
      {&drives, PathStyle::kWindows, "C:\\mnt\\disk\\runs", 2},
      {&drives, PathStyle::kWindows, "C:\\mnt\\diskette", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VolumeHolding(*c.volumes, c.path, c.style), c.holding) << c.path;
  }
}

}  // namespace
}  // namespace quillmere
