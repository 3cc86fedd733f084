// Writing a text file that stays open for a whole run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/file_error.h"

namespace quillmere {

// A file created (or emptied) for writing, with its own buffer. Every write
// to the system is checked: the first failure is kept, later prints are
// dropped, and the failure is what `failure()` returns from then on. Closing
// (explicitly or at destruction) writes out what was printed.
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
  void EndLine() { Print("\r\n"); }

  // Hands everything printed so far to the system.
  void Flush();

  // Flushes and closes; later prints are failures. Returns the first failure
  // of this file, if any.
  std::optional<FileError> Close();

  // The first failure so far, if any.
  const std::optional<FileError>& failure() const { return failure_; }

  const std::string& path() const { return path_; }

 private:
  void Fail(const std::string& action, int errorNumber);

  std::string path_;
  int fd_ = -1;
  std::string buffer_;
  std::optional<FileError> failure_;
};

}  // namespace quillmere
