// Reading the SWASH project report of a run folder: per run ID, the crop,
// the scenario, the application method, window and rates.
//
// SWASH writes the report as `<project>_report.txt`; one of its first lines
// says "SWASH report file". Its table of created runs starts after the line
// "*  CREATED RUNS" and is read so:
//
//   the column header   the line with "-ID" and "Crop"; its labels "Scenario"
//                       and "WaterbodyType" give the columns of those fields.
//                       A header with "MACRO\PRZM" (SWASH 3.x) has a
//                       MACRO/PRZM number after the ID.
//   a run line          "* " then the ID, [the MACRO/PRZM number,] the crop,
//                       the scenario, [the water body,] the method, the
//                       window "first/last/interval", and the first
//                       application: number, rate (kg/ha), mean deposition
//                       (% of the rate) and mass loading (mg/m2).
//   a continuation      "* " then only number, rate, deposition and loading:
//                       one more application of the run above it.
//   between runs        a line "*" alone; lines without "*" (the units under
//                       the header) are passed over.
//   the end             a line of "**..." after the header, or the file's end.
//
// Within a run line, fields are whitespace-separated words, except that the
// crop, the method and the window may hold single spaces: the last four words
// are the application; the window runs from the word before the second-last
// "/" to the application; the scenario is the first word after the crop that
// reaches into the columns of the header's "Scenario" label, the water body
// the word after it that reaches into those of "WaterbodyType"; the crop is
// what lies between the ID and the scenario, the method what lies between the
// scenario (or water body) and the window. Every text is kept as written,
// without its surrounding spaces. Bytes are passed on as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "summary/marked_file_reader.h"

namespace quillmere {

// One application of a run, as the report writes it.
struct SwashApplication {
  std::string number;       // "1"
  std::string rate;         // kg/ha, "1.0000"
  std::string deposition;   // mean deposition, % of the rate, "0.154"
  std::string massLoading;  // mg/m2, "0.154"
};

// One created run.
struct SwashRun {
  // The run ID as the report writes it: "1" (5.x), "00001p_pa" (3.x). The
  // TOXSWA report of the run is `<id>.sum`.
  std::string id;
  std::string macroPrzm;  // 3.x only: the MACRO/PRZM run, "00001"; empty in 5.x
  std::string crop;       // "Cereals, winter(1st)"
  std::string scenario;   // "D4_Pond" (5.x) or "D4" (3.x)
  // 3.x: "focus_pond", "focus_ditch", "focus_stream"; 5.x: empty (the
  // scenario carries it).
  std::string waterBody;
  std::string method;                          // "ground spray"
  std::string window;                          // first/last/interval as written, "8-Sep /28-Oct/7"
  std::vector<SwashApplication> applications;  // at least one
  std::size_t line = 0;                        // line of the run in the report, from 1
};

struct SwashProjectReport {
  std::string path;
  std::vector<SwashRun> runs;  // in the report's order; each ID once, as Run() compares them

  // The run whose ID is `id`, or nullptr. IDs compare without case (as file
  // names on Windows do) and numbers without leading zeros: "00001P_PA" is
  // "00001p_pa", "0001" is "1".
  const SwashRun* Run(std::string_view id) const;
};

// The project report of the run folder at `runFolderPath`: the first file (in
// listing order) named *_report.txt, any case, whose first ten lines say
// "SWASH report file"; nothing when there is none or the folder cannot be
// listed. Never throws.
std::optional<std::string> FindSwashProjectReport(const std::string& runFolderPath);

// True when the file at `path` is a plain file whose first ten lines say
// "SWASH report file". Never throws.
bool IsSwashProjectReport(const std::string& path);

// The report, or no report and why (a file not understood, or not read).
struct SwashReading : ReadingProblem {
  std::optional<SwashProjectReport> report;
};

// Reads the report at `path`. Never throws.
SwashReading ReadSwashProjectReport(const std::string& path);

// The same from bytes in memory; `path` is only recorded.
SwashReading ReadSwashProjectReportText(std::string_view bytes, const std::string& path = {});

// Text for a workbook's crop column: the crop as written.
std::string CropText(const SwashRun& run);

// Text for a workbook's application column: method, number of applications
// with their rates, and the window, as written:
//   "ground spray, 1 x 1.0000 kg/ha, 16-Nov/16-Dec/1"
//   "ground spray, 3 x (1.0000, 0.7500, 0.5000 kg/ha), 8-Sep /28-Oct/7"
std::string ApplicationText(const SwashRun& run);

}  // namespace quillmere
