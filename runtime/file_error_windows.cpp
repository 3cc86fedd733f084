#include <string>
#include <utility>

#include "runtime/file_error.h"
#include "runtime/windows_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

namespace {

std::string SystemText(DWORD errorCode) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      errorCode, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) ::LocalFree(text);
  while (!wide.empty() &&
         (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ' || wide.back() == L'.')) {
    wide.pop_back();
  }
  if (wide.empty()) return "system error " + std::to_string(errorCode);
  return WideToUtf8(wide);
}

std::string Explanation(DWORD errorCode) {
  switch (errorCode) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is open in another program; close it there and try again";
    case ERROR_DIRECTORY:
      return "Not a directory";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return "Cannot allocate memory";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "Too many open files";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    case ERROR_CANT_RESOLVE_FILENAME:
      return "Too many levels of symbolic links";
    case ERROR_NOT_READY:
      return "the drive is not ready";
    default:
      return SystemText(errorCode);
  }
}

}  // namespace

FileError WindowsError(std::string path, const std::string& action, unsigned long errorCode) {
  return FileError(std::move(path), action + ": " + Explanation(errorCode));
}

}  // namespace quillmere
