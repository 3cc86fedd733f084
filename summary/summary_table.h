// The table that a run writes: Summary.txt.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "runtime/output_file.h"
#include "summary/report_record.h"

namespace quillmere {

// The labels of the table's columns, left to right: four texts, the six
// figures, the dates of the two maxima and the first application date. The
// workbook's Summary sheet begins with the same columns.
inline constexpr std::string_view kTableColumns[] = {
    "ID",         "Mitigation", "Scenario",  "Substance",  "PECsw_max", "TWA7d",  "TWA21d",
    "PECsed_max", "TWAsed7d",   "TWAsed21d", "Date water", "Date sed",  "AppDate"};

// The six figures among kTableColumns: three of the water layer, then three
// of the sediment.
inline constexpr std::size_t kFirstFigureColumn = 4;
inline constexpr std::span<const std::string_view, 6> kFigureNames{kTableColumns + kFirstFigureColumn, 6};

// Writes the tab-separated table: a header line, then one line per substance
// of every report. Lines end with CR LF; fields are separated by one TAB with
// no quoting. A TAB, CR or LF inside a text field is written as a space, so
// that no name can shift a column or split a line. The first line of a report
// carries its application dates in the columns from "AppDate" on.
class SummaryTable {
 public:
  // Writes to `file`, which must outlive the table. Figures are written with
  // `decimalSeparator` as decimal point.
  explicit SummaryTable(OutputFile& file, std::string decimalSeparator = ".");

  // The header line: kTableColumns.
  void WriteHeader();

  // The lines of one report: one per substance, or one with empty names and
  // zero figures when the report names no substance. Returns how many lines.
  std::size_t WriteReportRows(const ReportRecord& record);

 private:
  void WriteSubstanceFields(const ReportRecord& record, const SubstanceResult& substance);
  void WriteText(std::string_view text);
  void WriteNumber(double value);

  OutputFile& file_;
  std::string decimalSeparator_;
};

}  // namespace quillmere
