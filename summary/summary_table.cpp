#include "summary/summary_table.h"

#include <string_view>
#include <utility>

#include "runtime/number.h"

namespace quillmere {

SummaryTable::SummaryTable(OutputFile& file, std::string decimalSeparator)
    : file_(file), decimalSeparator_(std::move(decimalSeparator)) {}

void SummaryTable::WriteHeader() {
  bool first = true;
  for (std::string_view label : kTableColumns) {
    if (!first) file_.Print("\t");
    file_.Print(label);
    first = false;
  }
  file_.EndLine();
}

std::size_t SummaryTable::WriteReportRows(const ReportRecord& record) {
  static const SubstanceResult kNoSubstance{};
  const SubstanceResult& first = record.substances.empty() ? kNoSubstance : record.substances.front();
  WriteSubstanceFields(record, first);
  for (std::string_view date : record.applicationDates) {
    file_.Print("\t");
    WriteText(date);
  }
  file_.EndLine();
  for (std::size_t j = 1; j < record.substances.size(); ++j) {
    WriteSubstanceFields(record, record.substances[j]);
    file_.EndLine();
  }
  return record.substances.empty() ? 1 : record.substances.size();
}

void SummaryTable::WriteSubstanceFields(const ReportRecord& record, const SubstanceResult& substance) {
  WriteText(record.runFolder);
  file_.Print("\t");
  WriteText(record.reportFile);
  file_.Print("\t");
  WriteText(record.scenario);
  file_.Print("\t");
  WriteText(record.Text(substance.name));
  for (double figure : {substance.PECsw_max, substance.TWA7d, substance.TWA21d,
                        substance.PECsed_max, substance.TWAsed7d, substance.TWAsed21d}) {
    file_.Print("\t");
    WriteNumber(figure);
  }
  file_.Print("\t");
  WriteText(record.Text(substance.waterMaxDate));
  file_.Print("\t");
  WriteText(record.Text(substance.sedimentMaxDate));
}

void SummaryTable::WriteText(std::string_view text) {
  // Piece by piece rather than through a changed copy: a name can be as long
  // as its report.
  constexpr std::string_view kLineBreaking = "\t\r\n";
  for (std::size_t at = text.find_first_of(kLineBreaking); at != std::string_view::npos;
       at = text.find_first_of(kLineBreaking)) {
    file_.Print(text.substr(0, at));
    file_.Print(" ");
    text.remove_prefix(at + 1);
  }
  file_.Print(text);
}

void SummaryTable::WriteNumber(double value) { file_.Print(ToText(value, decimalSeparator_)); }

}  // namespace quillmere
