// Drive1 drawn with Qt: the texts of a DriveListModel in a combo box.
#pragma once

#include <QComboBox>

#include "app/window/drive_list_model.h"

namespace quillmere {

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Lists the drives of `model` and shows its chosen one, without signalling
  // a change.
  void showModel(const DriveListModel& model);
};

}  // namespace quillmere
