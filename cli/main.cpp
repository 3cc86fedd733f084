// quillmere-summary: the command-line front end.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "runtime/interruption.h"

int main(int argc, char** argv) {
  // Figures in the table follow the user's decimal separator.
  std::setlocale(LC_ALL, "");
  // A closed pipe on standard output or a file-size limit makes a write fail
  // (and be reported) instead of killing the program; Ctrl-C and its kin stop
  // the run between two reports, the table ending at a whole line.
  quillmere::IgnoreWriteSignals();
  quillmere::CatchInterruptions();
  const int status = quillmere::RunProgram(
      [argc, argv] {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
        return arguments;
      },
      std::cout, std::cerr);
  // An interrupted run ends as the signal would have ended it: the shell sees
  // 128 + the signal's number, and a script running it stops too.
  if (status > quillmere::kExitInterrupted) {
    std::cerr.flush();
    quillmere::EndAsInterrupted(status - quillmere::kExitInterrupted);
  }
  return status;
}
