#include "runtime/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/file_error.h"

namespace quillmere {

namespace {

constexpr std::size_t kInitialBuffer = 64 * 1024;

// First CR or LF in [from, to), or `to`.
const char* FindLineEnd(const char* from, const char* to) {
  for (; from != to; ++from) {
    if (*from == '\n' || *from == '\r') return from;
  }
  return to;
}

}  // namespace

LineReader::LineReader(const std::string& path) : path_(path) {
  // O_NONBLOCK keeps a pipe that took the report's place from blocking the
  // open; the kind of file is checked right after.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd_ < 0) throw SystemError(path, "cannot open", errno);
  struct stat status {};
  if (::fstat(fd_, &status) != 0) {
    const int error = errno;
    ::close(fd_);
    throw SystemError(path, "cannot open", error);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd_);
    throw FileError(path, "cannot open: not a plain file");
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  buffer_.resize(kInitialBuffer);
  data_ = buffer_.data();
}

LineReader::LineReader(std::string_view bytes)
    : data_(bytes.data()), end_(bytes.size()), atEnd_(true) {}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

void LineReader::Refill() {
  if (atEnd_) return;
  const std::size_t unread = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, unread);
    begin_ = 0;
    end_ = unread;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  data_ = buffer_.data();
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return;
    }
    if (got == 0) {
      atEnd_ = true;
      return;
    }
    if (errno != EINTR) throw SystemError(path_, "cannot read", errno);
  }
}

bool LineReader::ReadLine(std::string_view& line) {
  std::size_t scanned = 0;  // bytes after begin_ known to hold no line end
  for (;;) {
    const char* start = data_ + begin_;
    const char* stop = data_ + end_;
    const char* lineEnd = FindLineEnd(start + scanned, stop);
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
