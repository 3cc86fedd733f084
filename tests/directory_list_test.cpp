#include "app/directory_list.h"

#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
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

// The entries expected for an open directory `path` with `subfolders`.
std::vector<std::string> Expected(const std::string& path, const std::vector<std::string>& subfolders) {
  std::vector<std::string> entries{"/"};
  std::size_t depth = 0;
  for (const fs::path& part : fs::path(path).relative_path())
    entries.push_back(std::string(++depth, ' ') + part.string());
  for (const std::string& name : subfolders) entries.push_back(std::string(depth + 1, ' ') + name);
  return entries;
}

QTreeWidgetItem* Find(QTreeWidget& list, const QString& text) {
  const QList<QTreeWidgetItem*> found =
      list.findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

struct RunsDirectory {
  ScratchDirectory scratch;
  RunsDirectory() {
    scratch.MakeFolder("runs/b");
    scratch.MakeFolder("runs/A/inner");
    scratch.MakeFolder("runs/a10");
    scratch.MakeFolder("runs/a1");
    scratch.MakeFolder("runs/.hidden");
    scratch.Write("runs/file.sum", "x");
    fs::create_directory_symlink(scratch / "runs/b", scratch / "runs/c-link");
    fs::create_symlink(scratch / "runs/file.sum", scratch / "runs/d-file-link");
  }
  std::string runs() const { return scratch / "runs"; }
};

TEST(DirectoryListTest, ShowsTheAncestorsOpenThenTheSubfoldersInTheRunsOrder) {
  RunsDirectory tree;
  DirectoryList list(tree.runs());
  EXPECT_EQ(list.path(), tree.runs());
  EXPECT_EQ(Entries(list), Expected(tree.runs(), {"A", "a1", "a10", "b", "c-link"}));
  ASSERT_NE(list.currentItem(), nullptr);
  EXPECT_EQ(list.currentItem()->text(0), "runs");
}

TEST(DirectoryListTest, OpensAPathMadeAbsoluteAndNormal) {
  RunsDirectory tree;
  DirectoryList list("/");
  const struct {
    std::string given;
    std::string opened;
  } cases[] = {
      {tree.runs() + "/A/../b/", tree.runs() + "/b"},
      {tree.runs() + "/./A//inner", tree.runs() + "/A/inner"},
      {"/", "/"},
      {tree.runs() + "/c-link", tree.runs() + "/c-link"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(list.setPath(c.given), std::nullopt) << c.given;
    EXPECT_EQ(list.path(), c.opened) << c.given;
  }
  const fs::path current = fs::current_path();
  fs::current_path(tree.runs());
  const auto relative = list.setPath("A");
  fs::current_path(current);
  EXPECT_EQ(relative, std::nullopt);
  EXPECT_EQ(list.path(), tree.runs() + "/A");
}

TEST(DirectoryListTest, APathThatCannotBeListedLeavesTheListAsItWas) {
  RunsDirectory tree;
  DirectoryList list(tree.runs());
  const std::vector<std::string> before = Entries(list);
  for (const std::string& bad :
       {tree.runs() + "/missing", tree.runs() + "/file.sum", tree.runs() + "/d-file-link"}) {
    const std::optional<FileError> error = list.setPath(bad);
    ASSERT_TRUE(error.has_value()) << bad;
    EXPECT_EQ(error->path(), bad) << bad;
    EXPECT_FALSE(error->reason().empty()) << bad;
    EXPECT_EQ(list.path(), tree.runs()) << bad;
    EXPECT_EQ(Entries(list), before) << bad;
  }
}

TEST(DirectoryListTest, AStartDirectoryThatCannotBeListedIsShownOpenWithoutSubfolders) {
  ScratchDirectory scratch;
  DirectoryList list(scratch / "gone");
  EXPECT_EQ(list.path(), scratch / "gone");
  EXPECT_EQ(Entries(list), Expected(scratch / "gone", {}));
}

TEST(DirectoryListTest, ASingleClickOrArrowHighlightsADoubleClickOrEnterOpens) {
  RunsDirectory tree;
  DirectoryList list(tree.runs());
  list.resize(250, 400);
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

  const QPoint onA = list.visualItemRect(Find(list, "A")).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onA);
  EXPECT_EQ(list.currentItem()->text(0), "A");
  EXPECT_EQ(list.path(), tree.runs());

  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.currentItem()->text(0), "a1");
  EXPECT_EQ(list.path(), tree.runs());

  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(list.path(), tree.runs() + "/a1");

  // Back up through an ancestor, then down into A by a double-click.
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(Find(list, "runs")).center());
  EXPECT_EQ(list.path(), tree.runs());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(Find(list, "A")).center());
  EXPECT_EQ(list.path(), tree.runs() + "/A");
  EXPECT_EQ(Entries(list), Expected(tree.runs() + "/A", {"inner"}));
}

TEST(DirectoryListTest, OpeningAFolderThatVanishedReportsItAndKeepsTheList) {
  RunsDirectory tree;
  DirectoryList list(tree.runs());
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  std::vector<std::string> failures;
  QObject::connect(&list, &DirectoryList::openFailed,
                   [&](const FileError& error) { failures.push_back(error.path()); });
  fs::remove(tree.runs() + "/b");
  const std::vector<std::string> before = Entries(list);

  list.setCurrentItem(Find(list, "b"));
  QTest::keyClick(&list, Qt::Key_Enter);

  EXPECT_EQ(failures, std::vector<std::string>{tree.runs() + "/b"});
  EXPECT_EQ(list.path(), tree.runs());
  EXPECT_EQ(Entries(list), before);
}

}  // namespace
}  // namespace quillmere
