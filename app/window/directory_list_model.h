// What Dir1, the directory list, shows and what opening one of its entries
// does, whatever draws it. It shows the open directory's ancestors from the
// root down, opened, then the open directory's subfolders, closed.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window/paths.h"
#include "runtime/file_error.h"

namespace quillmere {

// One row of the directory list.
struct DirectoryEntry {
  std::string text;   // the folder's name; the root's path for the root
  std::string path;   // the folder's full path
  int level = 0;      // indentation: 0 for the root, one more per folder below it
  bool open = false;  // an ancestor of, or the open directory itself
  bool operator==(const DirectoryEntry&) const = default;
};

// Where the directory list takes its folders from; the defaults are this
// system's.
struct FolderSource {
  PathStyle style = kNativePathStyle;
  // The names of the subfolders of a folder (links to folders included,
  // hidden names left out) in the order the run takes them. Throws FileError
  // naming the folder when it cannot be listed.
  std::function<std::vector<std::string>(const std::string& folder)> subfolders;
  // The current directory, against which relative paths are taken.
  std::function<std::string()> currentDirectory = CurrentDirectory;

  FolderSource();
};

class DirectoryListModel {
 public:
  // Opens `directory`; when it cannot be listed it is shown open without
  // subfolders, so that a run over it still names it and says why.
  explicit DirectoryListModel(const std::string& directory, FolderSource source = {});

  // The open directory as a full path, without a trailing separator except
  // for a root.
  const std::string& path() const { return path_; }

  // Every row, top to bottom.
  const std::vector<DirectoryEntry>& entries() const { return entries_; }

  // The row of the open directory, the one shown highlighted after opening.
  std::size_t openRow() const { return openRow_; }

  // Opens `directory` (made absolute and normal first). When it cannot be
  // listed, returns the failure and the rows stay as they were.
  std::optional<FileError> open(const std::string& directory);

  // Opens the folder of row `row` (a double-click or Enter on it).
  std::optional<FileError> openRow(std::size_t row);

 private:
  void show(const std::string& directory, const std::vector<std::string>& subfolders);

  FolderSource source_;
  std::string path_;
  std::vector<DirectoryEntry> entries_;
  std::size_t openRow_ = 0;
};

}  // namespace quillmere
