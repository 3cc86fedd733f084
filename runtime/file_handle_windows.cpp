// The Windows side of FileHandle: wide paths, binary writes, and the table
// shared for reading only while it is written.
#include "runtime/file_handle.h"
#include "runtime/windows_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace quillmere {

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Why `path`, which could not be opened for writing, is refused, when what
// stands there says more than the error code.
std::optional<FileError> RefusalOf(const std::string& path, const std::wstring& widePath) {
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return FileError(path, "not written: it is a symbolic link");
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileError(path, "cannot create: Is a directory");
  return std::nullopt;
}

}  // namespace

FileHandle::FileHandle(const std::string& path) : path_(path) {
  // OPEN_ALWAYS empties nothing before the checks below (and, unlike
  // CREATE_ALWAYS, takes a hidden file); FILE_FLAG_OPEN_REPARSE_POINT opens
  // a symbolic link or junction itself instead of what it leads to. Others
  // may read the table while it is written, not write it: a program that
  // holds it open (Excel does) makes this fail with a sharing violation.
  const std::wstring widePath = WidePath(path);
  const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
      if (std::optional<FileError> refusal = RefusalOf(path, widePath)) throw *refusal;
    }
    throw WindowsError(path, "cannot create", error);
  }
  system_ = reinterpret_cast<std::intptr_t>(file);
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) {
    const DWORD error = ::GetLastError();
    Close();
    throw WindowsError(path, "cannot create", error);
  }
  const char* refusal = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                            ? "not written: it is a symbolic link"
                        : ::GetFileType(file) != FILE_TYPE_DISK ? "not written: it is not a plain file"
                        : information.nNumberOfLinks > 1        ? "not written: it has other hard links"
                                                                : nullptr;
  if (refusal != nullptr) {
    Close();
    throw FileError(path, refusal);
  }
  if (!::SetEndOfFile(file)) {
    const DWORD error = ::GetLastError();
    Close();
    throw WindowsError(path, "cannot empty", error);
  }
}

FileHandle::~FileHandle() { Close(); }

std::optional<FileError> FileHandle::Write(std::string_view bytes, std::size_t& taken) {
  taken = 0;
  if (!isOpen()) return WindowsError(path_, "cannot write", ERROR_INVALID_HANDLE);
  while (taken < bytes.size()) {
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - taken, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(AsHandle(system_), bytes.data() + taken, asked, &written, nullptr)) {
      return WindowsError(path_, "cannot write", ::GetLastError());
    }
    if (written == 0) return WindowsError(path_, "cannot write", ERROR_WRITE_FAULT);
    taken += written;
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Truncate(std::uint64_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFilePointerEx(AsHandle(system_), position, nullptr, FILE_BEGIN) ||
      !::SetEndOfFile(AsHandle(system_))) {
    return WindowsError(path_, "cannot shorten", ::GetLastError());
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Close() {
  if (!isOpen()) return std::nullopt;
  const BOOL closed = ::CloseHandle(AsHandle(system_));
  system_ = kClosed;
  if (!closed) return WindowsError(path_, "cannot write", ::GetLastError());
  return std::nullopt;
}

}  // namespace quillmere
