// Summary.xlsx: the table as typed cells, the runs compared per scenario,
// and a sheet that says how it was made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/file_error.h"
#include "summary/report_record.h"
#include "summary/run_folder_details.h"
#include "workbook/summary_sheet.h"

struct lxw_worksheet;

namespace quillmere {

struct WorkbookFormats;

// The figure columns of the table, in their order.
inline constexpr std::string_view kFigureNames[] = {"PECsw_max",  "TWA7d",    "TWA21d",
                                                    "PECsed_max", "TWAsed7d", "TWAsed21d"};

// The position of `name` in kFigureNames (compared exactly), or nothing.
std::optional<std::size_t> FigureIndex(std::string_view name);

// What the workbook says about its making.
struct WorkbookSettings {
  // The directory read, as given.
  std::string directory;
  // The program and its version, for example "quillmere-summary 0.1.0".
  std::string program;
  // The figure compared on the sheet "Compare" (an index into kFigureNames),
  // and the threshold its cells are coloured by, if any.
  std::size_t figure = 0;
  std::optional<double> threshold;
};

// Collects the reports of a run as the run reads them and writes the
// workbook once the run is complete. Memory stays what the sheet "Compare"
// needs: one figure per substance, scenario and run folder, and the report
// names of the cells more than one report gives; the rows of the sheet
// "Summary" wait in a temporary file until the workbook is written.
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

  // Writes the workbook to `narrowPath` (the file libxlsxwriter creates, a
  // temporary file beside the workbook). `stop` is asked between reports; when
  // it answers true the writing ends, unfinished. `rows` is the number of rows
  // the table holds. Returns the first failure, naming the workbook's path.
  std::optional<FileError> Write(const std::string& narrowPath, std::size_t rows,
                                 const std::function<bool()>& stop);

 private:
  struct CompareCell {
    double value = 0;
    std::uint32_t report = 0;   // the report of the value, within its run folder
    std::int32_t doubled = -1;  // index into doubled_, when more than one report gives the cell
  };

  void AddToCompare(const ReportRecord& record, const std::string& reportFile);
  // What the run folder's SWAN log and SWASH project report say of reports:
  // read once per run folder, when its first report is taken.
  void TakeRunFolder(const std::string& runFolder);
  void Spool(const ReportRecord& record, const std::string& runFolder, const std::string& reportFile,
             const std::string& link, const std::string& originalReportFile);
  std::optional<FileError> WriteSummary(lxw_worksheet* sheet, const WorkbookFormats& formats,
                                        const std::function<bool()>& stop);
  void WriteCompare(lxw_worksheet* sheet, const WorkbookFormats& formats) const;
  // Returns the number of rows written.
  std::uint32_t WriteAbout(lxw_worksheet* sheet, const WorkbookFormats& formats, std::size_t rows) const;
  // The files beside the reports that were not understood, one row each,
  // from `row` of the sheet "About".
  void WriteRunFolderProblems(lxw_worksheet* sheet, const WorkbookFormats& formats, std::uint32_t row) const;
  static std::uint32_t IndexOf(std::unordered_map<std::string, std::uint32_t>& indexes,
                               std::vector<std::string>& names, std::string_view name);

  WorkbookSettings settings_;
  std::string path_;
  std::FILE* spool_ = nullptr;
  std::optional<FileError> failure_;
  std::size_t reports_ = 0;
  SummaryColumns columns_;
  RunFolderDetails details_;  // of the current run folder
  std::vector<RunFolderProblem> problems_;

  std::unordered_map<std::string, std::uint32_t> substanceIndex_, scenarioIndex_;
  std::vector<std::string> substances_, scenarios_, runFolders_;
  std::unordered_map<std::uint64_t, CompareCell> cells_;
  std::vector<std::vector<std::string>> doubled_;  // report names of doubled cells
  std::vector<std::string> folderReports_;         // the current run folder's reports
};

}  // namespace quillmere
