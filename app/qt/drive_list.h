// Drive1: the drive list, one entry per volume, shown as its root and name.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

#include "app/volumes.h"

namespace quillmere {

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  // Lists `volumes` and shows the one holding the absolute path `directory`
  // (the first when none holds it).
  DriveList(std::vector<Volume> volumes, const std::string& directory, QWidget* parent = nullptr);

  // The root of the shown drive; empty when there are no volumes.
  std::string drive() const;

 private:
  std::vector<Volume> volumes_;
};

}  // namespace quillmere
