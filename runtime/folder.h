// A folder held open for a whole run. One source per platform implements it
// (folder_entries_posix.cpp, folder_entries_windows.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/system_handle.h"

namespace quillmere {

// The chosen directory, opened once: the run lists it and writes its table
// through this handle, so both stay in the folder that was opened even when a
// folder above it is renamed or replaced meanwhile. On POSIX systems that is
// a descriptor that listing and the table's calls are made relative to; on
// Windows a handle that keeps the folder from being renamed or deleted while
// it is open.
class Folder {
 public:
  // Throws FileError naming `path` ("cannot list: ...") when it cannot be
  // opened as a folder.
  explicit Folder(const std::string& path);
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // The path it was opened by, as the caller gave it.
  const std::string& path() const { return path_; }

  // A file descriptor on POSIX, a HANDLE on Windows.
  std::intptr_t system() const { return system_.get(); }

 private:
  std::string path_;
  SystemHandle system_;
};

}  // namespace quillmere
