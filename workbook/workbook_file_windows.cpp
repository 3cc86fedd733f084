// The Windows side of the workbook's file handling: wide paths, a workbook
// open in another program (Excel locks the files it shows) named before the
// run, and the full path of the directory.
#include <windows.h>

#include "runtime/windows_text.h"
#include "workbook/workbook_file.h"

namespace quillmere {

void CheckReplaceable(const std::string& path) {
  const std::wstring widePath = WidePath(path);
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    throw WindowsError(path, "cannot replace", error);
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) throw Refusal(path, FileErrorKind::kSymbolicLink);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) throw Refusal(path, FileErrorKind::kNotPlainFile);
  // Opened for writing and deleting as the rename will need, sharing all: a
  // program that holds the file without sharing it (Excel) makes this fail.
  const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE | DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw WindowsError(path, "not written", ::GetLastError());
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = ::GetFileInformationByHandle(file, &information) != 0;
  const bool plain = ::GetFileType(file) == FILE_TYPE_DISK;
  ::CloseHandle(file);
  if (!plain) throw Refusal(path, FileErrorKind::kNotPlainFile);
  if (known && information.nNumberOfLinks > 1) throw Refusal(path, FileErrorKind::kOtherHardLinks);
}

std::string AbsolutePath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return WideToUtf8(full);
}

}  // namespace quillmere
