// The Windows side of listing a folder: wide names, handed on as UTF-8.
#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/folder_entries.h"
#include "runtime/path.h"
#include "runtime/system.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

struct SearchCloser {
  HANDLE search;
  ~SearchCloser() { ::FindClose(search); }
};

// What a symbolic link or junction leads to, followed to the end.
EntryKind KindOfTarget(const std::wstring& path) {
  const HANDLE target = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (target == INVALID_HANDLE_VALUE) return EntryKind::kUnreachable;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = ::GetFileInformationByHandle(target, &information);
  const DWORD type = ::GetFileType(target);
  ::CloseHandle(target);
  if (!known) return EntryKind::kUnreachable;
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryKind::kFolder;
  return type == FILE_TYPE_DISK ? EntryKind::kPlainFile : EntryKind::kOther;
}

}  // namespace

std::vector<ListedEntry> ReadFolderEntries(const std::string& folder) {
  // A drive root ("C:\") already ends in the separator.
  const std::string prefix = JoinPath(folder, "");
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = WidePath(prefix + "*");
  ListingCall call;
  call.folder = folder;
  call.pattern = pattern.c_str();
  call.entry = &found;
  const HANDLE search = static_cast<HANDLE>(CurrentSystem().OpenListing(call));
  std::vector<ListedEntry> entries;
  if (search == nullptr) {
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(WidePath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      throw FileError(folder, "cannot list: Not a directory");
    }
    // An empty drive root has not even "." and "..".
    if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES) return entries;
    throw WindowsError(folder, "cannot list", error);
  }
  const SearchCloser closer{search};
  do {
    const std::wstring_view wideName = found.cFileName;
    if (wideName == L"." || wideName == L"..") continue;
    std::string name = WideToUtf8(wideName);
    EntryKind kind =
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kPlainFile;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      kind = KindOfTarget(WidePath(prefix + name));
    entries.push_back({std::move(name), kind});
  } while (CurrentSystem().NextEntry(folder, search, &found));
  const DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) throw WindowsError(folder, "cannot list", error);
  return entries;
}

}  // namespace quillmere

namespace quillmere {

// Held without FILE_SHARE_DELETE: while the run has the folder open, neither
// it nor a folder above it can be renamed or removed.
Folder::Folder(const std::string& path) : path_(path) {
  const HANDLE folder =
      ::CreateFileW(WidePath(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // Listing it says best why it cannot be opened.
    (void)ReadFolderEntries(path);
    throw WindowsError(path, "cannot list", error);
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(folder, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::CloseHandle(folder);
    throw FileError(path, "cannot list: Not a directory");
  }
  system_ = SystemHandle(reinterpret_cast<std::intptr_t>(folder));
}

Folder::~Folder() = default;

std::vector<ListedEntry> ReadFolderEntries(const Folder& folder) { return ReadFolderEntries(folder.path()); }

}  // namespace quillmere
