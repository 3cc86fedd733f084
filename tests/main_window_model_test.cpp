#include "app/window/main_window_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

const std::string& kHeader = quillmere::testing::kTableHeader;

std::string Native(const std::string& path) { return NormalPath(kNativePathStyle, path, ""); }

WindowStart Start(std::vector<Volume> volumes, std::string directory) {
  WindowStart start;
  start.volumes = std::move(volumes);
  start.directory = std::move(directory);
  start.decimalSeparator = ",";
  return start;
}

TEST(MainWindowModelTest, TheDriveListShowsRootsAndNamesAndChoosesTheDriveHoldingTheStart) {
  ScratchDirectory scratch;
  scratch.MakeFolder("disk/runs");
  const std::string disk = Native(scratch / "disk");
  const std::vector<Volume> volumes{{"/", ""}, {disk, "disk"}, {Native(scratch / "other"), ""}};
  const fs::path current = fs::current_path();
  fs::current_path(scratch / "disk/runs");
  MainWindowModel model(Start(volumes, ""));
  fs::current_path(current);
  EXPECT_EQ(model.dir1().path(), Native(scratch / "disk/runs"));
  EXPECT_EQ(model.drive1().texts(),
            (std::vector<std::string>{"/", disk + " [disk]", Native(scratch / "other")}));
  EXPECT_EQ(model.drive1().chosen(), 1u);
  // No volume holds the directory: the first is chosen.
  EXPECT_EQ(MainWindowModel(Start({{Native(scratch / "other"), ""}}, disk)).drive1().chosen(), 0u);
}

TEST(MainWindowModelTest, ADriveChangeOpensItsRootAndAnUnreadableDriveIsNamedAndUndone) {
  ScratchDirectory scratch;
  scratch.MakeFolder("one/runs");
  scratch.MakeFolder("two");
  scratch.Write("not-a-folder", "x");
  const std::string one = Native(scratch / "one"), two = Native(scratch / "two");
  MainWindowModel model(Start(
      {{one, ""}, {two, ""}, {Native(scratch / "gone"), "gone"}, {Native(scratch / "not-a-folder"), ""}},
      scratch / "one/runs"));
  EXPECT_EQ(model.drive1Change(1), std::nullopt);
  EXPECT_EQ(model.drive1().chosen(), 1u);
  EXPECT_EQ(model.dir1().path(), two);

  for (std::size_t row : {2u, 3u}) {
    const std::optional<Message> message = model.drive1Change(row);
    ASSERT_TRUE(message.has_value()) << row;
    EXPECT_EQ(message->icon, MessageIcon::kWarning);
    EXPECT_EQ(message->title, "Quillmere");
    EXPECT_TRUE(message->text.starts_with(model.drive1().root(row) + ": ")) << message->text;
    EXPECT_GT(message->text.size(), model.drive1().root(row).size() + 2) << "no reason given";
    EXPECT_EQ(model.drive1().chosen(), 1u) << row;
    EXPECT_EQ(model.dir1().path(), two) << row;
  }
  // Choosing the chosen drive again, or a row past the end, changes nothing.
  EXPECT_EQ(model.drive1Change(1), std::nullopt);
  EXPECT_EQ(model.drive1Change(9), std::nullopt);
  EXPECT_EQ(model.drive1().chosen(), 1u);
  EXPECT_EQ(model.drive1Change(0), std::nullopt);
  EXPECT_EQ(model.dir1().path(), one);
}

TEST(MainWindowModelTest, DriveLettersWithLabelsAndSharesAndADisconnectedDrive) {
  WindowStart start;
  start.volumes = {{"C:\\", "System"}, {"D:\\", ""}, {"H:\\", "\\\\server\\runs"}};
  start.directory = "c:\\Runs\\Buffer05m";
  start.folders.style = PathStyle::kWindows;
  start.folders.subfolders = [](const std::string& folder) -> std::vector<std::string> {
    if (folder == "H:\\") throw FileError(folder, "cannot list: The network path was not found.");
    return {};
  };
  MainWindowModel model(start);
  EXPECT_EQ(model.drive1().texts(),
            (std::vector<std::string>{"C:\\ [System]", "D:\\", "H:\\ [\\\\server\\runs]"}));
  EXPECT_EQ(model.drive1().chosen(), 0u);
  EXPECT_EQ(model.dir1().path(), "C:\\Runs\\Buffer05m");
  EXPECT_EQ(model.drive1Change(1), std::nullopt);
  EXPECT_EQ(model.dir1().path(), "D:\\");
  const std::optional<Message> message = model.drive1Change(2);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->text, "H:\\: cannot list: The network path was not found.");
  EXPECT_EQ(model.drive1().chosen(), 1u);
  EXPECT_EQ(model.dir1().path(), "D:\\");
}

TEST(MainWindowModelTest, OpeningAVanishedFolderIsNamedInABox) {
  ScratchDirectory scratch;
  scratch.MakeFolder("runs/gone");
  MainWindowModel model(Start({{"/", ""}}, scratch / "runs"));
  fs::remove(scratch / "runs/gone");
  const std::optional<Message> message = model.dir1Open(model.dir1().openRow() + 1);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->icon, MessageIcon::kWarning);
  EXPECT_TRUE(message->text.starts_with(Native(scratch / "runs/gone") + ": ")) << message->text;
  EXPECT_EQ(model.dir1().path(), Native(scratch / "runs"));
}

TEST(MainWindowModelTest, StartWritesTheTableOfTheOpenDirectoryAndEndsWithStatusZero) {
  ScratchDirectory scratch;
  scratch.Write("runs/Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
  MainWindowModel model(Start({{"/", ""}}, scratch.path()));
  ASSERT_EQ(model.dir1Open(model.dir1().openRow() + 1), std::nullopt);

  const RunEnd end = model.command1Click();

  EXPECT_EQ(end.message, std::nullopt);
  EXPECT_EQ(end.exitStatus, 0);
  const std::string table = ReadFile(scratch / "runs/Summary.txt");
  EXPECT_EQ(table.substr(0, kHeader.size()), kHeader);
  EXPECT_NE(table.find("Run1\tR1.sum\tR1_Stream\tEXSW2\t39,57\t"), std::string::npos) << table;
}

TEST(MainWindowModelTest, EveryFailedRunShowsTheStopBoxAndEndsWithStatusOne) {
  ScratchDirectory scratch;
  scratch.Write("failing/Run1/toxswa/A.sum", BuildReport(FixtureReport{}));
  scratch.Write("failing/Run1/toxswa/B.sum", "a report without any of its markers\r\n");
  scratch.MakeFolder("vanishing");
  scratch.MakeFolder("blocked/Summary.txt");
  struct Case {
    std::string directory;
    std::string text;  // the box's whole text, or how it begins
  };
  std::vector<Case> cases = {
      {scratch / "failing", ReportFailureMessage(JoinPath(
                                JoinPath(JoinPath(Native(scratch / "failing"), "Run1"), "toxswa"), "B.sum"))},
      {scratch / "vanishing", Native(scratch / "vanishing") + ": "},
      {scratch / "blocked", JoinPath(Native(scratch / "blocked"), "Summary.txt") + ": "},
  };
  if (kNativePathStyle == PathStyle::kPosix) {
    // A table that is a link is refused, never written through.
    scratch.MakeFolder("linked");
    fs::create_symlink(scratch / "elsewhere.txt", scratch / "linked/Summary.txt");
    cases.push_back({scratch / "linked", scratch / "linked/Summary.txt: "});
  }
  for (const auto& c : cases) {
    MainWindowModel model(Start({{"/", ""}}, c.directory));
    fs::remove(scratch / "vanishing");
    const RunEnd end = model.command1Click();
    ASSERT_TRUE(end.message.has_value()) << c.directory;
    EXPECT_EQ(end.message->icon, MessageIcon::kStop) << c.directory;
    EXPECT_EQ(end.message->title, "Quillmere") << c.directory;
    EXPECT_TRUE(end.message->text.starts_with(c.text)) << end.message->text;
    EXPECT_EQ(end.exitStatus, 1) << c.directory;
    // Only a report failure has more to say than its two lines: why, and
    // what the table keeps.
    const std::string details =
        c.directory == scratch / "failing"
            ? "the file does not look like a TOXSWA summary report: looked for a line containing "
              "\"* Scenario                :\" and found none\n" +
                  JoinPath(Native(scratch / "failing"), "Summary.txt") + " keeps 1 report, 1 row"
            : "";
    EXPECT_EQ(end.message->details, details) << c.directory;
  }
  EXPECT_NE(ReadFile(scratch / "failing/Summary.txt").find("Run1\tA.sum\t"), std::string::npos);
  EXPECT_FALSE(fs::exists(scratch / "elsewhere.txt"));
}

TEST(MainWindowModelTest, EachOutcomeOfTheRunEndsWithItsBoxAndStatus) {
  SummaryOutcome written;
  written.status = RunStatus::kWritten;
  written.tablePath = "/runs/Summary.txt";
  SummaryOutcome empty = written;
  empty.warning = "/runs holds no report: no run folder has a toxswa folder with .sum files";
  SummaryOutcome reportFailure;
  reportFailure.status = RunStatus::kReportFailure;
  reportFailure.tablePath = "/runs/Summary.txt";
  reportFailure.reports = 12;
  reportFailure.rows = 15;
  reportFailure.reason = "cannot open: gone";
  reportFailure.message = ReportFailureMessage("/runs/R/toxswa/x.sum");
  SummaryOutcome writeFailure = reportFailure;
  writeFailure.status = RunStatus::kWriteFailure;
  writeFailure.message = "/runs/Summary.txt: cannot write: disk full";
  const struct {
    const char* name;
    SummaryOutcome outcome;
    std::optional<Message> message;
    int status;
  } cases[] = {
      {"complete", written, std::nullopt, 0},
      {"complete but empty", empty, Message{MessageIcon::kInformation, "Quillmere", empty.warning, ""}, 0},
      {"report failure", reportFailure,
       Message{MessageIcon::kStop, "Quillmere", reportFailure.message,
               "cannot open: gone\n/runs/Summary.txt keeps 12 reports, 15 rows"},
       1},
      {"write failure", writeFailure, Message{MessageIcon::kStop, "Quillmere", writeFailure.message, ""}, 1},
  };
  ScratchDirectory scratch;
  for (const auto& c : cases) {
    WindowStart start = Start({{"/", ""}}, scratch.path());
    std::vector<std::string> runs;
    start.run = [&](const std::string& directory, const SummaryOptions& options) {
      runs.push_back(directory + " " + options.decimalSeparator);
      return c.outcome;
    };
    const RunEnd end = MainWindowModel(start).command1Click();
    EXPECT_EQ(runs, std::vector<std::string>{Native(scratch.path()) + " ,"}) << c.name;
    EXPECT_EQ(end.message, c.message) << c.name;
    EXPECT_EQ(end.exitStatus, c.status) << c.name;
  }
}

TEST(MainWindowModelTest, TwipsBecomePixelsAtTheScreensDensity) {
  const struct {
    int twips;
    int dotsPerInch;
    int pixels;
  } cases[] = {
      {kForm1ClientWidth, 96, 758},  {kForm1ClientHeight, 96, 456},  {kDir1Rect.height, 96, 186},
      {kDrive1Rect.height, 96, 21},  {kCommand1Rect.width, 96, 225}, {kForm1ClientWidth, 144, 1137},
      {kForm1ClientWidth, 120, 948},  // 947.5 rounds up
      {kDrive1Rect.height, 192, 42},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dotsPerInch), c.pixels) << c.twips << " at " << c.dotsPerInch;
  }
}

}  // namespace
}  // namespace quillmere
