// quillmere-summary: the command-line front end.
#include <clocale>
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv) {
  // Figures in the table follow the user's decimal separator.
  std::setlocale(LC_ALL, "");
#ifdef SIGXFSZ
  // A file-size limit makes a write fail (and be reported) instead of
  // killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  try {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return quillmere::RunCommandLine(arguments, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "quillmere-summary: " << error.what() << "\n";
    return quillmere::kExitRunFailed;
  }
}
