// Dir1 drawn with Qt: the rows of a DirectoryListModel, each indented by its
// level with an open or closed folder. A double-click or Enter asks for the
// row to be opened; a single click or an arrow key only highlights it.
#pragma once

#include <QString>
#include <QTreeWidget>
#include <cstddef>
#include <string>
#include <vector>

#include "app/window/directory_list_model.h"

namespace quillmere {

// Path bytes (and other text made from them) as text for the screen,
// decoded as the file system's names are.
QString PathText(const std::string& path);

class DirectoryList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // Shows `entries` and highlights row `highlighted`.
  void showRows(const std::vector<DirectoryEntry>& entries, std::size_t highlighted);

 signals:
  // The user asked to open row `row` (a double-click or Enter).
  void openRequested(std::size_t row);

 protected:
  // Activation, which some styles give to a single click, is not used.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

 private:
  void requestOpen(QTreeWidgetItem* item);
};

}  // namespace quillmere
