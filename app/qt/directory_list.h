// Dir1: the directory list. It shows the open directory's ancestors from the
// root down, opened, then the open directory's subfolders; a double-click or
// Enter opens an entry, a single click or an arrow key only highlights it.
#pragma once

#include <QString>
#include <QTreeWidget>
#include <optional>
#include <string>
#include <vector>

#include "runtime/file_error.h"

namespace quillmere {

// "<path>: <reason>" of `error`, for a message box.
QString DescribeFailure(const FileError& error);

// Path bytes as text for the screen, decoded as the file system's names are.
QString PathText(const std::string& path);

class DirectoryList : public QTreeWidget {
  Q_OBJECT

 public:
  // Opens `directory`; when it cannot be listed it is shown open without
  // subfolders, so that the run still names it and says why.
  explicit DirectoryList(const std::string& directory, QWidget* parent = nullptr);

  // The open directory as a full path, without a trailing separator except
  // for the root.
  const std::string& path() const { return path_; }

  // Opens `directory` (made absolute and free of "." and ".." first). When it
  // cannot be listed, returns the failure and keeps showing what it showed.
  std::optional<FileError> setPath(const std::string& directory);

 signals:
  // An entry that the user opened could not be listed; the list is unchanged.
  void openFailed(const quillmere::FileError& error);

 protected:
  // A double-click or Enter opens the entry; activation, which some styles
  // give to a single click, is not used.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

 private:
  void openItem(QTreeWidgetItem* item);
  void showOpen(const std::string& directory, const std::vector<std::string>& subfolders);

  std::string path_;
};

}  // namespace quillmere
