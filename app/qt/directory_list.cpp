#include "app/directory_list.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <filesystem>
#include <system_error>

#include "runtime/listing.h"

namespace quillmere {

namespace {

namespace fs = std::filesystem;

constexpr int kPathRole = Qt::UserRole;

// The absolute, lexically normal form of `directory`. ".." is resolved by
// name, as a path typed by hand would be, not by following links.
std::string NormalPath(const std::string& directory) {
  fs::path path(directory);
  if (path.is_relative()) {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    path = (error ? fs::path("/") : current) / path;
  }
  path = path.lexically_normal();
  if (!path.has_filename() && path != path.root_path()) path = path.parent_path();
  return path.string();
}

QByteArray PathBytes(const std::string& path) {
  return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

}  // namespace

QString DescribeFailure(const FileError& error) {
  return PathText(error.path()) + QStringLiteral(": ") + QString::fromLocal8Bit(error.reason().c_str());
}

QString PathText(const std::string& path) { return QFile::decodeName(PathBytes(path)); }

DirectoryList::DirectoryList(const std::string& directory, QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(12);
  setSelectionMode(QAbstractItemView::SingleSelection);

  if (setPath(directory)) showOpen(NormalPath(directory), {});
}

std::optional<FileError> DirectoryList::setPath(const std::string& directory) {
  const std::string path = NormalPath(directory);
  std::vector<std::string> subfolders;
  try {
    for (const ListedEntry& entry : List(path)) {
      if (entry.kind == EntryKind::kFolder) subfolders.push_back(entry.name);
    }
  } catch (const FileError& error) {
    return error;
  }
  showOpen(path, subfolders);
  return std::nullopt;
}

void DirectoryList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
  // Every level is always open: no expand arrows, as in a directory list box.
}

void DirectoryList::mouseDoubleClickEvent(QMouseEvent* event) {
  // Opening rebuilds the list, so it must not happen inside the view's own
  // double-click handling, which goes on using the clicked item.
  if (event->button() == Qt::LeftButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
      openItem(item);
      return;
    }
  }
  QTreeWidget::mouseDoubleClickEvent(event);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
    openItem(currentItem());
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void DirectoryList::openItem(QTreeWidgetItem* item) {
  const QByteArray bytes = item->data(0, kPathRole).toByteArray();
  if (std::optional<FileError> error =
          setPath(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    emit openFailed(*error);
  }
}

void DirectoryList::showOpen(const std::string& directory, const std::vector<std::string>& subfolders) {
  path_ = directory;
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

  const fs::path path(directory);
  fs::path reached = path.root_path();
  auto* open = new QTreeWidgetItem(this, QStringList(PathText(reached.string())));
  open->setIcon(0, openIcon);
  open->setData(0, kPathRole, PathBytes(reached.string()));
  for (const fs::path& part : path.relative_path()) {
    reached /= part;
    open = new QTreeWidgetItem(open, QStringList(PathText(part.string())));
    open->setIcon(0, openIcon);
    open->setData(0, kPathRole, PathBytes(reached.string()));
  }
  for (const std::string& name : subfolders) {
    auto* item = new QTreeWidgetItem(open, QStringList(PathText(name)));
    item->setIcon(0, closedIcon);
    item->setData(0, kPathRole, PathBytes((path / name).string()));
  }
  expandAll();
  setCurrentItem(open);
  scrollToItem(open);
}

}  // namespace quillmere
