// Summary.xlsx: the table as typed cells, the runs compared per scenario,
// and a sheet that says how it was made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/file_error.h"
#include "summary/report_record.h"
#include "summary/run_folder_details.h"
#include "workbook/compare_sheet.h"
#include "workbook/summary_sheet.h"

struct lxw_worksheet;

namespace quillmere {

struct WorkbookFormats;

// What the workbook says about its making.
struct WorkbookSettings {
  // The directory read, as given, and as an absolute path (which
  // StartWorkbookRun makes).
  std::string directory;
  std::string absoluteDirectory;
  // The program and its version, for example "quillmere-summary 0.1.0".
  std::string program;
  // The figures compared on the sheet "Compare", in their order (none:
  // PECsw_max), and the thresholds given, in their order.
  std::vector<ComparedFigure> figures;
  std::vector<Threshold> thresholds;
};

// Collects the reports of a run as the run reads them and writes the
// workbook once the run is complete. Memory stays what the sheet "Compare"
// needs (see CompareSheet); the rows of the sheet
// "Summary" wait in a temporary file until the workbook is written.
//
// The Summary sheet's columns are known only once every report is taken,
// but in most runs the first report already shows them all. So, from the
// first report on, a second thread writes the sheet's rows in the columns
// the reports so far give, while the run goes on reading. When a report
// needs other columns (more application dates, another window, another
// unit) the thread starts again in them, from the reports so far in the
// temporary file; after a few such starts, or when the thread cannot go on,
// the rows are written from that file once the run is complete, as they
// would have been without it. Either way the workbook holds the same cells.
class SummaryWorkbook {
 public:
  // Throws FileError naming `workbookPath` when the temporary file cannot be
  // made.
  SummaryWorkbook(WorkbookSettings settings, std::string workbookPath);
  ~SummaryWorkbook();
  SummaryWorkbook(const SummaryWorkbook&) = delete;
  SummaryWorkbook& operator=(const SummaryWorkbook&) = delete;

  // Takes one report, after its rows were written to the table: `runFolder`
  // and `reportFile` are the names as the file system gives them (UTF-8),
  // `reportPath` the path the run read it from. Never throws: a failure is
  // kept and returned by Write.
  void Add(const ReportRecord& record, const std::string& runFolder, const std::string& reportFile,
           const std::string& reportPath);

  // The thresholds that name a substance no report holds.
  std::vector<const Threshold*> UnknownSubstances() const { return compare_.UnknownSubstances(); }

  // Writes the workbook to `narrowPath` (the file libxlsxwriter creates, a
  // temporary file beside the workbook). `stop` is asked between reports; when
  // it answers true the writing ends, unfinished. `rows` is the number of rows
  // the table holds. Returns the first failure, naming the workbook's path.
  std::optional<FileError> Write(const std::string& narrowPath, std::size_t rows,
                                 const std::function<bool()>& stop);

 private:
  // What the run folder's SWAN log and SWASH project report say of reports:
  // read once per run folder, when its first report is taken.
  void TakeRunFolder(const std::string& runFolder);
  void Spool(const ReportRecord& record, const std::string& runFolder, const std::string& reportFile,
             const std::string& link, const std::string& originalReportFile);
  std::optional<FileError> WriteSummary(lxw_worksheet* sheet, const WorkbookFormats& formats,
                                        const std::function<bool()>& stop);
  // The rows written beside the run, if any; see above.
  struct SharedSpool;
  struct EarlySummary;
  void StartEarlySummary();
  std::optional<FileError> WriteAbout(lxw_worksheet* sheet, const WorkbookFormats& formats,
                                      std::size_t rows) const;
  // The workbook's failure "not written: " and `why`, naming its path.
  FileError NotWritten(const std::string& why) const;
  // That its temporary file cannot be `what` ("written", "read"), in the
  // system's words of errno.
  FileError SpoolFailure(const char* what) const;

  WorkbookSettings settings_;
  std::string path_;
  std::unique_ptr<SharedSpool> spool_;
  std::optional<FileError> failure_;
  std::size_t reports_ = 0;
  SummaryColumns columns_;
  RunFolderDetails details_;  // of the current run folder
  std::vector<RunFolderProblem> problems_;

  std::optional<std::string> runFolder_;  // the run folder of the last report
  CompareSheet compare_;
  std::unique_ptr<EarlySummary> early_;
  int earlyStarts_ = 0;
};

}  // namespace quillmere
