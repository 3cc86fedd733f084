#include "app/window/directory_list_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::ScratchDirectory;

// Every row as "<level spaces><text>", with "+" after an open one.
std::vector<std::string> Rows(const DirectoryListModel& model) {
  std::vector<std::string> rows;
  for (const DirectoryEntry& entry : model.entries())
    rows.push_back(std::string(static_cast<std::size_t>(entry.level), ' ') + entry.text +
                   (entry.open ? "+" : ""));
  return rows;
}

// The rows expected for the open directory `path` (absolute, normal, this
// system's) with `subfolders`.
std::vector<std::string> Expected(const std::string& path, const std::vector<std::string>& subfolders) {
  const PathParts parts = SplitPath(kNativePathStyle, path, "");
  std::vector<std::string> rows{parts.root + "+"};
  std::size_t depth = 0;
  for (const std::string& name : parts.names) rows.push_back(std::string(++depth, ' ') + name + "+");
  for (const std::string& name : subfolders) rows.push_back(std::string(depth + 1, ' ') + name);
  return rows;
}

// `path` in this system's normal form.
std::string Native(const std::string& path) { return NormalPath(kNativePathStyle, path, ""); }

// A path given to the model and the one it opens.
struct Opening {
  std::string given, opened;
};

struct RunsDirectory {
  ScratchDirectory scratch;
  RunsDirectory() {
    scratch.MakeFolder("runs/b");
    scratch.MakeFolder("runs/A/inner");
    scratch.MakeFolder("runs/a10");
    scratch.MakeFolder("runs/a1");
    scratch.MakeFolder("runs/.hidden");
    scratch.Write("runs/file.sum", "x");
  }
  std::string runs() const { return Native(scratch / "runs"); }
};

TEST(DirectoryListModelTest, ShowsTheAncestorsOpenThenTheSubfoldersInTheRunsOrder) {
  RunsDirectory tree;
  std::vector<std::string> subfolders{"A", "a1", "a10", "b"};
  if (kNativePathStyle == PathStyle::kPosix) {
    // A link to a folder is a folder; one to a file is not.
    fs::create_directory_symlink(tree.scratch / "runs/b", tree.scratch / "runs/c-link");
    fs::create_symlink(tree.scratch / "runs/file.sum", tree.scratch / "runs/d-file-link");
    subfolders.push_back("c-link");
  }
  DirectoryListModel model(tree.runs());
  EXPECT_EQ(model.path(), tree.runs());
  EXPECT_EQ(Rows(model), Expected(tree.runs(), subfolders));
  ASSERT_LT(model.openRow(), model.entries().size());
  EXPECT_EQ(model.entries()[model.openRow()].text, "runs");
  EXPECT_EQ(model.entries()[model.openRow()].path, tree.runs());
  EXPECT_EQ(model.entries().back().path, Native(tree.scratch / ("runs/" + subfolders.back())));
  EXPECT_EQ(model.entries().front().path, SplitPath(kNativePathStyle, tree.runs(), "").root);
}

TEST(DirectoryListModelTest, OpensAPathMadeAbsoluteAndNormal) {
  RunsDirectory tree;
  DirectoryListModel model(tree.runs());
  const Opening cases[] = {
      {tree.runs() + "/A/../b/", tree.runs() + "/b"},
      {tree.runs() + "/./A//inner", tree.runs() + "/A/inner"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(model.open(c.given), std::nullopt) << c.given;
    EXPECT_EQ(model.path(), Native(c.opened)) << c.given;
  }
  const fs::path current = fs::current_path();
  fs::current_path(tree.runs());
  const auto relative = model.open("A");
  fs::current_path(current);
  EXPECT_EQ(relative, std::nullopt);
  EXPECT_EQ(model.path(), Native(tree.runs() + "/A"));
}

TEST(DirectoryListModelTest, AFolderThatCannotBeListedLeavesTheRowsAsTheyWere) {
  RunsDirectory tree;
  DirectoryListModel model(tree.runs());
  std::vector<std::string> bad{Native(tree.runs() + "/missing"), Native(tree.runs() + "/file.sum")};
  if (kNativePathStyle == PathStyle::kPosix) {
    fs::create_symlink(tree.scratch / "runs/file.sum", tree.scratch / "runs/d-file-link");
    bad.push_back(tree.runs() + "/d-file-link");
  }
  const std::vector<DirectoryEntry> before = model.entries();
  for (const std::string& path : bad) {
    const std::optional<FileError> error = model.open(path);
    ASSERT_TRUE(error.has_value()) << path;
    EXPECT_EQ(error->path(), path) << path;
    EXPECT_FALSE(error->reason().empty()) << path;
    EXPECT_EQ(model.path(), tree.runs()) << path;
    EXPECT_EQ(model.entries(), before) << path;
  }
  // A row whose folder vanished since it was shown.
  fs::remove(tree.scratch / "runs/b");
  const std::optional<FileError> error = model.openRow(before.size() - 1);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->path(), Native(tree.runs() + "/b"));
  EXPECT_EQ(model.entries(), before);
}

TEST(DirectoryListModelTest, AStartDirectoryThatCannotBeListedIsShownOpenWithoutSubfolders) {
  ScratchDirectory scratch;
  DirectoryListModel model(scratch / "gone");
  EXPECT_EQ(model.path(), Native(scratch / "gone"));
  EXPECT_EQ(Rows(model), Expected(Native(scratch / "gone"), {}));
}

TEST(DirectoryListModelTest, OpeningARowOpensItsFolder) {
  RunsDirectory tree;
  DirectoryListModel model(tree.runs());
  // Down into A (the first subfolder), then up to the root.
  EXPECT_EQ(model.openRow(model.openRow() + 1), std::nullopt);
  EXPECT_EQ(model.path(), Native(tree.runs() + "/A"));
  EXPECT_EQ(Rows(model), Expected(Native(tree.runs() + "/A"), {"inner"}));
  EXPECT_EQ(model.openRow(0), std::nullopt);
  EXPECT_EQ(model.path(), model.entries().front().text);
  EXPECT_EQ(model.openRow(), 0u);
  EXPECT_TRUE(std::all_of(model.entries().begin() + 1, model.entries().end(),
                          [](const DirectoryEntry& entry) { return entry.level == 1 && !entry.open; }));
}

// A folder tree in memory with Windows paths, listed by folder path.
FolderSource WindowsFolders(std::map<std::string, std::vector<std::string>> tree, std::string current) {
  FolderSource source;
  source.style = PathStyle::kWindows;
  source.subfolders = [tree = std::move(tree)](const std::string& folder) {
    const auto found = tree.find(folder);
    if (found == tree.end())
      throw FileError(folder, "cannot list: The system cannot find the path specified.");
    return found->second;
  };
  source.currentDirectory = [current = std::move(current)] { return current; };
  return source;
}

TEST(DirectoryListModelTest, ShowsAndOpensWindowsPaths) {
  DirectoryListModel model("d:/Runs\\Buffer05m\\..\\",
                           WindowsFolders({{"D:\\", {"Runs"}},
                                           {"D:\\Runs", {"Buffer05m", "Buffer10m"}},
                                           {"D:\\Runs\\Buffer10m", {"toxswa"}},
                                           {"\\\\server\\share\\", {"runs"}},
                                           {"C:\\work\\runs", {}}},
                                          "C:\\work"));
  EXPECT_EQ(model.path(), "D:\\Runs");
  EXPECT_EQ(Rows(model), (std::vector<std::string>{"D:\\+", " Runs+", "  Buffer05m", "  Buffer10m"}));
  EXPECT_EQ(model.entries()[3].path, "D:\\Runs\\Buffer10m");
  EXPECT_EQ(model.openRow(3), std::nullopt);
  EXPECT_EQ(Rows(model), (std::vector<std::string>{"D:\\+", " Runs+", "  Buffer10m+", "   toxswa"}));
  EXPECT_EQ(model.openRow(0), std::nullopt);
  EXPECT_EQ(Rows(model), (std::vector<std::string>{"D:\\+", " Runs"}));
  EXPECT_EQ(model.entries()[1].path, "D:\\Runs");

  const Opening cases[] = {
      {"runs", "C:\\work\\runs"},
      {"\\", "C:\\"},
      {"D:", "D:\\"},
      {"D:\\..\\..", "D:\\"},
      {"//server/share/runs/..", "\\\\server\\share\\"},
  };
  for (const auto& c : cases) {
    const std::optional<FileError> error = model.open(c.given);
    // The memory tree holds no "C:\" and no subfolders for most: only the
    // path matters here, and a failure names the path it tried.
    EXPECT_EQ(error ? error->path() : model.path(), c.opened) << c.given;
  }
  EXPECT_EQ(model.open("\\\\server\\share"), std::nullopt);
  EXPECT_EQ(Rows(model), (std::vector<std::string>{"\\\\server\\share\\+", " runs"}));
  EXPECT_EQ(model.entries()[1].path, "\\\\server\\share\\runs");
}

}  // namespace
}  // namespace quillmere
