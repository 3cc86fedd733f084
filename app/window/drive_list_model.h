// What Drive1, the drive list, shows: one entry per volume, its root and its
// name, with the one holding the open directory chosen.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/window/volumes.h"

namespace quillmere {

class DriveListModel {
 public:
  // Lists `volumes` and chooses the one holding the absolute path `directory`,
  // written in `style` (the first when none holds it).
  DriveListModel(std::vector<Volume> volumes, const std::string& directory,
                 PathStyle style = kNativePathStyle);

  // "root [name]" of every volume, or the root alone when it has no name.
  const std::vector<std::string>& texts() const { return texts_; }

  // The row of the chosen drive; texts().size() when there are no volumes.
  std::size_t chosen() const { return chosen_; }
  void choose(std::size_t row) { chosen_ = row; }

  // The root of the drive in `row`; empty when there is none.
  std::string root(std::size_t row) const;

 private:
  std::vector<Volume> volumes_;
  std::vector<std::string> texts_;
  std::size_t chosen_ = 0;
};

}  // namespace quillmere
