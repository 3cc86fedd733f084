#include "summary/legacy_report_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "summary/report_reader.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildOlderReport;
using quillmere::testing::BuildReport;
using quillmere::testing::Dates;
using quillmere::testing::FailureReason;
using quillmere::testing::FixtureReport;
using quillmere::testing::NotAReport;
using quillmere::testing::OlderFixtureReport;
using quillmere::testing::ReadText;
using quillmere::testing::Replaced;
using quillmere::testing::TableFields;
using quillmere::testing::WithoutLinesContaining;

const std::string kWatercourse = "watercourse (ditch / small stream)";

// A lookup that answers `waterBody` for the run ID `runId` only.
WaterBodyLookup ProjectSays(std::string runId, std::string waterBody) {
  return [runId, waterBody](std::string_view asked) { return asked == runId ? waterBody : std::string(); };
}

TEST(LegacyReportReaderTest, ReadsEveryFieldOfAReportOfTheOlderLayout) {
  for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
    OlderFixtureReport fixture;
    fixture.lineEnd = lineEnd;
    const ReportRecord record = ReadText(BuildOlderReport(fixture));
    EXPECT_EQ(
        TableFields(record),
        "D5_Pond | Qm_acid 47.206 31.774 12.405 8.913 8.851 8.512 03-Apr-1987 11:00 19-Apr-1987 02:00 | "
        "02-Apr-1987 09:00");
    EXPECT_EQ(record.version, "FOCUS_TOXSWA 3.3.1");
    EXPECT_EQ(record.waterBodyType, "pond");
    EXPECT_EQ(record.waterUnit, "\xB5g.L-1");
    EXPECT_EQ(record.sedimentUnit, "\xB5g.kg-1 DW");
    // Every window but 7 and 21 days, in the report's order; those the
    // simulation was too short for are not listed.
    std::vector<std::pair<bool, int>> windows;
    for (const TwaWindow& w : record.twaWindows) windows.emplace_back(w.sediment, w.days);
    EXPECT_EQ(windows, (std::vector<std::pair<bool, int>>{{false, 1}, {false, 4}, {false, 100}, {true, 2}}));
    ASSERT_EQ(record.twaWindows.size(), 4u);
    EXPECT_DOUBLE_EQ(record.twaWindows[2].value, 2.771);
  }
}

TEST(LegacyReportReaderTest, ResolvesTheWaterBodyOfTheScenarioLabel) {
  const struct {
    std::string type;
    std::string runId;
    std::string projectSays;  // for that run ID; "" when the project report is missing or silent
    std::string expected;
  } cases[] = {
      {"pond", "00001d_pa", "focus_ditch", "Pond"},  // the report itself says it
      {"ditch", "", "", "Ditch"},
      {"stream", "", "", "Stream"},
      {kWatercourse, "00002d_pa", "focus_ditch", "Ditch"},
      {kWatercourse, "00003s_pa", "focus_stream", "Stream"},
      {kWatercourse, "00002d_pa", "focus_stream", "Stream"},  // the project report comes first
      {kWatercourse, "00002d_pa", "", "Ditch"},
      {kWatercourse, "00003s_pa", "", "Stream"},
      {kWatercourse, "00004p_pa", "", "Pond"},
      {kWatercourse, "00005s", "", "Stream"},
      {kWatercourse, "00004p_pa", "focus_pond", "Pond"},  // a pond is no watercourse: the letter decides
      {kWatercourse, "00006x_pa", "", "Watercourse"},
      {kWatercourse, "00006dx_pa", "", "Watercourse"},
      {kWatercourse, "d_pa", "", "Watercourse"},
      {kWatercourse, "3", "", "Watercourse"},
      {kWatercourse, "", "focus_ditch", "Watercourse"},
      {"canal", "00002d_pa", "focus_ditch", "canal"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OlderLayoutWaterBody(c.type, c.runId, ProjectSays(c.runId, c.projectSays)), c.expected)
        << c.type << " " << c.runId << " " << c.projectSays;
  }
  EXPECT_EQ(OlderLayoutWaterBody(kWatercourse, "00002s_pa", WaterBodyLookup()), "Stream");
}

TEST(LegacyReportReaderTest, AsksTheProjectReportOnlyForAWatercourse) {
  int asked = 0;
  ReportReader reader;
  reader.StartRunFolder([&asked](std::string_view) {
    ++asked;
    return std::string("focus_ditch");
  });
  ReadText(reader, BuildOlderReport(OlderFixtureReport{}));
  ReadText(reader, BuildReport(FixtureReport{}));
  EXPECT_EQ(asked, 0);
}

TEST(LegacyReportReaderTest, ReadsEveryApplicationRowUpToTheBlankLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"10-May-1986 09:00"},
      {"10-May-1986 09:00", "24-May-1986 09:00", "07-Jun-1986 13:30"},
  };
  for (const std::vector<std::string>& dates : cases) {
    OlderFixtureReport fixture;
    fixture.applicationDates = dates;
    EXPECT_EQ(Dates(ReadText(BuildOlderReport(fixture))), dates) << dates.size() << " rows";
  }
  // A line of spaces is blank too; the date is 17 bytes from column 8.
  const std::string text =
      Replaced(BuildOlderReport(OlderFixtureReport{}), "  1    02-Apr", "  9    1-Jan-2000 9:00 x\n   \n");
  EXPECT_EQ(Dates(ReadText(text)), std::vector<std::string>{"1-Jan-2000 9:00 x"});
}

TEST(LegacyReportReaderTest, LabelsARepeatedScenarioWithATwo) {
  ReportReader reader;
  reader.StartRunFolder();
  EXPECT_EQ(ReadText(reader, BuildOlderReport(OlderFixtureReport{})).scenario, "D5_Pond");
  EXPECT_EQ(ReadText(reader, BuildOlderReport(OlderFixtureReport{})).scenario, "D5_Pond2");
  EXPECT_EQ(ReadText(reader, BuildOlderReport(OlderFixtureReport{})).scenario, "D5_Pond");
  FixtureReport today;
  today.scenario = "D5_Pond";
  EXPECT_EQ(ReadText(reader, BuildReport(today)).scenario, "D5_Pond2") << "the layouts share the rule";
}

TEST(LegacyReportReaderTest, FailsNamingTheLineItLacks) {
  const std::string good = BuildOlderReport(OlderFixtureReport{});
  quillmere::testing::ExpectEachMarkerNeeded(
      good, {"Substance              :", "Location               :", "Type of water body     :",
             "Appl.No  Date/Hour", "Actual concentrations in water layer",
             "Actual concentrations in sediment", "Global max", "TWAECsed"});
  const std::string water = "the water layer's time-weighted averages from line 48 lack the line ";
  const std::string sediment = "the sediment's time-weighted averages from line 70 lack the line ";
  const std::pair<std::string, std::string> averages[] = {
      {"TWAECsw7 ", water + "\"TWAECsw7\""},
      {"TWAECsw21", water + "\"TWAECsw21\""},
      {"TWAECsed7", sediment + "\"TWAECsed7\""},
      {"TWAECsed21", sediment + "\"TWAECsed21\""},
  };
  for (const auto& [removed, reason] : averages) {
    EXPECT_EQ(FailureReason(WithoutLinesContaining(good, removed)), reason) << "without " << removed;
  }
  const std::string cut = good.substr(0, good.find(" Number of applications"));
  EXPECT_EQ(FailureReason(cut + " Appl.No  Date/Hour\n  1    02-Apr-1987 09:00"),
            "the report ends early, as that of a TOXSWA run that did not finish would, before the end of the "
            "application list (a blank line)");
}

TEST(LegacyReportReaderTest, TakesTheFirstOfEachAverageAndEveryOtherWindowOfTheBlock) {
  const std::string older = BuildOlderReport(OlderFixtureReport{});
  const std::string table = TableFields(ReadText(older));
  // Rows of the water layer's averages block, the figure ending at column 29.
  const std::string again =
      " TWAECsw7              99.999\n TWAECsw21             99.999\n TWAECsw4              99.999\n";
  const std::string lastRow = " TWAECsed21";
  const std::vector<std::string> all = {"water 1=45.93", "water 4=39.061", "water 100=2.771",
                                        "sediment 2=8.91"};
  const std::vector<std::string> without4 = {"water 1=45.93", "water 100=2.771", "sediment 2=8.91"};
  const struct {
    std::string what;
    std::string text;
    std::vector<std::string> windows;
  } cases[] = {
      {"as written", older, all},
      {"7, 21 and 4 days again", Replaced(older, " TWAECsw100", again + " TWAECsw100"), all},
      {"a letter after the days", Replaced(older, "TWAECsw4 ", "TWAECsw4x"), without4},
      {"no days", Replaced(older, "TWAECsw4 ", "TWAECsw  "), without4},
      {"a unit without \"in\"", Replaced(older, "in water layer in \xB5g", "in water layer \xB5g"), all},
      {"the file ends on the last average", older.substr(0, older.find('\n', older.find(lastRow))), all},
  };
  for (const auto& c : cases) {
    const ReportRecord record = ReadText(c.text);
    EXPECT_EQ(TableFields(record), table) << c.what;
    EXPECT_EQ(record.waterUnit, "\xB5g.L-1") << c.what;
    std::vector<std::string> windows;
    for (const TwaWindow& w : record.twaWindows) {
      char value[32];
      std::snprintf(value, sizeof value, "=%g", w.value);
      windows.push_back((w.sediment ? "sediment " : "water ") + std::to_string(w.days) + value);
    }
    EXPECT_EQ(windows, c.windows) << c.what;
  }
}

TEST(LegacyReportReaderTest, ReadsFiguresAsTodaysLayoutDoes) {
  const struct {
    std::string waterMax;
    std::string reason;  // "" when read
    double value;
  } cases[] = {
      {"1.25E-03", "", 0.00125},
      {"< 1E-06", "", 0},
      {"-", "", 0},
      {"*********", "line 36: the figure after \"Global max\" is not a number: \"*********\"", 0},
      {"NaN", "line 36: the figure after \"Global max\" is not a number: \"NaN\"", 0},
      {"-Infinity", "line 36: the figure after \"Global max\" is not a number: \"-Infinity\"", 0},
      {"1E999", "line 36: the figure \"1E999\" is too large for a number", 0},
  };
  for (const auto& c : cases) {
    OlderFixtureReport fixture;
    fixture.waterMax = c.waterMax;
    const std::string text = BuildOlderReport(fixture);
    EXPECT_EQ(FailureReason(text), c.reason) << c.waterMax;
    if (c.reason.empty()) {
      EXPECT_DOUBLE_EQ(ReadText(text).substances[0].PECsw_max, c.value) << c.waterMax;
    }
  }
  EXPECT_EQ(FailureReason(Replaced(BuildOlderReport(OlderFixtureReport{}), "   2.771", "********")),
            "line 52: the figure after \"TWAECsw100\" is not a number: \"********\"");
}

TEST(LegacyReportReaderTest, TellsTheLayoutByTheBannerOfTheFirstLines) {
  const std::string older = BuildOlderReport(OlderFixtureReport{});
  const std::string body = older.substr(older.find("* Run ID"));
  const std::string today = BuildReport(FixtureReport{});
  const std::string ofToday = ReadText(today).scenario;
  const struct {
    std::string what;
    std::string text;
    std::string scenario;  // "" when it fails with `reason`
    std::string reason;
  } cases[] = {
      {"TOXSWA 2 alone", "* TOXSWA v2.0.1\n" + body, "D5_Pond", ""},
      {"TOXSWA 2 at the start of the line", "TOXSWA v2.0.1\n" + body, "D5_Pond", ""},
      {"a banner word without its version first", "* TOXSWA vnext, TOXSWA v2.0.1\n" + body, "D5_Pond", ""},
      {"a second banner", "* FOCUS_TOXSWA v3.1.0\n* FOCUS_TOXSWA v2.2.1\n" + body, "D5_Pond", ""},
      {"today's version line after the banner",
       "* FOCUS_TOXSWA v3.1.0\n* FOCUS  TOXSWA version   : 5.5.3\n" + body, "D5_Pond", ""},
      {"banner on line 30", std::string(29, '\n') + "* FOCUS_TOXSWA v3.1.0\n" + body, "D5_Pond", ""},
      {"banner on line 31", std::string(30, '\n') + "* FOCUS_TOXSWA v3.1.0\n" + body, "", NotAReport()},
      {"FOCUS_TOXSWA 2", "* FOCUS_TOXSWA v2.2.1\n* TOXSWA v2.0.1\n" + body, "",
       "the report was written by FOCUS_TOXSWA v2.2.1, a layout this program does not read"},
      {"TOXSWA 1", "* TOXSWA v1.2\n" + body, "",
       "the report was written by TOXSWA v1.2, a layout this program does not read"},
      {"today's header without its scenario", WithoutLinesContaining(today, "* Scenario"), "",
       "the report was written by FOCUS TOXSWA 5.5.3, but it lacks the line \"* Scenario                :\""},
      {"today's report after the banner", "* FOCUS_TOXSWA v3.3.1\n" + today, ofToday, ""},
      {"a scenario line within the older header",
       older.substr(0, older.find(" Location")) + today + older.substr(older.find(" Location")), ofToday, ""},
      {"a scenario line after the older header", older + today, "D5_Pond", ""},
      {"a line too long in the older header",
       older.substr(0, older.find(" Location")) + std::string(2 << 20, 'x') + "\n" + today, "",
       "line 11 is longer than 1 MiB: the file does not look like a TOXSWA summary report"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureReason(c.text), c.reason) << c.what;
    if (c.reason.empty()) {
      const ReportRecord record = ReadText(c.text);
      EXPECT_EQ(record.scenario, c.scenario) << c.what;
      if (c.scenario == ofToday) {
        EXPECT_EQ(record.version, "") << c.what;
        // The older reader's windows are forgotten: only today's own remain.
        EXPECT_EQ(record.twaWindows.size(), ReadText(today).twaWindows.size()) << c.what;
        EXPECT_EQ(Dates(record), std::vector<std::string>{"14-Nov-1978-09h00"}) << c.what;
      }
    }
  }
  // Without the older header, a scenario line anywhere is read as before.
  EXPECT_EQ(ReadText(WithoutLinesContaining(older, "Type of water body") + today).scenario, ofToday);
}

}  // namespace
}  // namespace quillmere
