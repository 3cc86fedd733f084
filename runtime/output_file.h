// Writing a text file that stays open for a whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file_error.h"

namespace quillmere {

// A file created (or emptied) for writing, with its own buffer. Every write
// to the system is checked: the first failure is kept, later prints are
// dropped, and the failure is what `failure()` returns from then on. A write
// that fails part-way (a full disk, a file-size limit) leaves the file cut
// back to its last complete line, so no half line is ever left behind.
// Closing (explicitly or at destruction) writes out what was printed.
class OutputFile {
 public:
  // Creates `path`, or empties it if it exists. Throws FileError naming
  // `path` when that fails.
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Appends `text` unchanged.
  void Print(std::string_view text);

  // Appends the line end CR LF.
  void EndLine();

  // Hands everything printed so far to the system.
  void Flush();

  // Flushes and closes; later prints are failures. Returns the first failure
  // of this file, if any.
  std::optional<FileError> Close();

  // The first failure so far, if any.
  const std::optional<FileError>& failure() const { return failure_; }

  const std::string& path() const { return path_; }

  // How many complete lines (ended by EndLine) the file holds on disk: all
  // of them after a successful Close, fewer after a failure.
  std::size_t linesKept() const { return linesKept_; }

 private:
  void Fail(const std::string& action, int errorNumber);
  // Counts the pending line ends at or before file offset `offset` as kept.
  void KeepLinesUpTo(std::uint64_t offset);

  std::string path_;
  int fd_ = -1;
  std::string buffer_;
  std::optional<FileError> failure_;
  std::uint64_t written_ = 0;                  // bytes the system accepted
  std::vector<std::uint64_t> pendingLineEnds_;  // file offsets of line ends still in buffer_
  std::uint64_t keptEnd_ = 0;                  // file offset just past the last kept line
  std::size_t linesKept_ = 0;
};

}  // namespace quillmere
