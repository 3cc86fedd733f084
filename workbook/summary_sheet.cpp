#include "workbook/summary_sheet.h"

#include <algorithm>

#include "summary/summary_table.h"
#include "workbook/workbook_text.h"

namespace quillmere {

void UnitHeading::Take(std::string_view unit) {
  if (unit.empty() || std::find(units_.begin(), units_.end(), unit) != units_.end()) return;
  if (units_.size() == kKeptUnits) {
    more_ = true;
    return;
  }
  units_.emplace_back(unit);
}

std::string UnitHeading::Suffix() const {
  if (units_.empty()) return {};
  if (units_.size() > 1) return " (units differ)";
  return " (" + Windows1252ToUtf8(units_.front()) + ")";
}

std::string UnitHeading::Disagreement() const {
  if (units_.size() < 2) return {};
  std::string text;
  for (const std::string& unit : units_) {
    if (!text.empty()) text += ", ";
    text += Windows1252ToUtf8(unit);
  }
  if (more_) text += ", ...";
  return text;
}

void SummaryColumns::Take(const ReportRecord& record) {
  water_.Take(record.waterUnit);
  sediment_.Take(record.sedimentUnit);
  for (const TwaWindow& window : record.twaWindows) {
    if (window.days >= 1 && window.days <= 100)
      (window.sediment ? sedimentDays_ : waterDays_).set(window.days);
  }
  maxApplications_ = std::max(maxApplications_, record.applicationDates.size());
}

std::size_t SummaryColumns::Window(bool sediment, unsigned days) const {
  if (days < 1 || days > 100) return kNoColumn;
  const std::bitset<101>& mine = sediment ? sedimentDays_ : waterDays_;
  if (!mine.test(days)) return kNoColumn;
  std::size_t column = FirstWindow() + (sediment ? waterDays_.count() : 0);
  for (unsigned d = 1; d < days; ++d) column += mine.test(d) ? 1 : 0;
  return column;
}

std::vector<std::string> SummaryColumns::Header() const {
  const std::string water = water_.Suffix();
  const std::string sediment = sediment_.Suffix();
  // The table's columns, the figures' heads with their units.
  std::vector<std::string> header;
  for (std::size_t n = 0; n < std::size(kTableColumns); ++n) {
    header.emplace_back(kTableColumns[n]);
    const std::size_t figure = n - kFirstFigureColumn;
    if (n >= kFirstFigureColumn && figure < kFigureNames.size())
      header.back() += figure < 3 ? water : sediment;
  }
  for (std::size_t n = 2; n <= maxApplications_; ++n) header.push_back("AppDate " + std::to_string(n));
  header.push_back("Water body");
  header.push_back("Entry route (estimated)");
  for (unsigned days = 1; days <= 100; ++days) {
    if (waterDays_.test(days)) header.push_back("TWAsw " + std::to_string(days) + "d" + water);
  }
  for (unsigned days = 1; days <= 100; ++days) {
    if (sedimentDays_.test(days)) header.push_back("TWAsed " + std::to_string(days) + "d" + sediment);
  }
  for (const char* head : {"SWAN mitigation", "Crop", "Application", "TOXSWA version"})
    header.emplace_back(head);
  return header;
}

std::optional<std::string> SummaryColumns::LimitProblem() const {
  if (Count() <= kMaxSheetColumns) return std::nullopt;
  return "not written: a report has " + std::to_string(maxApplications_) +
         " application dates, which would take the Summary sheet to " + std::to_string(Count()) +
         " columns, more than the " + std::to_string(kMaxSheetColumns) + " an Excel worksheet holds";
}

}  // namespace quillmere
