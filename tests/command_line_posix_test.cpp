// quillmere-summary on POSIX systems: names with control bytes, and the built
// program run from a shell. tests/windows_command_line_test.cpp holds the
// Windows counterparts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "tests/command_line_capture.h"
#include "tests/program_run.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::FixtureReport;
using quillmere::testing::NotAReport;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

TEST(CommandLineTest, PrintsControlBytesOfPathsVisibly) {
  ScratchDirectory scratch;
  const std::string directory = scratch.MakeFolder("runs\x1b[2J");
  scratch.Write("runs\x1b[2J/run\t\x1b]0;x\x07/toxswa/a.sum", BuildReport(FixtureReport{}));
  const CommandLineResult written = RunCli({directory});
  EXPECT_EQ(written.out, "Wrote " + scratch.path() + "/runs\\x1b[2J/Summary.txt: 1 report, 1 row\n");
  // The table keeps its own rule: a TAB becomes a space, other bytes stay.
  EXPECT_NE(quillmere::testing::ReadFile(directory + "/Summary.txt").find("\r\nrun \x1b]0;x\x07\ta.sum\t"),
            std::string::npos);

  scratch.Write("runs\x1b[2J/run\t\x1b]0;x\x07/toxswa/b.sum", "");
  const CommandLineResult failed = RunCli({directory});
  EXPECT_EQ(failed.err, "Problem with file " + scratch.path() +
                            "/runs\\x1b[2J/run\\t\\x1b]0;x\\x07/toxswa/b.sum!\n Please check!\n"
                            "quillmere-summary: " +
                            NotAReport() + "\nquillmere-summary: " + scratch.path() +
                            "/runs\\x1b[2J/Summary.txt keeps 1 report, 1 row\n");
  EXPECT_EQ(RunCli({directory + "/\x1b"}).err,
            "quillmere-summary: " + scratch.path() +
                "/runs\\x1b[2J/\\x1b: cannot list: No such file or directory\n");
}

// What `ask` says with standard error moved to `descriptor`.
template <typename Ask>
auto WithStandardErrorOn(int descriptor, Ask ask) {
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(descriptor, STDERR_FILENO);
  const auto answer = ask();
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  return answer;
}

// Only a terminal on standard error gets the progress line, cut to the
// terminal's width: a pipe or /dev/null is none and has no width.
TEST(CommandLineTest, TheProgressLineKnowsTheWidthOfAPseudoTerminal) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  for (const int descriptor : {pipeEnds[1], null}) {
    EXPECT_FALSE(WithStandardErrorOn(descriptor, StandardErrorIsTerminal));
    EXPECT_EQ(WithStandardErrorOn(descriptor, StandardErrorWidth), 0u);
  }
  for (const int descriptor : {pipeEnds[0], pipeEnds[1], null}) ::close(descriptor);
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0)
    GTEST_SKIP() << "no pseudo-terminal";
  EXPECT_TRUE(WithStandardErrorOn(terminal, StandardErrorIsTerminal));
  for (const int columns : {40, 132, 0}) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    ASSERT_EQ(::ioctl(terminal, TIOCSWINSZ, &size), 0);
    EXPECT_EQ(WithStandardErrorOn(terminal, StandardErrorWidth), static_cast<std::size_t>(columns));
  }
  ::close(terminal);
}

TEST(CommandLineTest, AHelpOrVersionThatCannotBeWrittenIsAFailure) {
  for (const auto& [option, what] : {std::pair{"--help", "help"}, std::pair{"-V", "version"}}) {
    std::ostream unwritable(nullptr);
    std::ostringstream err;
    const std::vector<std::string> arguments{option};
    EXPECT_EQ(RunCommandLine(arguments, unwritable, err), 1) << option;
    EXPECT_EQ(err.str(),
              std::string("quillmere-summary: the ") + what + " cannot be written to standard output\n");
    const std::string command = std::string(QUILLMERE_SUMMARY_EXE) + " " + option + " >/dev/full 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1) << option;
  }
}

TEST(CommandLineTest, TheProgramExitsWithTheRunsStatus) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  const std::string command =
      std::string(QUILLMERE_SUMMARY_EXE) + " '" + scratch.path() + "' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
  scratch.Write("run/toxswa/b.sum", "");
  status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  status = std::system((std::string(QUILLMERE_SUMMARY_EXE) + " >/dev/null 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  scratch.Write("run/toxswa/b.sum", BuildReport(FixtureReport{}));
  status = std::system(
      (std::string(QUILLMERE_SUMMARY_EXE) + " '" + scratch.path() + "' >/dev/full 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the success line could not be printed";
}

TEST(CommandLineTest, AClosedStandardOutputFailsAndLeavesTheTableComplete) {
  // As `quillmere-summary DIR | head -c0`: no death by SIGPIPE.
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport(FixtureReport{}));
  quillmere::testing::ProgramStart start;
  start.outputReaderGone = true;
  start.beforeExec = [] { std::signal(SIGPIPE, SIG_DFL); };
  const quillmere::testing::ProgramResult result = quillmere::testing::FinishProgram(
      quillmere::testing::StartProgram(QUILLMERE_SUMMARY_EXE, {"--", scratch.path()}, start));
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "quillmere-summary: the table is complete, but standard output cannot be written\n");
  EXPECT_EQ(quillmere::testing::RowNames(quillmere::testing::ReadFile(scratch / "Summary.txt")),
            std::vector<std::string>{"run/a.sum"});
}

// The one test of the locale: the program reads the report's figures with a
// point whatever LC_NUMERIC says, and writes them with the locale's own
// separator (the C locale's point is what every other table test reads).
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
