// The run when the system fails a call: a write, a flush, a rename, a
// listing that breaks off, and the system stopping altogether from a point
// on, as at a power cut. The calls are failed through the runtime's System,
// on every platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "summary/summary_run.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"
#include "tests/table_text.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::FailedCall;
using quillmere::testing::FailingSystem;
using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::ScratchDirectory;

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
    const BothFiles run = RunWithWorkbook(runs);
    const std::string workbook = ReadFile(JoinPath(runs, "Summary.xlsx"));
    const std::string table = ReadFile(JoinPath(runs, "Summary.txt"));
    EXPECT_TRUE(workbook == kOldWorkbook || IsWholeWorkbook(workbook)) << n;
    EXPECT_TRUE(table == kOldTable || RowNames(table).size() == 2) << n;
    oldWorkbookSeen = oldWorkbookSeen || workbook == kOldWorkbook;
    newWorkbookSeen = newWorkbookSeen || IsWholeWorkbook(workbook);
    EXPECT_EQ(run.workbook.status == WorkbookStatus::kWritten, IsWholeWorkbook(workbook)) << n;
  }
  EXPECT_TRUE(oldWorkbookSeen);
  EXPECT_TRUE(newWorkbookSeen);
}

}  // namespace
}  // namespace quillmere
