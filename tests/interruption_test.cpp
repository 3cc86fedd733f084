// A request to stop met inside the process: the run stops between reports
// with whole lines, and the command line says so. Each case runs in a child
// process of its own (a death test), since a request once noted stays noted;
// the child ends with exit(), so that what it ran is counted by the coverage
// build too (a process ended by a signal writes no counts). The last case
// sends every signal that ends a program to the built quillmere-summary.
#include "runtime/interruption.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "runtime/folder.h"
#include "runtime/system.h"
#include "summary/summary_run.h"
#include "tests/command_line_capture.h"
#include "tests/program_run.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::DataRows;
using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

void WriteThreeReports(const ScratchDirectory& scratch) {
  for (const char* name : {"run/toxswa/a.sum", "run/toxswa/b.sum", "run/toxswa/c.sum"}) {
    scratch.Write(name, BuildReport({}));
  }
}

// Runs over `directory` and raises `signal`, then another request to stop,
// just before the report `when` (numbered from 1) is opened, or else once it
// is read; prints what the run reports and the rows the table keeps.
[[noreturn]] void RunStoppedAt(const std::string& directory, int signal, int when, bool beforeOpening) {
  CatchInterruptions();
  const auto stop = [signal] {
    std::raise(signal);
    std::raise(signal == SIGTERM ? SIGINT : SIGTERM);  // the first request is the one that counts
  };
  int reportsSeen = 0;
  SummaryOptions options;
  options.progress = [&](const SummaryProgress& progress) {
    if (!beforeOpening && static_cast<int>(progress.reports) == when) stop();
  };
  options.beforeReading = [&](const std::string&) {
    if (++reportsSeen == when && beforeOpening) stop();
  };
  const SummaryOutcome outcome = SummaryRun(directory, options);
  const std::size_t rowsKept = DataRows(ReadFile(outcome.tablePath)).size();
  std::fprintf(stderr, "%s: %zu reports, %zu rows, %zu kept", outcome.message.c_str(), outcome.reports,
               outcome.rows, rowsKept);
  std::exit(outcome.status == RunStatus::kInterrupted && outcome.interruption == signal ? 0 : 1);
}

TEST(InterruptionDeathTest, ARequestToStopEndsTheRunWithinTheReportInHand) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;
  WriteThreeReports(scratch);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(RunStoppedAt(scratch.path(), signal, 2, true), ::testing::ExitedWithCode(0),
                "^interrupted by " + InterruptionName(signal) + ": 1 reports, 1 rows, 1 kept$");
  }
}

TEST(InterruptionDeathTest, AStopAfterTheLastReportOrDuringAFailingOneIsNotLost) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The stop comes once the third and last report is read: no report is
  // left to stop before, yet the run ends as stopped.
  ScratchDirectory complete;
  WriteThreeReports(complete);
  EXPECT_EXIT(RunStoppedAt(complete.path(), SIGTERM, 3, false), ::testing::ExitedWithCode(0),
              "^interrupted by SIGTERM: 3 reports, 3 rows, 3 kept$");
  // The stop comes as the second report, which is no report, is read.
  ScratchDirectory failing;
  WriteThreeReports(failing);
  failing.Write("run/toxswa/b.sum", "not a report");
  EXPECT_EXIT(RunStoppedAt(failing.path(), SIGTERM, 2, true), ::testing::ExitedWithCode(0),
              "^interrupted by SIGTERM: 1 reports, 1 rows, 1 kept$");
}

// Raises SIGTERM, while it lives, as the system is asked to `call` (open,
// flush or rename) a file whose name holds `name` (any file when empty).
class StopAt : public SystemWrapper {
 public:
  explicit StopAt(SystemCall call, std::string name = "")
      : SystemWrapper(CurrentSystem()), call_(call), name_(std::move(name)), previous_(UseSystem(this)) {}
  ~StopAt() override { UseSystem(previous_); }
  StopAt(const StopAt&) = delete;
  StopAt& operator=(const StopAt&) = delete;
  std::intptr_t Open(const OpenCall& call) override {
    Stop(SystemCall::kOpen, call.name);
    return SystemWrapper::Open(call);
  }
  bool Flush(std::intptr_t file) override {
    Stop(SystemCall::kFlush, "");
    return SystemWrapper::Flush(file);
  }
  bool Rename(const RenameCall& rename) override {
    Stop(SystemCall::kRename, rename.to);
    return SystemWrapper::Rename(rename);
  }

 private:
  void Stop(SystemCall call, std::string_view name) {
    if (call == call_ && name.find(name_) != std::string_view::npos) std::raise(SIGTERM);
  }
  SystemCall call_;
  std::string name_;
  System* previous_;
};

// Runs over `directory`, a step before the table is put in place when
// `withStep`, and raises SIGTERM as the system is asked to `call` (flush or
// rename) the table; prints what the run reports, whether the step ran, and
// exits 0 when the run ended as stopped.
[[noreturn]] void RunStoppedPuttingTheTableInPlace(const std::string& directory, SystemCall call,
                                                   bool withStep) {
  CatchInterruptions();
  const StopAt stop(call);
  bool stepRan = false;
  SummaryOptions options;
  if (withStep) options.beforeReplacing = [&](const Folder&, const SummaryOutcome&) { stepRan = true; };
  const SummaryOutcome outcome = SummaryRun(directory, options);
  std::fprintf(stderr, "%s: %zu reports, %zu kept, step %s", outcome.message.c_str(), outcome.reports,
               DataRows(ReadFile(outcome.tablePath)).size(), stepRan ? "ran" : "not run");
  std::exit(outcome.status == RunStatus::kInterrupted && outcome.interruption == SIGTERM ? 0 : 1);
}

// A stop while the whole table goes to the disk comes before the step that
// puts a file in place with it (the workbook), which then keeps the one it
// would replace; one while the table itself is put in place is still told.
TEST(InterruptionDeathTest, AStopWhileTheTableIsPutInPlaceIsToldAndKeepsItWhole) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;
  WriteThreeReports(scratch);
  EXPECT_EXIT(RunStoppedPuttingTheTableInPlace(scratch.path(), SystemCall::kFlush, true),
              ::testing::ExitedWithCode(0), "^interrupted by SIGTERM: 3 reports, 3 kept, step not run$");
  EXPECT_EXIT(RunStoppedPuttingTheTableInPlace(scratch.path(), SystemCall::kRename, false),
              ::testing::ExitedWithCode(0), "^interrupted by SIGTERM: 3 reports, 3 kept, step not run$");
}

// Runs the command line over `directory` with a request to stop already
// noted; prints its messages and exits 0 when it returned 128 + SIGTERM.
[[noreturn]] void RunCommandLineInterrupted(const std::string& directory) {
  CatchInterruptions();
  std::raise(SIGTERM);
  const quillmere::testing::CommandLineResult result = quillmere::testing::RunCli({directory});
  std::fprintf(stderr, "%s%s", result.out.c_str(), result.err.c_str());
  std::exit(result.status == kExitInterrupted + SIGTERM ? 0 : 1);
}

TEST(InterruptionDeathTest, TheCommandLineSaysWhatTheTableKeeps) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;
  WriteThreeReports(scratch);
  EXPECT_EXIT(RunCommandLineInterrupted(scratch.path()), ::testing::ExitedWithCode(0),
              "^quillmere-summary: interrupted by SIGTERM; /.*/Summary.txt keeps 0 reports, 0 rows\n$");
}

// Runs the command line with --workbook over `directory` and raises SIGTERM
// as the workbook's hidden file is opened, after the table is complete;
// prints its messages and exits 0 when it returned 128 + SIGTERM and kept the
// workbook that was there.
[[noreturn]] void RunCommandLineStoppedAtTheWorkbook(const std::string& directory) {
  CatchInterruptions();
  const StopAt stop(SystemCall::kOpen, ".Summary.xlsx.partial");
  const quillmere::testing::CommandLineResult result = quillmere::testing::RunCli({"--workbook", directory});
  std::fprintf(stderr, "%s%s", result.out.c_str(), result.err.c_str());
  const bool kept = ReadFile(directory + "/Summary.xlsx") == "the workbook of the last run";
  std::exit(result.status == kExitInterrupted + SIGTERM && kept ? 0 : 1);
}

TEST(InterruptionDeathTest, AStopWhileTheWorkbookIsWrittenKeepsTheOldOneBesideTheWholeTable) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;
  WriteThreeReports(scratch);
  scratch.Write("Summary.xlsx", "the workbook of the last run");
  EXPECT_EXIT(RunCommandLineStoppedAtTheWorkbook(scratch.path()), ::testing::ExitedWithCode(0),
              "^quillmere-summary: interrupted by SIGTERM; /.*/Summary.txt is complete, /.*/Summary.xlsx is "
              "left as it was\n$");
}

// Exits 0 when a SIGHUP raised after CatchInterruptions, with SIGHUP ignored
// from the start, is not noted.
[[noreturn]] void RaiseAnIgnoredRequest() {
  std::signal(SIGHUP, SIG_IGN);
  CatchInterruptions();
  std::raise(SIGHUP);
  std::exit(InterruptionSignal() == 0 ? 0 : 1);
}

TEST(InterruptionDeathTest, ARequestIgnoredFromTheStartStaysIgnored) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RaiseAnIgnoredRequest(), ::testing::ExitedWithCode(0), "");
}

// Starts quillmere-summary on `directory` as a shell would: every signal at
// its default action and none blocked, and no core file when one ends it.
quillmere::testing::StartedProgram StartProgramAsAShellWould(const std::string& directory) {
  quillmere::testing::ProgramStart start;
  start.beforeExec = [] {
    for (int signal = 1; signal < NSIG; ++signal) {
      if (signal != SIGKILL && signal != SIGSTOP) std::signal(signal, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
  };
  return quillmere::testing::StartProgram(QUILLMERE_SUMMARY_EXE, {"--", directory}, start);
}

TEST(InterruptionTest, ASignalToStopTheProgramEndsItsRunAtAWholeLine) {
  // One report of 200 substances read through 10,000 links, a run of many
  // seconds, stopped as soon as the table holds its first lines.
  ScratchDirectory scratch;
  quillmere::testing::FixtureReport big;
  big.substances.clear();
  for (int i = 0; i < 200; ++i)
    big.substances.push_back(quillmere::testing::FixtureSubstance{.name = "S" + std::to_string(i)});
  const std::string report = scratch.Write(".store/big.sum", BuildReport(big));
  scratch.MakeFolder("run/toxswa");
  constexpr int kLinks = 10000;
  for (int i = 0; i < kLinks; ++i) {
    const std::string name = "run/toxswa/r" + std::to_string(10000 + i) + ".sum";
    ASSERT_EQ(::symlink(report.c_str(), (scratch / name).c_str()), 0);
  }
  const std::string partial = scratch / ".Summary.txt.partial";
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                           SIGXCPU, SIGPOLL, SIGPWR, SIGRTMIN + 2}) {
    const std::string name = InterruptionName(signal);
    ::unlink((scratch / "Summary.txt").c_str());
    const quillmere::testing::StartedProgram program = StartProgramAsAShellWould(scratch.path());
    ASSERT_TRUE(quillmere::testing::WaitForFile(partial, true))
        << name << ": the run wrote no line in a minute";
    ::kill(program.pid, signal);
    const quillmere::testing::ProgramResult result = quillmere::testing::FinishProgram(program);
    EXPECT_EQ(result.signal, signal) << name << ": the program ends as the signal would have ended it";
    std::size_t reports = 0;
    std::size_t rows = 0;
    const std::string start =
        "quillmere-summary: interrupted by " + name + "; " + scratch / "Summary.txt keeps ";
    ASSERT_EQ(result.err.substr(0, start.size()), start) << result.err;
    ASSERT_EQ(std::sscanf(result.err.c_str() + start.size(), "%zu reports, %zu rows\n", &reports, &rows), 2)
        << result.err;
    EXPECT_LT(reports, std::size_t{kLinks}) << name;
    EXPECT_EQ(rows, reports * 200) << name;
    const std::string written = ReadFile(scratch / "Summary.txt");
    EXPECT_EQ(DataRows(written).size(), rows) << name;
    EXPECT_EQ(written.find('\0'), std::string::npos) << name;
    EXPECT_NE(::access(partial.c_str(), F_OK), 0) << name;
  }
}

TEST(InterruptionTest, NamesAStopSignalOrARealTimeSignalByItsPlace) {
  const struct {
    int signal;
    std::string name;
  } cases[] = {
      {SIGINT, "SIGINT"},
      {SIGTERM, "SIGTERM"},
      // The real-time signals by their place after the first.
      {SIGRTMIN, "SIGRTMIN+0"},
      {SIGRTMIN + 2, "SIGRTMIN+2"},
      {SIGRTMAX, "SIGRTMIN+" + std::to_string(SIGRTMAX - SIGRTMIN)},
      {0, "signal 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(InterruptionName(c.signal), c.name) << c.signal;
}

}  // namespace
}  // namespace quillmere
