// How a run puts Summary.txt and Summary.xlsx in place: both under the
// table's lock, the workbook first, through the directory's handle, keeping
// the mode of what they replace; and what it says of a hidden file it cannot
// take over. What every system shares is in file_protocol_test.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "runtime/folder.h"
#include "runtime/interruption.h"
#include "summary/summary_run.h"
#include "tests/command_line_capture.h"
#include "tests/program_run.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::ReadFile;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

bool IsWorkbook(const std::string& path) { return ReadFile(path).starts_with("PK\x03\x04"); }

// A run over `directory` with the workbook, whose step `during` is called
// once the table is whole on the disk and before the workbook is written, and
// says where the directory stands then.
struct WorkbookRunResult {
  SummaryOutcome table;
  WorkbookOutcome workbook;
};
WorkbookRunResult RunWithWorkbook(const std::string& directory, const std::function<std::string()>& during) {
  SummaryOptions options;
  WorkbookSettings settings;
  settings.directory = directory;
  WorkbookRunPointer book = StartWorkbookRun(settings, options);
  const auto write = options.beforeReplacing;
  options.beforeReplacing = [&](const Folder& folder, const SummaryOutcome& soFar) {
    const std::string now = during();
    write(folder, soFar);
    // The workbook is in place before the table.
    EXPECT_TRUE(IsWorkbook(now + "/Summary.xlsx"));
    EXPECT_EQ(ReadFile(now + "/Summary.txt"), "the last table\r\n");
  };
  WorkbookRunResult result;
  result.table = SummaryRun(directory, options);
  result.workbook = FinishWorkbookRun(*book, result.table);
  return result;
}

TEST(FileProtocolTest, HoldsTheLockUntilTheWorkbookAndTheTableAreInPlace) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  scratch.Write("Summary.txt", "the last table\r\n");
  SummaryOutcome second;
  const WorkbookRunResult first = RunWithWorkbook(scratch.path(), [&] {
    second = SummaryRun(scratch.path());
    return scratch.path();
  });
  EXPECT_EQ(second.status, RunStatus::kNotStarted);
  EXPECT_EQ(second.message,
            scratch / "Summary.txt: not written: another run is writing it; try again when it has ended");
  EXPECT_EQ(first.table.status, RunStatus::kWritten);
  EXPECT_EQ(first.workbook.status, WorkbookStatus::kWritten);
  EXPECT_NE(ReadFile(scratch / "Summary.txt").find("run\ta.sum\t"), std::string::npos);
}

TEST(FileProtocolTest, WritesTheWorkbookThroughTheDirectoryOpenedAtTheStart) {
  ScratchDirectory scratch;
  scratch.Write("runs/run/toxswa/a.sum", BuildReport({}));
  scratch.Write("runs/Summary.txt", "the last table\r\n");
  const std::string runs = scratch / "runs";
  const std::string moved = scratch / "moved";
  const WorkbookRunResult result = RunWithWorkbook(runs, [&] {
    // The directory moved away and a link to a folder elsewhere in its place.
    fs::rename(runs, moved);
    fs::create_directory(scratch / "elsewhere");
    fs::create_directory_symlink(scratch / "elsewhere", runs);
    return moved;
  });
  EXPECT_EQ(result.workbook.status, WorkbookStatus::kWritten);
  EXPECT_TRUE(IsWorkbook(moved + "/Summary.xlsx"));
  EXPECT_NE(ReadFile(moved + "/Summary.txt"), "the last table\r\n");
  EXPECT_TRUE(fs::is_empty(scratch / "elsewhere"));
}

TEST(FileProtocolTest, AReplacedFileKeepsItsMode) {
  for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664)}) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    for (const char* name : {"Summary.txt", "Summary.xlsx"}) {
      scratch.Write(name, "an earlier file");
      fs::permissions(scratch / name, mode);
    }
    ASSERT_EQ(RunCli({"--workbook", scratch.path()}).status, 0);
    for (const char* name : {"Summary.txt", "Summary.xlsx"}) {
      EXPECT_NE(ReadFile(scratch / name), "an earlier file") << name;
      EXPECT_EQ(fs::status(scratch / name).permissions(), mode) << name << " " << static_cast<int>(mode);
    }
  }
}

TEST(FileProtocolTest, AHiddenFileThatCannotBeTakenOverIsNamedWithWhatToDo) {
  struct Case {
    std::string hidden;  // the hidden file made unusable
    bool fifo;           // a pipe, else a folder
    int exitStatus;
    std::string reason;
  } cases[] = {
      {".Summary.txt.partial", false, 2, "cannot create: Is a directory"},
      {".Summary.txt.partial", true, 2, "cannot create: No such device or address"},
      {".Summary.xlsx.partial", false, 1, "cannot create: Is a directory"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    scratch.Write("Summary.xlsx", "the last workbook");
    if (c.fifo) {
      ASSERT_EQ(::mkfifo((scratch / c.hidden).c_str(), 0600), 0);
    } else {
      scratch.MakeFolder(c.hidden);
    }
    const std::string made = c.hidden.substr(1, c.hidden.size() - 9);
    const quillmere::testing::CommandLineResult result = RunCli({"--workbook", scratch.path()});
    EXPECT_EQ(result.status, c.exitStatus) << c.hidden;
    const std::string named = "quillmere-summary: " + (scratch / c.hidden) + ": " + c.reason +
                              "; it is the hidden file a run builds " + made +
                              " in, and no run is using it: remove it and try again";
    EXPECT_TRUE(result.err.starts_with(named)) << result.err;
    EXPECT_EQ(ReadFile(scratch / "Summary.xlsx"), "the last workbook") << c.hidden;
  }
}

TEST(FileProtocolTest, ARefusedWorkbookRunSaysOnlyWhy) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  // Another run holds the table's hidden file.
  const int held = ::open((scratch / ".Summary.txt.partial").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const quillmere::testing::CommandLineResult result = RunCli({"--workbook", scratch.path()});
  ::close(held);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "quillmere-summary: " + (scratch / "Summary.txt") +
                            ": not written: another run is writing it; try again when it has ended\n");
  EXPECT_FALSE(fs::exists(scratch / "Summary.xlsx"));
}

TEST(FileProtocolTest, AStopWhileTheWorkbookIsWrittenKeepsTheOldOneAndTheWholeNewTable) {
  // Enough rows that the workbook takes a while; stopped once its hidden
  // file is there.
  ScratchDirectory scratch;
  FixtureReport big;
  big.substances.clear();
  for (int i = 0; i < 100; ++i) big.substances.push_back(FixtureSubstance{.name = "S" + std::to_string(i)});
  const std::string report = BuildReport(big);
  for (int i = 0; i < 600; ++i) scratch.Write("run/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
  for (const int signal : {SIGTERM, SIGINT}) {
    scratch.Write("Summary.xlsx", "the last workbook");
    quillmere::testing::ProgramStart start;
    start.beforeExec = [] {
      std::signal(SIGINT, SIG_DFL);
      std::signal(SIGTERM, SIG_DFL);
    };
    const quillmere::testing::StartedProgram program =
        quillmere::testing::StartProgram(QUILLMERE_SUMMARY_EXE, {"--workbook", scratch.path()}, start);
    const std::string hidden = scratch / ".Summary.xlsx.partial";
    ASSERT_TRUE(quillmere::testing::WaitForFile(hidden)) << "the run wrote no workbook in a minute";
    ::kill(program.pid, signal);
    const quillmere::testing::ProgramResult result = quillmere::testing::FinishProgram(program);
    EXPECT_TRUE(result.signal == signal || result.exitStatus == 128 + signal) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "quillmere-summary: interrupted by " + InterruptionName(signal) + "; " +
                              (scratch / "Summary.txt") + " is complete, " + (scratch / "Summary.xlsx") +
                              " is left as it was\n");
    EXPECT_EQ(ReadFile(scratch / "Summary.xlsx"), "the last workbook");
    EXPECT_FALSE(fs::exists(hidden));
    const std::string table = ReadFile(scratch / "Summary.txt");
    EXPECT_EQ(static_cast<std::size_t>(std::count(table.begin(), table.end(), '\n')), 1u + 600u * 100u);
  }
}

TEST(FileProtocolTest, AFileSizeLimitEndsTheRealProgramAtAWholeLine) {
  // The system's own limit, not a failure the tests make up: the table may
  // grow to 64 KiB, and a write past it fails with EFBIG.
  ScratchDirectory scratch;
  const std::string report = BuildReport({});
  for (int i = 0; i < 1500; ++i) scratch.Write("run/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
  quillmere::testing::ProgramStart start;
  start.beforeExec = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  const quillmere::testing::ProgramResult result = quillmere::testing::FinishProgram(
      quillmere::testing::StartProgram(QUILLMERE_SUMMARY_EXE, {"--", scratch.path()}, start));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err,
            "quillmere-summary: " + (scratch / "Summary.txt") + ": cannot write: File too large\n");
  const std::string table = ReadFile(scratch / "Summary.txt");
  EXPECT_LE(table.size(), 64u * 1024u);
  EXPECT_TRUE(table.ends_with("\r\n"));
}

}  // namespace
}  // namespace quillmere
