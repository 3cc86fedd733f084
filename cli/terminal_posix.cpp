// The POSIX side of StandardErrorIsTerminal and StandardErrorWidth.
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/progress_line.h"

namespace quillmere {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::size_t StandardErrorWidth() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace quillmere
