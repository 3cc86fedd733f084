// The POSIX side of LineReader.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"

namespace quillmere {

void LineReader::OpenSource() {
  // O_NONBLOCK keeps a pipe that took the report's place from blocking the
  // open; the kind of file is checked right after.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) throw SystemError(path_, "cannot open", errno);
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    throw SystemError(path_, "cannot open", error);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    throw FileError(path_, "cannot open: not a plain file");
  }
  fileSize_ = static_cast<std::size_t>(status.st_size);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  source_ = fd;
}

std::size_t LineReader::ReadSource(char* into, std::size_t count) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(source_), into, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw SystemError(path_, "cannot read", errno);
  }
}

void LineReader::CloseSource() {
  if (source_ >= 0) ::close(static_cast<int>(source_));
  source_ = -1;
}

}  // namespace quillmere
