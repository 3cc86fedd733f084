#include "app/qt/directory_list.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <vector>

#include "app/window/form_layout.h"

namespace quillmere {

namespace {

constexpr int kRowRole = Qt::UserRole;

}  // namespace

QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(kDir1IndentPixels);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void DirectoryList::showRows(const std::vector<DirectoryEntry>& entries, std::size_t highlighted) {
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The last item of each level so far: a row hangs under the one a level up.
  std::vector<QTreeWidgetItem*> levels;
  QTreeWidgetItem* open = nullptr;
  for (std::size_t row = 0; row < entries.size(); ++row) {
    const DirectoryEntry& entry = entries[row];
    const std::size_t level = static_cast<std::size_t>(entry.level);
    auto* item = level == 0 || levels.size() < level
                     ? new QTreeWidgetItem(this, QStringList(PathText(entry.text)))
                     : new QTreeWidgetItem(levels[level - 1], QStringList(PathText(entry.text)));
    item->setIcon(0, entry.open ? openIcon : closedIcon);
    item->setData(0, kRowRole, QVariant::fromValue(static_cast<qulonglong>(row)));
    levels.resize(level + 1);
    levels[level] = item;
    if (row == highlighted) open = item;
  }
  expandAll();
  setCurrentItem(open);
  scrollToItem(open);
}

void DirectoryList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
  // Every level is always open: no expand arrows, as in a directory list box.
}

void DirectoryList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
      requestOpen(item);
      return;
    }
  }
  QTreeWidget::mouseDoubleClickEvent(event);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
    requestOpen(currentItem());
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void DirectoryList::requestOpen(QTreeWidgetItem* item) {
  // Opening rebuilds the list, so the view's own event handling must be done
  // with the item first.
  emit openRequested(static_cast<std::size_t>(item->data(0, kRowRole).toULongLong()));
}

}  // namespace quillmere
