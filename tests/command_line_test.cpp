#include "cli/command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/report_builder.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::ScratchDirectory;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunCli(std::vector<std::string> arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCommandLine(arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(CommandLineTest, WritesTheTableAndSaysWhereItIs) {
  ScratchDirectory scratch;
  FixtureReport two;
  two.substances.push_back(two.substances.front());
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  scratch.Write("run/toxswa/b.sum", BuildReport(two));
  const Result result = RunCli({scratch.path()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Wrote " + scratch.path() + "/Summary.txt: 2 reports, 3 rows\n");
  EXPECT_EQ(result.err, "");
}

TEST(CommandLineTest, ExitsWithOneAndTheMessageWhenAReportFails) {
  ScratchDirectory scratch;
  scratch.Write("run/TOXSWA/bad.sum", "no markers\n");
  const Result result = RunCli({scratch.path()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Problem with file " + scratch.path() +
                            "/run/TOXSWA/bad.sum!\n Please check!\n"
                            "quillmere-summary: the report ends before a line containing "
                            "\"* Scenario                :\"\n");
}

TEST(CommandLineTest, ExitsWithTwoWhenTheRunCannotStart) {
  ScratchDirectory scratch;
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{}, "quillmere-summary: expected the directory that holds the run folders; try --help\n"},
      {{""}, "quillmere-summary: expected the directory that holds the run folders; try --help\n"},
      {{"a", "b"}, "quillmere-summary: expected one directory, got more; try --help\n"},
      {{"--fast", "a"}, "quillmere-summary: unknown option '--fast'; try --help\n"},
      {{scratch / "none"},
       "quillmere-summary: " + scratch.path() + "/none: cannot list: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    const Result result = RunCli(c.arguments);
    EXPECT_EQ(result.status, 2) << c.err;
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
  }
}

TEST(CommandLineTest, PrintsControlBytesOfPathsVisibly) {
  ScratchDirectory scratch;
  const std::string directory = scratch.MakeFolder("runs\x1b[2J");
  scratch.Write("runs\x1b[2J/run\t\x1b]0;x\x07/toxswa/a.sum", BuildReport(FixtureReport{}));
  const Result written = RunCli({directory});
  EXPECT_EQ(written.out, "Wrote " + scratch.path() + "/runs\\x1b[2J/Summary.txt: 1 report, 1 row\n");
  // The table keeps its own rule: a TAB becomes a space, other bytes stay.
  EXPECT_NE(quillmere::testing::ReadFile(directory + "/Summary.txt").find("\r\nrun \x1b]0;x\x07\ta.sum\t"),
            std::string::npos);

  scratch.Write("runs\x1b[2J/run\t\x1b]0;x\x07/toxswa/b.sum", "");
  const Result failed = RunCli({directory});
  EXPECT_EQ(failed.err, "Problem with file " + scratch.path() +
                            "/runs\\x1b[2J/run\\t\\x1b]0;x\\x07/toxswa/b.sum!\n Please check!\n"
                            "quillmere-summary: the report ends before a line containing "
                            "\"* Scenario                :\"\n");
  EXPECT_EQ(RunCli({directory + "/\x1b"}).err,
            "quillmere-summary: " + scratch.path() + "/runs\\x1b[2J/\\x1b: cannot list: No such file or directory\n");
}

TEST(CommandLineTest, AnswersHelpAndVersionAndTakesDashDirectoriesAfterDoubleDash) {
  EXPECT_NE(RunCli({"--help"}).out.find("Usage: quillmere-summary [--] DIR"), std::string::npos);
  EXPECT_EQ(RunCli({"--version"}).out, std::string("quillmere-summary ") + QUILLMERE_VERSION_FOR_TESTS + "\n");
  const Result dashed = RunCli({"--", "-no-such-dir"});
  EXPECT_EQ(dashed.err, "quillmere-summary: -no-such-dir: cannot list: No such file or directory\n");
}

TEST(CommandLineTest, TheProgramExitsWithTheRunsStatus) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const std::string command = std::string(QUILLMERE_SUMMARY_EXE) + " '" + scratch.path() + "' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
  scratch.Write("run/toxswa/b.sum", "");
  status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  status = std::system((std::string(QUILLMERE_SUMMARY_EXE) + " >/dev/null 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  scratch.Write("run/toxswa/b.sum", BuildReport(FixtureReport{}));
  status = std::system((std::string(QUILLMERE_SUMMARY_EXE) + " '" + scratch.path() + "' >/dev/full 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the success line could not be printed";
}

TEST(CommandLineTest, TheProgramWritesFiguresWithTheLocalesDecimalSeparator) {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  std::setlocale(LC_NUMERIC, "C");
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const std::string command = "LC_ALL=de_DE.UTF-8 " + std::string(QUILLMERE_SUMMARY_EXE) + " '" +
                              scratch.path() + "' >/dev/null 2>&1";
  ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  const std::string table = quillmere::testing::ReadFile(scratch / "Summary.txt");
  EXPECT_NE(table.find("\tEXSW2\t39,57\t2,415\t0,8402\t5,338\t1,544\t0,9058\t"), std::string::npos) << table;
}

}  // namespace
}  // namespace quillmere
