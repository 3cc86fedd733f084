// The columns of the workbook's Summary sheet: the table's, with the units
// of the figures in their heads, the derived columns, the other
// time-weighted average windows the reports list and what the run folder and
// the report say of each report. Decided once every report is taken, before the first row is
// written.
#pragma once

#include <algorithm>
#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "summary/report_record.h"

namespace quillmere {

// Excel's columns on one sheet.
inline constexpr std::size_t kMaxSheetColumns = 16384;

// The unit of one medium's figures as the reports give it.
class UnitHeading {
 public:
  // Takes one report's unit (Windows-1252); an empty one says nothing.
  void Take(std::string_view unit);

  // " (unit)" in UTF-8 when every report that gives a unit gives this one,
  // " (units differ)" when they disagree, empty when none gives one.
  std::string Suffix() const;

  // When the reports disagree: the units they give, in the order first met
  // ("\xC2\xB5g.L-1, mg.L-1", at most eight, then ", ..."); else empty.
  std::string Disagreement() const;

  bool operator==(const UnitHeading&) const = default;

 private:
  static constexpr std::size_t kKeptUnits = 8;
  std::vector<std::string> units_;  // distinct, as read
  bool more_ = false;               // more than kKeptUnits distinct units
};

class SummaryColumns {
 public:
  // Takes what one report adds to the sheet's columns.
  void Take(const ReportRecord& record);

  // The heads of every column, in order.
  std::vector<std::string> Header() const;

  // What makes the heads of a medium's figures say "(units differ)": the
  // units the reports give; empty when they agree.
  std::string UnitDisagreement(bool sediment) const { return (sediment ? sediment_ : water_).Disagreement(); }

  // The column of each group: the table's columns first, as in the text
  // table, then the derived ones, the windows (water layer, then sediment,
  // each by days) and what the run folder and the report say of the report.
  static constexpr std::size_t kFirstFigure = 4;
  static constexpr std::size_t kWaterDate = kFirstFigure + 6;
  static constexpr std::size_t kSedimentDate = kWaterDate + 1;
  static constexpr std::size_t kFirstApplication = kWaterDate + 2;
  std::size_t WaterBody() const { return kFirstApplication + std::max<std::size_t>(maxApplications_, 1); }
  std::size_t EntryRoute() const { return WaterBody() + 1; }
  std::size_t FirstWindow() const { return WaterBody() + 2; }
  std::size_t Window(bool sediment, unsigned days) const;  // kNoColumn when no report lists it
  std::size_t Mitigation() const { return FirstWindow() + WindowCount(); }
  std::size_t Crop() const { return Mitigation() + 1; }
  std::size_t Application() const { return Mitigation() + 2; }
  std::size_t Version() const { return Mitigation() + 3; }
  std::size_t Count() const { return Version() + 1; }

  // Why the sheet cannot be written as it must be read: more columns than a
  // worksheet holds. Nothing when it fits.
  std::optional<std::string> LimitProblem() const;

  static constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

  // The same columns with the same heads.
  bool operator==(const SummaryColumns&) const = default;

 private:
  std::size_t WindowCount() const { return waterDays_.count() + sedimentDays_.count(); }

  std::bitset<101> waterDays_, sedimentDays_;  // by days, 1 to 100
  std::size_t maxApplications_ = 0;
  UnitHeading water_, sediment_;
};

}  // namespace quillmere
