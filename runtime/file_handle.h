// The system's side of a file replaced by a run: opening it safely, handing
// it bytes, cutting it back and putting it in place. One source per platform implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/folder.h"
#include "runtime/system_handle.h"

namespace quillmere {

// A new file written beside the one it replaces: the table, and the
// workbook. It is built in a hidden file of the same folder, "." + name +
// ".partial", and put in place of `name` in one step by Close, so that `name`
// is at every moment either the file it was before or a whole new one,
// whatever ends the program. The hidden file is locked for the whole run: a
// second run on the same folder is refused ("not written: another run is
// writing it") instead of writing the same file. One left behind by a run of
// the same user that was killed is taken over. The new file gets the mode
// (and, where the system lets it, the group) of the file it replaces.
class FileHandle {
 public:
  // Prepares to replace `name` in `folder`, through the folder's handle;
  // `path` is how messages name it. What stands at `name` and is not a plain
  // file of its own is refused before anything is written: a symbolic link,
  // a file with other hard links, a pipe, device or socket (see Refusal),
  // or, on Windows, a file another program holds open. Throws FileError
  // naming `path`, or the hidden file when that is what fails, saying what
  // it is and what to do; nothing is then left behind.
  FileHandle(const Folder& folder, const std::string& name, const std::string& path);
  // Discards what was not put in place by Close: a file is never put in
  // place by a handle that is merely let go (after an exception, say).
  ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Hands `bytes` to the system until all are taken or it refuses; sets
  // `taken` to how many it took. Returns the failure when not all were.
  std::optional<FileError> Write(std::string_view bytes, std::size_t& taken);

  // Shortens the file to `size` bytes.
  std::optional<FileError> Truncate(std::uint64_t size);

  // Puts what was written on the disk, without putting it in place yet.
  std::optional<FileError> Sync();

  // Has `write` fill the hidden file through a library that opens files by
  // a narrow (char) name and creates them anew: `write` gets a name that
  // reaches this very file (on Linux the file's own entry in /proc/self/fd,
  // so the name cannot be made to lead elsewhere; on Windows its name, while
  // the process's current folder is the folder). What `write` returns or
  // throws is passed on; a failure to make the name is returned, naming the
  // file.
  std::optional<FileError> WithNarrowName(
      const std::function<std::optional<FileError>(const std::string& name)>& write);

  // Puts what was written in place of the file: flushed to the disk first,
  // then renamed over it. When that fails the file is left as it was and
  // the hidden file is removed. Later calls do nothing. Returns the failure,
  // if any, and sets `replaced` to whether the file now holds what was
  // written.
  std::optional<FileError> Close(bool& replaced);
  std::optional<FileError> Close() {
    bool replaced = false;
    return Close(replaced);
  }

  // Removes the hidden file and leaves the file as it was.
  void Discard();

  bool isOpen() const { return system_.isOpen(); }

  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temporaryPath_; }

 private:
  // What the hidden file's failure `reason` means for a person: which file
  // it is and what to do.
  FileError HiddenFileFailure(const std::string& reason) const;

  std::string path_;           // the file, as messages name it
  std::string name_;           // its name in the folder
  std::string temporary_;      // the hidden file's name
  std::string temporaryPath_;  // and as messages name it
  std::string folderPath_;
  SystemHandle folder_;  // POSIX: a descriptor of the folder of its own
  SystemHandle system_;  // the hidden file
  // Windows: the hidden file's handle is let go while a library writes the
  // file by its name, so it is removed by name if it is not opened again.
  [[maybe_unused]] bool released_ = false;
};

}  // namespace quillmere
