#include "app/qt/drive_list.h"

#include <QSignalBlocker>

#include "app/qt/directory_list.h"

namespace quillmere {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {}

void DriveList::showModel(const DriveListModel& model) {
  const QSignalBlocker blocker(this);
  if (count() != static_cast<int>(model.texts().size())) {
    clear();
    for (const std::string& text : model.texts()) addItem(PathText(text));
  }
  setCurrentIndex(model.texts().empty() ? -1 : static_cast<int>(model.chosen()));
}

}  // namespace quillmere
