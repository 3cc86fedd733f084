// The run when the system fails a call: a report that cannot be opened or
// read, a write, a flush, a close or a rename of the table or the workbook
// that fails, transfers cut short, a listing that cannot be opened or breaks
// off, memory running out for a report, and the system stopping altogether
// from a point on, as at a power cut. The calls are failed through the
// runtime's System, on every platform; where the program's message is what
// counts, its command line runs in process.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "summary/summary_run.h"
#include "tests/command_line_capture.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"
#include "tests/table_text.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::DataRows;
using quillmere::testing::FailedCall;
using quillmere::testing::FailingSystem;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::SmallTreeRows;
using quillmere::testing::WriteSmallTree;
using Transfer = quillmere::testing::FailedCall::Transfer;

const std::string kOldTable = "the table of the last run\r\n";
const std::string kOldWorkbook = "the workbook of the last run";

// Two run folders of one report each, and the files of an earlier run.
std::string WriteTree(const ScratchDirectory& scratch) {
  scratch.Write("runs/run1/toxswa/a.sum", BuildReport({}));
  scratch.Write("runs/run2/toxswa/b.sum", BuildReport({}));
  scratch.Write("runs/Summary.txt", kOldTable);
  scratch.Write("runs/Summary.xlsx", kOldWorkbook);
  return JoinPath(scratch.path(), "runs");
}

// The paths the tests make are ASCII.
bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A workbook written whole: a zip archive that ends in its directory's
// closing record.
bool IsWholeWorkbook(const std::string& bytes) {
  return bytes.starts_with("PK\x03\x04") && bytes.size() > 22 &&
         bytes.compare(bytes.size() - 22, 4, "PK\x05\x06") == 0;
}

struct BothFiles {
  SummaryOutcome table;
  WorkbookOutcome workbook;
};

BothFiles RunWithWorkbook(const std::string& directory) {
  SummaryOptions options;
  WorkbookSettings settings;
  settings.directory = directory;
  WorkbookRunPointer book = StartWorkbookRun(settings, options);
  BothFiles run;
  run.table = SummaryRun(directory, options);
  run.workbook = FinishWorkbookRun(*book, run.table);
  return run;
}

TEST(SystemSeamTest, ATableThatCannotBeWrittenOrPutInPlaceEndsTheRunNamingIt) {
  const auto full = quillmere::testing::DiskFull();
  const auto fails = quillmere::testing::DiskFails();
  const auto held = quillmere::testing::HeldByAnotherProgram();
  struct Case {
    SystemCall call;  // failed the first time, on Summary.txt
    unsigned long error;
    std::string reason;
    bool oldTableStays;  // else the table keeps whole lines only
  } cases[] = {
      {SystemCall::kWrite, full.error, "cannot write: " + full.words, false},
      {SystemCall::kWrite, fails.error, "cannot write: " + fails.words, false},
      {SystemCall::kFlush, fails.error, "cannot write: " + fails.words, true},
      {SystemCall::kFlush, full.error, "cannot write: " + full.words, true},
      {SystemCall::kRename, held.error, "cannot replace: " + held.words, true},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    const std::string runs = WriteTree(scratch);
    FailingSystem system({FailedCall{c.call, 1, c.error, "Summary.txt"}});
    const SummaryOutcome outcome = SummaryRun(runs);
    EXPECT_EQ(system.failed(), 1) << c.reason;
    EXPECT_EQ(outcome.status, RunStatus::kWriteFailure) << c.reason;
    EXPECT_EQ(outcome.message, JoinPath(runs, "Summary.txt") + ": " + c.reason);
    const std::string table = ReadFile(JoinPath(runs, "Summary.txt"));
    if (c.oldTableStays) {
      EXPECT_EQ(table, kOldTable) << c.reason;
    } else {
      EXPECT_TRUE(table.empty() || table.ends_with("\r\n")) << c.reason;
    }
    EXPECT_FALSE(Exists(JoinPath(runs, ".Summary.txt.partial"))) << c.reason;
  }
}

TEST(SystemSeamTest, AListingThatBreaksOffIsNamedAndKeepsTheRowsBefore) {
  const auto fails = quillmere::testing::DiskFails();
  struct Case {
    std::string folder;  // "" for the directory itself
    RunStatus status;
    std::vector<std::string> rows;
  } cases[] = {
      {"", RunStatus::kNotStarted, {}},
      {"run2", RunStatus::kReportFailure, {"run1/a.sum"}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    const std::string runs = WriteTree(scratch);
    const std::string folder = c.folder.empty() ? runs : JoinPath(runs, c.folder);
    // The first entry comes, the next fails.
    FailingSystem system({{SystemCall::kList, 1, fails.error, c.folder.empty() ? "runs" : c.folder}});
    const SummaryOutcome outcome = SummaryRun(runs);
    EXPECT_EQ(system.failed(), 1) << c.folder;
    EXPECT_EQ(outcome.status, c.status) << c.folder;
    EXPECT_EQ(outcome.failedPath, folder);
    EXPECT_EQ(outcome.reason, "cannot list: " + fails.words);
    if (c.status == RunStatus::kNotStarted) {
      EXPECT_EQ(ReadFile(JoinPath(runs, "Summary.txt")), kOldTable);
    } else {
      EXPECT_EQ(RowNames(ReadFile(JoinPath(runs, "Summary.txt"))), c.rows) << c.folder;
    }
  }
}

TEST(SystemSeamTest, AWorkbookThatCannotBeFlushedOrPutInPlaceLeavesTheOldOneBesideTheNewTable) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  const auto fails = quillmere::testing::DiskFails();
  const auto held = quillmere::testing::HeldByAnotherProgram();
  struct Case {
    SystemCall call;   // failed the first time, on a name ending as
    std::string name;  // this one
    unsigned long error;
    std::string reason;
  } cases[] = {
      {SystemCall::kFlush, "Summary.xlsx", fails.error, "cannot write: " + fails.words},
      {SystemCall::kRename, "Summary.xlsx", held.error, "cannot replace: " + held.words},
      {SystemCall::kOpen, ".Summary.xlsx.partial", fails.error, ""},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    const std::string runs = WriteTree(scratch);
    FailingSystem system({FailedCall{c.call, 1, c.error, c.name}});
    const BothFiles run = RunWithWorkbook(runs);
    EXPECT_EQ(system.failed(), 1) << c.reason;
    EXPECT_EQ(run.table.status, RunStatus::kWritten) << c.reason;
    ASSERT_EQ(run.workbook.status, WorkbookStatus::kFailed) << c.reason;
    if (!c.reason.empty()) {
      EXPECT_EQ(Describe(*run.workbook.failure), JoinPath(runs, "Summary.xlsx") + ": " + c.reason);
    } else {
      // The hidden file is named, and what to do.
      EXPECT_EQ(run.workbook.failure->path(), JoinPath(runs, ".Summary.xlsx.partial"));
    }
    EXPECT_EQ(ReadFile(JoinPath(runs, "Summary.xlsx")), kOldWorkbook) << c.reason;
    EXPECT_EQ(RowNames(ReadFile(JoinPath(runs, "Summary.txt"))),
              (std::vector<std::string>{"run1/a.sum", "run2/b.sum"}));
    EXPECT_FALSE(Exists(JoinPath(runs, ".Summary.xlsx.partial"))) << c.reason;
  }
}

TEST(SystemSeamTest, AWorkbookWhoseCloseFailsAfterItsRenameIsNotSaidToBeLeftAsItWas) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  const auto fails = quillmere::testing::DiskFails();
  ScratchDirectory scratch;
  const std::string runs = WriteTree(scratch);
  // Every close of its hidden file fails: on Windows the run lets its first
  // handle go before the library writes the file, and that close is not the
  // one that counts.
  FailedCall closes{SystemCall::kClose, 1, fails.error, ".Summary.xlsx.partial"};
  closes.onward = true;
  FailingSystem system({closes});
  const CommandLineResult result = RunCli({"--workbook", runs});
  EXPECT_GE(system.failed(), 1);
  EXPECT_EQ(result.status, 1);
  const std::string workbook = JoinPath(runs, "Summary.xlsx");
  EXPECT_EQ(result.err, "quillmere-summary: " + workbook + ": cannot write: " + fails.words + "; " +
                            JoinPath(runs, "Summary.txt") + " is complete, " + workbook +
                            " is the new one, but may be incomplete: run again\n");
  EXPECT_TRUE(IsWholeWorkbook(ReadFile(workbook)));
}

TEST(SystemSeamTest, APowerCutAtAnyPointLeavesEachFileOldOrWholeAndNew) {
  // The system stops answering from the Nth call on, for every N the run
  // reaches: between the workbook's write and its rename among them.
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  int calls = 0;
  {
    ScratchDirectory scratch;
    const std::string runs = WriteTree(scratch);
    FailingSystem counting({});
    ASSERT_EQ(RunWithWorkbook(runs).workbook.status, WorkbookStatus::kWritten);
    calls = counting.calls();
  }
  ASSERT_GT(calls, 5);
  bool oldWorkbookSeen = false;
  bool newWorkbookSeen = false;
  for (int n = 1; n <= calls + 1; ++n) {
    ScratchDirectory scratch;
    const std::string runs = WriteTree(scratch);
    FailedCall cut;
    cut.anyKind = true;
    cut.nth = n;
    cut.onward = true;
    cut.error = quillmere::testing::DiskFails().error;
    FailingSystem system({cut});
    BothFiles run;
    try {
      run = RunWithWorkbook(runs);
    } catch (const FileError&) {
      // No temporary file for the workbook's rows: the run does not start.
      run.workbook.status = WorkbookStatus::kLeftAsItWas;
    }
    const std::string workbook = ReadFile(JoinPath(runs, "Summary.xlsx"));
    const std::string table = ReadFile(JoinPath(runs, "Summary.txt"));
    EXPECT_TRUE(workbook == kOldWorkbook || IsWholeWorkbook(workbook)) << n;
    EXPECT_TRUE(table == kOldTable || RowNames(table).size() == 2) << n;
    oldWorkbookSeen = oldWorkbookSeen || workbook == kOldWorkbook;
    newWorkbookSeen = newWorkbookSeen || IsWholeWorkbook(workbook);
    // A failure the system reports only at the close, after the rename,
    // leaves the new workbook in place, and the outcome says so.
    const bool inPlace = run.workbook.status == WorkbookStatus::kWritten ||
                         (run.workbook.status == WorkbookStatus::kFailed && run.workbook.inPlace);
    EXPECT_EQ(inPlace, IsWholeWorkbook(workbook)) << n;
  }
  EXPECT_TRUE(oldWorkbookSeen);
  EXPECT_TRUE(newWorkbookSeen);
}

// A tree whose table is several times the output buffer of 64 KiB; with
// two substances a report, the buffer is handed over after either row.
constexpr int kLargeTreeReports = 1000;
void WriteLargeTree(const ScratchDirectory& scratch, int substances = 1) {
  FixtureReport fixture;
  if (substances == 2) fixture.substances.push_back(FixtureSubstance{.name = "MET1"});
  const std::string report = BuildReport(fixture);
  for (int i = 0; i < kLargeTreeReports; ++i)
    scratch.Write("run/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
}

// The program's one line when the table failed.
std::string TableFailure(const ScratchDirectory& scratch, const std::string& reason) {
  return "quillmere-summary: " + (scratch / "Summary.txt") + ": " + reason + "\n";
}

// The three lines of a report failure (the first two broken as the
// system's message boxes break them) and the line saying what the table
// keeps.
std::string ReportFailure(const ScratchDirectory& scratch, const std::string& path,
                          const std::string& reason) {
  return "Problem with file " + path + "!" + std::string(kMessageLineBreak) +
         " Please check!\nquillmere-summary: " + reason + "\n" +
         quillmere::testing::KeepsLine(scratch / "Summary.txt");
}

TEST(SystemSeamTest, ATableThatFailsPartWayEndsTheRunAtAWholeLine) {
  const auto full = quillmere::testing::DiskFull();
  const auto fails = quillmere::testing::DiskFails();
  const auto nothing = quillmere::testing::WriteTookNothing();
  FailedCall half{SystemCall::kWrite, 1, 0, "Summary.txt"};
  half.transfer = Transfer::kHalf;
  FailedCall none{SystemCall::kWrite, 1, 0, "Summary.txt"};
  none.transfer = Transfer::kNothing;
  struct Case {
    std::string what;
    std::vector<FailedCall> failures;
    int largeTree;  // 0 for the small tree, else substances a report
    std::string reason;
    std::size_t rowsAtLeast;  // the table keeps whole lines only, of these
    std::size_t rowsAtMost;   // rows at least and at most
    bool brokenReport = false;
  } cases[] = {
      {"a later hand-over",
       {{SystemCall::kWrite, 2, full.error, "Summary.txt"}},
       2,
       "cannot write: " + full.words,
       1,
       kLargeTreeReports * 2 - 1},
      {"a write that takes nothing", {none}, 0, "cannot write: " + nothing.words, 0, 0},
      // Half the table taken, then the disk full: cut back to a whole line.
      {"half, then full",
       {half, {SystemCall::kWrite, 2, full.error, "Summary.txt"}},
       0,
       "cannot write: " + full.words,
       0,
       4},
      // Network and full disks report late, at the close.
      {"the close",
       {{SystemCall::kClose, 1, fails.error, "Summary.txt"}},
       0,
       "cannot write: " + fails.words,
       5,
       5},
      // The first failure is the one reported.
      {"a write, then the close",
       {{SystemCall::kWrite, 1, full.error, "Summary.txt"},
        {SystemCall::kClose, 1, fails.error, "Summary.txt"}},
       0,
       "cannot write: " + full.words,
       0,
       0},
      // The table may have lost lines: that is what the user learns, not the
      // report's failure alone.
      {"the close after a report failed",
       {{SystemCall::kClose, 1, fails.error, "Summary.txt"}},
       0,
       "cannot write: " + fails.words,
       1,
       1,
       true},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    if (c.largeTree != 0) {
      WriteLargeTree(scratch, c.largeTree);
    } else {
      WriteSmallTree(scratch);
    }
    if (c.brokenReport) scratch.Write("run1/toxswa/b.sum", "not a report");
    FailingSystem system(c.failures);
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), static_cast<int>(c.failures.size())) << c.what;
    EXPECT_EQ(result.status, 1) << c.what;
    EXPECT_EQ(result.err, TableFailure(scratch, c.reason)) << c.what;
    EXPECT_EQ(result.out, "") << c.what;
    const std::vector<std::string> rows = DataRows(ReadFile(scratch / "Summary.txt"));
    EXPECT_GE(rows.size(), c.rowsAtLeast) << c.what;
    EXPECT_LE(rows.size(), c.rowsAtMost) << c.what;
  }
}

TEST(SystemSeamTest, ATableThatCannotBeOpenedCheckedOrEmptiedStopsTheRunBeforeItStarts) {
  const auto denied = quillmere::testing::PermissionDenied();
  const auto fails = quillmere::testing::DiskFails();
  struct Case {
    SystemCall call;  // failed the first time, on Summary.txt or its hidden file
    unsigned long error;
    std::string message;  // after "quillmere-summary: DIR/"
  } cases[] = {
      {SystemCall::kOpen, denied.error, "Summary.txt: cannot create: " + denied.words + "\n"},
      {SystemCall::kStatus, fails.error, "Summary.txt: cannot create: " + fails.words + "\n"},
      // The hidden file the table is built in is named, with what to do.
      {SystemCall::kTruncate, fails.error,
       ".Summary.txt.partial: cannot empty: " + fails.words +
           "; it is the hidden file a run builds Summary.txt in"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    WriteSmallTree(scratch);
    scratch.Write("Summary.txt", kOldTable);
    FailingSystem system({{c.call, 1, c.error, "Summary.txt"}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.message;
    EXPECT_EQ(result.status, 2) << c.message;
    EXPECT_TRUE(result.err.starts_with("quillmere-summary: " + JoinPath(scratch.path(), c.message)))
        << result.err;
    EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kOldTable) << c.message;
    EXPECT_FALSE(Exists(scratch / ".Summary.txt.partial")) << c.message;
  }
}

TEST(SystemSeamTest, TransfersCutShortAreCarriedOn) {
  ScratchDirectory scratch;
  WriteLargeTree(scratch);
  scratch.Write("run/toxswa/long.sum", BuildReport(FixtureReport{.fillerLines = 2000}));
  ASSERT_EQ(RunCli({"--", scratch.path()}).status, 0);
  const std::string expected = ReadFile(scratch / "Summary.txt");
  const std::string wrote = "Wrote " + (scratch / "Summary.txt") + ": " +
                            std::to_string(kLargeTreeReports + 1) + " reports, " +
                            std::to_string(kLargeTreeReports + 1) + " rows\n";
  for (const SystemCall call : {SystemCall::kWrite, SystemCall::kRead}) {
    FailedCall half{call, 1, 0, call == SystemCall::kWrite ? "Summary.txt" : "long.sum"};
    half.onward = true;
    half.transfer = Transfer::kHalf;
    FailingSystem system({half});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_GT(system.failed(), 1);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, wrote);
    EXPECT_TRUE(ReadFile(scratch / "Summary.txt") == expected);
  }
}

TEST(SystemSeamTest, AReportThatCannotBeOpenedCheckedOrReadEndsTheRunNamingIt) {
  const auto denied = quillmere::testing::PermissionDenied();
  const auto fails = quillmere::testing::DiskFails();
  struct Case {
    SystemCall call;  // failed the first time on run1's b.sum
    unsigned long error;
    std::string reason;
  } cases[] = {
      {SystemCall::kOpen, denied.error, "cannot open: " + denied.words},
      {SystemCall::kStatus, fails.error, "cannot open: " + fails.words},
      {SystemCall::kRead, fails.error, "cannot read: " + fails.words},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    WriteSmallTree(scratch);
    FailingSystem system({{c.call, 1, c.error, "b.sum"}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.reason;
    EXPECT_EQ(result.status, 1) << c.reason;
    EXPECT_EQ(result.err, ReportFailure(scratch, scratch / "run1/toxswa/b.sum", c.reason));
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run1/a.sum"})
        << c.reason;
  }
}

TEST(SystemSeamTest, AFolderThatCannotBeListedIsNamedAsItIsAndKeepsTheRowsBefore) {
  const auto denied = quillmere::testing::PermissionDenied();
  const auto fails = quillmere::testing::DiskFails();
  const std::vector<std::string> run1Rows(SmallTreeRows().begin(), SmallTreeRows().begin() + 3);
  struct Case {
    SystemCall call;     // failed the first time on
    std::string folder;  // this folder, relative to the directory ("" for itself)
    unsigned long error;
    std::string words;
    std::vector<std::string> rows;
    bool upperCase = false;  // a tree of one run folder with a TOXSWA folder
  } cases[] = {
      {SystemCall::kOpenListing, "run2/toxswa", denied.error, denied.words, run1Rows},
      {SystemCall::kOpenListing, "run2", denied.error, denied.words, run1Rows},
      {SystemCall::kList, "run1/toxswa", fails.error, fails.words, {}},
      {SystemCall::kOpenListing, "run/TOXSWA", denied.error, denied.words, {}, true},
      {SystemCall::kList, "run/TOXSWA", fails.error, fails.words, {}, true},
      {SystemCall::kOpenListing, "", denied.error, denied.words, {}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    if (c.upperCase) {
      scratch.Write("run/TOXSWA/a.sum", BuildReport({}));
    } else {
      WriteSmallTree(scratch);
    }
    const std::string folder = c.folder.empty() ? scratch.path() : scratch / c.folder;
    FailingSystem system({{c.call, 1, c.error, folder}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.folder;
    if (c.folder.empty()) {
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.err, "quillmere-summary: " + folder + ": cannot list: " + c.words + "\n");
      continue;
    }
    EXPECT_EQ(result.status, 1) << c.folder;
    EXPECT_EQ(result.err, ReportFailure(scratch, folder, "cannot list: " + c.words)) << c.folder;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), c.rows) << c.folder;
  }
}

TEST(SystemSeamTest, MemoryRunningOutWhileAReportIsReadFailsThatReport) {
  struct Case {
    std::string what;
    int nth;              // the nth allocation
    std::size_t atLeast;  // of at least this many bytes fails
    std::string reason;
  } cases[] = {
      // The reader's 64 KiB buffer: a.sum's comes first.
      {"the line buffer", 2, 65536, "cannot read: out of memory"},
      // A line longer than the buffer makes it grow.
      {"a longer buffer", 1, 65537, "cannot read: out of memory for a line of 65536 bytes"},
      // The dates kept for the table.
      {"the record", 1, 100000, "not enough memory to read it"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    FixtureReport wide;
    wide.applicationDates.assign(20'000, "14-Nov-1978-09h00");
    if (c.what == "a longer buffer") wide.scenario = std::string(70'000, 'S');
    const std::string path = scratch.Write("run/toxswa/b.sum", BuildReport(wide));
    FailedCall failure;
    failure.call = SystemCall::kAllocate;
    failure.nth = c.nth;
    failure.atLeast = c.atLeast;
    FailingSystem system({failure});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.what;
    EXPECT_EQ(result.status, 1) << c.what;
    EXPECT_EQ(result.err, ReportFailure(scratch, path, c.reason)) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(SystemSeamTest, AWorkbookInPlaceBesideATableThatCannotBeIsSaidToBeNewButMaybeIncomplete) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  const auto fails = quillmere::testing::DiskFails();
  const auto held = quillmere::testing::HeldByAnotherProgram();
  ScratchDirectory scratch;
  const std::string runs = WriteTree(scratch);
  // Every close of the workbook's hidden file fails, as in the test above.
  FailedCall closes{SystemCall::kClose, 1, fails.error, ".Summary.xlsx.partial"};
  closes.onward = true;
  FailingSystem system({closes, FailedCall{SystemCall::kRename, 1, held.error, "Summary.txt"}});
  const CommandLineResult result = RunCli({"--workbook", runs});
  EXPECT_GE(system.failed(), 2);
  EXPECT_EQ(result.status, 1);
  const std::string workbook = JoinPath(runs, "Summary.xlsx");
  // The workbook's line, then the table's.
  EXPECT_EQ(result.err, "quillmere-summary: " + workbook + ": cannot write: " + fails.words + "; " +
                            workbook + " is the new one, but may be incomplete: run again\n" +
                            "quillmere-summary: " + JoinPath(runs, "Summary.txt") +
                            ": cannot replace: " + held.words + "\n");
  EXPECT_TRUE(IsWholeWorkbook(ReadFile(workbook)));
  EXPECT_EQ(ReadFile(JoinPath(runs, "Summary.txt")), kOldTable);
}

}  // namespace
}  // namespace quillmere
