#include "cli/workbook_step.h"

#include <charconv>
#include <cmath>
#include <ostream>

#include "cli/command_line.h"
#include "runtime/interruption.h"
#include "runtime/text.h"
#include "workbook/workbook.h"
#include "workbook/workbook_run.h"

namespace quillmere {

namespace {

constexpr const char* kProgram = "quillmere-summary";
constexpr const char* kFigureList = "PECsw_max, TWA7d, TWA21d, PECsed_max, TWAsed7d or TWAsed21d";

// A threshold as a person types it: either "." or "," as decimal separator,
// an optional exponent; nothing else around it.
std::optional<double> ParseThreshold(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

class WorkbookStep {
 public:
  WorkbookRunPointer run_;
};

void WorkbookStepDeleter::operator()(WorkbookStep* step) const { delete step; }

WorkbookStepPointer StartWorkbook(const WorkbookRequest& request, const std::string& directory,
                                  SummaryOptions& options, std::ostream& err) {
  WorkbookSettings settings;
  settings.directory = directory;
  settings.program = std::string(kProgram) + " " + QUILLMERE_VERSION;
  if (request.figure) {
    const std::optional<std::size_t> figure = FigureIndex(*request.figure);
    if (!figure) {
      err << kProgram << ": --compare '" << Visible(*request.figure) << "' is not a figure of the table; "
          << "accepted: " << kFigureList << "\n";
      return nullptr;
    }
    settings.figure = *figure;
  }
  if (request.threshold) {
    settings.threshold = ParseThreshold(*request.threshold);
    if (!settings.threshold) {
      err << kProgram << ": --threshold '" << Visible(*request.threshold) << "' is not a number; "
          << "accepted: a number such as 0.1, 0,1 or 1e-3\n";
      return nullptr;
    }
  }
  WorkbookStepPointer step(new WorkbookStep);
  try {
    step->run_ = StartWorkbookRun(std::move(settings), options);
  } catch (const FileError& error) {
    err << kProgram << ": " << Visible(error.path()) << ": " << Visible(error.reason()) << "\n";
    return nullptr;
  }
  return step;
}

std::optional<int> FinishWorkbook(WorkbookStep& step, const SummaryOutcome& outcome, std::ostream& out,
                                  std::ostream& err) {
  const WorkbookOutcome result = FinishWorkbookRun(*step.run_, outcome);
  const std::string left = Visible(result.path) + " is left as it was";
  const std::string complete = Visible(outcome.tablePath) + " is complete, " + left;
  switch (result.status) {
    case WorkbookStatus::kWritten:
      out << "Wrote " << Visible(result.path) << "\n";
      return std::nullopt;
    case WorkbookStatus::kLeftAsItWas:
      err << kProgram << ": the run did not complete: " << left << "\n";
      return std::nullopt;
    case WorkbookStatus::kStopped:
      err << kProgram << ": interrupted by " << InterruptionName(result.signal) << "; " << complete << "\n";
      return kExitInterrupted + result.signal;
    case WorkbookStatus::kFailed:
      break;
  }
  err << kProgram << ": " << Visible(result.failure->path()) << ": " << Visible(result.failure->reason())
      << "; " << complete << "\n";
  return kExitRunFailed;
}

}  // namespace quillmere
