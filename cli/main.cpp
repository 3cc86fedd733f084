// quillmere-summary: the command-line front end.
#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "runtime/file_error.h"
#include "runtime/interruption.h"

int main(int argc, char** argv) {
  // Figures in the table follow the user's decimal separator.
  std::setlocale(LC_ALL, "");
  // A closed pipe on standard output or a file-size limit makes a write fail
  // (and be reported) instead of killing the program; Ctrl-C and its kin stop
  // the run between two reports, the table ending at a whole line.
  quillmere::IgnoreWriteSignals();
  quillmere::CatchInterruptions();
  int status = quillmere::kExitRunFailed;
  try {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    status = quillmere::RunCommandLine(arguments, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << quillmere::kProgram << ": " << quillmere::DescribeUnexpected(error) << "\n";
  }
  // An interrupted run ends as the signal would have ended it: the shell sees
  // 128 + the signal's number, and a script running it stops too.
  if (status > quillmere::kExitInterrupted) {
    std::cerr.flush();
    quillmere::EndAsInterrupted(status - quillmere::kExitInterrupted);
  }
  return status;
}
