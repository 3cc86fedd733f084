// The run under faults: a table that cannot be written or is a link, reports
// that vanish or break between listing and reading, garbage reports, very
// many entries, memory running out, signals and a closed standard output.
// Most cases run the built quillmere-summary and check its exit status, its
// message and the rows left in Summary.txt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/interruption.h"
#include "runtime/listing.h"
#include "summary/summary_run.h"
#include "tests/failing_allocation.h"
#include "tests/program_run.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

using quillmere::testing::FinishProgram;
using quillmere::testing::ProgramResult;
using quillmere::testing::StartedProgram;

// Starts quillmere-summary on `directory`, its output going to pipes, with a
// file-size limit of `fileSizeLimit` bytes when it is not RLIM_INFINITY (the
// limit does not touch pipes). With `outputReaderGone`, nothing reads its
// standard output. A program that hangs is killed after a minute.
StartedProgram StartProgram(const std::string& directory, rlim_t fileSizeLimit = RLIM_INFINITY,
                            bool outputReaderGone = false) {
  quillmere::testing::ProgramStart start;
  start.outputReaderGone = outputReaderGone;
  start.beforeExec = [fileSizeLimit] {
    if (fileSizeLimit != RLIM_INFINITY) {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(121);
    }
    // The program meets the signals as a shell would start it, and leaves
    // no core file when one ends it.
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

// Runs quillmere-summary on `directory` to its end; see StartProgram.
ProgramResult RunProgram(const std::string& directory, rlim_t fileSizeLimit = RLIM_INFINITY,
                         bool outputReaderGone = false) {
  ProgramResult result = FinishProgram(StartProgram(directory, fileSizeLimit, outputReaderGone));
  if (result.signal != 0) ADD_FAILURE() << "quillmere-summary died of signal " << result.signal;
  return result;
}

using quillmere::testing::DataRows;
using quillmere::testing::RowNames;

// The three lines of a report failure and the line saying what the table in
// the run's directory `directory` keeps.
std::string ReportFailure(const std::string& directory, const std::string& path, const std::string& reason) {
  return "Problem with file " + path + "!\n Please check!\nquillmere-summary: " + reason + "\n" +
         quillmere::testing::KeepsLine(directory + "/Summary.txt");
}

const std::string kEndsBeforeScenario =
    "the file does not look like a TOXSWA summary report: looked for a line containing \"* Scenario          "
    "      :\" and found none";

TEST(FaultInjectionTest, ATableThatIsALinkIsNotWrittenThrough) {
  ScratchDirectory scratch;
  const std::string outside = scratch.Write("elsewhere/thesis.docx", "Ann's thesis");
  scratch.Write("runs/run/toxswa/a.sum", BuildReport({}));
  for (const std::string& target : {outside, std::string("/dev/full")}) {
    ::unlink((scratch / "runs/Summary.txt").c_str());
    ASSERT_EQ(::symlink(target.c_str(), (scratch / "runs/Summary.txt").c_str()), 0);
    const ProgramResult result = RunProgram(scratch / "runs");
    EXPECT_EQ(result.exitStatus, 2) << target;
    EXPECT_EQ(result.err,
              "quillmere-summary: " + scratch / "runs/Summary.txt: not written: it is a symbolic link\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(outside), "Ann's thesis");
  }
}

TEST(FaultInjectionTest, AClosedStandardOutputFailsAndLeavesTheTableComplete) {
  // As `quillmere-summary DIR | head -c0`.
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  const ProgramResult result = RunProgram(scratch.path(), RLIM_INFINITY, true);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "quillmere-summary: the table is complete, but standard output cannot be written\n");
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"});
}

// One report of 200 substances read through 10,000 links: a run of many
// seconds.
void WriteLongRun(const ScratchDirectory& scratch, int links) {
  FixtureReport big;
  big.substances.clear();
  for (int i = 0; i < 200; ++i) big.substances.push_back(FixtureSubstance{.name = "S" + std::to_string(i)});
  const std::string report = scratch.Write(".store/big.sum", BuildReport(big));
  scratch.MakeFolder("run/toxswa");
  for (int i = 0; i < links; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "run/toxswa/r%05d.sum", i);
    ASSERT_EQ(::symlink(report.c_str(), (scratch / name).c_str()), 0);
  }
}

// Waits until the run started in `scratch` has written its first lines to
// the hidden file that becomes the table.
void AwaitFirstLines(const ScratchDirectory& scratch) {
  struct stat table {};
  for (int waited = 0; waited < 30'000; ++waited) {
    if (::stat((scratch / ".Summary.txt.partial").c_str(), &table) == 0 && table.st_size > 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ADD_FAILURE() << "the run wrote no line in 30 seconds";
}

TEST(FaultInjectionTest, ASignalToStopEndsTheRunAtAWholeLine) {
  // Stopped as soon as the table holds its first lines, by every signal
  // that would end the program.
  ScratchDirectory scratch;
  constexpr int kLinks = 10000;
  WriteLongRun(scratch, kLinks);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                           SIGXCPU, SIGPOLL, SIGPWR, SIGRTMIN + 2}) {
    ::unlink((scratch / "Summary.txt").c_str());
    const StartedProgram program = StartProgram(scratch.path());
    AwaitFirstLines(scratch);
    ::kill(program.pid, signal);
    const ProgramResult result = FinishProgram(program);
    EXPECT_EQ(result.signal, signal) << "the program ends as the signal would have ended it";
    std::size_t reports = 0;
    std::size_t rows = 0;
    const std::string start = "quillmere-summary: interrupted by " + InterruptionName(signal) + "; " +
                              scratch / "Summary.txt keeps ";
    ASSERT_EQ(result.err.substr(0, start.size()), start) << result.err;
    ASSERT_EQ(std::sscanf(result.err.c_str() + start.size(), "%zu reports, %zu rows\n", &reports, &rows), 2)
        << result.err;
    EXPECT_LT(reports, std::size_t{kLinks});
    EXPECT_EQ(rows, reports * 200);
    const std::string table = ReadFile(scratch / "Summary.txt");
    EXPECT_EQ(DataRows(table).size(), rows) << InterruptionName(signal);
    EXPECT_EQ(table.find('\0'), std::string::npos) << InterruptionName(signal);
    EXPECT_NE(::access((scratch / ".Summary.txt.partial").c_str(), F_OK), 0) << InterruptionName(signal);
  }
}

TEST(FaultInjectionTest, ASecondRunOrAKillLeavesTheTableOfTheLastRunWhole) {
  ScratchDirectory scratch;
  WriteLongRun(scratch, 10000);
  const std::string oldTable = quillmere::testing::kTableHeader + "old\tline\r\n";
  scratch.Write("Summary.txt", oldTable);
  const StartedProgram first = StartProgram(scratch.path());
  AwaitFirstLines(scratch);
  // A second run on the directory while the first writes its table does not
  // start, and touches neither the table nor the first run's file.
  const ProgramResult second = FinishProgram(StartProgram(scratch.path()));
  EXPECT_EQ(second.exitStatus, 2);
  EXPECT_EQ(second.err, "quillmere-summary: " + scratch / "Summary.txt" +
                            ": not written: another run is writing it; try again when it has ended\n");
  EXPECT_EQ(ReadFile(scratch / "Summary.txt"), oldTable);
  // Killed outright, the first run leaves the old table as it was.
  ::kill(first.pid, SIGKILL);
  EXPECT_EQ(FinishProgram(first).signal, SIGKILL);
  EXPECT_EQ(ReadFile(scratch / "Summary.txt"), oldTable);
  const std::string left = ReadFile(scratch / ".Summary.txt.partial");
  EXPECT_EQ(left.substr(0, quillmere::testing::kTableHeader.size()), quillmere::testing::kTableHeader);
}

TEST(FaultInjectionTest, AFileLeftByAKilledRunIsTakenOver) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  scratch.Write(".Summary.txt.partial", std::string(5000, '\0') + "half a ro");
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"});
  EXPECT_NE(::access((scratch / ".Summary.txt.partial").c_str(), F_OK), 0);
}

TEST(FaultInjectionTest, MemoryRunningOutWhileAReportIsReadOrWrittenFailsNamingIt) {
  // The second report's one row is longer than the table's buffer, so that
  // writing it needs memory too. Every allocation from the moment the report
  // is about to be read fails in turn.
  ScratchDirectory scratch;
  FixtureReport longName;
  longName.substances.front().name = std::string(100'000, 'n');
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  const std::string victim = scratch.Write("run/toxswa/b.sum", BuildReport(longName));
  std::vector<std::string> reasons;
  for (long allocations = 0;; ++allocations) {
    ASSERT_LT(allocations, 100'000) << "the run never ends";
    SummaryOptions options;
    options.beforeReading = [&](const std::string& path) {
      if (path == victim) quillmere::testing::allocationsBeforeFailure = allocations;
    };
    const SummaryOutcome outcome = SummaryRun(scratch.path(), options);
    const bool failed = quillmere::testing::allocationsBeforeFailure < 0;
    quillmere::testing::allocationsBeforeFailure = -1;
    if (!failed) {
      EXPECT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
      break;
    }
    EXPECT_EQ(outcome.status, RunStatus::kReportFailure) << allocations;
    EXPECT_EQ(outcome.failedPath, victim) << allocations;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"})
        << allocations;
    if (std::find(reasons.begin(), reasons.end(), outcome.reason) == reasons.end())
      reasons.push_back(outcome.reason);
  }
  EXPECT_EQ(reasons, (std::vector<std::string>{"not enough memory to read it",
                                               "not enough memory to write its rows"}));
}

TEST(FaultInjectionTest, MemoryRunningOutWhileListingFailsTheListing) {
  ScratchDirectory scratch;
  for (int i = 0; i < 20; ++i) scratch.Write("an entry with a long name " + std::to_string(i), "");
  for (long allocations = 0;; ++allocations) {
    ASSERT_LT(allocations, 10'000) << "the listing never ends";
    try {
      quillmere::testing::allocationsBeforeFailure = allocations;
      const std::vector<ListedEntry> entries = List(scratch.path());
      const bool failed = quillmere::testing::allocationsBeforeFailure < 0;
      quillmere::testing::allocationsBeforeFailure = -1;
      ASSERT_FALSE(failed) << "a failure went unnoticed at allocation " << allocations;
      EXPECT_EQ(entries.size(), 20u);
      EXPECT_GT(allocations, 20) << "each name needs memory";
      break;
    } catch (const FileError& error) {
      quillmere::testing::allocationsBeforeFailure = -1;
      EXPECT_EQ(error.path(), scratch.path());
      EXPECT_EQ(error.reason(), "cannot list: not enough memory");
    }
  }
}

TEST(FaultInjectionTest, ATableCutShortByASizeLimitKeepsWholeLinesOnly) {
  ScratchDirectory scratch;
  FixtureReport two;
  two.substances.push_back(FixtureSubstance{.name = "MET1"});
  for (int i = 0; i < 800; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "run%d/toxswa/r%03d.sum", i % 3, i);
    scratch.Write(name, BuildReport(i % 4 == 0 ? two : FixtureReport{}));
  }
  const ProgramResult complete = RunProgram(scratch.path());
  ASSERT_EQ(complete.exitStatus, 0) << complete.err;
  const std::string full = ReadFile(scratch / "Summary.txt");
  ASSERT_GT(full.size(), 100'000u);

  // Below the first line, inside the first buffer's flush, and past it.
  for (const rlim_t limit : {rlim_t{40}, rlim_t{1000}, rlim_t{70'000}, rlim_t{100'003}}) {
    const ProgramResult result = RunProgram(scratch.path(), limit);
    EXPECT_EQ(result.exitStatus, 1) << "limit " << limit;
    EXPECT_EQ(result.err,
              "quillmere-summary: " + scratch.path() + "/Summary.txt: cannot write: File too large\n")
        << "limit " << limit;
    const std::string table = ReadFile(scratch / "Summary.txt");
    EXPECT_LE(table.size(), limit);
    EXPECT_EQ(table, full.substr(0, table.size())) << "limit " << limit;
    if (!table.empty()) {
      EXPECT_EQ(table.substr(table.size() - 2), "\r\n") << "limit " << limit;
    }
    EXPECT_GT(table.size() + 400, std::min<std::size_t>(limit, full.size())) << "limit " << limit;
  }
}

TEST(FaultInjectionTest, AReportChangedBetweenListingAndReadingFailsNamingIt) {
  struct Case {
    std::string what;
    std::function<void(const std::string&)> change;
    std::string reason;
  } cases[] = {
      {"removed", [](const std::string& path) { ::unlink(path.c_str()); },
       "cannot open: No such file or directory"},
      {"a pipe",
       [](const std::string& path) {
         ::unlink(path.c_str());
         ::mkfifo(path.c_str(), 0600);
       },
       "cannot open: not a plain file"},
      {"a folder",
       [](const std::string& path) {
         ::unlink(path.c_str());
         ::mkdir(path.c_str(), 0700);
       },
       "cannot open: not a plain file"},
      {"a link loop",
       [](const std::string& path) {
         ::unlink(path.c_str());
         EXPECT_EQ(::symlink(path.c_str(), path.c_str()), 0);
       },
       "cannot open: Too many levels of symbolic links"},
      {"emptied", [](const std::string& path) { EXPECT_EQ(::truncate(path.c_str(), 0), 0); },
       kEndsBeforeScenario},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    const std::string victim = scratch.Write("run/toxswa/b.sum", BuildReport({}));
    scratch.Write("run/toxswa/c.sum", BuildReport({}));
    SummaryOptions options;
    options.beforeReading = [&](const std::string& path) {
      if (path == victim) c.change(path);
    };
    const SummaryOutcome outcome = SummaryRun(scratch.path(), options);
    EXPECT_EQ(outcome.status, RunStatus::kReportFailure) << c.what;
    EXPECT_EQ(outcome.message, "Problem with file " + victim + "!\n Please check!") << c.what;
    EXPECT_EQ(outcome.reason, c.reason) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(FaultInjectionTest, AReportWhoseSizeReadsZeroIsReadAsEmpty) {
  // Files of /proc open as plain files of size 0 and then yield bytes: the
  // page map without end, a process's memory an error. Only the size found
  // at opening is read, so neither is read at all.
  for (const char* target : {"/proc/self/pagemap", "/proc/self/mem"}) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    ASSERT_EQ(::symlink(target, (scratch / "run/toxswa/b.sum").c_str()), 0);
    scratch.Write("run/toxswa/c.sum", BuildReport({}));
    const ProgramResult result = RunProgram(scratch.path());
    EXPECT_EQ(result.exitStatus, 1) << target;
    EXPECT_EQ(result.err, ReportFailure(scratch.path(), scratch / "run/toxswa/b.sum", kEndsBeforeScenario)) << target;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << target;
  }
}

std::string Utf16(const std::string& text) {
  std::string wide = "\xff\xfe";
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

TEST(FaultInjectionTest, GarbageReportsFailNamingThemAndKeepTheRowsBefore) {
  std::string binary(64 * 1024, '\0');
  unsigned state = 12345;
  for (char& c : binary) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  const std::string report = BuildReport({});
  struct Case {
    std::string what;
    std::string bytes;
    std::string reason;
  } cases[] = {
      {"binary bytes", binary, kEndsBeforeScenario},
      {"NUL bytes", std::string(4096, '\0'), kEndsBeforeScenario},
      {"50 MB without a line end", std::string(50 * 1024 * 1024, 'x'),
       "line 1 is longer than 1 MiB: the file does not look like a TOXSWA summary report"},
      {"only CR", std::string(1024 * 1024, '\r'), kEndsBeforeScenario},
      {"UTF-16", Utf16(report), kEndsBeforeScenario},
      {"cut short", report.substr(0, report.size() / 2),
       "the report ends early, as that of a TOXSWA run that did not finish would, before a line containing "
       "\"PEC in water layer\""},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", report);
    const std::string bad = scratch.Write("run/toxswa/b.sum", c.bytes);
    scratch.Write("run/toxswa/c.sum", report);
    const ProgramResult result = RunProgram(scratch.path());
    EXPECT_EQ(result.exitStatus, 1) << c.what;
    EXPECT_EQ(result.err, ReportFailure(scratch.path(), bad, c.reason)) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(FaultInjectionTest, LinksAndFilesWhereFoldersBelongAreHandled) {
  ScratchDirectory scratch;
  scratch.Write("a-run/toxswa", "a file where the report folder belongs");
  scratch.Write("toxswa", "a file among the run folders");
  scratch.Write("b-run/toxswa/r.sum", BuildReport({}));
  ASSERT_EQ(::symlink("c-run", (scratch / "c-run").c_str()), 0);              // a run folder that is a loop
  ASSERT_EQ(::mkfifo((scratch / "b-run/toxswa/pipe.sum").c_str(), 0600), 0);  // never read, never waited on
  ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"b-run/r.sum"});

  ASSERT_EQ(::symlink("loop.sum", (scratch / "b-run/toxswa/loop.sum").c_str()), 0);
  result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, ReportFailure(scratch.path(), scratch / "b-run/toxswa/loop.sum",
                                      "cannot open: Too many levels of symbolic links"));
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{});
}

TEST(FaultInjectionTest, ABinaryScenarioIsWrittenAsItIsWithoutBreakingTheTable) {
  ScratchDirectory scratch;
  FixtureReport odd;
  odd.scenario = std::string("R1\0\x01\xff\tStream", 12);
  scratch.Write("run/toxswa/a.sum", BuildReport(odd));
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const std::vector<std::string> rows = DataRows(ReadFile(scratch / "Summary.txt"));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(rows[0].find(std::string("\tR1\0\x01\xff Stream\t", 13)), std::string::npos);
}

TEST(FaultInjectionTest, VeryManyRunFoldersAndReportsAreAllRead) {
  ScratchDirectory scratch;
  const std::string report = BuildReport({});
  for (int i = 0; i < 5000; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "run%04d/toxswa/a.sum", i);
    scratch.Write(name, report);
  }
  for (int i = 0; i < 1000; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "zz-one-folder/toxswa/r%04d.sum", i);
    scratch.Write(name, report);
  }
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "Wrote " + scratch.path() + "/Summary.txt: 6000 reports, 6000 rows\n");
  const std::vector<std::string> names = RowNames(ReadFile(scratch / "Summary.txt"));
  ASSERT_EQ(names.size(), 6000u);
  EXPECT_EQ(names[0], "run0000/a.sum");
  EXPECT_EQ(names[4999], "run4999/a.sum");
  EXPECT_EQ(names[5000], "zz-one-folder/r0000.sum");
  EXPECT_EQ(names[5999], "zz-one-folder/r0999.sum");
}

TEST(FaultInjectionTest, AReportWithVeryManySubstancesAndApplicationsIsRead) {
  ScratchDirectory scratch;
  FixtureReport big;
  big.substances.clear();
  for (int i = 0; i < 200; ++i) big.substances.push_back(FixtureSubstance{.name = "S" + std::to_string(i)});
  big.applicationDates.assign(5000, "14-Nov-1978-09h00");
  scratch.Write("run/toxswa/big.sum", BuildReport(big));
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const std::vector<std::string> rows = DataRows(ReadFile(scratch / "Summary.txt"));
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(std::count(rows[0].begin(), rows[0].end(), '\t'), 11 + 5000);
  EXPECT_EQ(std::count(rows[199].begin(), rows[199].end(), '\t'), 11);
  EXPECT_NE(rows[199].find("\tS199\t39.57\t"), std::string::npos);
}

}  // namespace
}  // namespace quillmere
