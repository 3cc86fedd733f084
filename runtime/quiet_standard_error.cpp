// What QuietStandardError does on every system: standard error flushed,
// moved onto the null device and back, the caller's errno kept.
#include "runtime/quiet_standard_error.h"

#include <cerrno>
#include <cstdio>

namespace quillmere {

namespace {

constexpr int kStandardError = 2;

}  // namespace

QuietStandardError::QuietStandardError() {
  const int errorNumber = errno;
  std::fflush(stderr);
  const int null = OpenNullDevice();
  if (null >= 0) {
    saved_ = Duplicate(kStandardError);
    if (saved_ >= 0 && !MoveOnto(null, kStandardError)) {
      Close(saved_);
      saved_ = -1;
    }
    Close(null);
  }
  errno = errorNumber;
}

QuietStandardError::~QuietStandardError() {
  if (saved_ < 0) return;
  // The caller's errno is what the work in between left.
  const int errorNumber = errno;
  std::fflush(stderr);
  MoveOnto(saved_, kStandardError);
  Close(saved_);
  errno = errorNumber;
}

}  // namespace quillmere
