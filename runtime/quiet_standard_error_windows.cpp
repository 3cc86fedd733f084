// The Windows side of QuietStandardError: the C library's descriptor 2 on
// NUL. Moving it closes the process's standard error handle and sets a new
// one, so a writer that keeps a handle of its own keeps a duplicate (as the
// command line's console buffer does).
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include "runtime/quiet_standard_error.h"

namespace quillmere {

QuietStandardError::QuietStandardError() {
  const int errorNumber = errno;
  std::fflush(stderr);
  const int null = ::_open("NUL", _O_WRONLY);
  if (null >= 0) {
    saved_ = ::_dup(2);
    if (saved_ >= 0 && ::_dup2(null, 2) != 0) {
      ::_close(saved_);
      saved_ = -1;
    }
    ::_close(null);
  }
  errno = errorNumber;
}

QuietStandardError::~QuietStandardError() {
  if (saved_ < 0) return;
  const int errorNumber = errno;
  std::fflush(stderr);
  ::_dup2(saved_, 2);
  ::_close(saved_);
  errno = errorNumber;
}

}  // namespace quillmere
