// The Windows side of the workbook's file handling: wide paths, a workbook
// open in another program (Excel locks the files it shows) named before the
// run, and a rename that replaces it in one step.
#include <windows.h>

#include "runtime/windows_text.h"
#include "workbook/workbook_file.h"

namespace quillmere {

namespace {

// The folder part of `path` with its separator, and the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {std::string(), path};
  return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

}  // namespace

void CheckReplaceable(const std::string& path) {
  const std::wstring widePath = WidePath(path);
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    throw WindowsError(path, "cannot replace", error);
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    throw FileError(path, "not written: it is a symbolic link");
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw FileError(path, "not written: it is not a plain file");
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
  if (!plain) throw FileError(path, "not written: it is not a plain file");
  if (known && information.nNumberOfLinks > 1) throw FileError(path, "not written: it has other hard links");
}

std::string CreateTemporaryBeside(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  for (int attempt = 0;; ++attempt) {
    // ASCII, so that a library opening it by a narrow name reaches it.
    const std::string temporary = folder + ".Summary-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                  std::to_string(attempt) + ".xlsx";
    const HANDLE file = ::CreateFileW(WidePath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file);
      return temporary;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS || attempt >= 100) {
      throw WindowsError(path, "cannot create a temporary file beside it", error);
    }
  }
}

void WithNarrowName(const std::string& path, const std::function<void(const std::string& name)>& write) {
  const auto [folder, name] = SplitPath(path);
  const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring previous(size, L'\0');
  previous.resize(::GetCurrentDirectoryW(size, previous.data()));
  if (!folder.empty() && !::SetCurrentDirectoryW(WidePath(folder).c_str())) {
    throw WindowsError(path, "cannot write", ::GetLastError());
  }
  try {
    write(name);
  } catch (...) {
    ::SetCurrentDirectoryW(previous.c_str());
    throw;
  }
  ::SetCurrentDirectoryW(previous.c_str());
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

std::string ReportLink(const std::string& directory, const std::string& reportPath) {
  std::string prefix = directory;
  if (!prefix.ends_with('\\') && !prefix.ends_with('/')) prefix += '\\';
  // Relative to the workbook in `directory`, so that it keeps working when
  // the directory is moved or copied whole.
  const std::string relative = reportPath.starts_with(prefix) ? reportPath.substr(prefix.size()) : reportPath;
  return relative;
}

std::optional<FileError> MoveIntoPlace(const std::string& temporary, const std::string& path) {
  if (!::MoveFileExW(WidePath(temporary).c_str(), WidePath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return WindowsError(path, "cannot replace", ::GetLastError());
  }
  return std::nullopt;
}

void RemoveFile(const std::string& path) { ::DeleteFileW(WidePath(path).c_str()); }

}  // namespace quillmere
