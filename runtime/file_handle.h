// The system's side of the table file: opening it safely, handing it bytes,
// cutting it back and closing it. One source per platform implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/file_error.h"

namespace quillmere {

// A plain file opened for writing from its start.
class FileHandle {
 public:
  // Creates `path`, or empties it when it is a plain file with no other
  // names. What is not such a file is never written through nor emptied:
  // a symbolic link ("not written: it is a symbolic link"), a file with
  // other hard links ("not written: it has other hard links"), a pipe,
  // device or socket ("not written: it is not a plain file"). A pipe that
  // nothing reads fails at once instead of waiting for a reader. Throws
  // FileError naming `path`.
  explicit FileHandle(const std::string& path);
  ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Hands `bytes` to the system until all are taken or it refuses; sets
  // `taken` to how many it took. Returns the failure when not all were.
  std::optional<FileError> Write(std::string_view bytes, std::size_t& taken);

  // Shortens the file to `size` bytes.
  std::optional<FileError> Truncate(std::uint64_t size);

  // Closes the file; later calls do nothing. Returns the failure, if any.
  std::optional<FileError> Close();

  bool isOpen() const { return system_ != kClosed; }

 private:
  // A file descriptor on POSIX, a HANDLE on Windows (whose invalid value is
  // -1 too).
  static constexpr std::intptr_t kClosed = -1;
  std::string path_;
  std::intptr_t system_ = kClosed;
};

}  // namespace quillmere
