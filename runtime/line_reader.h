// Reading a report line by line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/file_error.h"

namespace quillmere {

// A line longer than LineReader::kLongestLine: what the reader holds is not
// text of lines. A FileError naming the file, for callers that do not word
// it themselves.
class LineTooLong : public FileError {
 public:
  using FileError::FileError;
};

// Hands out the lines of a file, or of bytes in memory, one at a time and
// forward only. A line ends at LF, at CR LF or at a lone CR; the last line
// needs no line end, and an empty input has no lines. Bytes are passed on as
// they are. Memory is that of the longest line, not of the file, and never
// much more than the file's size.
//
// A file is read up to the size it had when it was opened: one that grows
// meanwhile is read as it was, and one whose size reads 0 (such as the files
// of /proc) has no lines, however much it would yield. A line longer than
// kLongestLine ends the reading (LineTooLong). Each time more of the file is
// read, a request to stop (runtime/interruption.h) ends the reading too, so
// that one huge file cannot hold a stop back.
class LineReader {
 public:
  static constexpr std::size_t kLongestLine = std::size_t{1} << 20;

  // Opens the plain file at `path` for reading. Throws FileError naming
  // `path` when it cannot be opened or is not a plain file (a folder, a pipe
  // or a device is never read, so a report can never block the run).
  explicit LineReader(const std::string& path);

  // Reads lines from `bytes`, which must outlive the reader.
  explicit LineReader(std::string_view bytes);

  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Sets `line` to the next line without its end and returns true; returns
  // false after the last line. `line` stays valid until the next call.
  // Throws FileError naming the file when reading fails or a request to stop
  // is noted, LineTooLong for a line longer than kLongestLine.
  bool ReadLine(std::string_view& line);

  // The path given at construction (empty for bytes in memory).
  const std::string& path() const { return path_; }

 private:
  // Moves the unread bytes to the front and reads more, or marks the end.
  void Refill();

  // First CR or LF in [from, to), or `to`.
  const char* FindLineEnd(const char* from, const char* to);

  // The system's side, one source per system (line_reader_posix.cpp,
  // line_reader_windows.cpp). OpenSource opens path_ as a plain file and sets
  // source_ and fileSize_, or throws FileError; ReadSource reads at most
  // `count` bytes, 0 at the end, or throws FileError.
  void OpenSource();
  std::size_t ReadSource(char* into, std::size_t count);
  void CloseSource();

  std::string path_;
  std::intptr_t source_ = -1;   // the open file: a descriptor, or a Windows handle
  std::size_t fileSize_ = 0;    // size when opened; caps how far the buffer grows
  std::size_t unreadSize_ = 0;  // bytes of that size not yet read
  char* buffer_ = nullptr;      // from the System's Allocate (realloc), so that growing can move it
  std::size_t capacity_ = 0;
  const char* nextLf_ = nullptr;  // first LF at or after the last scan start, or its end
  const char* data_ = nullptr;    // start of the bytes being handed out
  std::size_t begin_ = 0;         // first unread byte
  std::size_t end_ = 0;           // one past the last byte held
  bool atEnd_ = false;            // nothing more will come from the source
};

}  // namespace quillmere
