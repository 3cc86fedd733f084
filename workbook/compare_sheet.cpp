#include "workbook/compare_sheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/number.h"
#include "workbook/sheet_cells.h"
#include "workbook/workbook_text.h"

namespace quillmere {

namespace {

constexpr std::size_t kFigureCount = std::size(kFigureNames);
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
// A block's rows above its scenarios (title, threshold, run folder names,
// mitigations) and below them (the two rows of counts).
constexpr std::size_t kRowsAbove = 4;
constexpr std::size_t kRowsBelow = 2;
// The columns besides the run folders: the scenario and the count.
constexpr std::size_t kColumnsBeside = 2;

double TableFigure(const SubstanceResult& substance, std::size_t figure) {
  const double figures[] = {substance.PECsw_max,  substance.TWA7d,    substance.TWA21d,
                            substance.PECsed_max, substance.TWAsed7d, substance.TWAsed21d};
  return figures[figure];
}

bool IsSediment(const ComparedFigure& figure) { return figure.table ? *figure.table >= 3 : figure.sediment; }

// `text` (UTF-8) cut to `limit` characters, its last one "…" when cut.
std::string CutText(std::string text, std::size_t limit) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++characters == limit) {
      std::size_t end = i + 1;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
      if (end == text.size()) return text;
      text.resize(i);
      return text + "\xE2\x80\xA6";
    }
  }
  return text;
}

// The sheets "Compare", "Compare (2)", ...: each a SheetCells, whose
// refusal ends the writing.
class CompareSheets {
 public:
  explicit CompareSheets(lxw_workbook* book) : book_(book) {}

  // Starts the next sheet, `columns` wide; false when it cannot be added.
  bool Next(std::size_t columns) {
    ++sheets_;
    const std::string name = sheets_ == 1 ? "Compare" : "Compare (" + std::to_string(sheets_) + ")";
    cells_ = SheetCells(workbook_add_worksheet(book_, name.c_str()), name);
    if (cells_.sheet() == nullptr) {
      cells_.Check(LXW_ERROR_MEMORY_MALLOC_FAILED, 0, 0);
      return false;
    }
    cells_.Width(0, 0, 20);
    cells_.Width(1, columns - 1, 14);
    return cells_.ok();
  }
  SheetCells& cells() { return cells_; }

 private:
  lxw_workbook* book_;
  std::size_t sheets_ = 0;
  SheetCells cells_;
};

// A formula with the result a reader that does not calculate shows.
void WriteFormula(SheetCells& cells, std::size_t row, std::size_t column, const std::string& formula,
                  std::optional<double> number, const std::string& text) {
  const lxw_row_t r = SheetCells::Row(row);
  const lxw_col_t c = SheetCells::Column(column);
  cells.Check(number
                  ? worksheet_write_formula_num(cells.sheet(), r, c, formula.c_str(), nullptr, *number)
                  : worksheet_write_formula_str(cells.sheet(), r, c, formula.c_str(), nullptr, text.c_str()),
              row, column);
}

// A fill of the cells in the range when `rule` holds.
void WriteFill(SheetCells& cells, std::size_t firstRow, std::size_t firstColumn, std::size_t lastRow,
               std::size_t lastColumn, const std::string& rule, lxw_format* format) {
  lxw_conditional_format condition{};
  condition.type = LXW_CONDITIONAL_TYPE_FORMULA;
  condition.value_string = const_cast<char*>(rule.c_str());
  condition.format = format;
  cells.Check(worksheet_conditional_format_range(cells.sheet(), SheetCells::Row(firstRow),
                                                 SheetCells::Column(firstColumn), SheetCells::Row(lastRow),
                                                 SheetCells::Column(lastColumn), &condition),
              firstRow, firstColumn);
}

}  // namespace

std::optional<std::size_t> FigureIndex(std::string_view name) {
  for (std::size_t i = 0; i < kFigureCount; ++i) {
    if (kFigureNames[i] == name) return i;
  }
  return std::nullopt;
}

std::optional<ComparedFigure> ParseComparedFigure(std::string_view name) {
  ComparedFigure figure;
  figure.name = std::string(name);
  if ((figure.table = FigureIndex(name))) return figure;
  for (const std::string_view prefix : {"TWAsw ", "TWAsed "}) {
    if (!name.starts_with(prefix) || !name.ends_with('d')) continue;
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    unsigned days = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), days);
    // Digits alone, without a leading zero: one name per window.
    if (digits.empty() || digits.front() == '0' || error != std::errc() ||
        end != digits.data() + digits.size() || days < 1 || days > 100) {
      return std::nullopt;
    }
    figure.sediment = prefix == "TWAsed ";
    figure.days = static_cast<std::uint16_t>(days);
    return figure;
  }
  return std::nullopt;
}

std::size_t CompareSheet::CellKeyHash::operator()(const CellKey& key) const {
  std::uint64_t h = key.substance;
  h = h * 0x9E3779B97F4A7C15ull + key.scenario;
  h = h * 0x9E3779B97F4A7C15ull + key.runFolder;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

CompareSheet::CompareSheet(std::vector<ComparedFigure> figures, std::vector<Threshold> thresholds)
    : figures_(std::move(figures)), thresholds_(std::move(thresholds)) {}

std::uint32_t CompareSheet::IndexOf(std::unordered_map<std::string, std::uint32_t>& indexes,
                                    std::vector<std::string>& names, std::string_view name) {
  const auto [found, added] =
      indexes.try_emplace(std::string(name), static_cast<std::uint32_t>(names.size()));
  if (added) names.emplace_back(name);
  return found->second;
}

void CompareSheet::StartRunFolder(const std::string& runFolder, std::string mitigation) {
  runFolders_.push_back(runFolder);
  mitigations_.push_back(std::move(mitigation));
  folderReports_.clear();
}

void CompareSheet::Add(const ReportRecord& record, const std::string& reportFile) {
  // A report that names no substance has no figure to compare.
  if (record.substances.empty() || runFolders_.empty()) return;
  const auto report = static_cast<std::uint32_t>(folderReports_.size());
  folderReports_.push_back(reportFile);
  const std::uint32_t scenario = IndexOf(scenarioIndex_, scenarios_, record.scenario);
  const auto runFolder = static_cast<std::uint32_t>(runFolders_.size() - 1);
  std::vector<double> values(figures_.size());
  for (std::size_t n = 0; n < record.substances.size(); ++n) {
    const SubstanceResult& substance = record.substances[n];
    const std::uint32_t name = IndexOf(substanceIndex_, substances_, record.Text(substance.name));
    if (name == units_.size()) units_.emplace_back();
    Units& units = units_[name];
    if (units.water.empty()) units.water = record.waterUnit;
    if (units.sediment.empty()) units.sediment = record.sedimentUnit;
    for (std::size_t f = 0; f < figures_.size(); ++f) {
      const ComparedFigure& figure = figures_[f];
      values[f] = kNone;
      if (figure.table) {
        values[f] = TableFigure(substance, *figure.table);
        continue;
      }
      for (const TwaWindow& window : record.twaWindows) {
        if (window.substance == n && window.sediment == figure.sediment && window.days == figure.days) {
          values[f] = window.value;
        }
      }
    }
    const auto [cell, added] = cells_.try_emplace(CellKey{name, scenario, runFolder}, Cell{report, -1, 0});
    if (added) {
      cell->second.values = values_.size();
      values_.insert(values_.end(), values.begin(), values.end());
      continue;
    }
    if (cell->second.doubled < 0) {
      cell->second.doubled = static_cast<std::int32_t>(doubled_.size());
      doubled_.push_back({folderReports_[cell->second.report]});
    }
    doubled_[cell->second.doubled].push_back(reportFile);
    for (std::size_t f = 0; f < figures_.size(); ++f) {
      double& kept = values_[cell->second.values + f];
      if (std::isnan(kept) || values[f] > kept) kept = values[f];
    }
  }
}

const Threshold* CompareSheet::ThresholdOf(std::string_view substance, std::size_t figure) const {
  const Threshold* best = nullptr;
  int bestRank = -1;
  const std::string decoded = Windows1252ToUtf8(substance);
  for (const Threshold& threshold : thresholds_) {
    if (threshold.figure && *threshold.figure != figures_[figure].name) continue;
    if (threshold.substance && *threshold.substance != substance && *threshold.substance != decoded) continue;
    const int rank = (threshold.substance ? 2 : 0) + (threshold.figure ? 1 : 0);
    if (rank >= bestRank) {
      best = &threshold;
      bestRank = rank;
    }
  }
  return best;
}

std::vector<const Threshold*> CompareSheet::UnknownSubstances() const {
  std::vector<const Threshold*> unknown;
  for (const Threshold& threshold : thresholds_) {
    if (!threshold.substance) continue;
    const bool known = std::any_of(substances_.begin(), substances_.end(), [&](const std::string& name) {
      return name == *threshold.substance || Windows1252ToUtf8(name) == *threshold.substance;
    });
    if (!known) unknown.push_back(&threshold);
  }
  return unknown;
}

std::optional<FileError> CompareSheet::Write(lxw_workbook* book, const WorkbookFormats& formats,
                                             const std::string& workbookPath) const {
  const std::size_t folders = runFolders_.size();
  if (folders + kColumnsBeside > LXW_COL_MAX) {
    return FileError(workbookPath, "not written: its sheet Compare would need a column for each of the " +
                                       std::to_string(folders) + " run folders, and a sheet holds " +
                                       std::to_string(LXW_COL_MAX) + " columns (" +
                                       std::to_string(LXW_COL_MAX - kColumnsBeside) + " run folders)");
  }
  lxw_format* title = formats.title;
  lxw_format* header = formats.header;
  const std::size_t countColumn = folders + 1;
  CompareSheets sheets(book);
  if (!sheets.Next(countColumn + 1)) return sheets.cells().Failure(workbookPath);
  std::size_t row = 0;
  bool first = true;
  std::vector<std::uint32_t> rows;             // the scenarios of a substance
  std::vector<const Cell*> cells(folders);     // of one scenario
  std::vector<std::vector<const Cell*>> grid;  // of one substance: [scenario][folder]
  for (std::uint32_t substance = 0; substance < substances_.size(); ++substance) {
    grid.clear();
    for (std::uint32_t scenario = 0; scenario < scenarios_.size(); ++scenario) {
      bool any = false;
      for (std::uint32_t folder = 0; folder < folders; ++folder) {
        const auto found = cells_.find(CellKey{substance, scenario, folder});
        cells[folder] = found == cells_.end() ? nullptr : &found->second;
        any = any || cells[folder] != nullptr;
      }
      if (!any) continue;
      grid.push_back(cells);
      rows.push_back(scenario);
    }
    const std::size_t height = kRowsAbove + grid.size() + kRowsBelow;
    if (height > LXW_ROW_MAX) {
      return FileError(workbookPath, "not written: its sheet Compare would need " + std::to_string(height) +
                                         " rows for one block, and a sheet holds " +
                                         std::to_string(LXW_ROW_MAX) + " rows");
    }
    const std::string name = Windows1252ToUtf8(substances_[substance]);
    for (std::size_t figure = 0; figure < figures_.size() && sheets.cells().ok(); ++figure) {
      // One empty row between blocks; a block that does not fit under the
      // last one begins the next sheet.
      if (!first) row += 2;
      first = false;
      if (row + height > LXW_ROW_MAX) {
        if (!sheets.Next(countColumn + 1)) return sheets.cells().Failure(workbookPath);
        row = 0;
      }
      SheetCells& out = sheets.cells();
      const ComparedFigure& compared = figures_[figure];
      const Threshold* threshold = ThresholdOf(substances_[substance], figure);
      const std::string& unit = IsSediment(compared) ? units_[substance].sediment : units_[substance].water;
      const std::string suffix = ": " + compared.name;
      out.Text(row, 0, Windows1252ToUtf8(substances_[substance], kCellCharacters - suffix.size()) + suffix,
               title);
      const std::size_t thresholdRow = row + 1;
      const std::string cell = "$B$" + std::to_string(thresholdRow + 1);
      out.Text(thresholdRow, 0, "Threshold", header);
      if (threshold) out.Number(thresholdRow, 1, threshold->value);
      out.Text(thresholdRow, 2, Windows1252ToUtf8(unit));
      // Constant-memory mode writes each row once, in order: a row is
      // complete before the next begins.
      out.Text(row + 2, 0, "Scenario", header);
      for (std::size_t folder = 0; folder < folders; ++folder)
        out.Text(row + 2, folder + 1, NameInWorkbook(runFolders_[folder]), header);
      out.Text(row + 2, countColumn, "Run folders at or under", header);
      out.Text(row + 3, 0, "Mitigation", header);
      for (std::size_t folder = 0; folder < folders; ++folder)
        out.Text(row + 3, folder + 1, Windows1252ToUtf8(mitigations_[folder]));

      const std::size_t firstRow = row + kRowsAbove;
      std::vector<std::size_t> underPerFolder(folders, 0);
      for (std::size_t line = 0; line < grid.size() && out.ok(); ++line) {
        const std::size_t at = firstRow + line;
        out.Text(at, 0, Windows1252ToUtf8(scenarios_[rows[line]]));
        std::size_t under = 0;
        for (std::size_t folder = 0; folder < folders; ++folder) {
          const Cell* found = grid[line][folder];
          if (found == nullptr) continue;
          const double value = values_[found->values + figure];
          if (std::isnan(value)) continue;
          out.Number(at, folder + 1, value);
          if (threshold && value <= threshold->value) {
            ++under;
            ++underPerFolder[folder];
          }
          // The reports of a doubled cell are named once per substance, in
          // its first block: comments cost the library far more than cells.
          if (found->doubled >= 0 && figure == 0) {
            std::string note =
                figures_.size() == 1
                    ? "More than one report gives this cell; it holds the largest value. Reports:"
                    : "More than one report gives this cell; it holds the largest value, as the "
                      "same cell of this substance's other blocks does. Reports:";
            for (const std::string& report : doubled_[found->doubled]) {
              note += '\n';
              note += NameInWorkbook(report);
            }
            out.Comment(at, folder + 1, CutText(std::move(note), kCellCharacters));
          }
        }
        if (folders > 0) {
          const std::string range = CellName(at, 1) + ":" + CellName(at, folders);
          WriteFormula(out, at, countColumn,
                       "=IF(ISNUMBER(" + cell + "),COUNTIF(" + range + ",\"<=\"&" + cell + "),\"\")",
                       threshold ? std::optional<double>(static_cast<double>(under)) : std::nullopt, "");
        }
      }
      const std::size_t lastRow = firstRow + grid.size() - 1;
      const std::size_t countRow = firstRow + grid.size();
      const auto range = [&](std::size_t folder) {
        return CellName(firstRow, folder + 1) + ":" + CellName(lastRow, folder + 1);
      };
      const auto count = [&](std::size_t folder) {
        return "COUNTIF(" + range(folder) + ",\"<=\"&" + cell + ")";
      };
      out.Text(countRow, 0, "Scenarios at or under", header);
      for (std::size_t folder = 0; folder < folders; ++folder) {
        WriteFormula(
            out, countRow, folder + 1, "=IF(ISNUMBER(" + cell + ")," + count(folder) + ",\"\")",
            threshold ? std::optional<double>(static_cast<double>(underPerFolder[folder])) : std::nullopt,
            "");
      }
      out.Text(countRow + 1, 0, "All at or under", header);
      for (std::size_t folder = 0; folder < folders; ++folder) {
        const bool all = underPerFolder[folder] == grid.size();
        WriteFormula(out, countRow + 1, folder + 1,
                     "=IF(ISNUMBER(" + cell + "),IF(" + count(folder) + "=ROWS(" + range(folder) +
                         "),\"yes\",\"no\"),\"\")",
                     std::nullopt, threshold ? (all ? "yes" : "no") : "");
      }
      if (folders > 0 && !grid.empty()) {
        // Fills that follow the threshold cell: none while it holds no number.
        const std::string corner = CellName(firstRow, 1);
        const std::string given = "ISNUMBER(" + cell + "),ISNUMBER(" + corner + ")";
        WriteFill(out, firstRow, 1, lastRow, folders, "AND(" + given + "," + corner + ">" + cell + ")",
                  formats.above);
        WriteFill(out, firstRow, 1, lastRow, folders, "AND(" + given + "," + corner + "<=" + cell + ")",
                  formats.atOrUnder);
      }
      row = countRow + 1;
    }
    rows.clear();
    if (!sheets.cells().ok()) break;
  }
  return sheets.cells().Failure(workbookPath);
}

}  // namespace quillmere
