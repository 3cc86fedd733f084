// A build without the workbook (-DQUILLMERE_WORKBOOK=OFF): --workbook is
// refused before anything is written.
#include <ostream>

#include "cli/arguments.h"
#include "cli/workbook_step.h"

namespace quillmere {

class WorkbookStep {};

void WorkbookStepDeleter::operator()(WorkbookStep* step) const { delete step; }

WorkbookStepPointer StartWorkbook(const WorkbookRequest&, const std::string&, SummaryOptions&,
                                  std::ostream& err) {
  err << kProgram << ": --workbook is not available: this build was made without the workbook\n";
  return nullptr;
}

std::optional<int> FinishWorkbook(WorkbookStep&, const SummaryOutcome&, std::ostream&, std::ostream&) {
  return std::nullopt;
}

}  // namespace quillmere
