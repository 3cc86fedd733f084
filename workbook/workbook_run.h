// Summary.xlsx beside the table, around one run: what both front ends do
// when asked for the workbook. Two sources implement it: workbook_run.cpp
// with the workbook, workbook_run_unavailable.cpp for a build without
// libxlsxwriter.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/file_error.h"
#include "summary/summary_run.h"
#include "workbook/workbook.h"

namespace quillmere {

// What became of Summary.xlsx once the run was over.
enum class WorkbookStatus {
  kWritten,      // the run completed and the workbook took its place
  kLeftAsItWas,  // the run did not complete: the workbook was not touched
  kFailed,       // the run completed but the workbook could not be written
  kStopped,      // the run completed but a stop came while the workbook was written
};

struct WorkbookOutcome {
  WorkbookStatus status = WorkbookStatus::kLeftAsItWas;
  // DIR/Summary.xlsx.
  std::string path;
  // After kFailed: the path it concerns and why.
  std::optional<FileError> failure;
  // After kFailed: whether the new workbook took the old one's place all the
  // same, the system having reported the failure only as the file was closed
  // after its rename (as a network disk may).
  bool inPlace = false;
  // After kStopped: the signal that asked the program to stop.
  int signal = 0;
  // After kWritten: the thresholds given for a substance no report holds.
  std::vector<Threshold> unknownSubstances;
};

class WorkbookRun;
struct WorkbookRunDeleter {
  void operator()(WorkbookRun* run) const;
};
using WorkbookRunPointer = std::unique_ptr<WorkbookRun, WorkbookRunDeleter>;

// Whether this build writes workbooks at all.
bool WorkbookAvailable();

// Before the run over `settings.directory`: checks that DIR/Summary.xlsx may
// be replaced (see CheckReplaceable) and has `options` hand every report to
// the workbook and write it when the run completes; `options` must outlive
// the run it is given to. Throws FileError naming DIR/Summary.xlsx when the
// workbook cannot be written (also in a build without the workbook); the
// run must not start then.
//
// The workbook is written, once the whole table is on the disk, into its
// hidden file DIR/.Summary.xlsx.partial through the run's handle of DIR,
// flushed to the disk and put in place just before the table, while the
// run still holds the table's lock (SummaryOptions::beforeReplacing). A
// stop noted by CatchInterruptions before it is in place ends the writing,
// and the workbook stays as it was.
WorkbookRunPointer StartWorkbookRun(WorkbookSettings settings, SummaryOptions& options);

// After the run that ended as `outcome`: what became of the workbook. When
// the run did not complete, it was left as it was. Never throws.
WorkbookOutcome FinishWorkbookRun(WorkbookRun& run, const SummaryOutcome& outcome);

// What a run that did not write the workbook as asked leaves of it:
// "PATH is left as it was", or, when the new one is in place after a late
// failure (WorkbookOutcome::inPlace), that it may be incomplete. `path` is
// the workbook's path as the message gives it.
inline std::string WorkbookLeft(const WorkbookOutcome& outcome, const std::string& path) {
  return outcome.status == WorkbookStatus::kFailed && outcome.inPlace
             ? path + " is the new one, but may be incomplete: run again"
             : path + " is left as it was";
}

}  // namespace quillmere
