// The sheet "Compare" of Summary.xlsx: per substance and compared figure, a
// block of the run folders side by side per scenario, with a threshold cell
// that its fills and counts follow while the workbook is open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/file_error.h"
#include "summary/report_record.h"
#include "summary/summary_table.h"

struct lxw_workbook;

namespace quillmere {

struct WorkbookFormats;

// The position of `name` in kFigureNames (compared exactly), or nothing.
std::optional<std::size_t> FigureIndex(std::string_view name);

// A figure the sheet can compare: one of the table's (kFigureNames), or a
// time-weighted average over another window a report lists, named
// "TWAsw 28d" (water layer) or "TWAsed 28d" (sediment), 1 to 100 days.
struct ComparedFigure {
  std::string name;                  // as the sheet writes it
  std::optional<std::size_t> table;  // index into kFigureNames; else a window:
  bool sediment = false;
  std::uint16_t days = 0;

  bool operator==(const ComparedFigure&) const = default;
};

// The figure `name` names (exactly, as ComparedFigure::name writes it), or
// nothing.
std::optional<ComparedFigure> ParseComparedFigure(std::string_view name);

// A threshold as given: for every block, for the blocks of one figure, or
// for the block of one substance and figure.
struct Threshold {
  std::optional<std::string> substance;  // the name as the table writes it
  std::optional<std::string> figure;     // a ComparedFigure::name
  double value = 0;
  std::string given;  // the text typed, for the sheet "About"
};

// Collects what the sheet compares as the run reads the reports, and writes
// it. Memory: one value per compared figure of each substance, scenario and
// run folder, and the report names of the cells more than one report gives.
class CompareSheet {
 public:
  // `figures` must not be empty; `thresholds` in the order given.
  CompareSheet(std::vector<ComparedFigure> figures, std::vector<Threshold> thresholds);

  // A new run folder begins; every report until the next call belongs to it.
  // `runFolder` is its name as the file system gives it (UTF-8), `mitigation`
  // what was done in it to reduce the exposure, in words, as SWAN's log
  // writes it (Latin-1), or empty.
  void StartRunFolder(const std::string& runFolder, std::string mitigation = {});

  // Takes one report of the current run folder. Throws std::bad_alloc.
  void Add(const ReportRecord& record, const std::string& reportFile);

  // Writes the sheet "Compare", continued on "Compare (2)", ... when its
  // blocks do not fit in one sheet's rows. Returns why it could not be
  // written completely (the run folders are more than a sheet's columns
  // hold, a write the library refused), naming `workbookPath`. Its cells take
  // the workbook's `formats`.
  std::optional<FileError> Write(lxw_workbook* book, const WorkbookFormats& formats,
                                 const std::string& workbookPath) const;

  // The thresholds that name a substance no report holds.
  std::vector<const Threshold*> UnknownSubstances() const;

  // The threshold of the block of `substance` (as the report writes it) and
  // figure `figure` (an index into the figures): the most specific one given,
  // the last of equals.
  const Threshold* ThresholdOf(std::string_view substance, std::size_t figure) const;

  const std::vector<ComparedFigure>& figures() const { return figures_; }
  // The substances, as the reports write them, in table order.
  const std::vector<std::string>& substances() const { return substances_; }
  const std::vector<Threshold>& thresholds() const { return thresholds_; }

 private:
  struct Cell {
    std::uint32_t report = 0;   // the first report of the cell, within its run folder
    std::int32_t doubled = -1;  // index into doubled_, when more than one report gives the cell
    std::size_t values = 0;     // where its figures begin in values_
  };
  struct CellKey {
    std::uint32_t substance, scenario, runFolder;
    bool operator==(const CellKey&) const = default;
  };
  struct CellKeyHash {
    std::size_t operator()(const CellKey& key) const;
  };
  // The units of a substance's figures, as the first report that gave them.
  struct Units {
    std::string water, sediment;
  };

  std::uint32_t IndexOf(std::unordered_map<std::string, std::uint32_t>& indexes,
                        std::vector<std::string>& names, std::string_view name);

  std::vector<ComparedFigure> figures_;
  std::vector<Threshold> thresholds_;
  std::unordered_map<std::string, std::uint32_t> substanceIndex_, scenarioIndex_;
  std::vector<std::string> substances_, scenarios_, runFolders_, mitigations_;
  std::vector<Units> units_;  // per substance
  std::unordered_map<CellKey, Cell, CellKeyHash> cells_;
  std::vector<double> values_;                     // figures_.size() per cell; NaN where none
  std::vector<std::vector<std::string>> doubled_;  // report names of doubled cells
  std::vector<std::string> folderReports_;         // the current run folder's reports
};

}  // namespace quillmere
