// The command-line front end: `quillmere-summary DIR`.
#pragma once

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "cli/arguments.h"

namespace quillmere {

// Exit statuses of quillmere-summary.
enum ExitStatus : int {
  kExitWritten = 0,        // the table is complete
  kExitRunFailed = 1,      // a started run ended on a report or on writing the table
  kExitNotStarted = 2,     // a bad argument, or the run could not start
  kExitInterrupted = 128,  // plus the signal's number: a request to stop ended the run
};

// Runs the command line `arguments` (without the program name): parses it,
// runs the summary over the directory it names, and says how it went on
// `out` (success, help, version) or `err` (everything else). Returns the
// exit status. Paths and reasons are printed with control bytes made
// visible (see Visible in runtime/text.h). `slashHelp` says whether "/?"
// asks for the help.
int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                   SlashHelp slashHelp = SlashHelp::kNo);

// RunCommandLine as the program's main runs it: with the arguments that
// `arguments` copies from the system's, and with the last resort for what
// nothing else caught (memory running out outside the work on any file),
// which is reported on `err` ("quillmere-summary: not enough memory") and
// returns kExitRunFailed.
int RunProgram(const std::function<std::vector<std::string>()>& arguments, std::ostream& out,
               std::ostream& err, SlashHelp slashHelp = SlashHelp::kNo);

}  // namespace quillmere
