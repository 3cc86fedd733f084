// The Windows side of StandardErrorIsTerminal and StandardErrorWidth: a
// console, not a file or a pipe (nor the NUL device, which _isatty takes for
// a terminal).
#include <windows.h>

#include "cli/progress_line.h"

namespace quillmere {

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

// A console wraps at the width of its screen buffer, which may be wider than
// its window.
std::size_t StandardErrorWidth() {
  CONSOLE_SCREEN_BUFFER_INFO information{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &information)) return 0;
  return information.dwSize.X > 0 ? static_cast<std::size_t>(information.dwSize.X) : 0;
}

}  // namespace quillmere
