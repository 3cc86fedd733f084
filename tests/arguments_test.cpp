// The command line read once: which argument is an option, a value or the
// directory, and which of several faults is the one reported.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quillmere {
namespace {

using Action = Arguments::Action;

TEST(ArgumentsTest, TakesOptionsValuesAndTheDirectoryUpToDoubleDash) {
  const struct {
    std::vector<std::string> arguments;
    SlashHelp slashHelp;
    Action action;
    std::string directory;
    std::vector<std::string> figures;
    std::vector<std::string> thresholds;
  } cases[] = {
      {{"runs"}, SlashHelp::kNo, Action::kRun, "runs", {}, {}},
      {{"-"}, SlashHelp::kNo, Action::kRun, "-", {}, {}},
      {{"--", "-runs"}, SlashHelp::kNo, Action::kRun, "-runs", {}, {}},
      {{"--", "--help"}, SlashHelp::kNo, Action::kRun, "--help", {}, {}},
      {{"--", "--"}, SlashHelp::kNo, Action::kRun, "--", {}, {}},
      // A value is the next argument whatever it is, "--" and "--help" too.
      {{"--workbook", "--compare", "--", "runs"}, SlashHelp::kNo, Action::kRun, "runs", {"--"}, {}},
      {{"--workbook", "--threshold", "--help", "runs"}, SlashHelp::kNo, Action::kRun, "runs", {}, {"--help"}},
      {{"--compare=TWA7d", "runs", "--workbook", "--threshold=", "--compare", "TWAsw 4d"},
       SlashHelp::kNo,
       Action::kRun,
       "runs",
       {"TWA7d", "TWAsw 4d"},
       {""}},
      // After "--" the workbook's options are directories.
      {{"--workbook", "--", "--compare"}, SlashHelp::kNo, Action::kRun, "--compare", {}, {}},
      {{"runs", "--help"}, SlashHelp::kNo, Action::kHelp, "", {}, {}},
      {{"-V", "-h"}, SlashHelp::kNo, Action::kVersion, "", {}, {}},
      {{"/?"}, SlashHelp::kNo, Action::kRun, "/?", {}, {}},
      {{"/?"}, SlashHelp::kYes, Action::kHelp, "", {}, {}},
      {{"--", "/?"}, SlashHelp::kYes, Action::kRun, "/?", {}, {}},
  };
  for (const auto& c : cases) {
    std::ostringstream err;
    const std::optional<Arguments> parsed = ParseArguments(c.arguments, err, c.slashHelp);
    ASSERT_TRUE(parsed) << c.arguments.front() << ": " << err.str();
    EXPECT_EQ(parsed->action, c.action) << c.arguments.front();
    if (c.action == Action::kRun) {
      EXPECT_EQ(parsed->directory, c.directory);
    }
    EXPECT_EQ(parsed->workbook.figures, c.figures);
    EXPECT_EQ(parsed->workbook.thresholds, c.thresholds);
    EXPECT_EQ(err.str(), "");
  }
}

TEST(ArgumentsTest, ReportsTheFaultThatComesFirstInItsOrder) {
  const std::string kProgramColon = "quillmere-summary: ";
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      // A missing value comes before everything, help included.
      {{"--help", "--workbook", "--compare"}, "--compare needs a value; try --help\n"},
      // So does a workbook option without --workbook, after the whole line.
      {{"-h", "--threshold", "1"}, "--threshold works on the workbook: add --workbook; try --help\n"},
      {{"--compare", "TWA7d", "--threshold=1"},
       "--compare works on the workbook: add --workbook; try --help\n"},
      // Then the first of help, version, an unknown option, a second directory.
      {{"a", "--fast", "b", "--help"}, "unknown option '--fast'; try --help\n"},
      {{"a", "b", "--fast", "--help"}, "expected one directory, got more; try --help\n"},
      {{"", ""}, "expected one directory, got more; try --help\n"},
      {{"--compare-all", "a"}, "unknown option '--compare-all'; try --help\n"},
      {{"--workbook=yes", "a"}, "unknown option '--workbook=yes'; try --help\n"},
      {{"--"}, "expected the directory that holds the run folders; try --help\n"},
      {{"--workbook", "--compare", "a"}, "expected the directory that holds the run folders; try --help\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream err;
    EXPECT_FALSE(ParseArguments(c.arguments, err)) << c.err;
    EXPECT_EQ(err.str(), kProgramColon + c.err);
  }
}

}  // namespace
}  // namespace quillmere
