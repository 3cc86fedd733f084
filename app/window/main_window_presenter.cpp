#include "app/window/main_window_presenter.h"

#include <exception>
#include <utility>

#include "runtime/file_error.h"
#include "runtime/interruption.h"
#include "runtime/number.h"
#include "runtime/platform.h"
#include "workbook/workbook_run.h"

namespace quillmere {

namespace {

// `first` and `second` as two lines of a box.
std::string Lines(const std::string& first, const std::string& second) {
  return first + std::string(kMessageLineBreak) + second;
}

std::string StartDirectory(const WindowStart& start) {
  return start.directory.empty() ? start.folders.currentDirectory() : start.directory;
}

// The box that ends a run that was not a plain success, if any, and the
// program's exit status. `workbook` is what became of Summary.xlsx, when
// Check1 asked for it.
std::pair<std::optional<Message>, int> RunEnd(const SummaryOutcome& outcome,
                                              const std::optional<WorkbookOutcome>& workbook) {
  if (outcome.status == RunStatus::kWritten) {
    if (workbook &&
        (workbook->status == WorkbookStatus::kFailed || workbook->status == WorkbookStatus::kStopped)) {
      // The table is complete; only the workbook is missing.
      const std::string complete =
          outcome.tablePath + " is complete, " + WorkbookLeft(*workbook, workbook->path);
      if (workbook->status == WorkbookStatus::kStopped) {
        return {Message{MessageIcon::kStop, kApplicationTitle,
                        "interrupted by " + InterruptionName(workbook->signal), complete},
                1};
      }
      return {Message{MessageIcon::kStop, kApplicationTitle,
                      Lines(Describe(*workbook->failure), outcome.tablePath + " is complete."),
                      Lines(workbook->failure->reason(), complete)},
              1};
    }
    // A complete table that holds nothing is no silent success.
    if (outcome.warning.empty()) return {std::nullopt, 0};
    return {Message{MessageIcon::kInformation, kApplicationTitle, outcome.warning, {}}, 0};
  }
  // Why a report could not be read, and what the table holds now, are not
  // part of the box's two lines.
  std::string details = outcome.status == RunStatus::kReportFailure
                            ? Lines(outcome.reason, TableKeeps(outcome))
                            : std::string();
  if (workbook) {
    const std::string left = "the run did not complete: " + WorkbookLeft(*workbook, workbook->path);
    details = details.empty() ? left : Lines(details, left);
  }
  return {Message{MessageIcon::kStop, kApplicationTitle, outcome.message, details}, 1};
}

}  // namespace

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, WindowStart start)
    : view_(view),
      start_(std::move(start)),
      dir1_(StartDirectory(start_), start_.folders),
      drive1_(start_.volumes ? *start_.volumes : MountedVolumes(), dir1_.path(), start_.folders.style) {}

void MainWindowPresenter::form1Load() {
  // The drives are read once: Drive1 is filled here and only chosen after.
  view_.showDrives(drive1_.texts());
  view_.chooseDrive(drive1_.chosen());
  view_.showFolders(dir1_.entries(), dir1_.openRow());
  view_.showCheck1(check1_);
}

void MainWindowPresenter::drive1Change(std::size_t row) {
  if (started_ || row == drive1_.chosen() || row >= drive1_.texts().size()) return;
  const std::optional<FileError> error = dir1_.open(drive1_.root(row));
  if (!error) {
    drive1_.choose(row);
    view_.showFolders(dir1_.entries(), dir1_.openRow());
    return;
  }
  // A drive that could not be read gives way to the previous one.
  view_.chooseDrive(drive1_.chosen());
  showMessage(error);
}

void MainWindowPresenter::dir1Open(std::size_t row) {
  if (started_) return;
  const std::optional<FileError> error = dir1_.openRow(row);
  view_.showFolders(dir1_.entries(), dir1_.openRow());
  showMessage(error);
}

void MainWindowPresenter::check1Click(bool ticked) {
  if (started_ || ended_) return;
  check1_ = ticked;
}

void MainWindowPresenter::command1Click() {
  if (started_ || ended_) return;
  started_ = true;
  setBusy(true);
  SummaryOptions options;
  options.decimalSeparator = start_.decimalSeparator ? *start_.decimalSeparator : LocaleDecimalSeparator();
  SummaryOutcome outcome;
  std::optional<WorkbookOutcome> workbook;
  try {
    WorkbookRunPointer book;
    bool refused = false;
    if (check1_) {
      WorkbookSettings settings;
      settings.directory = dir1_.path();
      settings.program = std::string(kApplicationTitle) + " " + QUILLMERE_VERSION;
      try {
        book = StartWorkbookRun(std::move(settings), options);
      } catch (const FileError& error) {
        // The workbook must not replace what is there: the run does not
        // start, as on the command line.
        refused = true;
        outcome.status = RunStatus::kNotStarted;
        outcome.message = Describe(error);
      }
    }
    if (!refused) {
      outcome = start_.run ? start_.run(dir1_.path(), options) : SummaryRun(dir1_.path(), options);
      if (book) workbook = FinishWorkbookRun(*book, outcome);
    }
  } catch (const std::exception& error) {
    // Nothing a directory tree can hold gets here; should anything else,
    // such as memory running out, the user still hears of it, in the words
    // the command line uses.
    outcome.status = RunStatus::kWriteFailure;
    outcome.message = DescribeUnexpected(error);
  }
  setBusy(false);
  const auto [message, status] = RunEnd(outcome, workbook);
  if (message) view_.showMessage(*message);
  ended_ = true;
  view_.endProgram(status);
}

bool MainWindowPresenter::form1Unload() {
  if (ended_) return true;
  // Once Start was pressed, its run ends the program.
  if (started_) return false;
  ended_ = true;
  view_.endProgram(0);
  return true;
}

void MainWindowPresenter::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  view_.setBusy(busy);
}

void MainWindowPresenter::showMessage(const std::optional<FileError>& error) {
  if (error) view_.showMessage(Message{MessageIcon::kWarning, kApplicationTitle, Describe(*error), {}});
}

}  // namespace quillmere
