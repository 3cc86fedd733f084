#include "cli/workbook_step.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include "cli/command_line.h"
#include "runtime/interruption.h"
#include "runtime/text.h"
#include "summary/summary_table.h"
#include "workbook/workbook.h"
#include "workbook/workbook_run.h"

namespace quillmere {

namespace {

constexpr const char* kFigureList =
    "PECsw_max, TWA7d, TWA21d, PECsed_max, TWAsed7d, TWAsed21d, or \"TWAsw Nd\" or \"TWAsed Nd\" for "
    "the window of N days (1 to 100) a report lists";
constexpr const char* kNumber = "a number such as 0.1, 0,1 or 1e-3";

// A number as a person types it: either "." or "," as decimal separator, an
// optional sign and exponent; nothing else around it.
std::optional<double> ParseNumber(std::string text) {
  if (text.starts_with('+') && text.size() > 1 && text[1] != '-' && text[1] != '+') text.erase(0, 1);
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Names(const std::vector<ComparedFigure>& figures) {
  std::string names;
  for (const ComparedFigure& figure : figures) names += (names.empty() ? "" : ", ") + figure.name;
  return names;
}

// The thresholds of `request` for the figures compared; nothing after saying
// on `err` what is wrong with one.
std::optional<std::vector<Threshold>> ParseThresholds(const std::vector<std::string>& given,
                                                      const std::vector<ComparedFigure>& figures,
                                                      std::ostream& err) {
  std::vector<Threshold> thresholds;
  for (const std::string& text : given) {
    Threshold threshold;
    threshold.given = text;
    const std::size_t equals = text.rfind('=');
    const std::string number = equals == std::string::npos ? text : text.substr(equals + 1);
    const std::optional<double> value = ParseNumber(number);
    if (!value) {
      err << kProgram << ": --threshold '" << Visible(text) << "': '" << Visible(number)
          << "' is not a number; accepted: VALUE, FIGURE=VALUE or SUBSTANCE:FIGURE=VALUE, VALUE " << kNumber
          << "\n";
      return std::nullopt;
    }
    threshold.value = *value;
    if (equals != std::string::npos) {
      std::string figure = text.substr(0, equals);
      if (const std::size_t colon = figure.rfind(':'); colon != std::string::npos) {
        threshold.substance = figure.substr(0, colon);
        figure.erase(0, colon + 1);
      }
      const bool compared = std::any_of(figures.begin(), figures.end(),
                                        [&](const ComparedFigure& f) { return f.name == figure; });
      if (!compared) {
        err << kProgram << ": --threshold '" << Visible(text) << "' is for '" << Visible(figure)
            << "', which is not compared; compared: " << Names(figures) << " (--compare adds a figure)\n";
        return std::nullopt;
      }
      threshold.figure = figure;
    }
    thresholds.push_back(std::move(threshold));
  }
  return thresholds;
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
  for (const std::string& name : request.figures) {
    const std::optional<ComparedFigure> figure = ParseComparedFigure(name);
    if (!figure) {
      err << kProgram << ": --compare '" << Visible(name) << "' is not a figure; accepted: " << kFigureList
          << "\n";
      return nullptr;
    }
    // A figure given twice is compared once, where it was first given.
    if (std::find(settings.figures.begin(), settings.figures.end(), *figure) == settings.figures.end())
      settings.figures.push_back(*figure);
  }
  if (settings.figures.empty()) settings.figures.push_back(*ParseComparedFigure(kFigureNames[0]));
  std::optional<std::vector<Threshold>> thresholds =
      ParseThresholds(request.thresholds, settings.figures, err);
  if (!thresholds) return nullptr;
  settings.thresholds = std::move(*thresholds);
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
  const std::string left = WorkbookLeft(result, Visible(result.path));
  const std::string complete = Visible(outcome.tablePath) + " is complete, " + left;
  switch (result.status) {
    case WorkbookStatus::kWritten:
      for (const Threshold& threshold : result.unknownSubstances) {
        err << kProgram << ": warning: --threshold '" << Visible(threshold.given)
            << "' names a substance no report holds: '" << Visible(*threshold.substance) << "'\n";
      }
      out << "Wrote " << Visible(result.path) << "\n";
      return std::nullopt;
    case WorkbookStatus::kLeftAsItWas:
      // A run that did not start has said why in one line; the workbook was
      // never in question.
      if (outcome.status != RunStatus::kNotStarted)
        err << kProgram << ": the run did not complete: " << left << "\n";
      return std::nullopt;
    case WorkbookStatus::kStopped:
      err << kProgram << ": interrupted by " << InterruptionName(result.signal) << "; " << complete << "\n";
      return kExitInterrupted + result.signal;
    case WorkbookStatus::kFailed:
      // In place, beside a table that could not be: the table's failure
      // follows.
      if (outcome.status != RunStatus::kWritten) {
        err << kProgram << ": " << Visible(result.failure->path()) << ": " << Visible(result.failure->reason())
            << "; " << left << "\n";
        return std::nullopt;
      }
      break;
  }
  err << kProgram << ": " << Visible(result.failure->path()) << ": " << Visible(result.failure->reason())
      << "; " << complete << "\n";
  return kExitRunFailed;
}

}  // namespace quillmere
