// The Windows side of LineReader: wide paths, binary reads.
#include <windows.h>

#include <algorithm>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

HANDLE AsHandle(std::intptr_t source) { return reinterpret_cast<HANDLE>(source); }

}  // namespace

void LineReader::OpenSource() {
  // Others may go on reading, writing or renaming the report; a program that
  // holds it without sharing makes the open fail, as a report that cannot be
  // opened.
  const HANDLE file = ::CreateFileW(WidePath(path_).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // A folder is refused as access denied; it is no report either way.
    const DWORD attributes = ::GetFileAttributesW(WidePath(path_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw FileError(path_, "cannot open: not a plain file");
    }
    throw WindowsError(path_, "cannot open", error);
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ::CloseHandle(file);
    throw FileError(path_, "cannot open: not a plain file");
  }
  const std::uint64_t size =
      (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  fileSize_ = static_cast<std::size_t>(size);
  source_ = reinterpret_cast<std::intptr_t>(file);
}

std::size_t LineReader::ReadSource(char* into, std::size_t count) {
  DWORD got = 0;
  const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
  if (!::ReadFile(AsHandle(source_), into, asked, &got, nullptr)) {
    throw WindowsError(path_, "cannot read", ::GetLastError());
  }
  return got;
}

void LineReader::CloseSource() {
  if (source_ != -1) ::CloseHandle(AsHandle(source_));
  source_ = -1;
}

}  // namespace quillmere
