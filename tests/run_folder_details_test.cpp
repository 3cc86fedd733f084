#include "summary/run_folder_details.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/report_reading.h"
#include "tests/run_folder_fixtures.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BufferDrift;
using quillmere::testing::FixtureRun;
using quillmere::testing::FixtureSwanLog;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::SwanLogText;
using quillmere::testing::SwashLayout;
using quillmere::testing::SwashProjectReportText;

std::string TrialLog() {
  FixtureSwanLog log;
  log.runOffMode = "VfsMod";
  log.runOffSettings = {"Filter strip buffer width:              5"};
  log.runOffFiles = {"00042-C1.p2t"};
  log.driftSettings = BufferDrift("10", "50");
  log.driftFiles = {"41.txw", "42.txw"};
  return SwanLogText(log);
}

std::string TrialReport() {
  return SwashProjectReportText(SwashLayout::kVersion5,
                                {{"41",
                                  "",
                                  "Sugar beets",
                                  "D3_Ditch",
                                  "",
                                  "ground spray",
                                  "1-Jun /1-Jun/1",
                                  {{"1", "0.2000", "2.758", "0.552"}}},
                                 {"42",
                                  "",
                                  "Sugar beets",
                                  "R1_Pond",
                                  "",
                                  "ground spray",
                                  "1-Jun /15-Jun/14",
                                  {{"1", "0.2000", "0.140", "0.028"}, {"2", "0.1000", "0.140", "0.014"}}}});
}

// A run folder with `files`, and its toxswa folder as the run finds it.
std::string RunFolder(const ScratchDirectory& scratch,
                      const std::vector<std::pair<std::string, std::string>>& files) {
  scratch.MakeFolder("run/toxswa");
  scratch.Write("run/toxswa/41.sum", "not read here");
  for (const auto& [name, bytes] : files) scratch.Write("run/" + name, bytes);
  return scratch / "run";
}

struct Cells {
  std::string mitigation, crop, application;
};

Cells CellsOf(const RunFolderDetails& details, const std::string& reportFile) {
  return {details.Mitigation(reportFile), details.Crop(reportFile), details.Application(reportFile)};
}

TEST(RunFolderDetailsTest, GivesEachReportItsMitigationCropAndApplication) {
  ScratchDirectory scratch;
  // Only the first project report is read: the second, broken, says nothing.
  const RunFolderDetails details = ReadRunFolderDetails(RunFolder(
      scratch, {{"swan_LOG.txt", TrialLog()},
                {"Trial_report.txt", TrialReport()},
                {"Zz_report.txt", quillmere::testing::Replaced(TrialReport(), "0.2000", "0.2 kg")}}));
  EXPECT_TRUE(details.problems().empty());
  struct Case {
    std::string report;
    Cells cells;
  };
  const Case cases[] = {
      {"41.sum",
       {"drift: buffer 10 m, nozzles 50 %", "Sugar beets", "ground spray, 1 x 0.2000 kg/ha, 1-Jun /1-Jun/1"}},
      {"42.sum",
       {"drift: buffer 10 m, nozzles 50 %; run-off: VFS 5 m", "Sugar beets",
        "ground spray, 2 x (0.2000, 0.1000 kg/ha), 1-Jun /15-Jun/14"}},
      {"0042.SUM",
       {"drift: buffer 10 m, nozzles 50 %; run-off: VFS 5 m", "Sugar beets",
        "ground spray, 2 x (0.2000, 0.1000 kg/ha), 1-Jun /15-Jun/14"}},
      {"43.sum", {"", "", ""}},
      {".sum", {"", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    const Cells cells = CellsOf(details, c.report);
    EXPECT_EQ(cells.mitigation, c.cells.mitigation);
    EXPECT_EQ(cells.crop, c.cells.crop);
    EXPECT_EQ(cells.application, c.cells.application);
  }
  EXPECT_EQ(details.RunFolderMitigation(),
            "drift: buffer 10 m, nozzles 50 % (runs 41, 42); run-off: VFS 5 m (run 42)");
}

TEST(RunFolderDetailsTest, LeavesEverythingEmptyWithoutAWordWhenTheFilesAreNotThere) {
  ScratchDirectory scratch;
  const std::vector<std::vector<std::pair<std::string, std::string>>> folders{
      {},
      {{"notes_report.txt", "a report of something else\n"}, {"SWAN_log.txt.old", TrialLog()}},
  };
  for (const auto& files : folders) {
    ScratchDirectory folder;
    const RunFolderDetails details = ReadRunFolderDetails(RunFolder(folder, files));
    EXPECT_TRUE(details.problems().empty());
    EXPECT_FALSE(details.swanLog());
    EXPECT_FALSE(details.projectReport());
    EXPECT_EQ(details.Mitigation("41.sum"), "");
    EXPECT_EQ(details.Crop("41.sum"), "");
    EXPECT_EQ(details.Application("41.sum"), "");
    EXPECT_EQ(details.RunFolderMitigation(), "");
  }
}

TEST(RunFolderDetailsTest, NamesTheFileAndTheLineItDidNotUnderstandAndKeepsTheOther) {
  std::string badReport = TrialReport();
  badReport.replace(badReport.find("0.2000"), 6, "0.2 kg");
  std::string badLog = TrialLog();
  badLog.replace(badLog.find("Select buffer width: Yes"), 24, "Select buffer width: Oui");
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string problemFile;
    std::size_t line;
    bool logRead, reportRead;
  };
  const Case cases[] = {
      {"report",
       {{"SWAN_log.txt", TrialLog()}, {"Trial_report.txt", badReport}},
       "Trial_report.txt",
       22,
       true,
       false},
      {"log",
       {{"SWAN_log.txt", badLog}, {"Trial_report.txt", TrialReport()}},
       "SWAN_log.txt",
       42,
       false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory scratch;
    const RunFolderDetails details = ReadRunFolderDetails(RunFolder(scratch, c.files));
    ASSERT_EQ(details.problems().size(), 1u);
    const RunFolderProblem& problem = details.problems()[0];
    EXPECT_EQ(problem.path, scratch / ("run/" + c.problemFile));
    EXPECT_EQ(problem.line, c.line);
    EXPECT_EQ(Describe(problem).rfind(problem.path + ": line " + std::to_string(c.line) + ": ", 0), 0u)
        << Describe(problem);
    EXPECT_EQ(details.swanLog().has_value(), c.logRead);
    EXPECT_EQ(details.projectReport().has_value(), c.reportRead);
    EXPECT_EQ(details.Mitigation("42.sum").empty(), !c.logRead);
    EXPECT_EQ(details.Crop("42.sum").empty(), !c.reportRead);
  }
}

TEST(RunFolderDetailsTest, NamesAFolderItCannotList) {
  ScratchDirectory scratch;
  const RunFolderDetails details = ReadRunFolderDetails(scratch / "gone");
  ASSERT_EQ(details.problems().size(), 1u);
  EXPECT_EQ(details.problems()[0].path, scratch / "gone");
  EXPECT_EQ(details.problems()[0].line, 0u);
}

}  // namespace
}  // namespace quillmere
