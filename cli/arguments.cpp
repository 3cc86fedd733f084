#include "cli/arguments.h"

#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "runtime/text.h"

namespace quillmere {

std::optional<Arguments> ParseArguments(std::span<const std::string> arguments, std::ostream& err,
                                        SlashHelp slashHelp) {
  Arguments result;
  // The first argument that decides the run without the directory: help,
  // version, or what makes it fail.
  enum class Decided { kNothing, kHelp, kVersion, kUnknownOption, kMoreDirectories };
  Decided decided = Decided::kNothing;
  const std::string* unknown = nullptr;
  const std::string* directory = nullptr;
  const auto decide = [&decided](Decided what) {
    if (decided == Decided::kNothing) decided = what;
  };

  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded) {
      // After "--" every argument is a directory.
    } else if (argument == "--") {
      optionsEnded = true;
      continue;
    } else if (argument == "--workbook") {
      result.workbook.wanted = true;
      continue;
    } else if (argument == "--help" || argument == "-h" ||
               (slashHelp == SlashHelp::kYes && argument == "/?")) {
      decide(Decided::kHelp);
      continue;
    } else if (argument == "--version" || argument == "-V") {
      decide(Decided::kVersion);
      continue;
    } else {
      bool taken = false;
      for (const std::string_view option : {"--compare", "--threshold"}) {
        if (argument != option && !(argument.starts_with(option) && argument.size() > option.size() &&
                                    argument[option.size()] == '=')) {
          continue;
        }
        std::vector<std::string>& values =
            option == "--compare" ? result.workbook.figures : result.workbook.thresholds;
        if (argument.size() > option.size()) {
          values.push_back(argument.substr(option.size() + 1));
        } else if (i + 1 < arguments.size()) {
          values.push_back(arguments[++i]);
        } else {
          err << kProgram << ": " << option << " needs a value; try --help\n";
          return std::nullopt;
        }
        taken = true;
      }
      if (taken) continue;
      if (argument.size() > 1 && argument.front() == '-') {
        if (decided == Decided::kNothing) unknown = &argument;
        decide(Decided::kUnknownOption);
        continue;
      }
    }
    if (directory != nullptr) {
      decide(Decided::kMoreDirectories);
    } else {
      directory = &argument;
    }
  }

  for (const auto& [given, name] : {std::pair{!result.workbook.figures.empty(), "--compare"},
                                    std::pair{!result.workbook.thresholds.empty(), "--threshold"}}) {
    if (given && !result.workbook.wanted) {
      err << kProgram << ": " << name << " works on the workbook: add --workbook; try --help\n";
      return std::nullopt;
    }
  }
  switch (decided) {
    case Decided::kHelp:
      result.action = Arguments::Action::kHelp;
      return result;
    case Decided::kVersion:
      result.action = Arguments::Action::kVersion;
      return result;
    case Decided::kUnknownOption:
      err << kProgram << ": unknown option '" << Visible(*unknown) << "'; try --help\n";
      return std::nullopt;
    case Decided::kMoreDirectories:
      err << kProgram << ": expected one directory, got more; try --help\n";
      return std::nullopt;
    case Decided::kNothing:
      break;
  }
  if (directory == nullptr || directory->empty()) {
    err << kProgram << ": expected the directory that holds the run folders; try --help\n";
    return std::nullopt;
  }
  result.directory = *directory;
  return result;
}

}  // namespace quillmere
