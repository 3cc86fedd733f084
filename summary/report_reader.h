// Reading one TOXSWA summary report (".sum") into a ReportRecord.
#pragma once

#include <string>
#include <utility>

#include "runtime/line_reader.h"
#include "summary/legacy_report_reader.h"
#include "summary/report_record.h"

namespace quillmere {

// Reads reports once, top to bottom, by finding fixed marker texts and
// cutting values out of fixed byte columns of the lines that carry them:
//
//   the scenario              "* Scenario                :", text from column 28
//   end of the header         "* End of TOXSWA REPORT: Header"
//   substances                every "* Substance" line, name from column 17,
//                             up to "* Summary for the substance loadings"
//   applications              the rows after "Appl.No  Date/Hour", date in
//                             columns 9 to 25, up to a line " " or "*"
//   water layer, per substance "PEC in water layer" (name from column 43),
//                             "Global max ", "TWAECsw_7_days", "TWAECsw_21_days",
//                             figures from column 21, date from column 36
//   sediment, per substance   "Global max    ", "TWAECsed_7_days",
//                             "TWAECsed_21_days", figures from column 22,
//                             date from column 37
//
// The water-layer blocks of all substances are read before any sediment
// block. The reader keeps the scenario label of the report it read last, for
// the "2" that marks a repeated scenario within one run folder.
//
// A file whose first 30 lines give the banner of FOCUS_TOXSWA 3.x (TOXSWA
// 2.x) before any "* Scenario" line is read in that older layout instead
// (summary/legacy_report_reader.h), unless a "* Scenario" line comes before
// the older header's lines. A file of neither layout that names its writer in its first 30
// lines is refused naming it.
class ReportReader {
 public:
  // Forgets the previous scenario label: the next report read is the first
  // of a run folder.
  // `lookup` gives the water body the run folder's SWASH project report
  // names for a run ID, for the scenario label of the older layout; it is
  // asked only for a report of that layout that does not say it.
  void StartRunFolder(WaterBodyLookup lookup = {}) {
    previousScenario_.clear();
    waterBodyLookup_ = std::move(lookup);
  }

  // Reads the report at `path` into `record`: scenario, substances and
  // application dates (the run and report names are left alone). Throws
  // FileError naming `path` when the report cannot be opened or read, ends
  // before a marker it looks for, or holds a figure too large for a double.
  void Read(const std::string& path, ReportRecord& record);

  // The same, from lines already opened; a failure names `lines.path()`.
  void Read(LineReader& lines, ReportRecord& record);

 private:
  // Makes `scenario`, with a "2" when it repeats the last, the last label.
  void KeepScenario(std::string scenario);

  std::string previousScenario_;
  WaterBodyLookup waterBodyLookup_;
};

}  // namespace quillmere
