// The arguments of quillmere-summary, read once: the options, the workbook's
// among them, "--" and the directory.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/workbook_step.h"

namespace quillmere {

// The program's name, as every message begins with it.
inline constexpr std::string_view kProgram = "quillmere-summary";

// What a command line asks for.
struct Arguments {
  enum class Action {
    kRun,      // the summary of `directory`
    kHelp,     // -h, --help (and /? on Windows)
    kVersion,  // -V, --version
  };
  Action action = Action::kRun;
  std::string directory;
  WorkbookRequest workbook;
};

// Whether "/?" asks for the help, as Windows programs are asked.
enum class SlashHelp { kNo, kYes };

// Reads `arguments` (without the program name). Options are taken up to a
// "--"; after it every argument is a directory, even one that begins with
// "-". --compare and --threshold take their value from "=VALUE" or from the
// next argument, whatever it is. An argument that cannot be taken is
// reported in the order the program always has: an option without its
// value; --compare or --threshold without --workbook; then the first of help,
// version, an unknown option and a second directory, as given; then a
// missing or empty directory. Returns nothing after saying what is wrong on
// `err`.
std::optional<Arguments> ParseArguments(std::span<const std::string> arguments, std::ostream& err,
                                        SlashHelp slashHelp = SlashHelp::kNo);

}  // namespace quillmere
