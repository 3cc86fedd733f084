// The run under faults: a table that cannot be written, reports that vanish
// or break between listing and reading, garbage reports, and very many
// entries. Each case runs the built quillmere-summary and checks its exit
// status, its message and the rows left in Summary.txt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "summary/summary_run.h"
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

struct ProgramResult {
  int exitStatus = -1;  // -1 when the program did not exit by itself
  std::string out;
  std::string err;
};

// All that can be read from `fd` until its writer closes it.
std::string Drain(int fd) {
  std::string bytes;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(got));
  ::close(fd);
  return bytes;
}

// Runs quillmere-summary on `directory`, with a file-size limit of
// `fileSizeLimit` bytes when it is not RLIM_INFINITY (its output goes to
// pipes, which the limit does not touch). A program that hangs is killed
// after a minute.
ProgramResult RunProgram(const std::string& directory, rlim_t fileSizeLimit = RLIM_INFINITY) {
  int out[2];
  int err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) {
    ADD_FAILURE() << "cannot make pipes";
    return {};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0) ::_exit(120);
    ::close(out[0]);
    ::close(err[0]);
    if (fileSizeLimit != RLIM_INFINITY) {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(121);
    }
    ::alarm(60);
    ::execl(QUILLMERE_SUMMARY_EXE, QUILLMERE_SUMMARY_EXE, "--", directory.c_str(), nullptr);
    ::_exit(122);
  }
  ::close(out[1]);
  ::close(err[1]);
  ProgramResult result;
  // The program writes a line or two to each stream, far less than a pipe
  // holds, so reading one after the other cannot stall it.
  result.out = Drain(out[0]);
  result.err = Drain(err[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) {
    ADD_FAILURE() << "cannot run " << QUILLMERE_SUMMARY_EXE;
    return result;
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) ADD_FAILURE() << "quillmere-summary died of signal " << WTERMSIG(status);
  return result;
}

using quillmere::testing::DataRows;
using quillmere::testing::RowNames;

std::string ReportFailure(const std::string& path, const std::string& reason) {
  return "Problem with file " + path + "!\n Please check!\nquillmere-summary: " + reason + "\n";
}

const std::string kEndsBeforeScenario = "the report ends before a line containing \"* Scenario                :\"";

TEST(FaultInjectionTest, ATableOnAFullDeviceFailsNamingIt) {
  ScratchDirectory scratch;
  for (const char* name : {"a.sum", "b.sum", "c.sum"}) scratch.Write(std::string("run/toxswa/") + name, BuildReport({}));
  ASSERT_EQ(::symlink("/dev/full", (scratch / "Summary.txt").c_str()), 0);
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "quillmere-summary: " + scratch.path() + "/Summary.txt: cannot write: No space left on device\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(SummaryRun(scratch.path()).rows, 0u);
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
    EXPECT_EQ(result.err, "quillmere-summary: " + scratch.path() + "/Summary.txt: cannot write: File too large\n")
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
      {"a pipe", [](const std::string& path) { ::unlink(path.c_str()); ::mkfifo(path.c_str(), 0600); },
       "cannot open: not a plain file"},
      {"a folder", [](const std::string& path) { ::unlink(path.c_str()); ::mkdir(path.c_str(), 0700); },
       "cannot open: not a plain file"},
      {"a link loop", [](const std::string& path) { ::unlink(path.c_str()); EXPECT_EQ(::symlink(path.c_str(), path.c_str()), 0); },
       "cannot open: Too many levels of symbolic links"},
      {"emptied", [](const std::string& path) { EXPECT_EQ(::truncate(path.c_str(), 0), 0); }, kEndsBeforeScenario},
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

TEST(FaultInjectionTest, AReportThatFailsToReadPartWayFailsNamingIt) {
  // Reading a process's own memory at address 0 opens as a plain file and
  // then fails with EIO, whoever runs it.
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  ASSERT_EQ(::symlink("/proc/self/mem", (scratch / "run/toxswa/b.sum").c_str()), 0);
  scratch.Write("run/toxswa/c.sum", BuildReport({}));
  const ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, ReportFailure(scratch / "run/toxswa/b.sum", "cannot read: Input/output error"));
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"});
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
      {"50 MB without a line end", std::string(50 * 1024 * 1024, 'x'), kEndsBeforeScenario},
      {"only CR", std::string(1024 * 1024, '\r'), kEndsBeforeScenario},
      {"UTF-16", Utf16(report), kEndsBeforeScenario},
      {"cut short", report.substr(0, report.size() / 2),
       "the report ends before a line containing \"PEC in water layer\""},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", report);
    const std::string bad = scratch.Write("run/toxswa/b.sum", c.bytes);
    scratch.Write("run/toxswa/c.sum", report);
    const ProgramResult result = RunProgram(scratch.path());
    EXPECT_EQ(result.exitStatus, 1) << c.what;
    EXPECT_EQ(result.err, ReportFailure(bad, c.reason)) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(FaultInjectionTest, LinksAndFilesWhereFoldersBelongAreHandled) {
  ScratchDirectory scratch;
  scratch.Write("a-run/toxswa", "a file where the report folder belongs");
  scratch.Write("toxswa", "a file among the run folders");
  scratch.Write("b-run/toxswa/r.sum", BuildReport({}));
  ASSERT_EQ(::symlink("c-run", (scratch / "c-run").c_str()), 0);  // a run folder that is a loop
  ProgramResult result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"b-run/r.sum"});

  ASSERT_EQ(::symlink("loop.sum", (scratch / "b-run/toxswa/loop.sum").c_str()), 0);
  result = RunProgram(scratch.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, ReportFailure(scratch / "b-run/toxswa/loop.sum",
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
