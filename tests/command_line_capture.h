// quillmere-summary's command line run inside a test, what it writes caught.
#pragma once

#include <string>
#include <vector>

namespace quillmere::testing {

struct CommandLineResult {
  int status = 0;   // the exit status the program would end with
  std::string out;  // what it wrote to standard output
  std::string err;  // what it wrote to standard error
};

// Runs the command line with `arguments` (those after the program's name).
CommandLineResult RunCli(const std::vector<std::string>& arguments);

}  // namespace quillmere::testing
