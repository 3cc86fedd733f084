// MountedVolumes on Linux: the mounts of /proc/self/mountinfo.
#include <fstream>
#include <sstream>

#include "app/window/volumes.h"

namespace quillmere {

std::vector<Volume> MountedVolumes() {
  std::ifstream file("/proc/self/mountinfo", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return VolumesFromMountInfo(file ? text.str() : std::string(), VolumeLabels());
}

}  // namespace quillmere
