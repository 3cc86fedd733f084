#include "cli/workbook_step.h"

#include <charconv>
#include <cmath>
#include <ostream>

#include "cli/command_line.h"
#include "runtime/interruption.h"
#include "runtime/text.h"
#include "workbook/workbook.h"
#include "workbook/workbook_file.h"

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
  WorkbookStep(WorkbookSettings settings, std::string tablePath, std::string path)
      : tablePath_(std::move(tablePath)), path_(path), book_(std::move(settings), std::move(path)) {}

  std::string tablePath_;
  std::string path_;
  SummaryWorkbook book_;
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
  const std::string path = JoinPath(directory, "Summary.xlsx");
  WorkbookStepPointer step;
  try {
    CheckReplaceable(path);
    step.reset(new WorkbookStep(std::move(settings), JoinPath(directory, "Summary.txt"), path));
  } catch (const FileError& error) {
    err << kProgram << ": " << Visible(error.path()) << ": " << Visible(error.reason()) << "\n";
    return nullptr;
  }
  WorkbookStep* book = step.get();
  options.afterRows = [book](const ReportRecord& record, const std::string& runFolder,
                             const std::string& reportFile, const std::string& reportPath) {
    book->book_.Add(record, runFolder, reportFile, reportPath);
  };
  return step;
}

std::optional<int> FinishWorkbook(WorkbookStep& step, const SummaryOutcome& outcome, std::ostream& out,
                                  std::ostream& err) {
  const std::string left = Visible(step.path_) + " is left as it was";
  if (outcome.status != RunStatus::kWritten) {
    err << kProgram << ": the run did not complete: " << left << "\n";
    return std::nullopt;
  }
  std::optional<FileError> failure;
  std::string temporary;
  try {
    temporary = CreateTemporaryBeside(step.path_);
    WithNarrowName(temporary, [&](const std::string& name) {
      failure = step.book_.Write(name, outcome.rows, [] { return InterruptionSignal() != 0; });
    });
    if (!failure) failure = MoveIntoPlace(temporary, step.path_);
  } catch (const FileError& error) {
    failure = error;
  } catch (const std::bad_alloc&) {
    failure = FileError(step.path_, "not written: not enough memory");
  }
  if (failure) {
    if (!temporary.empty()) RemoveFile(temporary);
    const std::string complete = Visible(step.tablePath_) + " is complete, " + left;
    if (const int signal = InterruptionSignal()) {
      err << kProgram << ": interrupted by " << InterruptionName(signal) << "; " << complete << "\n";
      return kExitInterrupted + signal;
    }
    err << kProgram << ": " << Visible(failure->path()) << ": " << Visible(failure->reason()) << "; "
        << complete << "\n";
    return kExitRunFailed;
  }
  out << "Wrote " << Visible(step.path_) << "\n";
  return std::nullopt;
}

}  // namespace quillmere
