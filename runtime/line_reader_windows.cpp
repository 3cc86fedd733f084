// The Windows side of LineReader: wide paths, binary reads.
#include <windows.h>

#include <string>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/system.h"
#include "runtime/windows_text.h"

namespace quillmere {

void LineReader::OpenSource() {
  // Others may go on reading, writing or renaming the report; a program that
  // holds it without sharing makes the open fail, as a report that cannot be
  // opened.
  const std::wstring widePath = WidePath(path_);
  OpenCall call;
  call.name = path_;
  call.path = widePath.c_str();
  call.access = GENERIC_READ;
  call.share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  call.disposition = OPEN_EXISTING;
  call.attributes = FILE_FLAG_SEQUENTIAL_SCAN;
  const HANDLE file = reinterpret_cast<HANDLE>(CurrentSystem().Open(call));
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // A folder is refused as access denied; it is no report either way.
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw FileError(path_, "cannot open: not a plain file");
    }
    throw WindowsError(path_, "cannot open", error);
  }
  const std::intptr_t opened = reinterpret_cast<std::intptr_t>(file);
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    (void)CurrentSystem().Close(opened);
    throw FileError(path_, "cannot open: not a plain file");
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!CurrentSystem().Status(opened, &information)) {
    const DWORD error = ::GetLastError();
    (void)CurrentSystem().Close(opened);
    throw WindowsError(path_, "cannot open", error);
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    (void)CurrentSystem().Close(opened);
    throw FileError(path_, "cannot open: not a plain file");
  }
  const std::uint64_t size =
      (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  fileSize_ = static_cast<std::size_t>(size);
  source_ = opened;
}

std::size_t LineReader::ReadSource(char* into, std::size_t count) {
  std::size_t got = 0;
  if (!CurrentSystem().Read(source_, into, count, got))
    throw WindowsError(path_, "cannot read", ::GetLastError());
  return got;
}

void LineReader::CloseSource() {
  if (source_ != -1) (void)CurrentSystem().Close(source_);
  source_ = -1;
}

}  // namespace quillmere
