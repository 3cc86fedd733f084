#include "runtime/line_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/file_error.h"
#include "runtime/interruption.h"
#include "runtime/system.h"

namespace quillmere {

namespace {

constexpr std::size_t kInitialBuffer = 64 * 1024;

}  // namespace

const char* LineReader::FindLineEnd(const char* from, const char* to) {
  // Two memchr passes beat a byte loop by far. The LF found is kept until
  // the scan passes it, so a file without LF (CR line ends) is not searched
  // to its end once per line.
  if (nextLf_ == nullptr || nextLf_ < from) {
    const void* lf = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
    nextLf_ = lf != nullptr ? static_cast<const char*>(lf) : to;
  }
  const void* cr = std::memchr(from, '\r', static_cast<std::size_t>(nextLf_ - from));
  return cr != nullptr ? static_cast<const char*>(cr) : nextLf_;
}

LineReader::LineReader(const std::string& path) : path_(path) {
  OpenSource();
  unreadSize_ = fileSize_;
  buffer_ = static_cast<char*>(CurrentSystem().Allocate(nullptr, kInitialBuffer));
  if (buffer_ == nullptr) {
    CloseSource();
    throw FileError(path, "cannot read: out of memory");
  }
  capacity_ = kInitialBuffer;
  data_ = buffer_;
}

LineReader::LineReader(std::string_view bytes) : data_(bytes.data()), end_(bytes.size()), atEnd_(true) {}

LineReader::~LineReader() {
  CloseSource();
  std::free(buffer_);
}

void LineReader::Refill() {
  if (atEnd_) return;
  if (InterruptionSignal() != 0) throw FileError(path_, "reading stopped: the run was interrupted");
  const std::size_t unread = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, unread);
    begin_ = 0;
    end_ = unread;
  }
  if (end_ == capacity_) {
    // A line longer than the buffer: grow it, but not past the file's size
    // (plus the byte that shows the end), so that one long line costs no
    // more memory than the report. Nothing past that size is read, so the
    // buffer is full only while that size is not reached. realloc can move
    // large blocks without copying them.
    const std::size_t grown = std::min(capacity_ * 2, fileSize_ + 1);
    char* moved = static_cast<char*>(CurrentSystem().Allocate(buffer_, grown));
    if (moved == nullptr) {
      throw FileError(path_, "cannot read: out of memory for a line of " + std::to_string(end_) + " bytes");
    }
    buffer_ = moved;
    capacity_ = grown;
  }
  data_ = buffer_;
  nextLf_ = nullptr;
  const std::size_t wanted = std::min(capacity_ - end_, unreadSize_);
  const std::size_t got = wanted > 0 ? ReadSource(buffer_ + end_, wanted) : 0;
  end_ += got;
  unreadSize_ -= got;
  if (got == 0) atEnd_ = true;
}

bool LineReader::ReadLine(std::string_view& line) {
  std::size_t scanned = 0;  // bytes after begin_ known to hold no line end
  for (;;) {
    const char* start = data_ + begin_;
    const char* stop = data_ + end_;
    const char* lineEnd = FindLineEnd(start + scanned, stop);
    if (static_cast<std::size_t>(lineEnd - start) > kLongestLine) {
      throw LineTooLong(path_, "a line is longer than " + std::to_string(kLongestLine) + " bytes");
    }
    if (lineEnd != stop) {
      // A CR as the last byte held may be the first half of CR LF.
      if (!(*lineEnd == '\r' && lineEnd + 1 == stop && !atEnd_)) {
        line = std::string_view(start, static_cast<std::size_t>(lineEnd - start));
        std::size_t next = static_cast<std::size_t>(lineEnd - data_) + 1;
        if (*lineEnd == '\r' && next < end_ && data_[next] == '\n') ++next;
        begin_ = next;
        return true;
      }
    } else if (atEnd_) {
      if (begin_ == end_) return false;
      line = std::string_view(start, end_ - begin_);  // the last line, without a line end
      begin_ = end_;
      return true;
    }
    scanned = static_cast<std::size_t>(lineEnd - start);
    Refill();
  }
}

}  // namespace quillmere
