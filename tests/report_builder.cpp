#include "tests/report_builder.h"

#include <cstdio>
#include <utility>

namespace quillmere::testing {

namespace {

// Text padded with spaces on the right to `width`.
std::string PadRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// A result row: `label` at column 1, `value` ending at column `valueEnd`,
// the date four columns after it, and the day number at the end.
std::string ResultRow(const std::string& label, const std::string& value, std::size_t valueEnd,
                      const std::string& date) {
  const std::size_t valueStart = valueEnd >= value.size() ? valueEnd - value.size() : 0;
  return PadRight(PadRight(label, valueStart) + value + "    " + date, 66) + "56";
}

// A text written line by line, each line ended with `lineEnd`.
class LineWriter {
 public:
  explicit LineWriter(std::string lineEnd) : lineEnd_(std::move(lineEnd)) {}
  void operator()(const std::string& line) { (text_ += line) += lineEnd_; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  std::string lineEnd_;
};

// The rows of an application table: the number right-aligned in `width`
// columns, `gap`, the date in 17 columns, then `rest`.
void ApplicationRows(const std::vector<std::string>& dates, int width, const std::string& gap,
                     const std::string& rest, LineWriter& line) {
  int number = 0;
  for (const std::string& date : dates) {
    char row[32];
    std::snprintf(row, sizeof row, "%*d", width, ++number);
    line(row + gap + PadRight(date, 17) + rest);
  }
}

// "TWAECsw_1_day", "TWAECsed_28_days", ...
std::string WindowLabel(const std::string& prefix, int days) {
  return prefix + std::to_string(days) + (days == 1 ? "_day" : "_days");
}

}  // namespace

std::string BuildReport(const FixtureReport& report) {
  LineWriter line(report.lineEnd);
  const std::string rule =
      "* --------------------------------------------------------------------------------";
  // The end of one medium's tables: the row of its 7-day PEC, then the table
  // of its time-weighted averages (the 7- and 21-day rows, and the `others`
  // before, between and after them by their days).
  auto averages = [&](const std::string& pecRow, const std::string& table, const std::string& prefix,
                      const std::vector<FixtureWindow>& others, std::size_t valueEnd,
                      const FixtureWindow& week, const FixtureWindow& threeWeeks) {
    line(pecRow);
    line(" ");
    line("* Table: Maximum Time Weighted Averaged Exposure " + table);
    int after = 0;
    for (const FixtureWindow* fixed : {&week, &threeWeeks, static_cast<const FixtureWindow*>(nullptr)}) {
      const int before = fixed ? fixed->days : 1000;
      for (const FixtureWindow& window : others) {
        if (window.days > after && window.days < before)
          line(ResultRow(WindowLabel(prefix, window.days), window.value, valueEnd, window.date));
      }
      if (fixed) line(ResultRow(WindowLabel(prefix, fixed->days), fixed->value, valueEnd, fixed->date));
      after = before;
    }
    line(rule);
  };

  line("* ------------------------------------------------------------------------------");
  line("* TOXSWA REPORT: Header");
  line(" ");
  line("* Results from the TOXSWA model  (c) Wageningen University & Research");
  if (!report.version.empty()) line("* FOCUS  TOXSWA version   : " + report.version);
  line("* TOXSWA model version    : 3.3.6");
  line(" ");
  line("* Working directory       : C:\\SwashProjects\\Project_1\\TOXSWA");
  line("* Run ID                  : 3");
  line(rule);
  line(" ");
  line("* Scenario                : " + report.scenario);
  line("* Meteo Station           : Weiherbach");
  line("* Substance               : " +
       (report.substances.empty() ? std::string("NONE") : report.substances.front().name));
  if (!report.waterBodyType.empty()) line("* Water Body Type         : " + report.waterBodyType);
  line(rule);
  line("* End of TOXSWA REPORT: Header");
  line(rule);
  line(" ");
  line(rule);
  line("* TOXSWA REPORT: Substance properties and substance loadings");
  line(" ");
  line("* Summary for the following substances");
  line(" ");
  int number = 0;
  for (const FixtureSubstance& substance : report.substances) {
    char heading[64];
    std::snprintf(heading, sizeof heading, "* Substance %2d:  ", ++number);
    line(heading + substance.name);
    line("* Molar mass (g.mol-1)           :    300.0");
    line("* Half-life in water, lumped (d):     100.00  at reference temperature (C) : 20.0");
    line(" ");
  }
  line(" ");
  line("* Summary for the substance loadings");
  line(" ");
  line("* Application pattern and deposition by drift on water surface");
  line("* Appl.No  Date/Hour              Mass (g ai.ha-1)    Areic mean deposition (mg.m-2)");
  ApplicationRows(report.applicationDates, 5, "   ", "           1000.0000              1.7160", line);
  line(" ");
  line(" ");
  line("* Maximum hourly fluxes from lateral entries");
  line("  1979   Runoff              EXSW2  < 1e-6        mg.m-2.hr-1      02-Feb-1979-00h30");
  line("*");
  line("* End of TOXSWA REPORT: Substance properties and substance loadings");
  line(" ");
  line("* Monthly water balance terms (m3) in water system of   100.00 m");
  for (int i = 0; i < report.fillerLines; ++i) {
    line("  1978 Oct   BalWatLay          -0.0050     0.0000     0.0000     0.0000  8011.9925  8039.6526");
  }
  line("*");
  line("* TOXSWA REPORT: Exposure in water body");
  line("*");
  for (const FixtureSubstance& substance : report.substances) {
    line("* Table: Annual maximum exposure concentrations in water layer of substance: " + substance.name);
    line("  1978                     39.57       25-Nov-1978-02h00           56");
    line(" ");
    line("* Table: PEC in water layer of substance: " + substance.name);
    line(rule);
    line("*                       Concentration        Date                 Daynr");
    if (!report.waterUnit.empty()) {
      line("*                         " + report.waterUnit +
           "                         (since start simulation)");
    }
    line(rule);
    line(ResultRow("Global max", substance.waterMax, 35, substance.waterMaxDate));
    line(ResultRow("(incl. suspend.solids", substance.waterMax, 35, substance.waterMaxDate) + ")");
    averages(ResultRow("PECsw_7_days", "0.000387", 35, "02-Dec-1978-02h00"),
             "Concentrations substance: " + substance.name, "TWAECsw_", substance.waterWindows, 35,
             {7, substance.waterTwa7, "02-Dec-1978-00h00"}, {21, substance.waterTwa21, "05-Dec-1978-09h00"});
    line(" ");
  }
  line("* Tables: Maximum exposure content in sediment");
  for (const FixtureSubstance& substance : report.substances) {
    line("* Table: PEC in sediment of substance: " + substance.name);
    line(rule);
    if (!report.sedimentUnit.empty()) {
      line("*                         Content             Date                Daynr");
      line("*                         " + report.sedimentUnit +
           "                         (since start simulation)");
      line(rule);
    }
    line(ResultRow("Global max", substance.sedimentMax, 36, substance.sedimentMaxDate));
    averages(ResultRow("PECsed_7_days", "0.7817", 36, "02-Dec-1978-11h00"),
             "Content substance: " + substance.name, "TWAECsed_", substance.sedimentWindows, 36,
             {7, substance.sedimentTwa7, "02-Dec-1978-02h00"},
             {21, substance.sedimentTwa21, "16-Dec-1978-02h00"});
  }
  line("* ");
  line("* End of TOXSWA REPORT: Exposure in water body");
  return line.text() + "*  The run time was   2 minutes and  2 seconds";  // the last line has no line end
}

FixtureReport OddFiguresReport() {
  FixtureReport report;
  FixtureSubstance metabolite;
  metabolite.name = "MET1";
  metabolite.waterMax = "1.5E-03";
  metabolite.waterMaxDate = "01-Jan-1979-07h00";
  metabolite.waterTwa7 = "-";
  metabolite.sedimentMax = "0.1234-100";
  metabolite.sedimentTwa21 = "< 1e-6";
  report.substances.push_back(metabolite);
  report.applicationDates = {"14-Nov-1978-09h00", "21-Nov-1978-09h00", "28-Nov-1978-09h00"};
  return report;
}

std::string ReportFromLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += '\n';
  return text;
}

std::string ScenarioReport(const std::string& name) {
  FixtureReport report;
  report.scenario = name;
  return BuildReport(report);
}

}  // namespace quillmere::testing

namespace quillmere::testing {

namespace {

// A row of the older layout's result tables: the label from column 2, the
// figure ending at column 29, the date from column 40, the day number.
std::string OlderResultRow(const std::string& label, const std::string& value, const std::string& date) {
  const std::string head = PadRight(" " + label, 29 > value.size() ? 29 - value.size() : 0) + value;
  return PadRight(head, 39) + PadRight(date, 23) + "  812";
}

}  // namespace

std::string BuildOlderReport(const OlderFixtureReport& report) {
  LineWriter line(report.lineEnd);
  const std::string rule = " ------------------------------------------------------------------";
  line("* ========================================================================");
  line("*  TOXSWA  surface water fate                      FOCUS_TOXSWA v" + report.focusVersion);
  line("*                                                      TOXSWA v" + report.modelVersion);
  line("*                                                           11-Mar-2010");
  line("* ========================================================================");
  line("* Run ID           : " + report.runId);
  line("* File name        : " + report.runId + ".sum");
  line("");
  line(" Project                : quillmere_check          ");
  line(" Substance              : " + PadRight(report.substance, 20));
  line(" Location               : " + report.location + " (Meteo station: Lakeside      ");
  line(" Type of flow           : variable");
  line(" Type of water body     : " + PadRight(report.waterBody, 38));
  line(" Simulation period      : 01-Jan-1986  to  01-May-1987");
  line("");
  line(" Application pattern and deposition by drift on water surface");
  line(" ============================================================");
  line("");
  line(" Number of applications                            :  " +
       std::to_string(report.applicationDates.size()));
  line("");
  line(" Appl.No  Date/Hour         Mass (g ai.ha-1)   Areic mean deposition (%)");
  ApplicationRows(report.applicationDates, 3, "    ", "        250.0               0.2310", line);
  line("");
  line(" Maximum hourly fluxes and concentrations in drained water");
  line(" Substance                :    0.07 mg.m-2.h-1 (    10.4 mg.'m-1.h-1) 12-Dec-1986 04:00");
  line("");
  line(
      " Year  Month   cuinsl   cuinub cuinwb  cuouwb   cuoueb  cuoufb    cutf   cuvol  totmwl    cuper   "
      "totmwb");
  for (int i = 0; i < report.fillerLines; ++i) {
    line(
        " 1986    Mar   11.204    0.000  0.000  -0.511   -4.873   0.000  -1.022   0.000  22.317   -0.044    "
        "3.906");
  }
  line("");
  line(" Tables: Maximum exposure concentrations in water layer");
  line(" (Time Weighted Average Exposure Concentrations (TWAEC) belong to the last day)");
  line("");
  line(" Actual concentrations in water layer in \xB5g.L-1");
  line("");
  line(rule);
  line("                   Concentration             Date          Daynr");
  line(OlderResultRow("Global max", report.waterMax, report.waterMaxDate));
  line(" (incl. susp.sol      " + report.waterMax + ")");
  line(OlderResultRow("PECsw1", "40.118", "04-Apr-1987 11:00"));
  line(OlderResultRow("PECsw21", "5.002", "24-Apr-1987 11:00"));
  line(" simulated period too short for calculation of  PECsw100   ");
  line(rule);
  line("");
  line(" Maximum Time Weighted Averaged Exposure Concentrations");
  line(" in water layer in \xB5g.L-1");
  line("");
  line(rule);
  line("                   Concentration             Date          Daynr");
  line(OlderResultRow("TWAECsw1", "45.930", "03-Apr-1987 22:00"));
  line(OlderResultRow("TWAECsw4", "39.061", "05-Apr-1987 07:00"));
  line(OlderResultRow("TWAECsw7", report.waterTwa7, "06-Apr-1987 14:00"));
  line(OlderResultRow("TWAECsw21", report.waterTwa21, "13-Apr-1987 10:00"));
  line(OlderResultRow("TWAECsw100", "2.771", "10-Jun-1987 08:00"));
  line(rule);
  line("");
  line(" Tables: Maximum exposure concentrations in sediment");
  line("");
  line(" Actual concentrations in sediment in \xB5g.kg-1 DW");
  line("");
  line(rule);
  line("                   Concentration             Date           Daynr");
  line(OlderResultRow("Global max", report.sedimentMax, report.sedimentMaxDate));
  line(OlderResultRow("PECsed7", "8.877", "26-Apr-1987 02:00"));
  line(" simulated period too short for calculation of  PECsed100  ");
  line(rule);
  line("");
  line(" Maximum Time Weighted Averaged Exposure Concentrations");
  line(" in sediment in \xB5g.kg-1 DW");
  line("");
  line(rule);
  line(OlderResultRow("TWAECsed2", "8.910", "20-Apr-1987 06:00"));
  line(OlderResultRow("TWAECsed7", report.sedimentTwa7, "22-Apr-1987 18:00"));
  line(OlderResultRow("TWAECsed21", report.sedimentTwa21, "30-Apr-1987 01:00"));
  line(" simulated period too short for calculation of  TWAECsed100");
  line(rule);
  line("");
  line(" The run time was:    0 minutes and 41 seconds");
  return line.text();
}

std::string BuildOlderProjectReport(const std::vector<OlderProjectRun>& runs) {
  const std::string stars(100, '*');
  std::string out =
      "\n"
      "      * SWASH report file\n"
      "      * made by FOCUS-SWASH UI v. 3 (= 3.1.2)\n"
      "      *\n"
      "      * Description : fixture of the tests\n"
      "      *\n"
      "      " +
      stars +
      "\n"
      "      *  CREATED RUNS\n"
      "      " +
      stars +
      "\n"
      "      *\n"
      "      * --ID--MACRO\\PRZM-Crop(1st/2nd)----------Scenario-WaterbodyType-|-Method---------First/Last/"
      "Interval-#--Rate-|-Mean Deposition-Mass Loading\n"
      "                                                                                                     "
      "(d)     (kg/ha) (% of Appl. Rate)   (mg/m2)\n"
      "      *\n";
  for (const OlderProjectRun& run : runs) {
    out += "      * " + PadRight(run.id, 10) + PadRight(run.id.substr(0, 5), 7) +
           PadRight("Vines, late", 25) + PadRight(run.location, 10) + PadRight(run.waterBody, 13) +
           "air blast      01-Apr/30-Apr/1     1 0.2500       8.028          2.007\n";
    out += "      *\n";
  }
  out += "      " + stars + "\n";
  return out;
}

std::string WithoutLinesContaining(const std::string& text, std::string_view removed) {
  std::string kept;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    if (line.find(removed) == std::string_view::npos) kept += line;
    start = end;
  }
  return kept;
}

}  // namespace quillmere::testing
