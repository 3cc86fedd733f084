#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/folder_entries.h"

namespace quillmere {

namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  if (S_ISREG(mode)) return EntryKind::kPlainFile;
  return EntryKind::kOther;
}

}  // namespace

std::vector<ListedEntry> ReadFolderEntries(const std::string& folder) {
  const std::unique_ptr<DIR, FolderCloser> listing(::opendir(folder.c_str()));
  if (!listing) throw SystemError(folder, "cannot list", errno);
  const int descriptor = ::dirfd(listing.get());
  std::vector<ListedEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(listing.get());
    if (entry == nullptr) {
      if (errno != 0) throw SystemError(folder, "cannot list", errno);
      return entries;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    // A link that leads nowhere or in a loop, or an entry gone since it was
    // listed, cannot be reached.
    struct stat status {};
    const EntryKind kind = ::fstatat(descriptor, entry->d_name, &status, 0) == 0 ? KindOfMode(status.st_mode)
                                                                                 : EntryKind::kUnreachable;
    entries.push_back({std::string(name), kind});
  }
}

}  // namespace quillmere
