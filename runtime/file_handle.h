// The system's side of the table file: opening it safely, handing it bytes,
// cutting it back and putting it in place. One source per platform implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/folder.h"

namespace quillmere {

// A new table written beside the one it replaces. It is built in a hidden
// file of the same folder, "." + name + ".partial", and put in place of
// `name` in one step by Close, so that `name` is at every moment either the
// table it was before or a whole new one, whatever ends the program. The
// hidden file is held for the whole run: a second run on the same folder is
// refused ("not written: another run is writing it") instead of writing the
// same file. One left behind by a run that was killed is taken over.
class FileHandle {
 public:
  // Prepares to replace `name` in `folder`; `path` is how messages name it.
  // What stands at `name` and is not a plain file of its own is refused
  // before anything is written: a symbolic link ("not written: it is a
  // symbolic link"), a file with other hard links ("not written: it has
  // other hard links"), a pipe, device or socket ("not written: it is not a
  // plain file"), or, on Windows, a file another program holds open. Throws
  // FileError naming `path` (or the hidden file, when that is what is
  // refused); nothing is then left behind.
  FileHandle(const Folder& folder, const std::string& name, const std::string& path);
  ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Hands `bytes` to the system until all are taken or it refuses; sets
  // `taken` to how many it took. Returns the failure when not all were.
  std::optional<FileError> Write(std::string_view bytes, std::size_t& taken);

  // Shortens the file to `size` bytes.
  std::optional<FileError> Truncate(std::uint64_t size);

  // Puts what was written in place of the table: flushed to the disk first,
  // then renamed over it. When that fails the table is left as it was and
  // the hidden file is removed. Later calls do nothing. Returns the failure,
  // if any, and sets `replaced` to whether the table now holds what was
  // written.
  std::optional<FileError> Close(bool& replaced);
  std::optional<FileError> Close() {
    bool replaced = false;
    return Close(replaced);
  }

  bool isOpen() const { return system_ != kClosed; }

 private:
  // A file descriptor on POSIX, a HANDLE on Windows (whose invalid value is
  // -1 too).
  static constexpr std::intptr_t kClosed = -1;
  void Discard();

  std::string path_;           // the table, as messages name it
  std::string name_;           // its name in the folder
  std::string temporary_;      // the hidden file's name
  std::string temporaryPath_;  // and as messages name it
  std::string folderPath_;
  std::intptr_t folder_ = kClosed;  // POSIX: a descriptor of the folder of its own
  std::intptr_t system_ = kClosed;
};

}  // namespace quillmere
