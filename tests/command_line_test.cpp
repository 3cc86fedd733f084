#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "tests/command_line_capture.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::FixtureReport;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

TEST(CommandLineTest, WritesTheTableAndSaysWhereItIs) {
  ScratchDirectory scratch;
  FixtureReport two;
  two.substances.push_back(two.substances.front());
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  scratch.Write("run/toxswa/b.sum", BuildReport(two));
  const CommandLineResult result = RunCli({scratch.path()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Wrote " + (scratch / "Summary.txt") + ": 2 reports, 3 rows\n");
  EXPECT_EQ(result.err, "");
}

TEST(CommandLineTest, ExitsWithOneAndTheMessageWhenAReportFails) {
  ScratchDirectory scratch;
  scratch.Write("run/TOXSWA/bad.sum", "no markers\n");
  const CommandLineResult result = RunCli({scratch.path()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Problem with file " + (scratch / "run/TOXSWA/bad.sum") + "!" +
                            std::string(kMessageLineBreak) +
                            " Please check!\n"
                            "quillmere-summary: the file does not look like a TOXSWA summary report: looked "
                            "for a line containing "
                            "\"* Scenario                :\" and found none\n");
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
       "quillmere-summary: " + (scratch / "none") + ": cannot list: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    const CommandLineResult result = RunCli(c.arguments);
    EXPECT_EQ(result.status, 2) << c.err;
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
  }
}

TEST(CommandLineTest, AnswersHelpAndVersionAndTakesDashDirectoriesAfterDoubleDash) {
  const std::string version = std::string("quillmere-summary ") + QUILLMERE_VERSION_FOR_TESTS + "\n";
  for (const char* option : {"--help", "-h"}) {
    EXPECT_NE(RunCli({option, "dir"}).out.find("Usage: quillmere-summary [--] DIR"), std::string::npos)
        << option;
  }
  EXPECT_EQ(RunCli({"--version"}).out, version);
  EXPECT_EQ(RunCli({"-V"}).out, version);
  const CommandLineResult dashed = RunCli({"--", "-no-such-dir"});
  EXPECT_EQ(dashed.err, "quillmere-summary: -no-such-dir: cannot list: No such file or directory\n");
}

TEST(CommandLineTest, DescribesAnExceptionThatEscapedTheRun) {
  // Memory running out gets words a person understands; anything else keeps
  // its own text.
  EXPECT_EQ(DescribeUnexpected(std::bad_alloc()), "not enough memory");
  EXPECT_EQ(DescribeUnexpected(std::length_error("vector too long")), "vector too long");
}

}  // namespace
}  // namespace quillmere
