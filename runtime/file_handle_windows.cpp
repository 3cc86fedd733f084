// The Windows side of FileHandle: wide paths, binary writes, the hidden file
// shared for reading only while it is written, and its rename over the table.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/file_handle.h"
#include "runtime/windows_text.h"

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

// Opens `widePath` for writing, `access` added, refusing what is not a plain
// file of its own. OPEN_ALWAYS empties nothing (and, unlike CREATE_ALWAYS,
// takes a hidden file); FILE_FLAG_OPEN_REPARSE_POINT opens a symbolic link
// or junction itself instead of what it leads to. Others may read the file
// while it is open, not write or delete it: a program that holds it open
// (Excel does) makes this fail with a sharing violation. Returns
// INVALID_HANDLE_VALUE, or throws, when `disposition` is OPEN_EXISTING and
// nothing is there.
HANDLE OpenPlainFile(const std::string& path, const std::wstring& widePath, DWORD access, DWORD disposition,
                     DWORD attributes) {
  const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE | access, FILE_SHARE_READ, nullptr,
                                    disposition, attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (disposition == OPEN_EXISTING && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
      return INVALID_HANDLE_VALUE;
    if (error == ERROR_ACCESS_DENIED) {
      if (std::optional<FileError> refusal = RefusalOf(path, widePath)) throw *refusal;
    }
    throw WindowsError(path, "cannot create", error);
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    throw WindowsError(path, "cannot create", error);
  }
  const char* refusal = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                            ? "not written: it is a symbolic link"
                        : ::GetFileType(file) != FILE_TYPE_DISK ? "not written: it is not a plain file"
                        : information.nNumberOfLinks > 1        ? "not written: it has other hard links"
                                                                : nullptr;
  if (refusal != nullptr) {
    ::CloseHandle(file);
    throw FileError(path, refusal);
  }
  return file;
}

bool SetAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = attributes;
  return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

std::wstring InFolder(const std::string& folder, const std::string& name) {
  const bool endsInSeparator = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
  return WidePath(endsInSeparator ? folder + name : folder + "\\" + name);
}

}  // namespace

// The folder is held open (without FILE_SHARE_DELETE) for the whole run, so
// that neither it nor a folder above it can be renamed or removed while the
// run lists it and writes its table; paths into it then keep naming it.
FileHandle::FileHandle(const Folder& folder, const std::string& name, const std::string& path)
    : path_(path),
      name_(name),
      temporary_("." + name + ".partial"),
      temporaryPath_(path.substr(0, path.size() - name.size()) + temporary_),
      folderPath_(folder.path()) {
  // What stands at the table's name is checked now, and closed again: a
  // table that cannot be replaced refuses the run before it starts.
  const HANDLE table =
      OpenPlainFile(path_, InFolder(folderPath_, name_), 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (table != INVALID_HANDLE_VALUE) ::CloseHandle(table);
  // The hidden file is shared with no other writer: a second run meets a
  // sharing violation while this one holds it.
  HANDLE file = INVALID_HANDLE_VALUE;
  try {
    file = OpenPlainFile(temporaryPath_, InFolder(folderPath_, temporary_), DELETE, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_HIDDEN);
  } catch (const FileError& error) {
    if (error.reason() == WindowsError(path_, "cannot create", ERROR_SHARING_VIOLATION).reason())
      throw FileError(path_, "not written: another run is writing it; try again when it has ended");
    if (error.reason().rfind("not written:", 0) == 0) throw;
    throw FileError(path_, error.reason());
  }
  system_ = reinterpret_cast<std::intptr_t>(file);
  // A file left by a killed run holds its lines, and perhaps no longer the
  // hidden attribute: start afresh.
  if (!::SetEndOfFile(file)) {
    const DWORD error = ::GetLastError();
    Discard();
    throw WindowsError(path_, "cannot empty", error);
  }
  (void)SetAttributes(file, FILE_ATTRIBUTE_HIDDEN);
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

void FileHandle::Discard() {
  if (!isOpen()) return;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  (void)::SetFileInformationByHandle(AsHandle(system_), FileDispositionInfo, &disposition,
                                     sizeof disposition);
  ::CloseHandle(AsHandle(system_));
  system_ = kClosed;
}

std::optional<FileError> FileHandle::Close(bool& replaced) {
  replaced = false;
  if (!isOpen()) return std::nullopt;
  const HANDLE file = AsHandle(system_);
  // On the disk before it is renamed: after a power loss the table is the
  // old one or the whole new one.
  if (!SetAttributes(file, FILE_ATTRIBUTE_NORMAL) || !::FlushFileBuffers(file)) {
    const DWORD error = ::GetLastError();
    Discard();
    return WindowsError(path_, "cannot write", error);
  }
  // Renamed through the handle the run holds, so no other program can take
  // the file between the last write and the rename.
  const std::wstring target = InFolder(folderPath_, name_);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  std::copy(target.begin(), target.end(), rename->FileName);
  if (!::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
    const DWORD error = ::GetLastError();
    Discard();
    return WindowsError(path_, "cannot replace", error);
  }
  replaced = true;
  const BOOL closed = ::CloseHandle(file);
  system_ = kClosed;
  if (!closed) return WindowsError(path_, "cannot write", ::GetLastError());
  return std::nullopt;
}

}  // namespace quillmere
