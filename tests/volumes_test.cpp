#include "app/window/volumes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quillmere {
namespace {

TEST(VolumesTest, TheVolumeHoldingAPathIsItsLongestRoot) {
  // Each path with the index of the volume holding it; the number of volumes
  // (3) for none.
  using Holdings = std::vector<std::pair<std::string, std::size_t>>;
  const struct {
    std::vector<Volume> volumes;
    PathStyle style;
    Holdings holdings;
  } cases[] = {
      {{{"/", ""}, {"/home", ""}, {"/media/ann/Backup", ""}},
       PathStyle::kPosix,
       {{"/", 0},
        {"/home", 1},
        {"/home/ann/runs", 1},
        {"/homework", 0},
        {"/home\\ann", 0},
        {"/media/ann", 0},
        {"/media/ann/Backup/runs", 2},
        {"relative/path", 3}}},
      {{{"C:\\", ""}, {"D:\\", ""}, {"C:\\mnt\\disk", ""}},
       PathStyle::kWindows,
       {{"D:\\runs", 1}, {"C:\\", 0}, {"E:\\runs", 3}, {"C:\\mnt\\disk\\runs", 2}, {"C:\\mnt\\diskette", 0}}},
  };
  for (const auto& c : cases) {
    for (const auto& [path, holding] : c.holdings)
      EXPECT_EQ(VolumeHolding(c.volumes, path, c.style), holding) << path;
  }
}

}  // namespace
}  // namespace quillmere
