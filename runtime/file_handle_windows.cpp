// The Windows side of FileHandle: wide paths, binary writes, the hidden file
// shared for reading only while it is written, and its rename over the table.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/file_handle.h"
#include "runtime/path.h"
#include "runtime/system.h"
#include "runtime/system_handle.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

HANDLE AsHandle(const SystemHandle& handle) { return reinterpret_cast<HANDLE>(handle.get()); }

// Why `path`, which could not be opened for writing, is refused, when what
// stands there says more than the error code.
std::optional<FileError> RefusalOf(const std::string& path, const std::wstring& widePath) {
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return Refusal(path, FileErrorKind::kSymbolicLink);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Refusal(path, FileErrorKind::kNotPlainFile);
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
SystemHandle OpenPlainFile(const std::string& path, const std::wstring& widePath, DWORD access,
                           DWORD disposition, DWORD attributes) {
  // The name alone, for a wrapper of the system to match.
  const std::string name = path.substr(path.find_last_of("\\/") + 1);
  OpenCall call;
  call.name = name;
  call.path = widePath.c_str();
  call.access = GENERIC_WRITE | access;
  call.share = FILE_SHARE_READ;
  call.disposition = disposition;
  call.attributes = attributes | FILE_FLAG_OPEN_REPARSE_POINT;
  SystemHandle file(CurrentSystem().Open(call));
  if (!file.isOpen()) {
    const DWORD error = ::GetLastError();
    if (disposition == OPEN_EXISTING && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
      return file;
    if (error == ERROR_ACCESS_DENIED) {
      if (std::optional<FileError> refusal = RefusalOf(path, widePath)) throw *refusal;
    }
    throw WindowsError(path, "cannot create", error);
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!CurrentSystem().Status(file.get(), &information))
    throw WindowsError(path, "cannot create", ::GetLastError());
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    throw Refusal(path, FileErrorKind::kSymbolicLink);
  if (::GetFileType(AsHandle(file)) != FILE_TYPE_DISK) throw Refusal(path, FileErrorKind::kNotPlainFile);
  if (information.nNumberOfLinks > 1) throw Refusal(path, FileErrorKind::kOtherHardLinks);
  return file;
}

std::wstring InFolder(const std::string& folder, const std::string& name) {
  return WidePath(JoinPath(folder, name));
}

}  // namespace

FileError FileHandle::HiddenFileFailure(const std::string& reason) const {
  return FileError(temporaryPath_, reason + "; it is the hidden file a run builds " + name_ +
                                       " in: remove it, or ask its owner to, and try again");
}

// The folder is held open (without FILE_SHARE_DELETE) for the whole run, so
// that neither it nor a folder above it can be renamed or removed while the
// run lists it and writes its files; paths into it then keep naming it.
FileHandle::FileHandle(const Folder& folder, const std::string& name, const std::string& path)
    : path_(path),
      name_(name),
      temporary_("." + name + ".partial"),
      temporaryPath_(path.substr(0, path.size() - name.size()) + temporary_),
      folderPath_(folder.path()) {
  // What stands at the target's name is checked now, and closed again: a
  // file that cannot be replaced refuses the run before it starts.
  (void)OpenPlainFile(path_, InFolder(folderPath_, name_), 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  // The hidden file is shared with no other writer: a second run meets a
  // sharing violation while this one holds it.
  try {
    system_ = OpenPlainFile(temporaryPath_, InFolder(folderPath_, temporary_), DELETE, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN);
  } catch (const FileError& error) {
    if (error.kind() == FileErrorKind::kHeldOpen) throw Refusal(path_, FileErrorKind::kRunAtWork);
    throw HiddenFileFailure(error.reason());
  }
  // A file left by a killed run holds its lines, and perhaps no longer the
  // hidden attribute: start afresh.
  if (!CurrentSystem().Truncate(system_.get(), 0)) {
    const DWORD error = ::GetLastError();
    Discard();
    throw HiddenFileFailure(WindowsError("", "cannot empty", error).reason());
  }
  (void)CurrentSystem().SetAttributes(system_.get(), FILE_ATTRIBUTE_HIDDEN);
}

FileHandle::~FileHandle() { Discard(); }

std::optional<FileError> FileHandle::Write(std::string_view bytes, std::size_t& taken) {
  taken = 0;
  if (!isOpen()) return WindowsError(path_, "cannot write", ERROR_INVALID_HANDLE);
  while (taken < bytes.size()) {
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - taken, 1u << 30));
    std::size_t written = 0;
    if (!CurrentSystem().Write(system_.get(), bytes.data() + taken, asked, written)) {
      return WindowsError(path_, "cannot write", ::GetLastError());
    }
    if (written == 0) return WindowsError(path_, "cannot write", ERROR_WRITE_FAULT);
    taken += written;
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Truncate(std::uint64_t size) {
  if (!CurrentSystem().Truncate(system_.get(), size)) {
    return WindowsError(path_, "cannot shorten", ::GetLastError());
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Sync() {
  if (!isOpen()) return WindowsError(path_, "cannot write", ERROR_INVALID_HANDLE);
  if (!CurrentSystem().Flush(system_.get())) return WindowsError(path_, "cannot write", ::GetLastError());
  return std::nullopt;
}

// The library opens the file anew, replacing it (CREATE_ALWAYS, which a file
// with the hidden attribute refuses), and shares it with no program that may
// delete it: the run lets its own handle go meanwhile and opens the file
// again after. No other run takes it meanwhile: a file of a run is only made
// while the run holds its table's hidden file.
std::optional<FileError> FileHandle::WithNarrowName(
    const std::function<std::optional<FileError>(const std::string& name)>& write) {
  if (!isOpen()) return WindowsError(path_, "cannot write", ERROR_INVALID_HANDLE);
  (void)CurrentSystem().SetAttributes(system_.get(), FILE_ATTRIBUTE_NORMAL);
  (void)system_.Close();
  released_ = true;
  const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring previous(size, L'\0');
  previous.resize(::GetCurrentDirectoryW(size, previous.data()));
  const std::wstring folder = InFolder(folderPath_, std::string());
  std::optional<FileError> failure;
  if (!::SetCurrentDirectoryW(folder.c_str()))
    failure = WindowsError(path_, "cannot write", ::GetLastError());
  try {
    // The hidden file's name is ASCII, which every code page reaches.
    if (!failure) failure = write(temporary_);
  } catch (...) {
    ::SetCurrentDirectoryW(previous.c_str());
    throw;
  }
  ::SetCurrentDirectoryW(previous.c_str());
  try {
    system_ = OpenPlainFile(temporaryPath_, InFolder(folderPath_, temporary_), DELETE, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL);
  } catch (const FileError& error) {
    if (!failure) failure = FileError(path_, error.reason(), error.kind());
  }
  if (isOpen()) released_ = false;
  if (!isOpen() && !failure) failure = WindowsError(path_, "cannot write", ERROR_FILE_NOT_FOUND);
  return failure;
}

void FileHandle::Discard() {
  if (!isOpen()) {
    // Not opened again after the library wrote it (memory ran out, say):
    // still this run's, as no other run makes a file while this one holds
    // its table's hidden file.
    if (released_) (void)::DeleteFileW(InFolder(folderPath_, temporary_).c_str());
    released_ = false;
    return;
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  (void)::SetFileInformationByHandle(AsHandle(system_), FileDispositionInfo, &disposition,
                                     sizeof disposition);
  (void)system_.Close();
}

std::optional<FileError> FileHandle::Close(bool& replaced) {
  replaced = false;
  if (!isOpen()) return std::nullopt;
  // On the disk before it is renamed: after a power loss the file is the
  // old one or the whole new one.
  if (!CurrentSystem().SetAttributes(system_.get(), FILE_ATTRIBUTE_NORMAL) ||
      !CurrentSystem().Flush(system_.get())) {
    const DWORD error = ::GetLastError();
    Discard();
    return WindowsError(path_, "cannot write", error);
  }
  // Renamed through the handle the run holds, so no other program can take
  // the file between the last write and the rename.
  const std::wstring target = InFolder(folderPath_, name_);
  RenameCall rename;
  rename.file = system_.get();
  rename.from = temporary_;
  rename.to = name_;
  rename.target = target;
  if (!CurrentSystem().Rename(rename)) {
    const DWORD error = ::GetLastError();
    Discard();
    return WindowsError(path_, "cannot replace", error);
  }
  replaced = true;
  if (const unsigned long error = system_.Close()) return WindowsError(path_, "cannot write", error);
  return std::nullopt;
}

}  // namespace quillmere
