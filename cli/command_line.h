// The command-line front end: `quillmere-summary DIR`.
#pragma once

#include <exception>
#include <iosfwd>
#include <span>
#include <string>

namespace quillmere {

// Exit statuses of quillmere-summary.
enum ExitStatus : int {
  kExitWritten = 0,     // the table is complete
  kExitRunFailed = 1,   // a started run ended on a report or on writing the table
  kExitNotStarted = 2,  // a bad argument, or the run could not start
  kExitInterrupted = 128,  // plus the signal's number: a request to stop ended the run
};

// Runs the command line `arguments` (without the program name): parses it,
// runs the summary over the directory it names, and says how it went on
// `out` (success, help, version) or `err` (everything else). Returns the
// exit status. Paths and reasons are printed with control bytes made
// visible (see Visible in runtime/text.h).
int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

// Words for an exception that escaped the run, for the program's last-resort
// message: "not enough memory" when memory ran out outside the work on one
// file, else the exception's own text.
std::string DescribeUnexpected(const std::exception& error);

}  // namespace quillmere
