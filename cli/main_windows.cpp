// quillmere-summary.exe: the command-line front end on Windows. Arguments
// arrive as UTF-16 and are handed on as UTF-8, /? as --help; messages reach
// the console as UTF-16, or a file or pipe as UTF-8.
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/windows_console.h"
#include "runtime/interruption.h"
#include "runtime/windows_text.h"

int wmain(int argc, wchar_t** argv) {
  quillmere::WindowsConsoleBuffer outBuffer(STD_OUTPUT_HANDLE);
  quillmere::WindowsConsoleBuffer errBuffer(STD_ERROR_HANDLE);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  err << std::unitbuf;
  // Ctrl-C, Ctrl-Break and the console closing stop the run between two
  // reports, the table ending at a whole line.
  quillmere::CatchInterruptions();
  // Windows programs are asked for their help with /? too.
  const int status = quillmere::RunProgram(
      [argc, argv] {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i) arguments.push_back(quillmere::WideToUtf8(argv[i]));
        return arguments;
      },
      out, err, quillmere::SlashHelp::kYes);
  out.flush();
  if (status > quillmere::kExitInterrupted) quillmere::EndAsInterrupted(status - quillmere::kExitInterrupted);
  return status;
}
