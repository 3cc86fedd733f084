#include "app/window/main_window_model.h"

#include <exception>
#include <utility>

#include "runtime/number.h"

namespace quillmere {

namespace {

std::string StartDirectory(const WindowStart& start) {
  return start.directory.empty() ? start.folders.currentDirectory() : start.directory;
}

}  // namespace

std::string DescribeFailure(const FileError& error) { return error.path() + ": " + error.reason(); }

MainWindowModel::MainWindowModel(WindowStart start)
    : start_(std::move(start)),
      dir1_(StartDirectory(start_), start_.folders),
      drive1_(start_.volumes ? *start_.volumes : MountedVolumes(), dir1_.path(), start_.folders.style) {}

std::optional<Message> MainWindowModel::drive1Change(std::size_t row) {
  if (row == drive1_.chosen() || row >= drive1_.texts().size()) return std::nullopt;
  if (std::optional<FileError> error = dir1_.open(drive1_.root(row))) {
    return Message{MessageIcon::kWarning, kApplicationTitle, DescribeFailure(*error), {}};
  }
  drive1_.choose(row);
  return std::nullopt;
}

std::optional<Message> MainWindowModel::dir1Open(std::size_t row) {
  if (std::optional<FileError> error = dir1_.openRow(row)) {
    return Message{MessageIcon::kWarning, kApplicationTitle, DescribeFailure(*error), {}};
  }
  return std::nullopt;
}

RunEnd MainWindowModel::command1Click() const {
  SummaryOptions options;
  options.decimalSeparator = start_.decimalSeparator ? *start_.decimalSeparator : LocaleDecimalSeparator();
  SummaryOutcome outcome;
  try {
    outcome = start_.run ? start_.run(dir1_.path(), options) : SummaryRun(dir1_.path(), options);
  } catch (const std::exception& error) {
    // Nothing a directory tree can hold gets here; should anything else,
    // such as memory running out, the user still hears of it.
    outcome.status = RunStatus::kWriteFailure;
    outcome.message = error.what();
  }
  if (outcome.status == RunStatus::kWritten) {
    // A complete table that holds nothing is no silent success.
    if (outcome.warning.empty()) return RunEnd{std::nullopt, 0};
    return RunEnd{Message{MessageIcon::kInformation, kApplicationTitle, outcome.warning, {}}, 0};
  }
  // Why a report could not be read, and what the table holds now, are not
  // part of the box's two lines.
  const std::string details = outcome.status == RunStatus::kReportFailure
                                  ? outcome.reason + "\n" + TableKeeps(outcome)
                                  : std::string();
  return RunEnd{Message{MessageIcon::kStop, kApplicationTitle, outcome.message, details}, 1};
}

}  // namespace quillmere
