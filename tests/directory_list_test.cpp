#include "app/qt/directory_list.h"

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ScratchDirectory;

// The texts of every entry, top to bottom, each indented by its depth.
std::vector<std::string> Entries(QTreeWidget& list) {
  std::vector<std::string> entries;
  for (QTreeWidgetItemIterator it(&list); *it != nullptr; ++it) {
    int depth = 0;
    for (QTreeWidgetItem* parent = (*it)->parent(); parent != nullptr; parent = parent->parent()) ++depth;
    entries.push_back(std::string(static_cast<std::size_t>(depth), ' ') + (*it)->text(0).toStdString());
  }
  return entries;
}

// The same of the model's rows.
std::vector<std::string> Entries(const DirectoryListModel& model) {
  std::vector<std::string> entries;
  for (const DirectoryEntry& entry : model.entries())
    entries.push_back(std::string(static_cast<std::size_t>(entry.level), ' ') + entry.text);
  return entries;
}

QTreeWidgetItem* Find(QTreeWidget& list, const QString& text) {
  const QList<QTreeWidgetItem*> found =
      list.findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

// A model over a small runs tree, and the list showing it, opening what the
// user asks for.
struct ShownList {
  ScratchDirectory scratch;
  DirectoryListModel model;
  DirectoryList list;

  ShownList() : model((scratch.MakeFolder("runs/A/inner"), scratch.MakeFolder("runs/a1"), scratch / "runs")) {
    list.resize(250, 400);
    list.showRows(model.entries(), model.openRow());
    QObject::connect(&list, &DirectoryList::openRequested, [this](std::size_t row) {
      model.openRow(row);
      list.showRows(model.entries(), model.openRow());
    });
    list.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
  }
  std::string runs() const { return scratch / "runs"; }
};

TEST(DirectoryListTest, DrawsTheModelsRowsAtTheirLevelsWithTheOpenOneCurrent) {
  ShownList shown;
  EXPECT_EQ(Entries(shown.list), Entries(shown.model));
  ASSERT_NE(shown.list.currentItem(), nullptr);
  EXPECT_EQ(shown.list.currentItem()->text(0), "runs");
}

TEST(DirectoryListTest, ASingleClickOrArrowHighlightsADoubleClickOrEnterOpens) {
  ShownList shown;
  DirectoryList& list = shown.list;
  const QPoint onA = list.visualItemRect(Find(list, "A")).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onA);
  EXPECT_EQ(list.currentItem()->text(0), "A");
  EXPECT_EQ(shown.model.path(), shown.runs());

  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.currentItem()->text(0), "a1");
  EXPECT_EQ(shown.model.path(), shown.runs());

  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(shown.model.path(), shown.runs() + "/a1");

  // Back up through an ancestor, then down into A by a double-click.
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(Find(list, "runs")).center());
  EXPECT_EQ(shown.model.path(), shown.runs());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(Find(list, "A")).center());
  EXPECT_EQ(shown.model.path(), shown.runs() + "/A");
  EXPECT_EQ(Entries(list), Entries(shown.model));
  EXPECT_EQ(list.currentItem()->text(0), "A");
}

}  // namespace
}  // namespace quillmere
