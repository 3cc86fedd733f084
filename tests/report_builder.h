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

// The report's bytes: header, substance properties, application table, a
// water balance, then the water-layer tables of every substance followed by
// the sediment tables of every substance.
std::string BuildReport(const FixtureReport& report);

// `lines` joined, each ended with LF: a report written by hand.
std::string ReportFromLines(std::initializer_list<std::string_view> lines);

// The default report, with the scenario `name`.
std::string ScenarioReport(const std::string& name);

}  // namespace quillmere::testing
