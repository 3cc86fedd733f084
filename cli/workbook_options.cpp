#include <ostream>

#include "cli/workbook_step.h"

namespace quillmere {

bool TakeWorkbookOptions(std::span<const std::string> arguments, std::vector<std::string>& rest,
                         WorkbookRequest& request, std::ostream& err) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded) {
      rest.push_back(argument);
      continue;
    }
    if (argument == "--") optionsEnded = true;
    if (argument == "--workbook") {
      request.wanted = true;
      continue;
    }
    std::vector<std::string>* value = nullptr;
    std::string name;
    for (const char* option : {"--compare", "--threshold"}) {
      if (argument == option || argument.starts_with(std::string(option) + "=")) {
        value = std::string_view(option) == "--compare" ? &request.figures : &request.thresholds;
        name = option;
      }
    }
    if (value == nullptr) {
      rest.push_back(argument);
      continue;
    }
    if (argument.size() > name.size()) {
      value->push_back(argument.substr(name.size() + 1));
    } else if (i + 1 < arguments.size()) {
      value->push_back(arguments[++i]);
    } else {
      err << "quillmere-summary: " << name << " needs a value; try --help\n";
      return false;
    }
  }
  for (const auto& [given, name] : {std::pair{!request.figures.empty(), "--compare"},
                                    std::pair{!request.thresholds.empty(), "--threshold"}}) {
    if (given && !request.wanted) {
      err << "quillmere-summary: " << name << " works on the workbook: add --workbook; try --help\n";
      return false;
    }
  }
  return true;
}

}  // namespace quillmere
