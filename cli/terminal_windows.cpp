// The Windows side of StandardErrorIsTerminal: a console, not a file or a
// pipe (nor the NUL device, which _isatty takes for a terminal).
#include <windows.h>

#include "cli/progress_line.h"

namespace quillmere {

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace quillmere
