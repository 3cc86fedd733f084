#include "app/window/drive_list_model.h"

#include <utility>

namespace quillmere {

DriveListModel::DriveListModel(std::vector<Volume> volumes, const std::string& directory, PathStyle style)
    : volumes_(std::move(volumes)) {
  for (const Volume& volume : volumes_) {
    texts_.push_back(volume.name.empty() ? volume.root : volume.root + " [" + volume.name + "]");
  }
  const std::size_t holding = VolumeHolding(volumes_, directory, style);
  chosen_ = holding < volumes_.size() ? holding : 0;
}

std::string DriveListModel::root(std::size_t row) const {
  return row < volumes_.size() ? volumes_[row].root : std::string();
}

}  // namespace quillmere
