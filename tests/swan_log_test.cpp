#include "summary/swan_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "tests/run_folder_fixtures.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BufferDrift;
using quillmere::testing::FixtureSwanLog;
using quillmere::testing::RefusedFile;
using quillmere::testing::SwanLogText;

FixtureSwanLog FilterStripLog() {
  FixtureSwanLog log;
  log.runOffMode = "VfsMod";
  log.runOffSettings = {"Filter strip buffer width:              15"};
  log.runOffFiles = {"macro02211_p.m2t", "02214-C2.p2t"};
  log.driftSettings = BufferDrift("20", "75");
  log.driftFiles = {"2210.txw", "2211.txw", "2214.txw"};
  return log;
}

FixtureSwanLog ManualLog() {
  FixtureSwanLog log;
  log.runOffMode = "ManualReduction";
  log.runOffSettings = {
      "Fractional reduction in run-off volume: 0.4", "Fractional reduction in run-off flux:   0.45",
      "Fractional reduction in erosion mass:   0.7", "Fractional reduction in erosion flux:   0.75"};
  log.runOffFiles = {"00318-C1.p2t"};
  log.lineEnd = "\n";
  return log;
}

FixtureSwanLog DriftOnlyLog() {
  FixtureSwanLog log;
  log.driftSettings = {"Nozzle reduction (%): 90",
                       "Use Step 3 mass loadings: Yes",
                       "Select buffer width: No",
                       "Buffer width (m):    0",
                       "Enter mass loadings directly: YES",
                       "Pond mass loading (mg/m\xb2):    0.012",
                       "Ditch mass loading (mg/m\xb2):   0.34",
                       "Stream mass loading (mg/m\xb2):  0.56"};
  log.driftFiles = {"D:\\Trials\\Mitigated\\TOXSWA\\0318.txw"};
  log.lineEnd = "\r";
  return log;
}

SwanLog Read(const FixtureSwanLog& fixture) {
  const SwanLogReading reading = ReadSwanLogText(SwanLogText(fixture), "SWAN_log.txt");
  EXPECT_TRUE(reading.log) << reading.problem;
  return reading.log.value_or(SwanLog{});
}

TEST(SwanLogTest, ReadsAFilterStripAndABuffer) {
  const SwanLog log = Read(FilterStripLog());
  EXPECT_EQ(log.path, "SWAN_log.txt");
  EXPECT_EQ(log.runOff.mode, "VfsMod");
  EXPECT_EQ(log.runOff.filterStripWidth, "15");
  EXPECT_EQ(log.runOff.appliedTo, (std::vector<std::string>{"macro02211_p.m2t", "02214-C2.p2t"}));
  EXPECT_TRUE(log.drift.present);
  EXPECT_EQ(log.drift.nozzleReduction, "75");
  EXPECT_TRUE(log.drift.bufferSelected);
  EXPECT_EQ(log.drift.bufferWidth, "20");
  EXPECT_FALSE(log.drift.step3MassLoadings);
  EXPECT_FALSE(log.drift.massLoadingsEntered);
  EXPECT_EQ(log.drift.appliedTo, (std::vector<std::string>{"2210.txw", "2211.txw", "2214.txw"}));
}

TEST(SwanLogTest, GivesEachReportOnlyTheMitigationAppliedToIt) {
  const SwanLog filterStrip = Read(FilterStripLog());
  const SwanLog manual = Read(ManualLog());
  const SwanLog driftOnly = Read(DriftOnlyLog());
  const std::string both = "drift: buffer 20 m, nozzles 75 %; run-off: VFS 15 m";
  const std::string loadings =
      "drift: nozzles 90 %, Step 3 mass loadings, mass loadings pond 0.012, ditch 0.34, stream 0.56 mg/m2";
  struct Case {
    const SwanLog& log;
    std::string report;
    std::string text;
  };
  const Case cases[] = {
      {filterStrip, "2210.sum", "drift: buffer 20 m, nozzles 75 %"},
      {filterStrip, "2211.sum", both},
      {filterStrip, "2214.SUM", both},
      {filterStrip, "02214.sum", both},
      {filterStrip, "2212.sum", ""},
      {filterStrip, "221.sum", ""},
      {filterStrip, "2210_b.sum", ""},
      {manual, "318.sum", "run-off: reduced volume 0.4, flux 0.45, erosion mass 0.7, erosion flux 0.75"},
      {manual, "00318-C1.sum", ""},
      {driftOnly, "0318.sum", loadings},
      {driftOnly, "318.sum", loadings},
  };
  for (const Case& c : cases) EXPECT_EQ(MitigationText(c.log, c.report), c.text) << c.report;
}

TEST(SwanLogTest, FindsTheRunIdInTheNamesOfTheFilesItMitigates) {
  struct Case {
    std::string file, runId;
  };
  const Case cases[] = {
      {"4630.txw", "4630"},      {"0099.TXW", "0099"},         {"C:\\p\\TOXSWA\\12.txw", "12"},
      {"04637-C1.p2t", "4637"},  {"macro04631_p.m2t", "4631"}, {"macro04631_p_ditch.m2t", "4631"},
      {"x/y/00000-C1.p2t", "0"}, {"nothing.p2t", ""},          {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RunIdOfFile(c.file), c.runId) << c.file;
}

TEST(SwanLogTest, SaysForTheWholeRunFolderWhatWentWhere) {
  FixtureSwanLog many = FilterStripLog();
  many.driftFiles.clear();
  for (int run = 100; run < 111; ++run) many.driftFiles.push_back(std::to_string(run) + ".txw");
  many.runOffFiles = {"macro00104_p.m2t", "macro00104_p.m2t"};
  struct Case {
    FixtureSwanLog log;
    std::string text;
  };
  const Case cases[] = {
      {FilterStripLog(),
       "drift: buffer 20 m, nozzles 75 % (runs 2210, 2211, 2214); run-off: VFS 15 m (runs 2211, 2214)"},
      {ManualLog(), "run-off: reduced volume 0.4, flux 0.45, erosion mass 0.7, erosion flux 0.75 (run 318)"},
      {many,
       "drift: buffer 20 m, nozzles 75 % (runs 100, 101, 102, 103, 104, 105, 106, 107 and 3 more); "
       "run-off: VFS 15 m (run 104)"},
      {FixtureSwanLog{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RunFolderMitigationText(Read(c.log)), c.text);
}

TEST(SwanLogTest, ReadsTheLastRunOfALogWrittenOnOverSeveralRuns) {
  const std::string text = SwanLogText(FilterStripLog()) + SwanLogText(ManualLog());
  const SwanLogReading reading = ReadSwanLogText(text);
  ASSERT_TRUE(reading.log) << reading.problem;
  EXPECT_EQ(RunFolderMitigationText(*reading.log), RunFolderMitigationText(Read(ManualLog())));
}

TEST(SwanLogTest, LeavesOutWhatWasAppliedToNoFile) {
  FixtureSwanLog log = FilterStripLog();
  log.driftFiles.clear();
  log.runOffFiles.clear();
  const SwanLog read = Read(log);
  EXPECT_EQ(MitigationText(read, "2210.sum"), "");
  EXPECT_EQ(RunFolderMitigationText(read), "");
}

// The first line of `text` (from 1) that begins with `words`, or 0.
std::size_t LineStarting(const std::string& text, const std::string& words) {
  const std::size_t at = text.find("\n" + words);
  if (at == std::string::npos) return 0;
  return static_cast<std::size_t>(
             std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n')) +
         2;
}

// The number of the last line of `text`, which ends in a line end.
std::size_t LastLine(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(SwanLogTest, NamesTheLineOfWhatItDoesNotUnderstand) {
  const auto with = [](FixtureSwanLog log, std::vector<std::string> FixtureSwanLog::*member,
                       std::vector<std::string> lines) {
    (log.*member) = std::move(lines);
    return SwanLogText(log);
  };
  FixtureSwanLog noMode = ManualLog();
  noMode.runOffMode.clear();
  noMode.driftSettings = {"Nozzle reduction (%): 0"};
  noMode.runOffSettings.clear();
  const std::string orphanRunOff =
      SwanLogText(noMode) + "Run-off mitigation has been applied to: 00318-C1.p2t\n";
  // Drift applied in a log without a drift section.
  const std::string orphanDrift =
      SwanLogText(ManualLog()) + "Spray drift mitigation has been applied to: 0318.txw\n";
  // One more file than any project holds, on the last line.
  FixtureSwanLog most = DriftOnlyLog();
  most.lineEnd = "\n";
  most.driftFiles.assign(100000, "0318.txw");
  const std::string many = SwanLogText(most) + "Spray drift mitigation has been applied to: 0318.txw\n";
  FixtureSwanLog mostRunOff = ManualLog();
  mostRunOff.runOffFiles.assign(100000, "00318-C1.p2t");
  const std::string manyRunOff =
      SwanLogText(mostRunOff) + "Run-off mitigation has been applied to: 00318-C1.p2t\n";
  // Mass loadings entered, and two of the three given.
  const auto loadingsWithout = [&with](std::string what, std::string first, std::string second) {
    const std::string text = with(FilterStripLog(), &FixtureSwanLog::driftSettings,
                                  {"Nozzle reduction (%): 0", "Enter mass loadings directly: Yes",
                                   first + " (mg/m2): 1", second + " (mg/m2): 1"});
    return RefusedFile{what, text, LineStarting(text, "Enter mass loadings"),
                       "mass loadings entered without those of the pond, the ditch and the stream"};
  };
  const std::string noColon = with(FilterStripLog(), &FixtureSwanLog::driftSettings,
                                   {"Nozzle reduction (%): 0", "Pond mass loading 0.5"});
  const RefusedFile cases[] = {
      {"empty", "", 0, "the file is empty"},
      {"not a log", "Hello\n", 1, "not a SWAN log"},
      {"marker too late", std::string(12, '\n') + SwanLogText(ManualLog()), 10, "not a SWAN log"},
      {"a reduction that is no number",
       with(ManualLog(), &FixtureSwanLog::runOffSettings,
            {"Fractional reduction in run-off volume: 0.4", "Fractional reduction in run-off flux:   half",
             "Fractional reduction in erosion mass:   0.7", "Fractional reduction in erosion flux:   0.75"}),
       26, "\"Fractional reduction in run-off flux:\" is not followed by a number"},
      {"a reduction missing",
       with(ManualLog(), &FixtureSwanLog::runOffSettings,
            {"Fractional reduction in run-off volume: 0.4", "Fractional reduction in erosion mass:   0.7",
             "Fractional reduction in erosion flux:   0.75"}),
       24, "ManualReduction without \"Fractional reduction in run-off flux:\""},
      {"a reduction twice",
       with(ManualLog(), &FixtureSwanLog::runOffSettings,
            {"Fractional reduction in run-off volume: 0.4", "Fractional reduction in run-off volume: 0.5"}),
       26, "a second time (first on line 25)"},
      {"no strip width", with(FilterStripLog(), &FixtureSwanLog::runOffSettings, {}), 28,
       "VfsMod without \"Filter strip buffer width:\""},
      {"strip width empty",
       with(FilterStripLog(), &FixtureSwanLog::runOffSettings, {"Filter strip buffer width:"}), 29,
       "no value after"},
      {"neither yes nor no",
       with(FilterStripLog(), &FixtureSwanLog::driftSettings,
            {"Nozzle reduction (%): 0", "Select buffer width: Ja"}),
       42, "neither Yes nor No"},
      {"buffer without width",
       with(FilterStripLog(), &FixtureSwanLog::driftSettings,
            {"Nozzle reduction (%): 0", "Select buffer width: Yes"}),
       42, "a buffer selected without \"Buffer width (m):\""},
      {"loadings entered without them",
       with(FilterStripLog(), &FixtureSwanLog::driftSettings,
            {"Nozzle reduction (%): 0", "Enter mass loadings directly: Yes", "Pond mass loading (mg/m2): 1"}),
       42, "mass loadings entered without"},
      loadingsWithout("a loading without the stream's", "Pond mass loading", "Ditch mass loading"),
      loadingsWithout("a loading without the ditch's", "Pond mass loading", "Stream mass loading"),
      loadingsWithout("a loading without the pond's", "Ditch mass loading", "Stream mass loading"),
      {"a label without its colon", noColon, LineStarting(noColon, "Pond mass loading"),
       "no \":\" after \"Pond mass loading\""},
      {"run-off applied without a mode", orphanRunOff, LastLine(orphanRunOff),
       "run-off mitigation applied without"},
      {"drift applied without its settings", orphanDrift, LastLine(orphanDrift),
       "spray drift mitigation applied without its settings"},
      {"too many files", many, LastLine(many), "more than 100000 files"},
      {"too many run-off files", manyRunOff, LastLine(manyRunOff), "more than 100000 files"},
  };
  quillmere::testing::ExpectRefused(
      cases, [](const std::string& text) { return ReadSwanLogText(text); }, &SwanLogReading::log);
}

TEST(SwanLogTest, SaysWhyAFileCouldNotBeRead) {
  quillmere::testing::ScratchDirectory scratch;
  const SwanLogReading reading = ReadSwanLog(scratch / "SWAN_log.txt");
  EXPECT_FALSE(reading.log);
  EXPECT_NE(reading.problem.find("cannot open"), std::string::npos) << reading.problem;
}

TEST(SwanLogTest, SaysWhatWasDoneWhenTheLogGivesNoDetails) {
  FixtureSwanLog otherMode = ManualLog();
  otherMode.runOffMode = "SomeLaterMode";
  otherMode.runOffSettings.clear();
  otherMode.runOffFiles = {"plain.p2t", "x0318.p2t"};
  FixtureSwanLog bareDrift = DriftOnlyLog();
  bareDrift.driftSettings = {"Use Step 3 mass loadings: No"};
  bareDrift.driftFiles = {"0318.txw"};
  struct Case {
    FixtureSwanLog log;
    std::string report;  // of the run folder
    std::string text;
    std::string runFolderText;
  } cases[] = {
      // A mode not known is named as the log gives it; a file without a
      // run's digits by its name.
      {otherMode, "318.sum", "run-off: SomeLaterMode", "run-off: SomeLaterMode (runs plain.p2t, 318)"},
      {bareDrift, "0318.sum", "drift: applied", "drift: applied (run 0318)"},
      // A report without a run id has no mitigation.
      {bareDrift, "_.sum", "", "drift: applied (run 0318)"},
      {bareDrift, ".sum", "", "drift: applied (run 0318)"},
  };
  for (const Case& c : cases) {
    const SwanLog log = Read(c.log);
    EXPECT_EQ(MitigationText(log, c.report), c.text) << c.report;
    EXPECT_EQ(RunFolderMitigationText(log), c.runFolderText) << c.report;
  }
}

}  // namespace
}  // namespace quillmere
