// The POSIX side of StandardErrorIsTerminal.
#include <unistd.h>

#include "cli/progress_line.h"

namespace quillmere {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace quillmere
