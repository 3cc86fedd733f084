// Summary.xlsx read back with a reader not written here (openpyxl, through
// tests/workbook/dump_workbook.py): its cells against the text table, the
// comparison sheet, the refusals and failures that leave it alone, and the
// temporary file its rows wait in failing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/number.h"
#include "tests/command_line_capture.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/run_folder_fixtures.h"
#include "tests/scratch_directory.h"
#include "workbook/workbook.h"
#include "workbook/workbook_file.h"

namespace quillmere {
namespace {

using quillmere::testing::BufferDrift;
using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::FailedCall;
using quillmere::testing::FailingSystem;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::FixtureSwanLog;
using quillmere::testing::ReadFile;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::SwanLogText;
using quillmere::testing::SwashLayout;
using quillmere::testing::SwashProjectReportText;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// The workbook's cells by "Sheet!A1": type, value (JSON) and the extras
// ("link=...", "comment=...", "fill=...", "format=...").
struct Workbook {
  std::map<std::string, std::vector<std::string>> cells;
  std::vector<std::string> sheets;  // the lines describing each sheet
  std::string dump;

  std::string Value(const std::string& cell) const { return Field(cell, 1); }
  std::string Type(const std::string& cell) const { return Field(cell, 0); }
  std::string Extra(const std::string& cell, const std::string& key) const {
    const auto found = cells.find(cell);
    if (found == cells.end()) return "(empty)";
    for (std::size_t i = 2; i < found->second.size(); ++i) {
      if (found->second[i].starts_with(key + "=")) return found->second[i].substr(key.size() + 1);
    }
    return "(none)";
  }
  std::string Field(const std::string& cell, std::size_t field) const {
    const auto found = cells.find(cell);
    return found == cells.end() ? "(empty)" : found->second.at(field);
  }
};

// A cell ("B2") and its value as JSON.
struct CellValue {
  std::string cell, value;
};

std::string DumpWorkbook(const std::string& path) {
  const std::string command =
      std::string(QUILLMERE_PYTHON) + " " + QUILLMERE_DUMP_WORKBOOK + " '" + path + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0) << command;
  return out;
}

Workbook ReadWorkbook(const std::string& path) {
  Workbook book;
  book.dump = DumpWorkbook(path);
  for (const std::string& line : Split(book.dump, '\n')) {
    std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() == 1) {
      if (line.find(" rule ") == std::string::npos) book.sheets.push_back(line);
    } else {
      const std::string cell = fields.front();
      fields.erase(fields.begin());
      book.cells[cell] = fields;
    }
  }
  return book;
}

// The workbook's cells but the time it was written.
std::map<std::string, std::vector<std::string>> TimelessCells(const std::string& path) {
  Workbook book = ReadWorkbook(path);
  book.cells.erase("About!B3");
  return book.cells;
}

// quillmere-summary --workbook with `options` over the scratch directory, and
// the workbook it wrote.
Workbook RunAndRead(const ScratchDirectory& scratch, std::vector<std::string> options = {}) {
  options.insert(options.begin(), "--workbook");
  options.push_back(scratch.path());
  const CommandLineResult result = RunCli(options);
  EXPECT_EQ(result.status, 0) << result.err;
  return ReadWorkbook(scratch / "Summary.xlsx");
}

// What the run says after its reason when the table is whole and the
// workbook left alone.
std::string TableCompleteWorkbookKept(const std::string& directory) {
  return "; " + directory + "/Summary.txt is complete, " + directory + "/Summary.xlsx is left as it was\n";
}

class WorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system((std::string(QUILLMERE_PYTHON) + " -c 'import openpyxl' 2>/dev/null").c_str()) != 0) {
      GTEST_SKIP() << "python3-openpyxl is missing";
    }
  }
};

// A report whose water maximum falls on its application date, of a run-off
// scenario: the maximum came by drift.
FixtureReport DriftReport() {
  FixtureReport report;
  report.scenario = "R1_Stream";
  report.substances[0].waterMaxDate = "14-Nov-1978-09h00";
  return report;
}

TEST_F(WorkbookTest, HoldsTheTableAsTypedCells) {
  ScratchDirectory scratch;
  FixtureReport drainage;
  drainage.scenario = "D4_Pond";
  drainage.waterBodyType = "D4_POND";
  FixtureSubstance acid;
  acid.name = "S\xE4ure";  // Windows-1252
  acid.waterMax = "1.234567890E-05";
  acid.waterTwa7 = "0.1234567890123";
  acid.waterMaxDate = "31-Feb-1979-02h00";  // no such day: stays text
  drainage.substances.push_back(acid);
  drainage.applicationDates = {"02-Apr-1985-09h00", "16-Apr-1985-09h00", "30-Apr-1985-09h00"};
  scratch.Write("Baseline/toxswa/00001_D4_Pond.sum", BuildReport(drainage));
  scratch.Write("Baseline/toxswa/00002_R1_Stream.sum", BuildReport(DriftReport()));
  FixtureReport runOff;
  runOff.substances[0].waterMax = "123456";
  scratch.Write(
      "Puffer-Gr\xC3\xB6\xC3\x9F"
      "e/toxswa/00003_R1_Stream.sum",
      BuildReport(runOff));
  FixtureReport lake;
  lake.scenario = "Lake";
  lake.waterBodyType.clear();  // the column falls back on the scenario label, which has no "_"
  scratch.Write("\xE7\xB7\xA9\xE8\xA1\x9D/toxswa/a b#1.sum", BuildReport(lake));

  const CommandLineResult result = RunCli({"--workbook", scratch.path()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Wrote " + scratch.path() + "/Summary.xlsx\nWrote " + scratch.path() +
                            "/Summary.txt: 4 reports, 5 rows\n");
  const Workbook book = ReadWorkbook(scratch / "Summary.xlsx");
  EXPECT_EQ(book.sheets,
            (std::vector<std::string>{"Summary freeze=A2 filter=A1:Y6", "Compare freeze=None filter=None",
                                      "About freeze=None filter=None"}));
  const CellValue header[] = {{"A1", "\"ID\""},         {"B1", "\"Mitigation\""},
                              {"E1", "\"PECsw_max\""},  {"M1", "\"AppDate\""},
                              {"N1", "\"AppDate 2\""},  {"O1", "\"AppDate 3\""},
                              {"P1", "\"Water body\""}, {"Q1", "\"Entry route (estimated)\""}};
  for (const auto& c : header) EXPECT_EQ(book.Value("Summary!" + c.cell), c.value) << c.cell;

  // Every figure is a number cell equal to the table's figure.
  const std::vector<std::string> lines = Split(ReadFile(scratch / "Summary.txt"), '\n');
  ASSERT_EQ(lines.size(), 6u);
  for (std::size_t row = 2; row <= 6; ++row) {
    const std::vector<std::string> fields = Split(lines[row - 1].substr(0, lines[row - 1].size() - 1), '\t');
    for (std::size_t column = 4; column < 10; ++column) {
      const std::string cell =
          "Summary!" + std::string(1, static_cast<char>('A' + column)) + std::to_string(row);
      ASSERT_EQ(book.Type(cell), "n") << cell;
      EXPECT_EQ(ToText(std::strtod(book.Value(cell).c_str(), nullptr)), fields[column]) << cell;
    }
  }
  const struct {
    std::string cell, type, value;
  } cells[] = {
      {"A2", "s", "\"Baseline\""},
      {"B2", "s", "\"00001_D4_Pond.sum\""},
      {"D3", "s", "\"S\xC3\xA4ure\""},
      {"E3", "n", "1.23456789e-05"},
      {"F3", "n", "0.1234567890123"},
      {"K2", "d", "\"1978-11-25T02:00:00\""},
      {"K3", "s", "\"31-Feb-1979-02h00\""},
      {"L2", "d", "\"1978-11-25T11:00:00\""},
      {"M2", "d", "\"1985-04-02T09:00:00\""},
      {"O2", "d", "\"1985-04-30T09:00:00\""},
      {"M3", "(empty)", "(empty)"},
      {"P2", "s", "\"Pond\""},
      {"Q2", "s", "\"Drainage\""},
      {"Q3", "s", "\"Drainage\""},
      {"Q4", "s", "\"Drift\""},
      {"A5", "s",
       "\"Puffer-Gr\xC3\xB6\xC3\x9F"
       "e\""},
      {"E5", "n", "123456"},
      {"Q5", "s", "\"Run-off\""},
      {"A6", "s", "\"\xE7\xB7\xA9\xE8\xA1\x9D\""},
      {"B6", "s", "\"a b#1.sum\""},
      {"P6", "(empty)", "(empty)"},
      {"Q6", "(empty)", "(empty)"},
  };
  for (const auto& c : cells) {
    EXPECT_EQ(book.Type("Summary!" + c.cell), c.type) << c.cell;
    EXPECT_EQ(book.Value("Summary!" + c.cell), c.value) << c.cell;
  }
  EXPECT_EQ(book.Extra("Summary!K2", "format"), "dd-mmm-yyyy hh:mm");
  EXPECT_EQ(book.Extra("Summary!B2", "link"),
            "file://" + scratch.path() + "/Baseline/toxswa/00001_D4_Pond.sum");
  EXPECT_EQ(book.Extra("Summary!B6", "link"),
            "file://" + scratch.path() + "/%E7%B7%A9%E8%A1%9D/toxswa/a%20b%231.sum");
  EXPECT_EQ(book.Value("About!B4"), "4") << "reports";
  EXPECT_EQ(book.Value("About!B5"), "5") << "rows";
  EXPECT_EQ(book.Value("About!B1"), "\"" + scratch.path() + "\"") << "as typed";
  EXPECT_EQ(book.Value("About!B6"), "\"" + scratch.path() + "\"") << "absolute";
}

// The directory's absolute path, for the sheet About, and a workbook's place
// that cannot be looked at, which the run refuses rather than write blind.
TEST(WorkbookFileTest, MakesPathsAbsoluteAndRefusesAPlaceItCannotLookAt) {
  ScratchDirectory scratch;
  const std::string runs = scratch.MakeFolder("runs");
  ASSERT_EQ(::symlink(runs.c_str(), (scratch / "link").c_str()), 0);
  const std::filesystem::path current = std::filesystem::current_path();
  std::filesystem::current_path(runs);
  const struct {
    std::string typed, absolute;
  } cases[] = {
      {".", runs},
      {"../link", runs},                           // resolved, the link followed
      {"not/there", runs + "/not/there"},          // joined to the current folder
      {"/not/there/at/all", "/not/there/at/all"},  // as typed
  };
  for (const auto& c : cases) EXPECT_EQ(AbsolutePath(c.typed), c.absolute) << c.typed;
  std::filesystem::current_path(current);

  const std::string inFile = scratch.Write("file", "") + "/Summary.xlsx";
  try {
    CheckReplaceable(inFile);
    ADD_FAILURE() << "not refused";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), inFile);
    EXPECT_EQ(error.reason(), "cannot replace: Not a directory");
  }
}

TEST_F(WorkbookTest, ComparesEveryRunFolderPerSubstanceAndScenario) {
  ScratchDirectory scratch;
  const auto report = [](const std::string& scenario, const std::string& waterMax, const std::string& twa7) {
    FixtureReport fixture;
    fixture.scenario = scenario;
    fixture.substances[0].waterMax = waterMax;
    fixture.substances[0].waterTwa7 = twa7;
    return BuildReport(fixture);
  };
  // In run folder A, D4_Pond comes twice, not one after the other: one cell,
  // two reports.
  scratch.Write("A/toxswa/1.sum", report("D4_Pond", "0.5", "0.01"));
  scratch.Write("A/toxswa/2.sum", report("R1_Stream", "2", "0.02"));
  scratch.Write("A/toxswa/3.sum", report("D4_Pond", "0.75", "0.03"));
  scratch.Write("B/toxswa/1.sum", report("R1_Stream", "0.25", "0.04"));

  Workbook book = RunAndRead(scratch, {"--threshold", "0,6"});
  // The counts are formulas; "result" is what a reader that does not
  // calculate shows.
  const struct {
    std::string cell, value, result;
  } cells[] = {
      {"A1", "\"EXSW2: PECsw_max\"", "(none)"},
      {"A2", "\"Threshold\"", "(none)"},
      {"B2", "0.6", "(none)"},
      {"A3", "\"Scenario\"", "(none)"},
      {"B3", "\"A\"", "(none)"},
      {"C3", "\"B\"", "(none)"},
      {"D3", "\"Run folders at or under\"", "(none)"},
      {"A4", "\"Mitigation\"", "(none)"},
      {"A5", "\"D4_Pond\"", "(none)"},
      {"B5", "0.75", "(none)"},
      {"C5", "(empty)", "(empty)"},
      {"D5", "\"=IF(ISNUMBER($B$2),COUNTIF(B5:C5,\\\"<=\\\"&$B$2),\\\"\\\")\"", "0"},
      {"A6", "\"R1_Stream\"", "(none)"},
      {"B6", "2", "(none)"},
      {"C6", "0.25", "(none)"},
      {"D6", "\"=IF(ISNUMBER($B$2),COUNTIF(B6:C6,\\\"<=\\\"&$B$2),\\\"\\\")\"", "1"},
      {"A7", "\"Scenarios at or under\"", "(none)"},
      {"B7", "\"=IF(ISNUMBER($B$2),COUNTIF(B5:B6,\\\"<=\\\"&$B$2),\\\"\\\")\"", "0"},
      {"C7", "\"=IF(ISNUMBER($B$2),COUNTIF(C5:C6,\\\"<=\\\"&$B$2),\\\"\\\")\"", "1"},
      {"A8", "\"All at or under\"", "(none)"},
      {"B8",
       "\"=IF(ISNUMBER($B$2),IF(COUNTIF(B5:B6,\\\"<=\\\"&$B$2)=ROWS(B5:B6),\\\"yes\\\",\\\"no\\\"),\\\"\\\")"
       "\"",
       "\"no\""},
      {"C8", "(any)", "\"no\""},  // a scenario without a figure is not at or under
  };
  for (const auto& c : cells) {
    if (c.value != "(any)") {
      EXPECT_EQ(book.Value("Compare!" + c.cell), c.value) << c.cell;
    }
    EXPECT_EQ(book.Extra("Compare!" + c.cell, "result"), c.result) << c.cell;
    EXPECT_EQ(book.Extra("Compare!" + c.cell, "fill"), c.cell == "C5" ? "(empty)" : "(none)")
        << c.cell << ": fills are conditional formats";
  }
  // The fills follow the threshold cell.
  EXPECT_NE(book.dump.find("Compare rule B5:C6 AND(ISNUMBER($B$2),ISNUMBER(B5),B5>$B$2) fill=FFFFC7CE\n"),
            std::string::npos)
      << book.dump;
  EXPECT_NE(book.dump.find("Compare rule B5:C6 AND(ISNUMBER($B$2),ISNUMBER(B5),B5<=$B$2) fill=FFC6EFCE\n"),
            std::string::npos);
  EXPECT_EQ(book.Extra("Compare!B5", "comment"),
            "\"More than one report gives this cell; it holds the largest value. Reports:\\n1.sum\\n3.sum\"");
  EXPECT_EQ(book.Extra("Compare!B6", "comment"), "(none)");

  book = RunAndRead(scratch, {"--compare=TWA7d"});
  EXPECT_EQ(book.Value("Compare!A1"), "\"EXSW2: TWA7d\"");
  EXPECT_EQ(book.Value("Compare!B5"), "0.03");
  EXPECT_EQ(book.Value("Compare!B2"), "(empty)") << "no threshold given";
  for (const std::string cell : {"D5", "D6", "B7", "C7", "B8", "C8"})
    EXPECT_EQ(book.Extra("Compare!" + cell, "result"), "null")
        << cell << ": empty, as an empty threshold gives";
}

TEST_F(WorkbookTest, RefusesAWorkbookItMustNotReplaceBeforeTheRun) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const std::string other = scratch.Write("elsewhere.xlsx", "someone else's");
  const std::string workbook = scratch / "Summary.xlsx";
  const struct {
    std::string what;
    int (*make)(const char* target, const char* path);
    std::string reason;
  } cases[] = {
      {"symbolic link", ::symlink, "not written: it is a symbolic link"},
      {"hard link", ::link, "not written: it has other hard links"},
      {"pipe", [](const char*, const char* path) { return ::mkfifo(path, 0600); },
       "not written: it is not a plain file"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.make(other.c_str(), workbook.c_str()), 0) << c.what;
    const CommandLineResult result = RunCli({"--workbook", scratch.path()});
    EXPECT_EQ(result.status, 2) << c.what;
    EXPECT_EQ(result.err, "quillmere-summary: " + workbook + ": " + c.reason + "\n") << c.what;
    EXPECT_EQ(::access((scratch / "Summary.txt").c_str(), F_OK), -1) << c.what << ": the run started";
    EXPECT_EQ(ReadFile(other), "someone else's") << c.what;
    ::unlink(workbook.c_str());
  }
}

TEST_F(WorkbookTest, LeavesThePreviousWorkbookAfterAReportFailure) {
  ScratchDirectory scratch;
  scratch.Write("Summary.xlsx", "the previous workbook");
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  scratch.Write("run/toxswa/b.sum", "not a report");
  const CommandLineResult result = RunCli({"--workbook", scratch.path()});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.err.starts_with("quillmere-summary: the run did not complete: " + scratch.path() +
                                     "/Summary.xlsx is left as it was\nProblem with file "))
      << result.err;
  EXPECT_EQ(ReadFile(scratch / "Summary.xlsx"), "the previous workbook");
  EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.xlsx"));
}

TEST_F(WorkbookTest, AGermanLocaleGivesTheSameNumbers) {
  if (std::system("locale -a 2>/dev/null | grep -qi '^de_DE.utf-\\?8$'") != 0)
    GTEST_SKIP() << "no de_DE.UTF-8";
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const auto run = [&](const std::string& locale) {
    const std::string command = "LC_ALL=" + locale + " " + QUILLMERE_SUMMARY_EXE + " --workbook '" +
                                scratch.path() + "' >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 0) << locale;
    return TimelessCells(scratch / "Summary.xlsx");
  };
  const auto german = run("de_DE.UTF-8");
  EXPECT_EQ(german, run("C"));
  EXPECT_EQ(german.at("Summary!E2").at(1), "39.57");
  EXPECT_NE(ReadFile(scratch / "Summary.txt").find("\t39.57\t"), std::string::npos);
}

// Two substances of one report, a parent and its metabolite, in two run
// folders: D4_Pond only.
void WriteParentAndMetabolite(const ScratchDirectory& scratch) {
  const auto report = [](const std::string& parentMax, const std::string& metaboliteMax) {
    FixtureReport fixture;
    fixture.scenario = "D4_Pond";
    fixture.substances[0].waterMax = parentMax;
    fixture.substances[0].waterTwa21 = "0.4";
    FixtureSubstance metabolite;
    metabolite.name = "EXSW2-M1";
    metabolite.waterMax = metaboliteMax;
    metabolite.waterTwa21 = "0.6";
    fixture.substances.push_back(metabolite);
    return BuildReport(fixture);
  };
  scratch.Write("Baseline/toxswa/1.sum", report("3.9", "0.05"));
  scratch.Write("Buffer10m/toxswa/1.sum", report("0.7", "0.2"));
}

TEST_F(WorkbookTest, ComparesEachFigureWithItsOwnThreshold) {
  ScratchDirectory scratch;
  WriteParentAndMetabolite(scratch);
  FixtureSwanLog log;
  log.driftSettings = BufferDrift("10", "50");
  log.driftFiles = {"1.txw"};
  scratch.Write("Buffer10m/SWAN_log.txt", SwanLogText(log));
  const CommandLineResult result =
      RunCli({"--workbook", "--compare", "PECsw_max", "--compare=TWA21d", "--threshold", "+1", "--threshold",
              "TWA21d=0,5", "--threshold", "EXSW2-M1:PECsw_max=0.1", "--threshold", "EXSW3:TWA21d=1",
              scratch.path()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err,
            "quillmere-summary: warning: --threshold 'EXSW3:TWA21d=1' names a substance no report holds: "
            "'EXSW3'\n");
  const Workbook book = ReadWorkbook(scratch / "Summary.xlsx");
  // Blocks of seven rows (one scenario), one empty row between them, the
  // substances in table order, each with the figures in the order given.
  const struct {
    int top;
    std::string title;
    std::string threshold;
    std::string value[2];
    std::string count;
    std::string all[2];
  } blocks[] = {
      {1, "EXSW2: PECsw_max", "1", {"3.9", "0.7"}, "1", {"\"no\"", "\"yes\""}},
      {9, "EXSW2: TWA21d", "0.5", {"0.4", "0.4"}, "2", {"\"yes\"", "\"yes\""}},
      {17, "EXSW2-M1: PECsw_max", "0.1", {"0.05", "0.2"}, "1", {"\"yes\"", "\"no\""}},
      {25, "EXSW2-M1: TWA21d", "0.5", {"0.6", "0.6"}, "0", {"\"no\"", "\"no\""}},
  };
  for (const auto& b : blocks) {
    const auto at = [&](char column, int row) {
      return "Compare!" + std::string(1, column) + std::to_string(b.top + row);
    };
    EXPECT_EQ(book.Value(at('A', 0)), "\"" + b.title + "\"");
    EXPECT_EQ(book.Value(at('B', 1)), b.threshold) << b.title;
    EXPECT_EQ(book.Value(at('B', 4)), b.value[0]) << b.title;
    EXPECT_EQ(book.Value(at('C', 4)), b.value[1]) << b.title;
    EXPECT_EQ(book.Extra(at('D', 4), "result"), b.count) << b.title;
    EXPECT_EQ(book.Extra(at('B', 6), "result"), b.all[0]) << b.title;
    EXPECT_EQ(book.Extra(at('C', 6), "result"), b.all[1]) << b.title;
    const std::string cell = "$B$" + std::to_string(b.top + 1);
    EXPECT_NE(book.Value(at('D', 4)).find(cell), std::string::npos) << b.title << ": counts over " << cell;
    EXPECT_NE(book.dump.find("ISNUMBER(" + cell + ")"), std::string::npos)
        << b.title << ": fills over " << cell;
    EXPECT_EQ(book.Value(at('B', 3)), "(empty)") << "Baseline has no SWAN log";
    EXPECT_TRUE(book.Value(at('C', 3)).starts_with("\"drift: buffer 10 m, nozzles 50 %"))
        << book.Value(at('C', 3));
  }
  // About: every threshold as typed, every block with what it was given.
  const CellValue about[] = {{"About!B10", "\"+1\""},       {"About!B13", "\"EXSW3:TWA21d=1\""},
                             {"About!C17", "\"TWA21d\""},   {"About!D17", "0.5"},
                             {"About!B18", "\"EXSW2-M1\""}, {"About!D18", "0.1"}};
  for (const auto& c : about) EXPECT_EQ(book.Value(c.cell), c.value) << c.cell;
}

// After a user types other thresholds into the workbook, LibreOffice shows
// the counts and fills of the new ones.
TEST_F(WorkbookTest, CountsAndFillsFollowAThresholdTypedIntoTheWorkbook) {
  ScratchDirectory scratch;
  WriteParentAndMetabolite(scratch);
  ASSERT_EQ(RunCli({"--workbook", "--threshold", "5", scratch.path()}).status, 0);
  // EXSW2 from 5 (every cell at or under) to 1; EXSW2-M1 from 5 to nothing.
  const std::string command = std::string(QUILLMERE_PYTHON) + " " + QUILLMERE_RECALCULATE + " '" +
                              scratch.path() + "/Summary.xlsx' '" + scratch.path() +
                              "/recalculated' 'Compare!B2=1' 'Compare!B10=' > '" + scratch.path() + "/cells'";
  const int status = WEXITSTATUS(std::system(command.c_str()));
  if (status == 77) GTEST_SKIP() << "LibreOffice is missing";
  ASSERT_EQ(status, 0) << command;
  const std::string shown = ReadFile(scratch / "cells");
  const struct {
    std::string cell;
    std::string shown;  // text and fill; "" for an empty cell
  } cells[] = {
      {"Compare!B5", "3.9\tfill=#FFC7CE"},
      {"Compare!C5", "0.7\tfill=#C6EFCE"},
      {"Compare!D5", "1"},
      {"Compare!B7", "no"},
      {"Compare!C7", "yes"},
      {"Compare!B13", "0.05"},
      {"Compare!C13", "0.2"},
      {"Compare!D13", ""},
      {"Compare!B14", ""},
      {"Compare!B15", ""},
  };
  for (const auto& c : cells) {
    const std::size_t at = shown.find(c.cell + "\t");
    const std::string line =
        at == std::string::npos
            ? ""
            : shown.substr(at + c.cell.size() + 1, shown.find('\n', at) - at - c.cell.size() - 1);
    EXPECT_EQ(line, c.shown) << c.cell << " in\n" << shown;
  }
}

// Records made by hand, as the reader would give them, into a workbook
// written by the library directly.
struct HandRecord {
  std::string runFolder;
  std::string reportFile;
  ReportRecord record;
};

HandRecord Record(const std::string& runFolder, const std::string& reportFile, const std::string& scenario,
                  const std::vector<std::string>& substances) {
  HandRecord hand{runFolder, reportFile, {}};
  hand.record.scenario = scenario;
  for (const std::string& name : substances) {
    SubstanceResult substance;
    substance.name = hand.record.KeepText(name);
    substance.PECsw_max = 1.5;
    hand.record.substances.push_back(substance);
  }
  return hand;
}

// How a workbook of records made by hand is written: by default as a run
// would, into Summary.xlsx of the scratch directory.
struct HandWrite {
  std::string program = "test";
  std::optional<std::size_t> rows;  // the table's; by default one a substance
  std::string file = "Summary.xlsx";
};

std::optional<FileError> WriteByHand(const ScratchDirectory& scratch, const std::vector<HandRecord>& records,
                                     const std::vector<std::string>& figures,
                                     std::vector<Threshold> thresholds = {}, const HandWrite& how = {}) {
  WorkbookSettings settings;
  settings.directory = scratch.path();
  settings.absoluteDirectory = scratch.path();
  settings.program = how.program;
  for (const std::string& figure : figures) settings.figures.push_back(*ParseComparedFigure(figure));
  settings.thresholds = std::move(thresholds);
  SummaryWorkbook book(settings, scratch / "Summary.xlsx");
  std::size_t lines = 0;
  for (const HandRecord& hand : records) {
    book.Add(hand.record, hand.runFolder, hand.reportFile, scratch / hand.reportFile);
    lines += std::max<std::size_t>(hand.record.substances.size(), 1);
  }
  return book.Write(scratch / how.file, how.rows.value_or(lines), nullptr);
}

TEST_F(WorkbookTest, ComparesTheOtherWindowsAReportLists) {
  ScratchDirectory scratch;
  HandRecord listed = Record("A", "1.sum", "D4_Pond", {"EXSW2"});
  listed.record.waterUnit = "\xB5g.L-1";
  listed.record.sedimentUnit = "\xB5g.kg-1";
  listed.record.twaWindows = {{0, false, 7, 9.0}, {0, false, 28, 0.5}, {0, true, 28, 0.7}};
  HandRecord lacking = Record("B", "1.sum", "D4_Pond", {"EXSW2"});  // lists no window
  ASSERT_EQ(WriteByHand(scratch, {listed, lacking}, {"TWAsw 28d", "TWAsed 28d"}, {{{}, {}, 0.6, "0.6"}}),
            std::nullopt);
  const Workbook book = ReadWorkbook(scratch / "Summary.xlsx");
  const CellValue cells[] = {
      {"A1", "\"EXSW2: TWAsw 28d\""},
      {"B2", "0.6"},
      {"C2", "\"\xC2\xB5g.L-1\""},
      {"B5", "0.5"},
      {"C5", "(empty)"},
      {"A9", "\"EXSW2: TWAsed 28d\""},
      {"C10", "\"\xC2\xB5g.kg-1\""},
      {"B13", "0.7"},
      {"C13", "(empty)"},
  };
  for (const auto& c : cells) EXPECT_EQ(book.Value("Compare!" + c.cell), c.value) << c.cell;
  EXPECT_EQ(book.Extra("Compare!D5", "result"), "1");
  EXPECT_EQ(book.Extra("Compare!C7", "result"), "\"no\"") << "a window the report lacks is not at or under";
}

// The Summary sheet's rows are written beside the run in the columns the
// reports so far give, and start again when a report widens them: a few
// times, then once the run is complete. Either way every row is in the
// columns of the whole run.
TEST_F(WorkbookTest, PutsEveryRowInTheColumnsOfTheWholeRun) {
  for (const std::size_t reports : {std::size_t{3}, std::size_t{12}}) {
    ScratchDirectory scratch;
    std::vector<HandRecord> records;
    for (std::size_t n = 0; n < reports; ++n) {
      HandRecord hand = Record("R" + std::to_string(n), std::to_string(n) + ".sum", "D4_Pond", {"EXSW2"});
      hand.record.substances[0].PECsw_max = static_cast<double>(n) + 0.25;
      for (std::size_t d = 0; d <= n; ++d) hand.record.applicationDates.Append("14-Nov-1978-09h00");
      if (n == reports - 1) hand.record.twaWindows = {{0, false, 28, 0.5}};
      records.push_back(std::move(hand));
    }
    ASSERT_EQ(WriteByHand(scratch, records, {"PECsw_max"}), std::nullopt);
    const Workbook book = ReadWorkbook(scratch / "Summary.xlsx");
    const auto cell = [&](std::size_t column, std::size_t row) {
      std::string name(1, static_cast<char>('A' + column % 26));
      if (column >= 26) name.insert(name.begin(), static_cast<char>('A' + column / 26 - 1));
      return book.Value("Summary!" + name + std::to_string(row));
    };
    const std::size_t waterBody = 12 + reports;  // after "AppDate" ... "AppDate N"
    EXPECT_EQ(cell(waterBody - 1, 1), "\"AppDate " + std::to_string(reports) + "\"") << reports;
    EXPECT_EQ(cell(waterBody + 2, 1), "\"TWAsw 28d\"") << reports;
    for (std::size_t n = 0; n < reports; ++n) {
      EXPECT_EQ(cell(4, n + 2), std::to_string(n) + ".25") << reports;
      EXPECT_EQ(cell(waterBody, n + 2), "\"Pond\"") << reports << " row " << n + 2;
      EXPECT_EQ(cell(waterBody + 2, n + 2), n == reports - 1 ? "0.5" : "(empty)") << reports;
    }
  }
}

// A title and a comment longer than a cell holds end in "\xE2\x80\xA6" at
// its limit, never inside a character; a comment that fits exactly is whole.
TEST_F(WorkbookTest, CutsATitleAndACommentOverTheCellLimit) {
  const std::string note =
      "More than one report gives this cell; it holds the largest value. Reports:\n1.sum\n";
  for (const std::size_t characters : {std::size_t{32767}, std::size_t{32768}}) {
    ScratchDirectory scratch;
    // Two reports of one cell, the second's name of two-byte characters
    // taking the comment to `characters`.
    std::string name;
    for (std::size_t n = note.size(); n < characters; ++n) name += "\xC3\xA9";
    const std::string substance(40000, 'x');
    ASSERT_EQ(
        WriteByHand(scratch,
                    {Record("A", "1.sum", "D4_Pond", {substance}), Record("A", name, "D4_Pond", {substance})},
                    {"PECsw_max"}),
        std::nullopt);
    const Workbook book = ReadWorkbook(scratch / "Summary.xlsx");
    const std::string title = book.Value("Compare!A1");
    // The cell limit in characters, one of them the three-byte ellipsis, in
    // quotes.
    EXPECT_EQ(title.size(), 32767u + 2 + 2);
    EXPECT_TRUE(title.ends_with("xx\xE2\x80\xA6: PECsw_max\"")) << title.substr(title.size() - 20);
    // Over the limit, the last two characters give way to the ellipsis.
    const std::string kept = characters == 32767 ? name : name.substr(0, name.size() - 4) + "\xE2\x80\xA6";
    const std::string comment = book.Extra("Compare!B5", "comment");
    const std::string expected =
        "\"More than one report gives this cell; it holds the largest value. Reports:\\n1.sum\\n" + kept +
        "\"";
    // Told by their sizes and ends: the texts are 32,767 characters long.
    EXPECT_TRUE(comment == expected) << characters << ": " << comment.size() << " bytes ending "
                                     << comment.substr(comment.size() - 8) << ", not " << expected.size()
                                     << " ending " << expected.substr(expected.size() - 8);
  }
}

// What a worksheet cannot hold fails the workbook, naming the limit or the
// cell, rather than leaving cells out: more run folders than the sheet
// Compare has columns, more rows than the sheet Summary holds, a cell the
// library refuses. A file the library cannot make fails in the system's
// words.
TEST(WorkbookFailureTest, NamesTheLimitTheCellOrTheSystemsReason) {
  ScratchDirectory scratch;
  const std::vector<HandRecord> one = {Record("A", "1.sum", "D4_Pond", {"EXSW2"})};
  std::vector<HandRecord> fit;
  for (int n = 0; n < 16382; ++n) fit.push_back(Record("run" + std::to_string(n), "1.sum", "D4_Pond", {"A"}));
  std::vector<HandRecord> tooMany = fit;
  tooMany.push_back(Record("run16382", "1.sum", "D4_Pond", {"A"}));
  const struct {
    std::string what;
    const std::vector<HandRecord>& records;
    HandWrite how;
    std::string reason;  // "" when written
  } cases[] = {
      {"16382 run folders", fit, {}, ""},
      {"16383 run folders",
       tooMany,
       {},
       "not written: its sheet Compare would need a column for each of the 16383 run folders, and a sheet "
       "holds 16384 columns (16382 run folders)"},
      {"1048576 rows",
       one,
       {"test", 1048576, "Summary.xlsx"},
       "not written: the table's 1048576 rows are more than an Excel worksheet holds (1048575 under its "
       "header)"},
      {"a text over a cell's limit",
       one,
       {std::string(40000, 'p'), {}, "Summary.xlsx"},
       "not written: cell About!B2: String exceeds Excel's limit of 32,767 characters."},
      {"a file in no folder",
       one,
       {"test", {}, "gone/Summary.xlsx"},
       "cannot write: No such file or directory"},
  };
  for (const auto& c : cases) {
    const std::optional<FileError> failure = WriteByHand(scratch, c.records, {"PECsw_max"}, {}, c.how);
    EXPECT_EQ(failure ? failure->path() + ": " + failure->reason() : "",
              c.reason.empty() ? "" : scratch / "Summary.xlsx" + ": " + c.reason)
        << c.what;
  }
}

TEST_F(WorkbookTest, ContinuesCompareOnASecondSheetWhenItsRowsAreFull) {
  ScratchDirectory scratch;
  // Blocks of seven rows and one between: 131,072 fill a sheet.
  std::vector<std::string> substances;
  for (int n = 1; n <= 131073; ++n) substances.push_back("S" + std::to_string(n));
  ASSERT_EQ(WriteByHand(scratch, {Record("A", "1.sum", "D4_Pond", substances)}, {"PECsw_max"}), std::nullopt);
  // openpyxl would take minutes over a million rows: the sheets' beginnings
  // are read from the file itself (constant-memory mode writes strings inline).
  const std::string command =
      std::string(QUILLMERE_PYTHON) +
      " -c 'import re, sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "print(re.findall(\"<sheet name=\\\"([^\\\"]*)\\\"\", z.read(\"xl/workbook.xml\").decode()))\n"
      "for n in (2, 3):\n"
      "    with z.open(f\"xl/worksheets/sheet{n}.xml\") as f:\n"
      "        print(re.findall(\"<t>([^<]*)</t>\", f.read(4096).decode(errors=\"replace\"))[0])\n"
      "' '" +
      scratch.path() + "/Summary.xlsx' > '" + scratch.path() + "/sheets'";
  ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  EXPECT_EQ(ReadFile(scratch / "sheets"),
            "['Summary', 'Compare', 'Compare (2)', 'About']\nS1: PECsw_max\nS131073: PECsw_max\n");
}

TEST(WorkbookOptionsTest, NamesWhatIsAccepted) {
  const std::string kFigures =
      "PECsw_max, TWA7d, TWA21d, PECsed_max, TWAsed7d, TWAsed21d, or \"TWAsw Nd\" or \"TWAsed Nd\" for the "
      "window of N days (1 to 100) a report lists\n";
  struct Case {
    std::vector<std::string> options;  // between --workbook and the directory
    std::string err;
  };
  std::vector<Case> cases = {
      {{"--compare", "PECsw"}, "quillmere-summary: --compare 'PECsw' is not a figure; accepted: " + kFigures},
      {{"--compare", "PECsw_max", "--compare", "TWAsw 0d"},
       "quillmere-summary: --compare 'TWAsw 0d' is not a figure; accepted: " + kFigures},
      {{"--threshold", "TWA7d=1"},
       "quillmere-summary: --threshold 'TWA7d=1' is for 'TWA7d', which is not compared; compared: PECsw_max "
       "(--compare adds a figure)\n"},
      {{"--compare", "TWAsw 28d", "--compare=PECsw_max", "--threshold", "A:PECsed_max=1"},
       "quillmere-summary: --threshold 'A:PECsed_max=1' is for 'PECsed_max', which is not compared; "
       "compared: TWAsw 28d, PECsw_max (--compare adds a figure)\n"},
  };
  // A sign alone is no number either.
  const struct {
    std::string threshold, value;
  } notNumbers[] = {{"A:PECsw_max=abc", "abc"},
                    {"PECsw_max=", ""},
                    {"+-1", "+-1"},
                    {"0.1.2", "0.1.2"},
                    {"inf", "inf"},
                    {"", ""},
                    {"+", "+"},
                    {"++1", "++1"}};
  for (const auto& n : notNumbers) {
    cases.push_back(
        {{"--threshold", n.threshold},
         "quillmere-summary: --threshold '" + n.threshold + "': '" + n.value +
             "' is not a number; accepted: VALUE, FIGURE=VALUE or SUBSTANCE:FIGURE=VALUE, VALUE a "
             "number such as 0.1, 0,1 or 1e-3\n"});
  }
  for (Case& c : cases) {
    std::string what;
    for (const std::string& option : c.options) what += " '" + option + "'";
    c.options.insert(c.options.begin(), "--workbook");
    c.options.push_back("dir");
    const CommandLineResult result = RunCli(c.options);
    EXPECT_EQ(result.status, 2) << what;
    EXPECT_EQ(result.err, c.err) << what;
  }
  // After "--" the option is the directory's name.
  EXPECT_EQ(RunCli({"--", "--workbook"}).err,
            "quillmere-summary: --workbook: cannot list: No such file or directory\n");
}

TEST_F(WorkbookTest, ShowsWhatEachReportAndItsRunFolderSay) {
  ScratchDirectory scratch;
  FixtureReport full;
  full.waterUnit = "\xB5g.L-1";
  full.sedimentUnit = "\xB5g.kg-1";
  full.substances[0].waterWindows = {{1, "16.88"}, {28, "0.6358"}};
  full.substances[0].sedimentWindows = {{28, "0.7857"}};
  scratch.Write("Buffer10m/toxswa/41.sum", BuildReport(full));
  FixtureReport other = full;
  other.substances[0].waterWindows = {{50, "0.3569"}};
  other.substances[0].sedimentWindows = {};
  scratch.Write("Buffer10m/toxswa/42.sum", BuildReport(other));
  FixtureSwanLog log;
  log.driftSettings = BufferDrift("10", "0");
  log.driftFiles = {"41.txw"};
  scratch.Write("Buffer10m/SWAN_log.txt", SwanLogText(log));
  scratch.Write("Buffer10m/Trial_report.txt",
                SwashProjectReportText(SwashLayout::kVersion5, {{"41",
                                                                 "",
                                                                 "Winter cereals",
                                                                 "R1_Stream",
                                                                 "",
                                                                 "ground spray",
                                                                 "1-Nov /1-Dec/1",
                                                                 {{"1", "1.0000", "1.2", "0.12"}}}}));
  // Without the header's lines, unit lines and windows, and beside a log
  // that is not one.
  FixtureReport bare;
  bare.scenario = "D4_Pond";
  bare.version.clear();
  bare.waterBodyType.clear();
  bare.substances[0].waterWindows = {};
  bare.substances[0].sedimentWindows = {};
  scratch.Write("Unmitigated/toxswa/1.sum", BuildReport(bare));
  scratch.Write("Unmitigated/SWAN_log.txt", "a note\r\nof someone's own\r\n");

  const Workbook book = RunAndRead(scratch);
  EXPECT_EQ(book.sheets.front(), "Summary freeze=A2 filter=A1:W4");
  std::string heads;  // the texts of the heads, "|" after each
  for (char column = 'A'; column <= 'W'; ++column) {
    const std::string json = book.Value(std::string("Summary!") + column + "1");
    heads += json.substr(1, json.size() - 2) + "|";
  }
  EXPECT_EQ(heads,
            "ID|Mitigation|Scenario|Substance|"
            "PECsw_max (\xC2\xB5g.L-1)|TWA7d (\xC2\xB5g.L-1)|TWA21d (\xC2\xB5g.L-1)|"
            "PECsed_max (\xC2\xB5g.kg-1)|TWAsed7d (\xC2\xB5g.kg-1)|TWAsed21d (\xC2\xB5g.kg-1)|"
            "Date water|Date sed|AppDate|Water body|Entry route (estimated)|"
            "TWAsw 1d (\xC2\xB5g.L-1)|TWAsw 28d (\xC2\xB5g.L-1)|TWAsw 50d (\xC2\xB5g.L-1)|TWAsed 28d "
            "(\xC2\xB5g.kg-1)|"
            "SWAN mitigation|Crop|Application|TOXSWA version|");
  const CellValue cells[] = {
      // Buffer10m/41.sum: its mitigation, crop and application.
      {"A2", "\"Buffer10m\""},
      {"N2", "\"Stream\""},
      {"P2", "16.88"},
      {"Q2", "0.6358"},
      {"R2", "(empty)"},
      {"S2", "0.7857"},
      {"T2", "\"drift: buffer 10 m, nozzles 0 %\""},
      {"U2", "\"Winter cereals\""},
      {"V2", "\"ground spray, 1 x 1.0000 kg/ha, 1-Nov /1-Dec/1\""},
      {"W2", "\"FOCUS TOXSWA 5.5.3\""},
      // Buffer10m/42.sum: no run of the project report, no mitigation.
      {"P3", "(empty)"},
      {"R3", "0.3569"},
      {"S3", "(empty)"},
      {"T3", "(empty)"},
      {"U3", "(empty)"},
      {"W3", "\"FOCUS TOXSWA 5.5.3\""},
      // Unmitigated/1.sum: the guess from the scenario, empty cells for the rest.
      {"A4", "\"Unmitigated\""},
      {"N4", "\"Pond\""},
      {"P4", "(empty)"},
      {"Q4", "(empty)"},
      {"R4", "(empty)"},
      {"S4", "(empty)"},
      {"T4", "(empty)"},
      {"U4", "(empty)"},
      {"V4", "(empty)"},
      {"W4", "(empty)"},
  };
  for (const auto& c : cells) EXPECT_EQ(book.Value("Summary!" + c.cell), c.value) << c.cell;
  EXPECT_EQ(book.Value("About!A10"), "\"Not understood\"");
  EXPECT_TRUE(book.Value("About!B10").starts_with("\"" + scratch.path() + "/Unmitigated/SWAN_log.txt: line "))
      << book.Value("About!B10");
  EXPECT_EQ(book.Value("About!A11"), "(empty)");
}

// The heads of a medium whose reports give its figures in different units
// say so, with a note naming that medium's units; the other heads do not.
TEST_F(WorkbookTest, SaysWhenTheReportsGiveFiguresInDifferentUnits) {
  const std::vector<std::string> heads[] = {{"E1", "F1", "G1", "P1", "Q1", "R1"}, {"H1", "I1", "J1", "S1"}};
  const auto note = [](const std::string& units) {
    return "\"The reports give these figures in different units: " + units +
           ". Each figure is in its own report's unit; none is converted.\"";
  };
  const std::string notes[] = {note("\xC2\xB5g.L-1, mg.L-1"), note("\xC2\xB5g.kg-1, mg.kg-1")};
  for (const bool sedimentToo : {false, true}) {
    ScratchDirectory scratch;
    FixtureReport micrograms;
    micrograms.waterUnit = "\xB5g.L-1";
    micrograms.sedimentUnit = "\xB5g.kg-1";
    FixtureReport milligrams = micrograms;
    milligrams.waterUnit = "mg.L-1";
    if (sedimentToo) milligrams.sedimentUnit = "mg.kg-1";
    scratch.Write("A/toxswa/1.sum", BuildReport(micrograms));
    scratch.Write("B/toxswa/1.sum", BuildReport(milligrams));
    const Workbook book = RunAndRead(scratch);
    for (const bool sediment : {false, true}) {
      const bool differ = !sediment || sedimentToo;
      for (const std::string& cell : heads[sediment]) {
        EXPECT_EQ(book.Value("Summary!" + cell).ends_with(" (units differ)\""), differ) << cell;
        EXPECT_EQ(book.Extra("Summary!" + cell, "comment"), differ ? notes[sediment] : "(none)") << cell;
      }
    }
  }
}

TEST_F(WorkbookTest, LeavesALinkTooLongForExcelsHyperlinkAsThePlainName) {
  ScratchDirectory scratch;
  // The link's target: "file://", the scratch path, "/run/toxswa/" and the
  // name. Excel's HYPERLINK takes 255 characters of it, or shows #VALUE!.
  const std::size_t fixed = std::string("file://" + scratch.path() + "/run/toxswa/").size();
  const std::string longest = std::string(255 - fixed - 4, 'r') + ".sum";
  const std::string tooLong = std::string(255 - fixed - 3, 's') + ".sum";
  scratch.Write("run/toxswa/" + longest, BuildReport(FixtureReport{}));
  scratch.Write("run/toxswa/" + tooLong, BuildReport(FixtureReport{}));
  const Workbook book = RunAndRead(scratch);
  EXPECT_EQ(book.Value("Summary!B2"), "\"" + longest + "\"");
  EXPECT_EQ(book.Extra("Summary!B2", "link"), "file://" + scratch.path() + "/run/toxswa/" + longest);
  EXPECT_EQ(book.Value("Summary!B3"), "\"" + tooLong + "\"");
  EXPECT_EQ(book.Type("Summary!B3"), "s");
  EXPECT_EQ(book.Extra("Summary!B3", "link"), "(none)");
}

// The limit itself, and dates that would wrap the 16-bit column number, are
// SummarySheetTest's: here, what the run says and leaves.
TEST_F(WorkbookTest, RefusesASummarySheetWiderThanExcelHolds) {
  // 16,400 application dates would cut the last dates and the derived
  // columns.
  ScratchDirectory scratch;
  scratch.Write("Summary.xlsx", "the previous workbook");
  const std::size_t applications = 16400;
  FixtureReport wide;
  wide.applicationDates.assign(applications, "14-Nov-1978-09h00");
  wide.substances[0].waterWindows.clear();
  wide.substances[0].sedimentWindows.clear();
  scratch.Write("run/toxswa/a.sum", BuildReport(wide));
  const CommandLineResult result = RunCli({"--workbook", scratch.path()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "quillmere-summary: " + scratch.path() + "/Summary.xlsx: not written: a report has " +
                std::to_string(applications) + " application dates, which would take the Summary sheet to " +
                std::to_string(applications + 18) + " columns, more than the 16384 an Excel worksheet holds" +
                TableCompleteWorkbookKept(scratch.path()));
  EXPECT_EQ(ReadFile(scratch / "Summary.xlsx"), "the previous workbook");
  const std::vector<std::string> lines = Split(ReadFile(scratch / "Summary.txt"), '\n');
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Split(lines[1], '\t').size(), 12 + applications) << "every date in the table";
}

// libxlsxwriter prints its failures on standard error itself, with raw paths
// (a folder name can carry control bytes) and zip's codes; the run says it
// once, in the system's words, escaped as every path is.
TEST(WorkbookFailureTest, SaysWhyTheWorkbookCannotBeWrittenOnceAndInTheSystemsWords) {
  ScratchDirectory scratch;
  const std::string directory = "runs\033]0;title\a";
  scratch.Write(directory + "/Summary.xlsx", "the previous workbook");
  scratch.Write(directory + "/run/toxswa/a.sum", BuildReport(FixtureReport{}));
  // Files of 3 KiB at most: the table and the workbook's spool fit, the
  // workbook does not.
  const std::string command = "cd '" + scratch.path() + "' && ulimit -f 6 && exec " + QUILLMERE_SUMMARY_EXE +
                              " --workbook '" + directory + "' >/dev/null 2>err";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  // A build that counts coverage cannot write its counts under the limit
  // either, and says so: those lines are not the program's.
  std::string err;
  for (const std::string& line : Split(ReadFile(scratch / "err"), '\n')) {
    if (!line.empty() && !line.starts_with("libgcov profiling error:")) err += line + "\n";
  }
  const std::string escaped = "runs\\x1b]0;title\\x07";
  EXPECT_EQ(err, "quillmere-summary: " + escaped + "/Summary.xlsx: cannot write: File too large" +
                     TableCompleteWorkbookKept(escaped));
  EXPECT_EQ(ReadFile(scratch / (directory + "/Summary.xlsx")), "the previous workbook");
}

// The rows of the Summary sheet wait in a temporary file, which a second
// thread reads back while the run goes on, and the end of the run reads
// again from its start when that thread gave up.
TEST_F(WorkbookTest, ATemporaryFileThatFailsEndsTheWorkbookOrIsReadAgainForTheSameCells) {
  ScratchDirectory scratch;
  // Enough reports for several batches of the thread and several hand-overs
  // of the file's buffer.
  FixtureReport two;
  two.substances.push_back(FixtureSubstance{.name = "MET1"});
  for (int run = 0; run < 3; ++run) {
    for (int report = 0; report < 150; ++report) {
      scratch.Write("run" + std::to_string(run) + "/toxswa/r" + std::to_string(1000 + report) + ".sum",
                    BuildReport(report % 3 == 0 ? two : FixtureReport{}));
    }
  }
  const std::string workbook = scratch / "Summary.xlsx";
  ASSERT_EQ(RunCli({"--workbook", scratch.path()}).status, 0);
  const auto expected = TimelessCells(workbook);
  ASSERT_EQ(expected.count("Summary!A601"), 1u) << "a row per substance";
  const std::string kept = TableCompleteWorkbookKept(scratch.path());
  const std::string notWritten =
      "quillmere-summary: " + workbook + ": not written: its temporary file cannot be ";
  const auto spool = [](SystemCall call, int nth, unsigned long error, bool onward = false,
                        FailedCall::Transfer transfer = FailedCall::Transfer::kFails) {
    return FailedCall{call, nth, error, "quillmere-spool", onward, false, transfer};
  };
  using enum SystemCall;
  using enum FailedCall::Transfer;
  struct Case {
    std::string what;
    FailedCall failure;
    int status;
    std::string err;  // empty when the workbook is written
  } cases[] = {
      {"cannot be made", spool(kOpen, 1, EMFILE), 2,
       "quillmere-summary: " + workbook + ": cannot make a temporary file for it: Too many open files\n"},
      {"a write fails", spool(kWrite, 1, ENOSPC), 1, notWritten + "written: No space left on device" + kept},
      {"a later write fails", spool(kWrite, 3, EFBIG), 1, notWritten + "written: File too large" + kept},
      // Another file took the name first: the next is tried.
      {"a name taken", spool(kOpen, 1, EEXIST), 0, ""},
      {"a write takes nothing", spool(kWrite, 1, 0, false, kNothing), 1,
       notWritten + "written: the system moved no bytes" + kept},
      {"writes are cut short", spool(kWrite, 1, 0, true, kHalf), 0, ""},
      {"reads give nothing", spool(kRead, 1, 0, true, kNothing), 1,
       notWritten + "read: the system moved no bytes" + kept},
      {"reads are cut short", spool(kRead, 1, 0, true, kHalf), 0, ""},
      // The thread gives up; the end of the run reads it all again.
      {"a read fails", spool(kRead, 1, EIO), 0, ""},
      {"a seek fails", spool(kSeek, 1, EIO), 0, ""},
      {"every read fails", spool(kRead, 1, EIO, true), 1, notWritten + "read: Input/output error" + kept},
      {"every seek fails", spool(kSeek, 1, EIO, true), 1, notWritten + "read: Input/output error" + kept},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scratch.Write("Summary.xlsx", "the previous workbook");
    std::filesystem::remove(scratch / "Summary.txt");
    CommandLineResult result;
    {
      FailingSystem system({c.failure});
      result = RunCli({"--workbook", scratch.path()});
      EXPECT_GE(system.failed(), 1);
    }
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.err, c.err);
    if (c.status == 2) {
      EXPECT_FALSE(std::filesystem::exists(scratch / "Summary.txt")) << "the run did not start";
    } else {
      // The table is whole whatever became of the workbook.
      const std::string table = ReadFile(scratch / "Summary.txt");
      EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 1 + 600);
    }
    if (c.err.empty()) {
      EXPECT_TRUE(TimelessCells(workbook) == expected);
    } else {
      EXPECT_EQ(ReadFile(workbook), "the previous workbook");
    }
  }
}

TEST(WorkbookSpoolTest, MakesItsTemporaryFileInTmpdirAndLeavesNothingThere) {
  ScratchDirectory scratch;
  scratch.Write("runs/run/toxswa/a.sum", BuildReport(FixtureReport{}));
  scratch.MakeFolder("tmp");
  const char* before = std::getenv("TMPDIR");
  const std::string kept = before != nullptr ? before : "";
  struct Case {
    std::string folder;
    int status;
    std::string err;
  } cases[] = {
      {scratch / "tmp", 0, ""},
      {scratch / "missing", 2,
       "quillmere-summary: " + (scratch / "runs/Summary.xlsx") +
           ": cannot make a temporary file for it: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    ::setenv("TMPDIR", c.folder.c_str(), 1);
    const CommandLineResult result = RunCli({"--workbook", scratch / "runs"});
    EXPECT_EQ(result.status, c.status) << c.folder;
    EXPECT_EQ(result.err, c.err) << c.folder;
  }
  if (before != nullptr) {
    ::setenv("TMPDIR", kept.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  EXPECT_TRUE(std::filesystem::is_empty(scratch / "tmp"));
}

TEST_F(WorkbookTest, ComparesAFigureGivenTwiceOnce) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const Workbook book = RunAndRead(scratch, {"--compare", "TWA7d", "--compare", "TWA7d", "--compare",
                                             "PECsw_max", "--threshold", "TWA7d=+2"});
  EXPECT_EQ(book.Value("Compare!A1"), "\"EXSW2: TWA7d\"");
  EXPECT_EQ(book.Value("Compare!B2"), "2");
  EXPECT_EQ(book.Value("Compare!A9"), "\"EXSW2: PECsw_max\"");
  EXPECT_EQ(book.Value("Compare!A17"), "(empty)") << "no third block";
}

}  // namespace
}  // namespace quillmere
