// The POSIX side of QuietStandardError: descriptor 2 on /dev/null.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "runtime/quiet_standard_error.h"

namespace quillmere {

QuietStandardError::QuietStandardError() {
  const int errorNumber = errno;
  std::fflush(stderr);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (saved_ >= 0 && ::dup2(null, STDERR_FILENO) < 0) {
      ::close(saved_);
      saved_ = -1;
    }
    ::close(null);
  }
  errno = errorNumber;
}

QuietStandardError::~QuietStandardError() {
  if (saved_ < 0) return;
  // The caller's errno is what the work in between left.
  const int errorNumber = errno;
  std::fflush(stderr);
  while (::dup2(saved_, STDERR_FILENO) < 0 && errno == EINTR) {
  }
  ::close(saved_);
  errno = errorNumber;
}

}  // namespace quillmere
