#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/progress_line.h"
#include "runtime/file_error.h"
#include "runtime/platform.h"
#include "summary/summary_run.h"
#include "tests/command_line_capture.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::FixtureReport;
using quillmere::testing::NotAReport;
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

TEST(CommandLineTest, WarnsOnStandardErrorWhenNoReportIsFoundAndStillSucceeds) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const std::string chosen = scratch / "run";
  const CommandLineResult result = RunCli({chosen});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Wrote " + (scratch / "run/Summary.txt") + ": 0 reports, 0 rows\n");
  EXPECT_EQ(result.err, "quillmere-summary: no report was found under " + chosen +
                            " (it looks for *.sum files in a toxswa folder of each run folder); it holds a "
                            "toxswa folder itself, so it is probably a run folder and the folder of the runs "
                            "is one level up\n");
}

// A clock the test moves by hand, in milliseconds from the start.
struct HandClock {
  std::chrono::milliseconds now{0};
  std::chrono::steady_clock::time_point operator()() const {
    return std::chrono::steady_clock::time_point(now);
  }
};

TEST(CommandLineTest, TheProgressLineAppearsOnlyOnATerminalAfterASecondAndIsErased) {
  SummaryProgress progress;
  progress.runFolders = 40;
  for (const bool terminal : {false, true}) {
    std::ostringstream err;
    HandClock clock;
    ProgressLine line(
        err, terminal, [&clock] { return clock(); }, [] { return std::size_t{0}; });
    struct Step {
      int atMilliseconds;
      std::size_t reports;
      std::size_t runFolder;
      std::string drawn;  // on a terminal
    } steps[] = {
        {500, 1, 1, ""},  // not yet a second
        {1200, 1, 1, "\rquillmere-summary: 1 report read, run folder 1 of 40\r"},
        {1250, 2, 1, ""},  // drawn again only a while later
        {1400, 12, 3, "\rquillmere-summary: 12 reports read, run folder 3 of 40\r"},
        {1600, 12, 10, "\rquillmere-summary: 12 reports read, run folder 10 of 40\r"},
        {1800, 9, 9, "\rquillmere-summary: 9 reports read, run folder 9 of 40  \r"},  // shorter: blanked
    };
    for (const Step& step : steps) {
      clock.now = std::chrono::milliseconds(step.atMilliseconds);
      progress.reports = step.reports;
      progress.runFoldersDone = step.runFolder;
      err.str("");
      line.Show(progress);
      EXPECT_EQ(err.str(), terminal ? step.drawn : "") << step.atMilliseconds << " ms, terminal " << terminal;
    }
    err.str("");
    line.Erase();
    EXPECT_EQ(err.str(), terminal ? "\r" + std::string(55, ' ') + "\r" : "") << "terminal " << terminal;
    err.str("");
    line.Erase();
    EXPECT_EQ(err.str(), "") << "erased twice, terminal " << terminal;
  }
}

// A line as wide as the terminal would wrap, and every redraw would leave a
// new line: it is cut to one column less, at the width the terminal has now.
TEST(CommandLineTest, TheProgressLineIsCutToTheTerminalsWidth) {
  SummaryProgress progress;
  progress.runFolders = 40;
  progress.runFoldersDone = 1;
  std::ostringstream err;
  HandClock clock;
  std::size_t columns = 40;
  ProgressLine line(
      err, true, [&clock] { return clock(); }, [&columns] { return columns; });
  const struct {
    std::size_t columns;
    std::size_t reports;
    std::string drawn;
  } steps[] = {
      {40, 1, "\rquillmere-summary: 1 report read, run f\r"},
      {30, 12, "\rquillmere-summary: 12 reports\r"},  // narrowed: no padding past the width
      {1, 12, "\r\r"},
      {0, 3, "\rquillmere-summary: 3 reports read, run folder 1 of 40\r"},  // a width not known
      {20, 3, "\rquillmere-summary: \r"},
  };
  int milliseconds = 1000;
  for (const auto& step : steps) {
    columns = step.columns;
    clock.now = std::chrono::milliseconds(milliseconds += 200);
    progress.reports = step.reports;
    err.str("");
    line.Show(progress);
    EXPECT_EQ(err.str(), step.drawn) << step.columns << " columns";
  }
  err.str("");
  line.Erase();
  EXPECT_EQ(err.str(), "\r" + std::string(19, ' ') + "\r");
}

TEST(CommandLineTest, ExitsWithOneAndTheMessageAndWhatTheTableKeepsWhenAReportFails) {
  ScratchDirectory scratch;
  FixtureReport two;
  two.substances.push_back(two.substances.front());
  scratch.Write("run/TOXSWA/a.sum", BuildReport(two));
  scratch.Write("run/TOXSWA/bad.sum", "no markers\n");
  const CommandLineResult result = RunCli({scratch.path()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "Problem with file " + (scratch / "run/TOXSWA/bad.sum") + "!" + std::string(kMessageLineBreak) +
                " Please check!\nquillmere-summary: " + NotAReport() +
                "\nquillmere-summary: " + (scratch / "Summary.txt") + " keeps 1 report, 2 rows\n");
}

TEST(CommandLineTest, ExitsWithTwoWhenTheRunCannotStart) {
  ScratchDirectory scratch;
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{}, "quillmere-summary: expected the directory that holds the run folders; try --help\n"},
      {{""}, "quillmere-summary: expected the directory that holds the run folders; try --help\n"},
      // Control bytes in an option reach the terminal escaped: ESC, and CSI
      // (U+009B) in UTF-8. (Which fault is named is ArgumentsTest's.)
      {{"-\033[2Jx"}, "quillmere-summary: unknown option '-\\x1b[2Jx'; try --help\n"},
      {{"--\xc2\x9b"
        "2J"},
       "quillmere-summary: unknown option '--\\xc2\\x9b2J'; try --help\n"},
      {{scratch / "none"},
       "quillmere-summary: " + (scratch / "none") +
           ": cannot list: " + quillmere::testing::MissingFolderWords() + "\n"},
  };
  for (const Case& c : cases) {
    const CommandLineResult result = RunCli(c.arguments);
    EXPECT_EQ(result.status, 2) << c.err;
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
  }
}

TEST(CommandLineTest, AnswersHelpAndVersionAndTakesDashDirectoriesAfterDoubleDash) {
  const std::string version = std::string("quillmere-summary ") + QUILLMERE_VERSION_FOR_TESTS +
                              "\n"
                              "Copyright (C) 2026 Quillmere maintainers\n"
                              "License MIT: <https://opensource.org/licenses/MIT>\n";
  for (const char* option : {"--help", "-h"}) {
    EXPECT_NE(RunCli({option, "dir"})
                  .out.find("Usage: quillmere-summary [--workbook [--compare FIGURE]... [--threshold "
                            "THRESHOLD]...] [--] DIR"),
              std::string::npos)
        << option;
  }
  EXPECT_EQ(RunCli({"--version"}).out, version);
  EXPECT_EQ(RunCli({"-V"}).out, version);
  const CommandLineResult dashed = RunCli({"--", "-no-such-dir"});
  EXPECT_EQ(dashed.err, "quillmere-summary: -no-such-dir: cannot list: " +
                            quillmere::testing::MissingFolderWords() + "\n");
}

TEST(CommandLineTest, DescribesAFailureAndAnExceptionThatEscapedTheRun) {
  EXPECT_EQ(Describe(FileError("runs/Summary.txt", "cannot write: disk full")),
            "runs/Summary.txt: cannot write: disk full");
  // Memory running out gets words a person understands; anything else keeps
  // its own text.
  EXPECT_EQ(DescribeUnexpected(std::bad_alloc()), "not enough memory");
  EXPECT_EQ(DescribeUnexpected(std::length_error("vector too long")), "vector too long");
}

}  // namespace
}  // namespace quillmere
