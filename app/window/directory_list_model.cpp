#include "app/window/directory_list_model.h"

#include <utility>

#include "runtime/listing.h"

namespace quillmere {

namespace {

std::vector<std::string> ListedSubfolders(const std::string& folder) {
  std::vector<std::string> subfolders;
  for (const ListedEntry& entry : List(folder)) {
    if (entry.kind == EntryKind::kFolder) subfolders.push_back(entry.name);
  }
  return subfolders;
}

}  // namespace

FolderSource::FolderSource() : subfolders(ListedSubfolders) {}

DirectoryListModel::DirectoryListModel(const std::string& directory, FolderSource source)
    : source_(std::move(source)) {
  if (open(directory)) show(NormalPath(source_.style, directory, source_.currentDirectory()), {});
}

std::optional<FileError> DirectoryListModel::open(const std::string& directory) {
  const std::string path = NormalPath(source_.style, directory, source_.currentDirectory());
  std::vector<std::string> subfolders;
  try {
    subfolders = source_.subfolders(path);
  } catch (const FileError& error) {
    return error;
  }
  show(path, subfolders);
  return std::nullopt;
}

std::optional<FileError> DirectoryListModel::openRow(std::size_t row) {
  if (row >= entries_.size()) return std::nullopt;
  // A copy: opening replaces the rows.
  const std::string path = entries_[row].path;
  return open(path);
}

void DirectoryListModel::show(const std::string& directory, const std::vector<std::string>& subfolders) {
  const PathParts parts = SplitPath(source_.style, directory, "");
  path_ = directory;
  entries_.clear();
  entries_.push_back(DirectoryEntry{parts.root, parts.root, 0, true});
  for (std::size_t depth = 1; depth <= parts.names.size(); ++depth) {
    entries_.push_back(DirectoryEntry{parts.names[depth - 1], JoinParts(source_.style, parts, depth),
                                      static_cast<int>(depth), true});
  }
  openRow_ = entries_.size() - 1;
  const char separator = source_.style == PathStyle::kPosix ? '/' : '\\';
  const std::string prefix = parts.names.empty() ? directory : directory + separator;
  for (const std::string& name : subfolders) {
    entries_.push_back(DirectoryEntry{name, prefix + name, static_cast<int>(parts.names.size()) + 1, false});
  }
}

}  // namespace quillmere
