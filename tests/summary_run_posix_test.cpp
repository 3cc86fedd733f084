// The run on what only POSIX systems have or allow: symbolic links, pipes,
// sockets, files of /proc, a report changed while the run is under way,
// locks, names that differ in case alone or are in no one encoding; and very
// many run folders, which Wine takes minutes to make.
// tests/windows_files_test.cpp holds the Windows counterparts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "summary/summary_run.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::NotAReport;
using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::ScenarioReport;
using quillmere::testing::ScratchDirectory;

TEST(SummaryRunTest, TakesRunFoldersAndReportsInListingOrder) {
  ScratchDirectory scratch;
  scratch.Write("b-run/toxswa/2.sum", ScenarioReport("S"));
  scratch.Write("b-run/toxswa/10.sum", ScenarioReport("S"));
  scratch.Write("A-run/TOXSWA/x.SUM", ScenarioReport("S"));
  scratch.Write("A-run/TOXSWA/.hidden.sum", "not read");
  scratch.MakeFolder("A-run/TOXSWA/folder.sum");
  scratch.Write("A-run/toxswa/ignored.sum", "the second matching folder is not read");
  scratch.Write(".hidden-run/toxswa/1.sum", "not read");
  scratch.Write("c-run/toxswa", "a file named toxswa is no folder");
  scratch.Write("c-run/ToxSwa/c.sum", ScenarioReport("T"));
  scratch.Write("toxswa", "a file among the run folders");
  ASSERT_EQ(::symlink("b-run", (scratch / "d-link").c_str()), 0);
  ASSERT_EQ(::symlink("e-loop", (scratch / "e-loop").c_str()), 0);
  ASSERT_EQ(::mkfifo((scratch / "b-run/toxswa/pipe.sum").c_str(), 0600), 0);  // never read, never waited on

  const SummaryOutcome outcome = SummaryRun(scratch.path());
  ASSERT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  EXPECT_EQ(outcome.reports, 6u);
  EXPECT_EQ(outcome.rows, 6u);
  const std::string table = ReadFile(scratch / "Summary.txt");
  EXPECT_EQ(RowNames(table), (std::vector<std::string>{"A-run/x.SUM", "b-run/10.sum", "b-run/2.sum",
                                                       "c-run/c.sum", "d-link/10.sum", "d-link/2.sum"}));
  // The repeated scenario within b-run is marked; a new run folder starts afresh.
  EXPECT_NE(table.find("b-run\t10.sum\tS\t"), std::string::npos);
  EXPECT_NE(table.find("b-run\t2.sum\tS2\t"), std::string::npos);
  EXPECT_NE(table.find("d-link\t10.sum\tS\t"), std::string::npos);
}

TEST(SummaryRunTest, NamesAReportThatCannotBeReached) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", ScenarioReport("S"));
  ASSERT_EQ(::symlink("loop.sum", (scratch / "run/toxswa/loop.sum").c_str()), 0);
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(outcome.status, RunStatus::kReportFailure);
  EXPECT_EQ(outcome.failedPath, scratch / "run/toxswa/loop.sum");
  EXPECT_EQ(outcome.reason, "cannot open: Too many levels of symbolic links");
  EXPECT_EQ(outcome.rows, 1u);
}

TEST(SummaryRunTest, FailsOnAReportChangedBetweenListingAndReadingNamingIt) {
  // Each puts something in the place of the report, once it is listed and
  // removed, before it is read.
  const auto linkTo = [](std::string target) {
    return [target](const std::string& path) { EXPECT_EQ(::symlink(target.c_str(), path.c_str()), 0); };
  };
  struct Case {
    std::string what;
    std::function<void(const std::string&)> replace;
    std::string reason;
  } cases[] = {
      {"removed", [](const std::string&) {}, "cannot open: No such file or directory"},
      {"a pipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); },
       "cannot open: not a plain file"},
      {"a folder", [](const std::string& path) { ::mkdir(path.c_str(), 0700); },
       "cannot open: not a plain file"},
      {"a link loop", [](const std::string& path) { EXPECT_EQ(::symlink(path.c_str(), path.c_str()), 0); },
       "cannot open: Too many levels of symbolic links"},
      {"an empty file", [](const std::string& path) { ::close(::creat(path.c_str(), 0600)); }, NotAReport()},
      // Files of /proc open as plain files of size 0 and then yield bytes:
      // the page map without end, a process's memory an error. Only the size
      // found at opening is read, so neither is read at all.
      {"a link to /proc/self/pagemap", linkTo("/proc/self/pagemap"), NotAReport()},
      {"a link to /proc/self/mem", linkTo("/proc/self/mem"), NotAReport()},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", ScenarioReport("S"));
    const std::string victim = scratch.Write("run/toxswa/b.sum", ScenarioReport("S"));
    scratch.Write("run/toxswa/c.sum", ScenarioReport("S"));
    SummaryOptions options;
    options.beforeReading = [&](const std::string& path) {
      if (path != victim) return;
      ::unlink(path.c_str());
      c.replace(path);
    };
    const SummaryOutcome outcome = SummaryRun(scratch.path(), options);
    EXPECT_EQ(outcome.status, RunStatus::kReportFailure) << c.what;
    EXPECT_EQ(outcome.message, "Problem with file " + victim + "!\n Please check!") << c.what;
    EXPECT_EQ(outcome.reason, c.reason) << c.what;
    EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")), std::vector<std::string>{"run/a.sum"}) << c.what;
  }
}

TEST(SummaryRunTest, KeepsTheLastTableWholeUntilItEndsAndLetsNoSecondRunIn) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", ScenarioReport("S"));
  const std::string second = scratch.Write("run/toxswa/b.sum", ScenarioReport("S"));
  const std::string oldTable = quillmere::testing::kTableHeader + "old\tline\r\n";
  scratch.Write("Summary.txt", oldTable);
  // What a run killed outright, or a power loss, left behind.
  scratch.Write(".Summary.txt.partial", std::string(5000, '\0') + "half a ro");
  bool checked = false;
  SummaryOptions options;
  options.beforeReading = [&](const std::string& path) {
    if (path != second) return;
    checked = true;
    // As a kill now would leave them: the old table, and whole lines of the
    // new one in the hidden file, which the killed run's leftovers no longer
    // fill.
    EXPECT_EQ(ReadFile(scratch / "Summary.txt"), oldTable);
    const std::string soFar = ReadFile(scratch / ".Summary.txt.partial");
    EXPECT_TRUE(soFar.empty() || soFar.ends_with("\r\n")) << soFar;
    EXPECT_EQ(soFar.find("half a ro"), std::string::npos);
    // Another run on the directory does not start, and touches neither file.
    const SummaryOutcome other = SummaryRun(scratch.path());
    EXPECT_EQ(other.status, RunStatus::kNotStarted);
    EXPECT_EQ(other.message, scratch / "Summary.txt" +
                                 ": not written: another run is writing it; try again when it has ended");
    EXPECT_EQ(ReadFile(scratch / "Summary.txt"), oldTable);
  };
  const SummaryOutcome outcome = SummaryRun(scratch.path(), options);
  EXPECT_TRUE(checked);
  EXPECT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")),
            (std::vector<std::string>{"run/a.sum", "run/b.sum"}));
  EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.txt.partial"));
}

TEST(SummaryRunTest, DoesNotStartWithoutADirectoryOrATable) {
  ScratchDirectory scratch;
  const SummaryOutcome missing = SummaryRun(scratch / "missing");
  EXPECT_EQ(missing.status, RunStatus::kNotStarted);
  EXPECT_EQ(missing.message, scratch / "missing: cannot list: No such file or directory");

  scratch.MakeFolder("blocked/Summary.txt");
  const SummaryOutcome blocked = SummaryRun(scratch / "blocked");
  EXPECT_EQ(blocked.status, RunStatus::kNotStarted);
  EXPECT_EQ(blocked.message, scratch / "blocked/Summary.txt: cannot create: Is a directory");

  // A pipe in the table's place fails at once instead of waiting for a reader.
  scratch.MakeFolder("piped");
  ASSERT_EQ(::mkfifo((scratch / "piped/Summary.txt").c_str(), 0600), 0);
  const SummaryOutcome piped = SummaryRun(scratch / "piped");
  EXPECT_EQ(piped.status, RunStatus::kNotStarted);
  EXPECT_EQ(piped.message, scratch / "piped/Summary.txt: cannot create: No such device or address");
}

TEST(SummaryRunTest, DoesNotWriteThroughALinkOrAnythingButAPlainFile) {
  ScratchDirectory scratch;
  const std::string outside = scratch.Write("elsewhere/thesis.docx", "Ann's thesis");
  struct Case {
    std::string what;
    std::function<void(const std::string& table)> make;
    std::string reason;
  } cases[] = {
      {"a link to a file",
       [&](const std::string& table) { ASSERT_EQ(::symlink(outside.c_str(), table.c_str()), 0); },
       "not written: it is a symbolic link"},
      {"a link to nothing",
       [&](const std::string& table) {
         ASSERT_EQ(::symlink((scratch / "elsewhere/new").c_str(), table.c_str()), 0);
       },
       "not written: it is a symbolic link"},
      {"a link to a device",
       [&](const std::string& table) { ASSERT_EQ(::symlink("/dev/full", table.c_str()), 0); },
       "not written: it is a symbolic link"},
      {"another name of a file",
       [&](const std::string& table) { ASSERT_EQ(::link(outside.c_str(), table.c_str()), 0); },
       "not written: it has other hard links"},
      {"a pipe that is read",
       [&](const std::string& table) {
         ASSERT_EQ(::mkfifo(table.c_str(), 0600), 0);
         ASSERT_GE(::open(table.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC), 0);  // closed at exit
       },
       "not written: it is not a plain file"},
      {"a socket",
       [&](const std::string& table) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         ASSERT_LT(table.size(), sizeof address.sun_path);
         table.copy(address.sun_path, table.size());
         const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);  // closed at exit
         ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
       },
       "not written: it is not a plain file"},
  };
  int number = 0;
  for (const Case& c : cases) {
    const std::string directory = scratch.MakeFolder("runs" + std::to_string(++number));
    scratch.Write("runs" + std::to_string(number) + "/run/toxswa/a.sum", ScenarioReport("S"));
    c.make(directory + "/Summary.txt");
    const SummaryOutcome outcome = SummaryRun(directory);
    EXPECT_EQ(outcome.status, RunStatus::kNotStarted) << c.what;
    EXPECT_EQ(outcome.message, directory + "/Summary.txt: " + c.reason) << c.what;
    EXPECT_EQ(ReadFile(outside), "Ann's thesis") << c.what;
    EXPECT_FALSE(std::filesystem::exists(scratch / "elsewhere/new")) << c.what;
  }
}

TEST(SummaryRunTest, ReadsVeryManyRunFoldersAndReports) {
  ScratchDirectory scratch;
  const std::string report = ScenarioReport("S");
  for (int i = 0; i < 5000; ++i) scratch.Write("run" + std::to_string(10000 + i) + "/toxswa/a.sum", report);
  for (int i = 0; i < 1000; ++i)
    scratch.Write("zz-one-folder/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  const std::vector<std::string> names = RowNames(ReadFile(scratch / "Summary.txt"));
  ASSERT_EQ(names.size(), 6000u);
  EXPECT_EQ(names[0], "run10000/a.sum");
  EXPECT_EQ(names[4999], "run14999/a.sum");
  EXPECT_EQ(names[5000], "zz-one-folder/r1000.sum");
  EXPECT_EQ(names[5999], "zz-one-folder/r1999.sum");
}

TEST(SummaryRunTest, NamesRunFoldersAndReportsInWindows1252WhateverTheirEncoding) {
  ScratchDirectory scratch;
  scratch.Write(
      "Puffer-Gr\xc3\xb6\xc3\x9f"
      "e/toxswa/Bericht-\xe2\x82\xac.sum",
      ScenarioReport("S"));  // UTF-8: Puffer-Größe, Bericht-€
  // Latin-1, and UTF-8 then Latin-1 in one name: kept byte for byte.
  scratch.Write("Ufer\xe9-Gr\xc3\xb6\xdf/toxswa/\xe9t\xe9.sum", ScenarioReport("S"));
  ASSERT_EQ(SummaryRun(scratch.path()).status, RunStatus::kWritten);
  EXPECT_EQ(RowNames(ReadFile(scratch / "Summary.txt")),
            (std::vector<std::string>{"Puffer-Gr\xf6\xdf"
                                      "e/Bericht-\x80.sum",
                                      "Ufer\xe9-Gr\xc3\xb6\xdf/\xe9t\xe9.sum"}));
}

}  // namespace
}  // namespace quillmere
