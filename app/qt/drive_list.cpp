#include "app/drive_list.h"

#include <utility>

#include "app/directory_list.h"

namespace quillmere {

DriveList::DriveList(std::vector<Volume> volumes, const std::string& directory, QWidget* parent)
    : QComboBox(parent), volumes_(std::move(volumes)) {
  for (const Volume& volume : volumes_) {
    addItem(volume.name.empty()
                ? PathText(volume.root)
                : PathText(volume.root) + QStringLiteral(" [") + PathText(volume.name) + QStringLiteral("]"));
  }
  const std::size_t holding = VolumeHolding(volumes_, directory);
  if (holding < volumes_.size()) setCurrentIndex(static_cast<int>(holding));
}

std::string DriveList::drive() const {
  const int index = currentIndex();
  return index < 0 ? std::string() : volumes_[static_cast<std::size_t>(index)].root;
}

}  // namespace quillmere
