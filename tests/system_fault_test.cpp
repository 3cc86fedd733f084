// The run when the system fails it: writes, closes and listings that fail,
// calls interrupted or cut short, and memory running out. Each case runs the
// built quillmere-summary with tests/faults/system_faults.cpp loaded
// (LD_PRELOAD), which fails the calls that QUILLMERE_FAULTS names, whoever
// runs the test; it checks the exit status, the message and that the table
// keeps whole lines only, and that the fault was met at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/program_run.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::DataRows;
using quillmere::testing::FinishProgram;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::ProgramStart;
using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::StartProgram;

// What the program wrote, and the fault library's log: one line per fault met.
struct FaultedRun : quillmere::testing::ProgramResult {
  std::string faultsMet;
};

// Runs quillmere-summary with `arguments` under the fault rules `faults`
// (see tests/faults/system_faults.cpp). Its messages are short, so reading
// standard output to its end before standard error cannot stall it.
FaultedRun RunWithFaults(const std::vector<std::string>& arguments, const std::string& faults,
                         const std::string& logDirectory) {
  const std::string log = logDirectory + "/faults-met.log";
  ::unlink(log.c_str());
  ProgramStart start;
  start.beforeExec = [&faults, &log] {
    ::setenv("LD_PRELOAD", QUILLMERE_SYSTEM_FAULTS, 1);
    ::setenv("QUILLMERE_FAULTS", faults.c_str(), 1);
    ::setenv("QUILLMERE_FAULTS_LOG", log.c_str(), 1);
    // Under AddressSanitizer the library comes before the sanitizer's own.
    std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
    ::setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);
  };
  FaultedRun result{FinishProgram(StartProgram(QUILLMERE_SUMMARY_EXE, arguments, start)), {}};
  if (result.signal != 0)
    ADD_FAILURE() << "quillmere-summary died of signal " << result.signal << " under " << faults;
  result.faultsMet = ::access(log.c_str(), F_OK) == 0 ? ReadFile(log) : "";
  return result;
}

FaultedRun RunWithFaults(const ScratchDirectory& scratch, const std::string& faults) {
  return RunWithFaults({"--", scratch.path()}, faults, scratch.path());
}

// The three lines of a report failure and the line saying what the table in
// the run's directory `directory` keeps.
std::string ReportFailure(const std::string& directory, const std::string& path, const std::string& reason) {
  return "Problem with file " + path + "!\n Please check!\nquillmere-summary: " + reason + "\n" +
         quillmere::testing::KeepsLine(directory + "/Summary.txt");
}

// Two run folders of two reports each; the second report of the first run
// names two substances.
void WriteSmallTree(const ScratchDirectory& scratch) {
  FixtureReport two;
  two.substances.push_back(FixtureSubstance{.name = "MET1"});
  scratch.Write("run1/toxswa/a.sum", BuildReport({}));
  scratch.Write("run1/toxswa/b.sum", BuildReport(two));
  scratch.Write("run2/toxswa/a.sum", BuildReport({}));
  scratch.Write("run2/toxswa/b.sum", BuildReport({}));
}

const std::vector<std::string> kSmallTreeRows{"run1/a.sum", "run1/b.sum", "run1/b.sum", "run2/a.sum",
                                              "run2/b.sum"};

// A tree whose table is several times the output buffer of 64 KiB; with
// two substances a report, the buffer is handed over after either row.
void WriteLargeTree(const ScratchDirectory& scratch, int substances = 1) {
  FixtureReport fixture;
  if (substances == 2) fixture.substances.push_back(FixtureSubstance{.name = "MET1"});
  const std::string report = BuildReport(fixture);
  for (int i = 0; i < 1500; ++i) scratch.Write("run/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
}

TEST(SystemFaultTest, AFailedWriteOrCloseOfTheTableEndsTheRunNamingIt) {
  struct Case {
    std::string faults;
    int largeTree;  // 0 for the small tree, else substances a report
    std::string reason;
    std::size_t rowsAtMost;  // the table keeps whole lines only, at most these
  } cases[] = {
      {"write 1 ENOSPC Summary.txt", 0, "cannot write: No space left on device", 0},
      {"write 1 0 Summary.txt", 0, "cannot write: Input/output error", 0},
      {"write 1 EDQUOT Summary.txt", 0, "cannot write: Disk quota exceeded", 0},
      {"write 2 EFBIG Summary.txt", 1, "cannot write: File too large", 1500},
      {"write 2 EFBIG Summary.txt", 2, "cannot write: File too large", 3000},
      {"write 3 0 Summary.txt", 1, "cannot write: Input/output error", 1500},
      // Half the table taken, then the disk full: cut back to a whole line.
      {"write 1 short Summary.txt; write 2 ENOSPC Summary.txt", 0, "cannot write: No space left on device",
       5},
      {"close 1 EIO Summary.txt", 0, "cannot write: Input/output error", 5},
      // The first failure is the one reported.
      {"write 1 ENOSPC Summary.txt; close 1 EIO Summary.txt", 0, "cannot write: No space left on device", 0},
      {"close 1 ENOSPC Summary.txt", 1, "cannot write: No space left on device", 1500},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    if (c.largeTree != 0) {
      WriteLargeTree(scratch, c.largeTree);
    } else {
      WriteSmallTree(scratch);
    }
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.faults;
    EXPECT_EQ(result.exitStatus, 1) << c.faults;
    EXPECT_EQ(result.err, "quillmere-summary: " + scratch.path() + "/Summary.txt: " + c.reason + "\n")
        << c.faults;
    EXPECT_EQ(result.out, "") << c.faults;
    const std::vector<std::string> rows = DataRows(ReadFile(scratch / "Summary.txt"));
    EXPECT_LE(rows.size(), c.rowsAtMost) << c.faults;
  }
}

TEST(SystemFaultTest, ATableThatCannotBeOpenedOrEmptiedStopsTheRunBeforeItStarts) {
  struct Case {
    std::string faults;
    std::string reason;
    bool oldTable = true;  // a table of an earlier run is there, and stays
    bool hidden = false;   // the failure is the hidden file's
  } cases[] = {
      {"open 1 EACCES Summary.txt", "cannot create: Permission denied"},
      // Refused for a reason other than being a link, with and without a file.
      {"open 1 ELOOP Summary.txt", "cannot create: Too many levels of symbolic links"},
      {"open 1 ELOOP Summary.txt", "cannot create: Too many levels of symbolic links", false},
      {"fstat 1 EIO Summary.txt", "cannot create: Input/output error"},
      // The hidden file the table is built in is named, with what to do.
      {"ftruncate 1 EROFS Summary.txt", "cannot empty: Read-only file system", true, true},
  };
  const std::string oldTable = "the table of the last run\r\n";
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    WriteSmallTree(scratch);
    if (c.oldTable) scratch.Write("Summary.txt", oldTable);
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.faults;
    EXPECT_EQ(result.exitStatus, 2) << c.faults;
    const std::string expected =
        c.hidden ? "quillmere-summary: " + scratch.path() + "/.Summary.txt.partial: " + c.reason +
                       "; it is the hidden file a run builds Summary.txt in, and no run is using it: remove "
                       "it and try again\n"
                 : "quillmere-summary: " + scratch.path() + "/Summary.txt: " + c.reason + "\n";
    EXPECT_EQ(result.err, expected) << c.faults;
    if (c.oldTable) {
      EXPECT_EQ(ReadFile(scratch / "Summary.txt"), oldTable) << c.faults;
    }
  }
}

TEST(SystemFaultTest, AWriteFailureAfterAReportFailureIsTheOneReported) {
  // A report fails, and then closing the table fails too: the table may have
  // lost lines, so the user is told so rather than about the report alone.
  ScratchDirectory scratch;
  WriteSmallTree(scratch);
  scratch.Write("run1/toxswa/b.sum", "not a report");
  const FaultedRun result = RunWithFaults(scratch, "close 1 EIO Summary.txt");
  EXPECT_NE(result.faultsMet, "");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err,
            "quillmere-summary: " + scratch.path() + "/Summary.txt: cannot write: Input/output error\n");
}

TEST(SystemFaultTest, InterruptedAndShortTransfersAreCarriedOn) {
  ScratchDirectory scratch;
  WriteLargeTree(scratch);
  scratch.Write("run/toxswa/long.sum", BuildReport(FixtureReport{.fillerLines = 2000}));
  ASSERT_EQ(RunWithFaults(scratch, "").exitStatus, 0);
  const std::string expected = ReadFile(scratch / "Summary.txt");
  for (const std::string faults :
       {"write 1 EINTR Summary.txt", "write 2 EINTR Summary.txt; write 3 short Summary.txt",
        "write 1+ short Summary.txt", "read 1 EINTR .sum", "read 3 EINTR long.sum", "read 1+ short long.sum",
        "close 1 EINTR Summary.txt"}) {
    const FaultedRun result = RunWithFaults(scratch, faults);
    EXPECT_NE(result.faultsMet, "") << faults;
    EXPECT_EQ(result.exitStatus, 0) << faults << ": " << result.err;
    EXPECT_EQ(result.out, "Wrote " + scratch.path() + "/Summary.txt: 1501 reports, 1501 rows\n") << faults;
    EXPECT_TRUE(ReadFile(scratch / "Summary.txt") == expected) << faults;
  }
}

TEST(SystemFaultTest, AReportThatCannotBeReadEndsTheRunNamingIt) {
  struct Case {
    std::string faults;
    std::string reason;
  } cases[] = {
      {"read 1 EIO run1/toxswa/b.sum", "cannot read: Input/output error"},
      {"open 1 EMFILE run1/toxswa/b.sum", "cannot open: Too many open files"},
      {"open 1 EACCES run1/toxswa/b.sum", "cannot open: Permission denied"},
      {"fstat 1 EOVERFLOW run1/toxswa/b.sum", "cannot open: Value too large for defined data type"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    WriteSmallTree(scratch);
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.faults;
    EXPECT_EQ(result.exitStatus, 1) << c.faults;
    EXPECT_EQ(result.err, ReportFailure(scratch.path(), scratch / "run1/toxswa/b.sum", c.reason)) << c.faults;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run1/a.sum"})
        << c.faults;
  }
}

TEST(SystemFaultTest, AListingThatFailsIsNamedAndKeepsTheRowsBefore) {
  // A readdir rule counts the folder's entries, not "." and "..": the second
  // fails after the first.
  struct Case {
    std::string faults;
    int exitStatus;
    std::string failedFolder;  // relative to the directory; "" for the directory itself
    std::string reason;
    std::vector<std::string> rows;
  } cases[] = {
      {"opendir 1 EACCES run2/toxswa",
       1,
       "run2/toxswa",
       "cannot list: Permission denied",
       {"run1/a.sum", "run1/b.sum", "run1/b.sum"}},
      {"readdir 2 EIO run2/toxswa",
       1,
       "run2/toxswa",
       "cannot list: Input/output error",
       {"run1/a.sum", "run1/b.sum", "run1/b.sum"}},
      {"readdir 1 ENOMEM run1/toxswa", 1, "run1/toxswa", "cannot list: Cannot allocate memory", {}},
      // The run folder itself.
      {"opendir 1 EACCES run2",
       1,
       "run2",
       "cannot list: Permission denied",
       {"run1/a.sum", "run1/b.sum", "run1/b.sum"}},
      {"opendir 1 EACCES", 2, "", "cannot list: Permission denied", {}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    WriteSmallTree(scratch);
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.faults;
    EXPECT_EQ(result.exitStatus, c.exitStatus) << c.faults;
    if (c.exitStatus == 2) {
      EXPECT_EQ(result.err, "quillmere-summary: " + scratch.path() + ": " + c.reason + "\n") << c.faults;
    } else {
      EXPECT_EQ(result.err, ReportFailure(scratch.path(), scratch / c.failedFolder, c.reason)) << c.faults;
      EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), c.rows) << c.faults;
    }
  }
}

TEST(SystemFaultTest, AFolderThatCannotBeListedIsNamedWithItsOwnName) {
  struct Case {
    std::string faults;
    std::string failedFolder;  // relative to the directory
  } cases[] = {
      {"opendir 1 EACCES run/TOXSWA", "run/TOXSWA"},
      {"readdir 1 EIO run/TOXSWA", "run/TOXSWA"},
      {"opendir 1 EACCES run", "run"},
      {"readdir 1 EIO /run", "run"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/TOXSWA/a.sum", BuildReport({}));
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.faults;
    EXPECT_EQ(result.exitStatus, 1) << c.faults;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "Problem with file " + (scratch / c.failedFolder) + "!")
        << c.faults;
  }
}

TEST(SystemFaultTest, MemoryRunningOutWhileAReportIsReadFailsThatReport) {
  struct Case {
    std::string what;
    std::string faults;
    std::string reason;
  } cases[] = {
      // The reader's 64 KiB buffer.
      {"the line buffer", "malloc 1 ENOMEM >=65536 b.sum", "cannot read: out of memory"},
      // A line longer than the buffer makes it grow.
      {"a longer buffer", "malloc 1 ENOMEM >=65537 b.sum",
       "cannot read: out of memory for a line of 65536 bytes"},
      // The dates kept for the table.
      {"the record", "malloc 1 ENOMEM >=100000 b.sum", "not enough memory to read it"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    FixtureReport wide;
    wide.applicationDates.assign(20'000, "14-Nov-1978-09h00");
    if (c.what == "a longer buffer") wide.scenario = std::string(70'000, 'S');
    const std::string path = scratch.Write("run/toxswa/b.sum", BuildReport(wide));
    const FaultedRun result = RunWithFaults(scratch, c.faults);
    EXPECT_NE(result.faultsMet, "") << c.what;
    EXPECT_EQ(result.exitStatus, 1) << c.what;
    EXPECT_EQ(result.err, ReportFailure(scratch.path(), path, c.reason)) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(SystemFaultTest, AnyAllocationThatFailsDuringTheRunEndsItCleanly) {
  // Fails the Nth allocation after the table is opened, for every N the run
  // reaches: whatever was being done (listing, reading, writing a row), the
  // program ends by itself and the table keeps whole lines only, the rows of
  // the reports before. A failure while a folder is listed or a report read
  // or written names it; one outside the work on any file (the table's
  // buffer, a path being joined, the closing line) ends with the program's
  // own message.
  ScratchDirectory scratch;
  WriteSmallTree(scratch);
  const std::string catchAll = "quillmere-summary: not enough memory\n";
  int failures = 0;
  std::vector<std::string> reasons;
  for (int n = 1; n < 2000; ++n) {
    const std::string faults = "malloc " + std::to_string(n) + " ENOMEM Summary.txt";
    const FaultedRun result = RunWithFaults(scratch, faults);
    if (result.faultsMet.empty()) {
      EXPECT_EQ(result.exitStatus, 0) << faults;
      break;
    }
    // Memory running out before the table's buffer is made leaves no table:
    // the run never started, and whatever table was there stays.
    const bool table = ::access((scratch / "Summary.txt").c_str(), F_OK) == 0;
    const std::vector<std::string> names =
        table ? RowNames(ReadFile(scratch / "Summary.txt")) : std::vector<std::string>{};
    ASSERT_LE(names.size(), kSmallTreeRows.size()) << faults;
    EXPECT_EQ(names, std::vector<std::string>(kSmallTreeRows.begin(), kSmallTreeRows.begin() + names.size()))
        << faults;
    if (result.exitStatus == 0) continue;  // the program did without that block
    ++failures;
    ASSERT_EQ(result.exitStatus, 1) << faults << ": " << result.err;
    if (result.err == catchAll) continue;
    const std::string problem = "Problem with file " + scratch.path() + "/";
    ASSERT_EQ(result.err.compare(0, problem.size(), problem), 0) << faults << ": " << result.err;
    const std::string reasonStart = "\nquillmere-summary: ";
    // The reason, then what the table keeps.
    const std::size_t reason = result.err.find(reasonStart) + reasonStart.size();
    const std::size_t keeps = result.err.find('\n', reason) + 1;
    reasons.push_back(result.err.substr(reason, keeps - reason));
    EXPECT_EQ(result.err.substr(keeps), quillmere::testing::KeepsLine(scratch / "Summary.txt")) << faults;
  }
  EXPECT_GT(failures, 20);
  for (const std::string reason : {"cannot list: not enough memory\n", "not enough memory to read it\n",
                                   "not enough memory to write its rows\n"}) {
    EXPECT_NE(std::find(reasons.begin(), reasons.end(), reason), reasons.end()) << reason;
  }
}

TEST(SystemFaultTest, MemoryRunningOutBeforeTheRunIsReportedByTheProgram) {
  // The block of exactly that size is the program's copy of its argument.
  ScratchDirectory scratch;
  const std::string longName = scratch.path() + "/" + std::string(3000, 'd');
  const FaultedRun result = RunWithFaults(
      {"--", longName}, "malloc 1 ENOMEM =" + std::to_string(longName.size() + 1), scratch.path());
  EXPECT_NE(result.faultsMet, "");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "quillmere-summary: not enough memory\n");
}

}  // namespace
}  // namespace quillmere
