// The workbook that the command line writes beside the table when asked
// (--workbook). Two sources implement it: workbook_step.cpp with the
// workbook, workbook_step_unavailable.cpp for a build without it.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "summary/summary_run.h"

namespace quillmere {

// The workbook options of a command line, as given.
struct WorkbookRequest {
  bool wanted = false;                  // --workbook
  std::vector<std::string> figures;     // each --compare FIGURE
  std::vector<std::string> thresholds;  // each --threshold [[SUBSTANCE:]FIGURE=]VALUE
};

class WorkbookStep;
struct WorkbookStepDeleter {
  void operator()(WorkbookStep* step) const;
};
using WorkbookStepPointer = std::unique_ptr<WorkbookStep, WorkbookStepDeleter>;

// Before the run over `directory`: checks the request (each figure known,
// each threshold a number, for a figure compared) and DIR/Summary.xlsx
// (a symbolic link, a file with other hard links, a file that is not plain,
// and on Windows a file open in another program are refused) and has
// `options` hand every report to the workbook. Returns nothing after saying
// why on `err`; the run must not start then.
WorkbookStepPointer StartWorkbook(const WorkbookRequest& request, const std::string& directory,
                                  SummaryOptions& options, std::ostream& err);

// After the run: when it completed, writes DIR/Summary.xlsx (by a temporary
// file renamed into place) and says so on `out`, with a line on `err` for
// each threshold that names a substance no report holds; otherwise says on `err` that
// the workbook is left as it was. Returns the exit status when the workbook
// ends the command (it could not be written, or a stop came while it was),
// else nothing.
std::optional<int> FinishWorkbook(WorkbookStep& step, const SummaryOutcome& outcome, std::ostream& out,
                                  std::ostream& err);

}  // namespace quillmere
