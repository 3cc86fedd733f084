// The POSIX side of QuietStandardError: descriptor 2 on /dev/null.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/quiet_standard_error.h"

namespace quillmere {

int QuietStandardError::OpenNullDevice() { return ::open("/dev/null", O_WRONLY | O_CLOEXEC); }

int QuietStandardError::Duplicate(int descriptor) { return ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3); }

bool QuietStandardError::MoveOnto(int from, int to) {
  int moved = -1;
  do {
    moved = ::dup2(from, to);
  } while (moved < 0 && errno == EINTR);
  return moved >= 0;
}

void QuietStandardError::Close(int descriptor) { ::close(descriptor); }

}  // namespace quillmere
