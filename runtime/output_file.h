// Writing a text file that stays open for a whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/file_handle.h"

namespace quillmere {

// A file written anew, with its own buffer, that only ever holds whole
// lines: text reaches the system a whole line at a time, so whatever ends the
// program, the file ends at a line end. The lines go to a hidden file beside
// it that takes its place when it is closed (see FileHandle): until then the
// file keeps what it held before. Every write to the
// system is checked: the first failure is kept, later prints are dropped,
// and the failure is what `failure()` returns from then on. A write that
// fails part-way (a full disk, a file-size limit) leaves the file cut back to
// its last whole line.
class OutputFile {
 public:
  // Prepares to write `name` in `folder` anew, if it is missing or a plain
  // file with no other names (see FileHandle); `path` is how messages name
  // it. Throws FileError naming `path` when that fails.
  OutputFile(const Folder& folder, const std::string& name, const std::string& path);
  // Closes the file (see Close). Like the FileHandle it holds, an OutputFile
  // is neither copied nor moved.
  ~OutputFile();

  // Appends `text` unchanged to the line in progress.
  void Print(std::string_view text);

  // Ends the line in progress with CR LF.
  void EndLine();

  // Hands every whole line printed so far to the system; the line in
  // progress stays in memory until it is ended.
  void Flush();

  // Flushes and puts every whole line on the disk, without putting the file
  // in place yet. Returns the first failure of this file, if any.
  std::optional<FileError> Sync();

  // Flushes, closes and puts the file in place; a line never ended is
  // dropped, later prints are failures. Returns the first failure of this
  // file, if any. When the file could not be put in place it keeps what it
  // held before, and linesKept() is 0.
  std::optional<FileError> Close();

  // The first failure so far, if any.
  const std::optional<FileError>& failure() const { return failure_; }

  const std::string& path() const { return path_; }

  // How many whole lines the file holds on disk: all of them after a
  // successful Close, fewer after a failure (none when it could not be put
  // in place).
  std::size_t linesKept() const { return linesKept_; }

 private:
  std::string path_;
  FileHandle handle_;
  std::string buffer_;                 // printed bytes not yet handed over
  std::vector<std::size_t> lineEnds_;  // ends of the whole lines in buffer_
  std::optional<FileError> failure_;
  std::uint64_t written_ = 0;  // bytes the system took
  std::size_t linesKept_ = 0;
};

}  // namespace quillmere
