// Hand-made TOXSWA summary reports in the layout the model writes.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

// A time-weighted average window besides the table's 7 and 21 days, as a
// row of its table: "TWAECsw_28_days" and so on.
struct FixtureWindow {
  int days = 0;
  std::string value{};
  std::string date = "26-Nov-1978-00h00";
};

struct FixtureSubstance {
  std::string name = "EXSW2";
  // Figures as the report writes them, right-aligned in their columns.
  std::string waterMax = "39.57";
  std::string waterMaxDate = "25-Nov-1978-02h00";
  std::string waterTwa7 = "2.415";
  std::string waterTwa21 = "0.8402";
  std::string sedimentMax = "5.338";
  std::string sedimentMaxDate = "25-Nov-1978-11h00";
  std::string sedimentTwa7 = "1.544";
  std::string sedimentTwa21 = "0.9058";
  // The other windows of each medium, in the order they are written; each
  // goes before the 7-day row, between it and the 21-day row, or after that,
  // by its days.
  std::vector<FixtureWindow> waterWindows{{1, "16.88", "26-Nov-1978-00h00"},
                                          {14, "1.260", "28-Nov-1978-09h00"},
                                          {28, "0.6358", "12-Dec-1978-09h00"}};
  std::vector<FixtureWindow> sedimentWindows{{28, "0.7857", "23-Dec-1978-02h00"}};
};

struct FixtureReport {
  std::string scenario = "R1_Stream";
  std::vector<FixtureSubstance> substances{FixtureSubstance{}};
  std::vector<std::string> applicationDates{"14-Nov-1978-09h00"};
  std::string lineEnd = "\r\n";
  // The header's "* FOCUS  TOXSWA version" and "* Water Body Type" values;
  // an empty one leaves its line out.
  std::string version = "5.5.3";
  std::string waterBodyType = "R1_STREAM";
  // The unit lines under the head lines of the water-layer and sediment
  // tables ("\xB5g.L-1"); an empty one leaves the line out, and for the
  // sediment its head line too.
  std::string waterUnit{};
  std::string sedimentUnit{};
  // Lines of a monthly balance table added to the middle of the report, to
  // give it the size of a real one (about 100 bytes each).
  int fillerLines = 0;
};

// The default report with a second substance, "MET1", whose figures take
// every form the model writes besides plain decimals ("1.5E-03",
// "0.1234-100", "-", "< 1e-6"), and three applications.
FixtureReport OddFiguresReport();

// The report's bytes: header, substance properties, application table, a
// water balance, then the water-layer tables of every substance followed by
// the sediment tables of every substance.
std::string BuildReport(const FixtureReport& report);

// A report of the older layout FOCUS_TOXSWA 3.x wrote (as SWASH 3 ran it):
// a banner, a header of " Name : value" lines, one substance, and the
// figures in tables of their own, each row a label, the figure ending at
// column 29 and the date from column 40.
struct OlderFixtureReport {
  std::string focusVersion = "3.3.1";
  std::string modelVersion = "2.1.3-F3";
  std::string runId = "00007p_wr";
  std::string substance = "Qm_acid";
  std::string location = "D5";
  std::string waterBody = "pond";
  std::vector<std::string> applicationDates{"02-Apr-1987 09:00"};
  std::string waterMax = "47.206";
  std::string waterMaxDate = "03-Apr-1987 11:00";
  std::string waterTwa7 = "31.774";
  std::string waterTwa21 = "12.405";
  std::string sedimentMax = "8.913";
  std::string sedimentMaxDate = "19-Apr-1987 02:00";
  std::string sedimentTwa7 = "8.851";
  std::string sedimentTwa21 = "8.512";
  std::string lineEnd = "\n";
  // Lines of a monthly mass balance added to the middle of the report, to
  // give it the size of a real one (about 100 bytes each).
  int fillerLines = 0;
};

// The report's bytes, "\xB5" (Latin-1 micro sign) in its units.
std::string BuildOlderReport(const OlderFixtureReport& report);

// One run of a SWASH 3 project report.
struct OlderProjectRun {
  std::string id;         // "00002d_wr"
  std::string location;   // "D5"
  std::string waterBody;  // "focus_ditch"
};

// A SWASH 3 project report (`<project>_report.txt`) listing `runs`, one
// application each; lines end in LF.
std::string BuildOlderProjectReport(const std::vector<OlderProjectRun>& runs);

// `text` without the lines that contain `removed`; lines end in LF.
std::string WithoutLinesContaining(const std::string& text, std::string_view removed);

// `lines` joined, each ended with LF: a report written by hand.
std::string ReportFromLines(std::initializer_list<std::string_view> lines);

// The default report, with the scenario `name`.
std::string ScenarioReport(const std::string& name);

}  // namespace quillmere::testing
