// The POSIX side of LineReader.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/system.h"

namespace quillmere {

void LineReader::OpenSource() {
  // O_NONBLOCK keeps a pipe that took the report's place from blocking the
  // open; the kind of file is checked right after.
  OpenCall call;
  call.folder = AT_FDCWD;
  call.name = path_;
  call.flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  const int fd = static_cast<int>(CurrentSystem().Open(call));
  if (fd < 0) throw SystemError(path_, "cannot open", errno);
  struct stat status {};
  if (!CurrentSystem().Status(fd, &status)) {
    const int error = errno;
    (void)CurrentSystem().Close(fd);
    throw SystemError(path_, "cannot open", error);
  }
  if (!S_ISREG(status.st_mode)) {
    (void)CurrentSystem().Close(fd);
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
    std::size_t got = 0;
    if (CurrentSystem().Read(source_, into, count, got)) return got;
    if (errno != EINTR) throw SystemError(path_, "cannot read", errno);
  }
}

void LineReader::CloseSource() {
  if (source_ >= 0) (void)CurrentSystem().Close(source_);
  source_ = -1;
}

}  // namespace quillmere
