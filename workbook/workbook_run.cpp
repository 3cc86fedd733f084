#include "workbook/workbook_run.h"

#include <new>
#include <optional>

#include "runtime/file_handle.h"
#include "runtime/folder.h"
#include "runtime/interruption.h"
#include "workbook/workbook_file.h"

namespace quillmere {

namespace {

constexpr const char* kWorkbookName = "Summary.xlsx";

}  // namespace

class WorkbookRun {
 public:
  WorkbookRun(WorkbookSettings settings, std::string path)
      : path_(path), book_(std::move(settings), std::move(path)) {}

  // Writes the workbook into its hidden file in `directory` and puts it in
  // place, unless a stop comes first.
  WorkbookOutcome Write(const Folder& directory, std::size_t rows);

  std::string path_;
  SummaryWorkbook book_;
  // What became of the workbook, once the run wrote it.
  std::optional<WorkbookOutcome> written_;
};

WorkbookOutcome WorkbookRun::Write(const Folder& directory, std::size_t rows) {
  WorkbookOutcome result;
  result.path = path_;
  std::optional<FileError> failure;
  int signal = 0;
  bool inPlace = false;
  try {
    FileHandle file(directory, kWorkbookName, path_);
    failure = file.WithNarrowName([&](const std::string& name) {
      return book_.Write(name, rows, [] { return InterruptionSignal() != 0; });
    });
    // A stop that came while the library finished the file still keeps the
    // workbook that was there: the new one is put in place only unasked.
    signal = InterruptionSignal();
    if (!failure && signal == 0) {
      failure = file.Close(inPlace);
    } else {
      file.Discard();
    }
  } catch (const FileError& error) {
    failure = error;
  } catch (const std::bad_alloc&) {
    failure = FileError(path_, "not written: not enough memory");
  }
  if (signal == 0) signal = failure ? InterruptionSignal() : 0;
  if (signal != 0) {
    result.status = WorkbookStatus::kStopped;
    result.signal = signal;
  } else if (failure) {
    result.status = WorkbookStatus::kFailed;
    result.failure = std::move(failure);
    result.inPlace = inPlace;
  } else {
    result.status = WorkbookStatus::kWritten;
    for (const Threshold* threshold : book_.UnknownSubstances())
      result.unknownSubstances.push_back(*threshold);
  }
  return result;
}

void WorkbookRunDeleter::operator()(WorkbookRun* run) const { delete run; }

bool WorkbookAvailable() { return true; }

WorkbookRunPointer StartWorkbookRun(WorkbookSettings settings, SummaryOptions& options) {
  const std::string path = JoinPath(settings.directory, kWorkbookName);
  CheckReplaceable(path);
  settings.absoluteDirectory = AbsolutePath(settings.directory);
  WorkbookRunPointer run(new WorkbookRun(std::move(settings), path));
  WorkbookRun* book = run.get();
  options.afterRows = [book](const ReportRecord& record, const std::string& runFolder,
                             const std::string& reportFile, const std::string& reportPath) {
    book->book_.Add(record, runFolder, reportFile, reportPath);
  };
  options.beforeReplacing = [book](const Folder& directory, const SummaryOutcome& outcome) {
    book->written_ = book->Write(directory, outcome.rows);
  };
  return run;
}

WorkbookOutcome FinishWorkbookRun(WorkbookRun& run, const SummaryOutcome& outcome) {
  // The workbook is written only beside a table that is complete. When the
  // table then could not be put in place, that is the failure to tell of,
  // and a workbook not put in place either is left as it was; one put in
  // place is told of too.
  if (!run.written_ || (outcome.status == RunStatus::kWriteFailure &&
                        run.written_->status != WorkbookStatus::kWritten && !run.written_->inPlace)) {
    WorkbookOutcome result;
    result.status = WorkbookStatus::kLeftAsItWas;
    result.path = run.path_;
    return result;
  }
  return *run.written_;
}

}  // namespace quillmere
