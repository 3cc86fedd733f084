#include "workbook/workbook_run.h"

#include <new>

#include "runtime/interruption.h"
#include "workbook/workbook_file.h"

namespace quillmere {

class WorkbookRun {
 public:
  WorkbookRun(WorkbookSettings settings, std::string path)
      : path_(path), book_(std::move(settings), std::move(path)) {}

  std::string path_;
  SummaryWorkbook book_;
};

void WorkbookRunDeleter::operator()(WorkbookRun* run) const { delete run; }

bool WorkbookAvailable() { return true; }

WorkbookRunPointer StartWorkbookRun(WorkbookSettings settings, SummaryOptions& options) {
  const std::string path = JoinPath(settings.directory, "Summary.xlsx");
  CheckReplaceable(path);
  if (settings.absoluteDirectory.empty()) settings.absoluteDirectory = AbsolutePath(settings.directory);
  WorkbookRunPointer run(new WorkbookRun(std::move(settings), path));
  WorkbookRun* book = run.get();
  options.afterRows = [book](const ReportRecord& record, const std::string& runFolder,
                             const std::string& reportFile, const std::string& reportPath) {
    book->book_.Add(record, runFolder, reportFile, reportPath);
  };
  return run;
}

WorkbookOutcome FinishWorkbookRun(WorkbookRun& run, const SummaryOutcome& outcome) {
  WorkbookOutcome result;
  result.path = run.path_;
  if (outcome.status != RunStatus::kWritten) {
    result.status = WorkbookStatus::kLeftAsItWas;
    return result;
  }
  std::optional<FileError> failure;
  std::string temporary;
  try {
    temporary = CreateTemporaryBeside(run.path_);
    WithNarrowName(temporary, [&](const std::string& name) {
      failure = run.book_.Write(name, outcome.rows, [] { return InterruptionSignal() != 0; });
    });
    if (!failure) failure = MoveIntoPlace(temporary, run.path_);
  } catch (const FileError& error) {
    failure = error;
  } catch (const std::bad_alloc&) {
    failure = FileError(run.path_, "not written: not enough memory");
  }
  if (!failure) {
    result.status = WorkbookStatus::kWritten;
    for (const Threshold* threshold : run.book_.UnknownSubstances())
      result.unknownSubstances.push_back(*threshold);
    return result;
  }
  if (!temporary.empty()) RemoveFile(temporary);
  if (const int signal = InterruptionSignal()) {
    result.status = WorkbookStatus::kStopped;
    result.signal = signal;
  } else {
    result.status = WorkbookStatus::kFailed;
    result.failure = std::move(failure);
  }
  return result;
}

}  // namespace quillmere
