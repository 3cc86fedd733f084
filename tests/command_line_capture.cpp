#include "tests/command_line_capture.h"

#include <sstream>

#include "cli/command_line.h"

namespace quillmere::testing {

CommandLineResult RunCli(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCommandLine(arguments, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace quillmere::testing
