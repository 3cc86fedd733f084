#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/folder_entries.h"
#include "runtime/system.h"

namespace quillmere {

namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

using Listing = std::unique_ptr<DIR, FolderCloser>;

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  if (S_ISREG(mode)) return EntryKind::kPlainFile;
  return EntryKind::kOther;
}

// Every entry of the open `listing` of `folder`.
std::vector<ListedEntry> ReadListing(const Listing& listing, const std::string& folder) {
  const int descriptor = ::dirfd(listing.get());
  std::vector<ListedEntry> entries;
  for (;;) {
    const dirent* entry = nullptr;
    if (!CurrentSystem().NextEntry(folder, listing.get(), &entry)) {
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

}  // namespace

Folder::Folder(const std::string& path) : path_(path) {
  OpenCall call;
  call.folder = AT_FDCWD;
  call.name = path;
  call.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;
  system_ = SystemHandle(CurrentSystem().Open(call));
  if (!system_.isOpen()) throw SystemError(path, "cannot list", errno);
}

Folder::~Folder() = default;

std::vector<ListedEntry> ReadFolderEntries(const std::string& folder) {
  ListingCall call;
  call.folder = folder;
  const Listing listing(static_cast<DIR*>(CurrentSystem().OpenListing(call)));
  if (!listing) throw SystemError(folder, "cannot list", errno);
  return ReadListing(listing, folder);
}

std::vector<ListedEntry> ReadFolderEntries(const Folder& folder) {
  // The listing gets a descriptor of its own, closed with it; the folder's
  // stays open for the rest of the run.
  const std::intptr_t copy = CurrentSystem().Duplicate(folder.system());
  if (copy < 0) throw SystemError(folder.path(), "cannot list", errno);
  ListingCall call;
  call.folder = folder.path();
  call.descriptor = static_cast<int>(copy);
  const Listing listing(static_cast<DIR*>(CurrentSystem().OpenListing(call)));
  if (!listing) {
    const int error = errno;
    (void)CurrentSystem().Close(copy);
    throw SystemError(folder.path(), "cannot list", error);
  }
  ::rewinddir(listing.get());
  return ReadListing(listing, folder.path());
}

}  // namespace quillmere
