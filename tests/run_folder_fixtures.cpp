#include "tests/run_folder_fixtures.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quillmere::testing {

namespace {

// Where each field of a run line starts (from 1), and where the figures of
// an application end.
struct Columns {
  std::size_t id, macroPrzm, crop, scenario, waterBody, method, window;
  std::size_t numberEnd, rateEnd, depositionEnd, loadingEnd;
};

constexpr Columns kColumns5{9, 0, 15, 40, 0, 62, 77, 98, 106, 118, 134};
constexpr Columns kColumns3{9, 19, 26, 51, 61, 74, 89, 109, 116, 128, 143};

// Appends `text` to `line` from column `column`, with at least one space
// before it when the line already reaches that far.
void Place(std::string& line, std::size_t column, const std::string& text) {
  if (line.size() + 1 < column) {
    line.append(column - 1 - line.size(), ' ');
  } else if (!line.empty()) {
    line += ' ';
  }
  line += text;
}

void PlaceRight(std::string& line, std::size_t endColumn, const std::string& text) {
  Place(line, endColumn + 1 > text.size() ? endColumn + 1 - text.size() : 1, text);
}

// The column header, each label at its column with dashes between, and the
// units under it.
std::string Header(SwashLayout layout) {
  return layout == SwashLayout::kVersion5
             ? "      * "
               "-ID------Crop(1st/2nd)-------Scenario-WaterbodyType-|-Method--------First/Last/"
               "Interval--#---Rate-|-Mean Deposition-Mass Loading"
             : "      * "
               "--ID--MACRO\\PRZM-Crop(1st/2nd)----------Scenario-WaterbodyType-|-Method---------First/Last/"
               "Interval-#--Rate-|-Mean Deposition-Mass Loading";
}

std::string Units(SwashLayout layout) {
  return layout == SwashLayout::kVersion5
             ? std::string(86, ' ') + "(d)          (kg/ha) (% of Appl. Rate)    (mg/m2)"
             : std::string(101, ' ') + "(d)     (kg/ha) (% of Appl. Rate)   (mg/m2)";
}

void PlaceApplication(std::string& line, const Columns& columns, const FixtureApplication& application) {
  PlaceRight(line, columns.numberEnd, application.number);
  PlaceRight(line, columns.rateEnd, application.rate);
  PlaceRight(line, columns.depositionEnd, application.deposition);
  PlaceRight(line, columns.loadingEnd, application.massLoading);
}

}  // namespace

std::string SwashProjectReportText(SwashLayout layout, const std::vector<FixtureRun>& runs,
                                   const std::string& lineEnd) {
  const bool five = layout == SwashLayout::kVersion5;
  const Columns& columns = five ? kColumns5 : kColumns3;
  const std::string stars = "      " + std::string(five ? 130 : 140, '*');
  std::vector<std::string> lines{
      "",
      "",
      "",
      "      * SWASH report file",
      five ? "      * made by FOCUS-SWASH UI v. 5 (internal version 5.9.9, for the tests) "
           : "      * made by FOCUS-SWASH UI v. 3 (= 3.9.9, for the tests)",
      "      *",
      "      * File Name   : C:\\Projects\\Trial\\Trial_report.txt",
      "      * Description : runs made up by hand",
      "      * Substance   : Testazol",
      "      *",
      "      * Remarks : a project that never was; a line such as",
      "      *           * 9 Not a run   D1   ground spray",
      "      *           stands before the table and is no run.",
      "      *",
      stars,
      "      *  CREATED RUNS",
      stars,
      "      *",
      Header(layout),
      Units(layout),
      "      *"};
  for (const FixtureRun& run : runs) {
    for (std::size_t i = 0; i < run.applications.size(); ++i) {
      std::string line = "      *";
      if (i == 0) {
        Place(line, columns.id, run.id);
        if (!five) Place(line, columns.macroPrzm, run.macroPrzm);
        Place(line, columns.crop, run.crop);
        Place(line, columns.scenario, run.scenario);
        if (!five) Place(line, columns.waterBody, run.waterBody);
        Place(line, columns.method, run.method);
        Place(line, columns.window, run.window);
      }
      PlaceApplication(line, columns, run.applications[i]);
      lines.push_back(line);
    }
    lines.push_back("      *");
  }
  lines.push_back("      " + std::string(50, '*') + " Surface WAter Scenarios Help " + std::string(50, '*'));
  lines.push_back("      * 9     Not a run either, past the end of the table   D1   1  1.0  1.0  1.0");
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

std::string SwanLogText(const FixtureSwanLog& log) {
  const std::string rule = "*" + std::string(65, '-');
  std::vector<std::string> lines{rule,
                                 "*",
                                 "* SWAN log file",
                                 "* Created by SWAN v5.9.9 at 01-Feb-2031, 09:15:00",
                                 "*",
                                 "* Processing parameter file: D:\\Trials\\Mitigated\\Mitigated.tpf",
                                 "*",
                                 rule,
                                 "*",
                                 "Loaded parameter file: D:\\Trials\\Mitigated\\Mitigated.tpf",
                                 "",
                                 "Loading source project: d:\\trials\\plain"};
  for (const std::string& file : log.driftFiles) lines.push_back("Loaded TOXSWA file: " + file);
  for (const std::string& file : log.runOffFiles) lines.push_back("Loaded support file: " + file);
  lines.insert(lines.end(), {"Load complete", "", "Validating...", "Validation complete"});
  const auto section = [&](const std::string& title) {
    lines.insert(lines.end(), {"*", rule, "*", "* " + title, rule, "*"});
  };
  if (!log.runOffMode.empty()) {
    section("Run-off mitigation");
    lines.push_back("Reduction run-off mode:                 " + log.runOffMode);
    lines.insert(lines.end(), log.runOffSettings.begin(), log.runOffSettings.end());
    lines.push_back("");
    lines.push_back("Modifying reductions for Event 01/02/1990 01:00:00");
    lines.push_back("Using factors [ROVolume = 0.5, ROFlux = 0, ErosionFlux = 0, ErosionMass = 0]");
    for (const std::string& file : log.runOffFiles)
      lines.push_back("Run-off mitigation has been applied to: " + file);
  }
  if (!log.driftSettings.empty()) {
    section("Spray drift mitigation");
    lines.insert(lines.end(), log.driftSettings.begin(), log.driftSettings.end());
    for (const std::string& file : log.driftFiles) {
      lines.push_back("Spray drift mitigation has been applied to: " + file);
    }
  }
  section("Dry deposition after volatilisation");
  lines.push_back("Dry deposition mitigation was not applied to any file");
  lines.insert(lines.end(), {"*", rule, "*", "Saving mitigated project: D:\\Trials\\Mitigated"});
  for (const std::string& file : log.driftFiles) lines.push_back("Saved TOXSWA file: " + file);
  lines.insert(lines.end(),
               {"Copied Trial_report.txt", "*", rule, "*", "* Completed in 2.5 seconds", "*", rule});
  std::string text;
  for (const std::string& line : lines) text += line + log.lineEnd;
  return text;
}

std::vector<std::string> BufferDrift(const std::string& width, const std::string& nozzles) {
  return {"Nozzle reduction (%): " + nozzles,
          "",
          "Use Step 3 mass loadings: No",
          "",
          "Select buffer width: Yes",
          "Buffer width (m):    " + width,
          "",
          "Enter mass loadings directly: No",
          "Pond mass loading (mg/m\xb2):    0",
          "Ditch mass loading (mg/m\xb2):   0",
          "Stream mass loading (mg/m\xb2):  0",
          ""};
}

}  // namespace quillmere::testing
