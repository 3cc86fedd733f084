// A build without libxlsxwriter (-DQUILLMERE_WORKBOOK=OFF): the workbook is
// refused before the run starts.
#include "workbook/workbook_run.h"

namespace quillmere {

class WorkbookRun {};

void WorkbookRunDeleter::operator()(WorkbookRun* run) const { delete run; }

bool WorkbookAvailable() { return false; }

WorkbookRunPointer StartWorkbookRun(WorkbookSettings settings, SummaryOptions&) {
  throw FileError(JoinPath(settings.directory, "Summary.xlsx"),
                  "not written: this build was made without the workbook");
}

WorkbookOutcome FinishWorkbookRun(WorkbookRun&, const SummaryOutcome&) {
  WorkbookOutcome result;
  result.status = WorkbookStatus::kLeftAsItWas;
  return result;
}

}  // namespace quillmere
