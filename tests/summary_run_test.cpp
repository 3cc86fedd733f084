#include "summary/summary_run.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildOlderProjectReport;
using quillmere::testing::BuildOlderReport;
using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::NotAReport;
using quillmere::testing::OlderFixtureReport;
using quillmere::testing::ReadFile;
using quillmere::testing::ScenarioReport;
using quillmere::testing::ScratchDirectory;

const std::string& kHeader = quillmere::testing::kTableHeader;

using quillmere::testing::RowNames;

TEST(SummaryRunTest, WritesTheHeaderAloneForADirectoryWithoutRuns) {
  ScratchDirectory scratch;
  scratch.Write("Summary.txt", "an old table that is emptied\r\n");
  scratch.Write("notes.txt", "x");
  scratch.MakeFolder("run-without-reports/toxswa");
  scratch.MakeFolder("run-without-toxswa/other");
  scratch.Write("run-with-other-files/toxswa/run.txt", "x");
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(outcome.status, RunStatus::kWritten);
  EXPECT_EQ(outcome.tablePath, scratch / "Summary.txt");
  EXPECT_EQ(outcome.reports, 0u);
  EXPECT_EQ(outcome.rows, 0u);
  EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kHeader);
}

TEST(SummaryRunTest, WarnsWhenNoReportIsFoundAndWhereTheRunsProbablyAre) {
  const std::string lookedFor = " (it looks for *.sum files in a toxswa folder of each run folder)";
  const std::string runFolderHint =
      "; it holds a toxswa folder itself, so it is probably a run folder and the folder of the runs is one "
      "level up";
  const std::string reportFolderHint =
      "; it holds .sum files itself, so it is probably a toxswa folder and the folder of the runs is two "
      "levels up";
  struct Case {
    std::string chosen;  // relative to the tree below
    std::string hint;    // after what was looked for; no warning at all when "-"
  } cases[] = {
      {"empty", ""},
      {"runs", "-"},
      {"runs-without-reports", ""},
      {"runs/run", runFolderHint},
      {"runs/RUN2", runFolderHint},
      {"runs/run/toxswa", reportFolderHint},
      {"runs/RUN2/TOXSWA", reportFolderHint},
  };
  ScratchDirectory scratch;
  scratch.MakeFolder("empty");
  scratch.MakeFolder("runs-without-reports/run/toxswa");
  scratch.Write("runs-without-reports/run/toxswa/notes.txt", "x");
  scratch.Write("runs/run/toxswa/a.sum", ScenarioReport("S"));
  scratch.Write("runs/RUN2/TOXSWA/a.SUM", ScenarioReport("S"));
  for (const Case& c : cases) {
    const std::string chosen = scratch / c.chosen;
    const SummaryOutcome outcome = SummaryRun(chosen);
    EXPECT_EQ(outcome.status, RunStatus::kWritten) << c.chosen;
    EXPECT_EQ(outcome.warning,
              c.hint == "-" ? "" : "no report was found under " + chosen + lookedFor + c.hint)
        << c.chosen;
  }
}

TEST(SummaryRunTest, ReportsItsProgressPerRunFolderAndPerReport) {
  ScratchDirectory scratch;
  scratch.Write("a/toxswa/1.sum", ScenarioReport("S"));
  scratch.Write("a/toxswa/2.sum", ScenarioReport("S"));
  scratch.MakeFolder("b");
  scratch.Write("c/toxswa/1.sum", ScenarioReport("S"));
  scratch.Write("notes.txt", "not a run folder");
  std::vector<std::string> seen;
  SummaryOptions options;
  options.progress = [&seen](const SummaryProgress& progress) {
    seen.push_back(std::to_string(progress.reports) + " " + std::to_string(progress.runFoldersDone) + "/" +
                   std::to_string(progress.runFolders));
  };
  EXPECT_EQ(SummaryRun(scratch.path(), options).status, RunStatus::kWritten);
  EXPECT_EQ(seen, (std::vector<std::string>{"0 1/3", "1 1/3", "2 1/3", "2 2/3", "2 3/3", "3 3/3"}));
}

TEST(SummaryRunTest, StopsAtABadReportKeepingTheRowsBeforeIt) {
  ScratchDirectory scratch;
  scratch.Write("run1/toxswa/a.sum", ScenarioReport("S1"));
  scratch.Write("run1/toxswa/b.sum", ScenarioReport("S2"));
  scratch.Write("run2/toxswa/a.sum", ScenarioReport("S3"));
  scratch.Write("run2/toxswa/b.sum", "* an older layout without the header markers\r\n");
  scratch.Write("run3/toxswa/a.sum", ScenarioReport("S4"));

  // A directory named with a separator at its end: no path doubles it.
  const SummaryOutcome outcome = SummaryRun(scratch.path() + kPathSeparator);
  EXPECT_EQ(outcome.status, RunStatus::kReportFailure);
  EXPECT_EQ(outcome.tablePath, scratch / "Summary.txt");
  EXPECT_EQ(outcome.failedPath, scratch / "run2/toxswa/b.sum");
  EXPECT_EQ(outcome.message, "Problem with file " + (scratch / "run2/toxswa/b.sum") + "!" +
                                 std::string(kMessageLineBreak) + " Please check!");
  EXPECT_EQ(outcome.reason, NotAReport());
  EXPECT_EQ(outcome.reports, 3u);
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")),
            (std::vector<std::string>{"run1/a.sum", "run1/b.sum", "run2/a.sum"}));
}

TEST(SummaryRunTest, WritesZerosForAReportWithoutSubstances) {
  ScratchDirectory scratch;
  FixtureReport empty;
  empty.substances.clear();
  FixtureReport full;
  full.scenario = "Full";
  // The same report slot held substances in the run folder before.
  scratch.Write("a/toxswa/1.sum", BuildReport(full));
  scratch.Write("b/toxswa/1.sum", BuildReport(empty));
  ASSERT_EQ(SummaryRun(scratch.path()).status, RunStatus::kWritten);
  const std::string table = ReadFile(scratch / "Summary.txt");
  EXPECT_NE(table.find("\r\nb\t1.sum\tR1_Stream\t\t0\t0\t0\t0\t0\t0\t\t\t14-Nov-1978-09h00\r\n"),
            std::string::npos)
      << table;
}

TEST(SummaryRunTest, LabelsOlderReportsByTheProjectReportOfTheirRunFolder) {
  const std::string watercourse = "watercourse (ditch / small stream)";
  const struct {
    std::string runFolder;
    std::string runId;
    std::string waterBody;
    std::string projectSays;  // "" for a run folder without a project report
    std::string scenario;
  } cases[] = {
      {"a-project-ditch", "00002x_wr", watercourse, "focus_ditch", "D5_Ditch"},
      {"b-project-stream", "00002d_wr", watercourse, "focus_stream", "D5_Stream"},
      {"c-no-project-ditch", "00004d_wr", watercourse, "", "D5_Ditch"},
      // Two reports of one run folder ask its project report: the first
      // *_report.txt there is no project report, the second answers both.
      {"c2-shared", "00011x_wr", watercourse, "focus_ditch", "D5_Ditch"},
      {"c2-shared", "00012x_wr", watercourse, "focus_stream", "D5_Stream"},
      {"d-no-project-stream", "00005s_wr", watercourse, "", "D5_Stream"},
      {"e-no-project-unknown", "run5", watercourse, "", "D5_Watercourse"},
      {"f-pond", "00001p_wr", "pond", "focus_ditch", "D5_Pond"},
  };
  ScratchDirectory scratch;
  std::vector<std::string> expected;
  std::map<std::string, std::vector<quillmere::testing::OlderProjectRun>> projects;
  for (const auto& c : cases) {
    OlderFixtureReport report;
    report.runId = c.runId;
    report.waterBody = c.waterBody;
    scratch.Write(c.runFolder + "/toxswa/" + c.runId + ".sum", BuildOlderReport(report));
    if (!c.projectSays.empty()) projects[c.runFolder].push_back({c.runId, "D5", c.projectSays});
    expected.push_back(
        c.runFolder + "\t" + c.runId + ".sum\t" + c.scenario + "\tQm_acid\t47.206\t31.774\t" +
        "12.405\t8.913\t8.851\t8.512\t03-Apr-1987 11:00\t19-Apr-1987 02:00\t02-Apr-1987 09:00");
  }
  for (auto& [runFolder, runs] : projects) {
    runs.insert(runs.begin(), {"00009d_wr", "D3", "focus_pond"});
    scratch.Write(runFolder + "/check_report.txt", BuildOlderProjectReport(runs));
  }
  scratch.Write("c2-shared/a_report.txt", "a report of something else\n");
  // Both layouts in one run folder, with today's report after the older.
  scratch.Write("f-pond/toxswa/zz.sum", ScenarioReport("D5_Pond"));
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  ASSERT_EQ(outcome.status, RunStatus::kWritten) << outcome.reason;
  std::vector<std::string> rows = quillmere::testing::DataRows(ReadFile(scratch / "Summary.txt"));
  ASSERT_EQ(rows.size(), expected.size() + 1);
  EXPECT_TRUE(rows.back().starts_with("f-pond\tzz.sum\tD5_Pond2\tEXSW2\t39.57\t")) << rows.back();
  rows.pop_back();
  EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace quillmere
