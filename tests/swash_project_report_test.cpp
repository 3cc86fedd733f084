#include "summary/swash_project_report.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/report_reading.h"
#include "tests/run_folder_fixtures.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::FixtureRun;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::SwashLayout;
using quillmere::testing::SwashProjectReportText;

// Three runs: one of three rates, one with a window written with a space, one
// whose crop holds a slash and a Latin-1 byte.
std::vector<FixtureRun> TrialRuns(SwashLayout layout) {
  const bool five = layout == SwashLayout::kVersion5;
  return {
      {five ? "7" : "00007d_pa",
       "00007",
       "Potatoes",
       five ? "D3_Ditch" : "D3",
       "focus_ditch",
       "air blast",
       "02-May/30-Jun/14",
       {{"1", "2.5000", "8.022", "20.055"},
        {"2", "1.2500", "8.022", "10.028"},
        {"3", "0.0100", "8.022", "0.080"}}},
      {five ? "12" : "00012s_pa",
       "00012",
       "Vines, late applns",
       five ? "R3_Stream" : "R3",
       "focus_stream",
       "ground spray",
       "3-Aug /31-Aug/10",
       {{"1", "0.3000", "2.771", "0.831"}}},
      {five ? "13" : "00013p_pa",
       "00012",
       "Pome/stone fr.\xe9",
       five ? "D5_Pond" : "D5",
       "focus_pond",
       "aerial appln",
       "1-Apr/1-Apr/1",
       {{"1", "1.0000", "0.219", "0.219"}}},
  };
}

// The project report of TrialRuns in `layout`.
std::string TrialReport(SwashLayout layout, const std::string& lineEnd = "\r\n") {
  return SwashProjectReportText(layout, TrialRuns(layout), lineEnd);
}

struct LayoutCase {
  SwashLayout layout;
  std::string lineEnd;
  std::string name;
};

class SwashLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SwashLayoutTest, ReadsEveryRunWithItsApplicationsAsWritten) {
  const LayoutCase& param = GetParam();
  const std::vector<FixtureRun> expected = TrialRuns(param.layout);
  const SwashReading reading = ReadSwashProjectReportText(
      SwashProjectReportText(param.layout, expected, param.lineEnd), "p_report.txt");
  ASSERT_TRUE(reading.report) << reading.problem;
  EXPECT_EQ(reading.report->path, "p_report.txt");
  const std::vector<SwashRun>& runs = reading.report->runs;
  ASSERT_EQ(runs.size(), expected.size());
  const bool five = param.layout == SwashLayout::kVersion5;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(runs[i].id, expected[i].id);
    EXPECT_EQ(runs[i].macroPrzm, five ? "" : expected[i].macroPrzm);
    EXPECT_EQ(runs[i].crop, expected[i].crop);
    EXPECT_EQ(runs[i].scenario, expected[i].scenario);
    EXPECT_EQ(runs[i].waterBody, five ? "" : expected[i].waterBody);
    EXPECT_EQ(runs[i].method, expected[i].method);
    EXPECT_EQ(runs[i].window, expected[i].window);
    ASSERT_EQ(runs[i].applications.size(), expected[i].applications.size());
    for (std::size_t a = 0; a < runs[i].applications.size(); ++a) {
      EXPECT_EQ(runs[i].applications[a].number, expected[i].applications[a].number);
      EXPECT_EQ(runs[i].applications[a].rate, expected[i].applications[a].rate);
      EXPECT_EQ(runs[i].applications[a].deposition, expected[i].applications[a].deposition);
      EXPECT_EQ(runs[i].applications[a].massLoading, expected[i].applications[a].massLoading);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothLayoutsAndLineEnds, SwashLayoutTest,
                         ::testing::Values(LayoutCase{SwashLayout::kVersion5, "\r\n", "Swash5CrLf"},
                                           LayoutCase{SwashLayout::kVersion5, "\n", "Swash5Lf"},
                                           LayoutCase{SwashLayout::kVersion3, "\n", "Swash3Lf"},
                                           LayoutCase{SwashLayout::kVersion3, "\r", "Swash3Cr"}),
                         [](const ::testing::TestParamInfo<LayoutCase>& param) { return param.param.name; });

TEST(SwashProjectReportTest, FindsARunByItsReportNameWithoutCaseOrLeadingZeros) {
  const SwashReading reading = ReadSwashProjectReportText(TrialReport(SwashLayout::kVersion3));
  ASSERT_TRUE(reading.report);
  const SwashReading five = ReadSwashProjectReportText(TrialReport(SwashLayout::kVersion5));
  ASSERT_TRUE(five.report);
  struct Case {
    const SwashProjectReport& report;
    std::string id;
    std::string crop;  // "" for no run
  };
  const Case cases[] = {
      {*reading.report, "00012s_pa", "Vines, late applns"},
      {*reading.report, "00012S_PA", "Vines, late applns"},
      {*reading.report, "00012", ""},
      {*five.report, "12", "Vines, late applns"},
      {*five.report, "012", "Vines, late applns"},
      {*five.report, "1", ""},
      {*five.report, "", ""},
  };
  for (const Case& c : cases) {
    const SwashRun* run = c.report.Run(c.id);
    EXPECT_EQ(run == nullptr ? "" : run->crop, c.crop) << c.id;
  }
}

TEST(SwashProjectReportTest, NamesTheLineOfWhatItDoesNotUnderstand) {
  const std::string good = TrialReport(SwashLayout::kVersion5, "\n");
  // Run 7 is on lines 22 to 24, run 12 on line 26.
  const auto replaced = [&good](std::string_view from, std::string_view to) {
    return quillmere::testing::Replaced(good, from, to);
  };
  // One application more than any project holds, on the last line added
  // under run 12; the fixture has four above run 13.
  std::string many = good;
  const std::string application =
      "      *" + std::string(90, ' ') + "2  1.0000       0.154           0.154\n";
  std::string added;
  for (int i = 0; i < 100000 - 4 + 1; ++i) added += application;
  many.insert(many.find('\n', many.find("* 12 ")) + 1, added);
  const quillmere::testing::RefusedFile cases[] = {
      {"empty", "", 0, "the file is empty"},
      {"no marker", "just\nsome\nlines\n", 3, "not a SWASH project report"},
      {"marker too late", std::string(10, '\n') + good, 10, "not a SWASH project report"},
      {"no column header", replaced("-ID", "-Id"), 31, "no table of created runs"},
      {"no scenario label", replaced("Scenario", "Scene---"), 19, "no \"Scenario\""},
      {"rate not a number", replaced("2.5000", "2.5kg "), 22, "no application number, rate"},
      {"second rate not a number", replaced("1.2500", "1,2500"), 23, "no application number, rate"},
      {"no window", replaced("02-May/30-Jun/14", "02-May-30-Jun-14"), 22, "no window"},
      {"too few fields", replaced("      * 7 ", "      * 8 Maize 1 1.0 1.0 1.0\n      * 7 "), 22,
       "too few fields"},
      {"same run twice", replaced("* 12 ", "* 7  "), 26, "run 7 is listed twice (first on line 22)"},
      {"application number not whole", replaced("2  1.2500", "b  1.2500"), 23, "no application number"},
      {"deposition not a number", replaced("2.771", "2.77%"), 26, "no application number, rate, deposition"},
      {"mass loading not a number", replaced("0.831", "0.83g"), 26,
       "no application number, rate, deposition"},
      {"one slash of the window", replaced("3-Aug /31-Aug/10", "3-Aug 31-Aug 10"), 26, "no window"},
      {"no method", replaced("ground spray   3-Aug", "               3-Aug"), 26,
       "no application method before the window"},
      {"no scenario under its label", replaced("R3_Stream", "         "), 26,
       "no scenario under the column header's \"Scenario\""},
      {"too many applications", many, 26 + 100000 - 4 + 1, "more than 100000 applications"},
  };
  quillmere::testing::ExpectRefused(
      cases, [](const std::string& text) { return ReadSwashProjectReportText(text); }, &SwashReading::report);
}

TEST(SwashProjectReportTest, TakesNoApplicationBeforeTheFirstRun) {
  std::string text = SwashProjectReportText(SwashLayout::kVersion5, {}, "\n");
  const std::size_t end = text.rfind('\n', text.find("Surface WAter")) + 1;
  text.insert(end, "      *" + std::string(90, ' ') + "1  1.0000       0.154           0.154\n");
  const SwashReading reading = ReadSwashProjectReportText(text);
  EXPECT_FALSE(reading.report);
  EXPECT_EQ(reading.problem, "line 22: an application without a run above it");
}

TEST(SwashProjectReportTest, ReadsATableWithoutRuns) {
  const SwashReading reading = ReadSwashProjectReportText(SwashProjectReportText(SwashLayout::kVersion3, {}));
  ASSERT_TRUE(reading.report) << reading.problem;
  EXPECT_TRUE(reading.report->runs.empty());
}

TEST(SwashProjectReportTest, GivesTheCropAndTheApplicationForTheWorkbook) {
  const SwashReading reading = ReadSwashProjectReportText(TrialReport(SwashLayout::kVersion5));
  ASSERT_TRUE(reading.report);
  const std::vector<SwashRun>& read = reading.report->runs;
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(CropText(read[2]), "Pome/stone fr.\xe9");
  EXPECT_EQ(ApplicationText(read[0]), "air blast, 3 x (2.5000, 1.2500, 0.0100 kg/ha), 02-May/30-Jun/14");
  EXPECT_EQ(ApplicationText(read[1]), "ground spray, 1 x 0.3000 kg/ha, 3-Aug /31-Aug/10");
}

TEST(SwashProjectReportTest, FindsTheFirstReportFileThatSaysItIsOne) {
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string found;  // "" for none
  };
  const std::string report = TrialReport(SwashLayout::kVersion5);
  const Case cases[] = {
      {"none", {}, ""},
      {"other files only", {{"notes.txt", report}, {"a_report.txt.bak", report}}, ""},
      {"one", {{"Trial_report.txt", report}}, "Trial_report.txt"},
      {"any case", {{"TRIAL_REPORT.TXT", report}}, "TRIAL_REPORT.TXT"},
      {"a report of something else first",
       {{"a_report.txt", "Some other report\n"}, {"b_report.txt", report}},
       "b_report.txt"},
      {"the first of two", {{"b_report.txt", report}, {"c_report.txt", report}}, "b_report.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory scratch;
    scratch.MakeFolder("run");
    for (const auto& [name, bytes] : c.files) scratch.Write("run/" + name, bytes);
    const std::optional<std::string> found = FindSwashProjectReport(scratch / "run");
    EXPECT_EQ(found.value_or(""), c.found.empty() ? "" : scratch / ("run/" + c.found));
  }
  ScratchDirectory scratch;
  EXPECT_FALSE(FindSwashProjectReport(scratch / "missing"));
  scratch.MakeFolder("run/x_report.txt");
  EXPECT_FALSE(FindSwashProjectReport(scratch / "run"));
}

TEST(SwashProjectReportTest, SaysWhyAFileCouldNotBeRead) {
  ScratchDirectory scratch;
  const SwashReading reading = ReadSwashProjectReport(scratch / "absent_report.txt");
  EXPECT_FALSE(reading.report);
  EXPECT_NE(reading.problem.find("cannot open"), std::string::npos) << reading.problem;
}

TEST(SwashProjectReportTest, PassesOverBlankLinesTrailingBlanksAndHeaderWordsOutsideTheHeader) {
  std::string text = quillmere::testing::Replaced(TrialReport(SwashLayout::kVersion5, "\n"),
                                                  "runs made up by hand", "runs-ID made up by hand");
  text = quillmere::testing::Replaced(text, "0.831\n", "0.831   \n\n");
  const SwashReading reading = ReadSwashProjectReportText(text);
  ASSERT_TRUE(reading.report) << reading.problem;
  ASSERT_EQ(reading.report->runs.size(), 3u);
  EXPECT_EQ(ApplicationText(reading.report->runs[1]), "ground spray, 1 x 0.3000 kg/ha, 3-Aug /31-Aug/10");
  EXPECT_EQ(reading.report->runs[1].applications[0].massLoading, "0.831");
  // A run without a method or a window (as no report read gives) says
  // only its applications.
  SwashRun bare = reading.report->runs[1];
  bare.method.clear();
  bare.window.clear();
  EXPECT_EQ(ApplicationText(bare), "1 x 0.3000 kg/ha");
}

}  // namespace
}  // namespace quillmere
