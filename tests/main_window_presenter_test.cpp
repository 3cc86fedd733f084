#include "app/window/main_window_presenter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/folder.h"
#include "runtime/interruption.h"
#include "runtime/platform.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

const std::string& kHeader = quillmere::testing::kTableHeader;

// `first` and `second` as two lines of a box, parted as the system parts them.
std::string Lines(const std::string& first, const std::string& second) {
  return first + std::string(kMessageLineBreak) + second;
}

std::string Native(const std::string& path) { return NormalPath(kNativePathStyle, path, ""); }

// `name` in `directory`, as the window names it.
std::string In(const std::string& directory, const std::string& name) {
  return JoinPath(Native(directory), name);
}

WindowStart Start(std::vector<Volume> volumes, std::string directory) {
  WindowStart start;
  start.volumes = std::move(volumes);
  start.directory = std::move(directory);
  start.decimalSeparator = ",";
  return start;
}

// A view that records what it is told, in order, instead of drawing it.
struct FakeView : MainWindowView {
  std::vector<std::string> verbs;
  std::vector<std::string> drives;
  std::vector<Message> messages;
  std::function<void()> whileBoxIsUp;

  void showDrives(const std::vector<std::string>& texts) override {
    drives = texts;
    verbs.push_back("drives");
  }
  void chooseDrive(std::size_t row) override { verbs.push_back("choose " + std::to_string(row)); }
  void showFolders(const std::vector<DirectoryEntry>&, std::size_t highlighted) override {
    verbs.push_back("folders " + std::to_string(highlighted));
  }
  void showCheck1(bool ticked) override { verbs.push_back(ticked ? "ticked" : "unticked"); }
  void showMessage(const Message& message) override {
    messages.push_back(message);
    verbs.push_back("box");
    if (whileBoxIsUp) whileBoxIsUp();
  }
  void setBusy(bool busy) override { verbs.push_back(busy ? "busy" : "not busy"); }
  void endProgram(int status) override { verbs.push_back("end " + std::to_string(status)); }
};

// Form1 loaded over a fake view; the verbs of loading are kept.
struct Shown {
  FakeView view;
  MainWindowPresenter form1;
  explicit Shown(WindowStart start) : form1(view, std::move(start)) { form1.form1Load(); }
  std::vector<std::string> Verbs() { return std::exchange(view.verbs, {}); }
};

TEST(MainWindowPresenterTest, LoadingShowsTheDrivesOnceAndChoosesTheOneHoldingTheStart) {
  ScratchDirectory scratch;
  scratch.MakeFolder("disk/runs/A");
  const std::string disk = Native(scratch / "disk");
  const std::vector<Volume> volumes{{"/", ""}, {disk, "disk"}, {Native(scratch / "other"), ""}};
  const fs::path current = fs::current_path();
  fs::current_path(scratch / "disk/runs");
  Shown shown(Start(volumes, ""));
  fs::current_path(current);
  EXPECT_EQ(shown.form1.dir1().path(), Native(scratch / "disk/runs"));
  EXPECT_EQ(shown.view.drives, (std::vector<std::string>{"/", disk + " [disk]", Native(scratch / "other")}));
  const std::string openRow = std::to_string(shown.form1.dir1().openRow());
  EXPECT_EQ(shown.Verbs(),
            (std::vector<std::string>{"drives", "choose 1", "folders " + openRow, "unticked"}));
  // No volume holds the directory: the first is chosen.
  FakeView view;
  EXPECT_EQ(MainWindowPresenter(view, Start({{Native(scratch / "other"), ""}}, disk)).drive1().chosen(), 0u);
}

TEST(MainWindowPresenterTest, ADriveChangeOpensItsRoot) {
  ScratchDirectory scratch;
  scratch.MakeFolder("one/runs");
  scratch.MakeFolder("two");
  const std::string one = Native(scratch / "one"), two = Native(scratch / "two");
  Shown shown(Start({{one, ""}, {two, ""}}, scratch / "one/runs"));
  shown.Verbs();
  shown.form1.drive1Change(1);
  EXPECT_EQ(shown.form1.drive1().chosen(), 1u);
  EXPECT_EQ(shown.form1.dir1().path(), two);
  EXPECT_EQ(shown.Verbs(),
            std::vector<std::string>{"folders " + std::to_string(shown.form1.dir1().openRow())})
      << "the drive list is not filled again";

  // Choosing the chosen drive again, or a row past the end, changes nothing.
  shown.form1.drive1Change(1);
  shown.form1.drive1Change(9);
  EXPECT_EQ(shown.Verbs(), std::vector<std::string>{});
  // The program goes on: back to the first drive, and a run there.
  shown.form1.drive1Change(0);
  EXPECT_EQ(shown.form1.dir1().path(), one);
  shown.form1.command1Click();
  EXPECT_EQ(ReadFile(scratch / "one/Summary.txt"), kHeader);
}

// A drive that cannot be read is named in a box, and the drive before it
// stays chosen and open.
TEST(MainWindowPresenterTest, DriveLettersWithLabelsAndSharesAndADisconnectedDrive) {
  WindowStart start;
  start.volumes = {{"C:\\", "System"}, {"D:\\", ""}, {"H:\\", "\\\\server\\runs"}};
  start.directory = "c:\\Runs\\Buffer05m";
  start.folders.style = PathStyle::kWindows;
  start.folders.subfolders = [](const std::string& folder) -> std::vector<std::string> {
    if (folder == "H:\\") throw FileError(folder, "cannot list: The network path was not found.");
    return {};
  };
  Shown shown(start);
  EXPECT_EQ(shown.view.drives,
            (std::vector<std::string>{"C:\\ [System]", "D:\\", "H:\\ [\\\\server\\runs]"}));
  EXPECT_EQ(shown.form1.drive1().chosen(), 0u);
  EXPECT_EQ(shown.form1.dir1().path(), "C:\\Runs\\Buffer05m");
  shown.form1.drive1Change(1);
  EXPECT_EQ(shown.form1.dir1().path(), "D:\\");
  shown.Verbs();
  shown.form1.drive1Change(2);
  EXPECT_EQ(shown.Verbs(), (std::vector<std::string>{"choose 1", "box"}));
  ASSERT_EQ(shown.view.messages.size(), 1u);
  EXPECT_EQ(shown.view.messages[0], (Message{MessageIcon::kWarning, "Quillmere",
                                             "H:\\: cannot list: The network path was not found.", ""}));
  EXPECT_EQ(shown.form1.drive1().chosen(), 1u);
  EXPECT_EQ(shown.form1.dir1().path(), "D:\\");
}

TEST(MainWindowPresenterTest, OpeningAFolderShowsItAndAVanishedOneIsNamedInABox) {
  ScratchDirectory scratch;
  scratch.MakeFolder("runs/A");
  scratch.MakeFolder("runs/gone");
  Shown shown(Start({{"/", ""}}, scratch / "runs"));
  const std::size_t runs = shown.form1.dir1().openRow();
  shown.Verbs();
  shown.form1.dir1Open(runs + 1);
  EXPECT_EQ(shown.form1.dir1().path(), Native(scratch / "runs/A"));
  EXPECT_EQ(shown.Verbs(), std::vector<std::string>{"folders " + std::to_string(runs + 1)});
  shown.form1.dir1Open(runs);
  fs::remove(scratch / "runs/gone");
  shown.form1.dir1Open(runs + 2);
  ASSERT_EQ(shown.view.messages.size(), 1u);
  EXPECT_EQ(shown.view.messages[0].icon, MessageIcon::kWarning);
  EXPECT_TRUE(shown.view.messages[0].text.starts_with(Native(scratch / "runs/gone") + ": "))
      << shown.view.messages[0].text;
  EXPECT_EQ(shown.form1.dir1().path(), Native(scratch / "runs"));
}

// A run that calls `meanwhile` with its directory once the table is
// complete, before the workbook is written.
auto RunCallingOnceTheTableIsComplete(std::function<void(const std::string& directory)> meanwhile) {
  return [meanwhile](const std::string& d, const SummaryOptions& options) {
    SummaryOptions changed = options;
    changed.beforeReplacing = [&](const Folder& folder, const SummaryOutcome& soFar) {
      meanwhile(d);
      options.beforeReplacing(folder, soFar);
    };
    return SummaryRun(d, changed);
  };
}

// The first bytes of a file, or "" when there is none.
std::string Beginning(const std::string& path) {
  return fs::exists(path) ? ReadFile(path).substr(0, 4) : std::string();
}

TEST(MainWindowPresenterTest, Check1DecidesWhetherStartWritesTheWorkbookBesideTheSameTable) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  ScratchDirectory scratch;
  const struct {
    const char* name;
    std::vector<bool> clicks;  // Check1's state after each click before Start
    bool duringRun;            // a click that arrives while the run holds the window
    bool workbook;
  } cases[] = {
      {"never ticked", {}, false, false},
      {"ticked", {true}, false, true},
      {"ticked and unticked", {true, false}, false, false},
      {"ticked once Start was pressed", {}, true, false},
  };
  std::string table;
  for (const auto& c : cases) {
    const std::string directory = scratch / c.name;
    scratch.Write(std::string(c.name) + "/Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
    scratch.Write(std::string(c.name) + "/Run2/toxswa/R2.sum", BuildReport(FixtureReport{}));
    WindowStart start = Start({{"/", ""}}, directory);
    MainWindowPresenter* form1 = nullptr;
    start.run = [&](const std::string& d, const SummaryOptions& options) {
      if (c.duringRun) form1->check1Click(true);
      return SummaryRun(d, options);
    };
    Shown shown(start);
    form1 = &shown.form1;
    for (const bool ticked : c.clicks) shown.form1.check1Click(ticked);
    shown.form1.command1Click();
    EXPECT_EQ(shown.form1.check1(), c.workbook) << c.name;
    EXPECT_EQ(shown.view.verbs.back(), "end 0") << c.name;
    EXPECT_EQ(Beginning(In(directory, "Summary.xlsx")), c.workbook ? "PK\x03\x04" : "") << c.name;
    // The table does not depend on the workbook by one byte.
    const std::string written = ReadFile(In(directory, "Summary.txt"));
    if (table.empty()) table = written;
    EXPECT_EQ(written, table) << c.name;
  }
}

TEST(MainWindowPresenterTest, AWorkbookThatCannotBeWrittenEndsInTheStopBoxSayingWhatTheTableIs) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  ScratchDirectory scratch;
  struct Case {
    std::string name;
    bool tableWritten;  // whether the folder comes once the table is complete, or before Start
  };
  const Case cases[] = {{"a folder in its place", false},
                        {"a folder in its place once the run is over", true}};
  const auto makeFolder = [](const std::string& d) { fs::create_directory(d + "/Summary.xlsx"); };
  for (const Case& c : cases) {
    const std::string directory = scratch.MakeFolder(c.name);
    scratch.Write(c.name + "/Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
    WindowStart start = Start({{"/", ""}}, directory);
    if (c.tableWritten) {
      start.run = RunCallingOnceTheTableIsComplete(makeFolder);
    } else {
      makeFolder(directory);
    }
    Shown shown(start);
    shown.form1.check1Click(true);
    shown.Verbs();
    shown.form1.command1Click();
    EXPECT_EQ(shown.Verbs(), (std::vector<std::string>{"busy", "not busy", "box", "end 1"})) << c.name;
    ASSERT_EQ(shown.view.messages.size(), 1u) << c.name;
    const Message& message = shown.view.messages[0];
    EXPECT_EQ(message.icon, MessageIcon::kStop) << c.name;
    const std::string workbook = In(directory, "Summary.xlsx");
    const std::string table = In(directory, "Summary.txt");
    ASSERT_TRUE(message.text.starts_with(workbook + ": ")) << message.text;
    if (c.tableWritten) {
      // The text names the workbook and why, and that the table is complete;
      // the details give the reason as the command line does.
      const std::string complete = std::string(kMessageLineBreak) + table + " is complete.";
      ASSERT_TRUE(message.text.ends_with(complete)) << message.text;
      const std::string reason = message.text.substr(
          workbook.size() + 2, message.text.size() - workbook.size() - 2 - complete.size());
      EXPECT_FALSE(reason.empty());
      EXPECT_EQ(message.details, Lines(reason, table + " is complete, " + workbook + " is left as it was"));
      EXPECT_NE(ReadFile(table).find("Run1\tR1.sum\t"), std::string::npos) << c.name;
    } else {
      // Refused before the run, as the command line refuses it: nothing is
      // written.
      EXPECT_EQ(message.details, "") << c.name;
      EXPECT_FALSE(fs::exists(table)) << c.name;
    }
    EXPECT_TRUE(fs::is_directory(workbook)) << c.name;
  }
  for (const auto& entry : fs::recursive_directory_iterator(scratch.path())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "left behind: " << entry.path();
  }
}

// In a child process, which exits with 0 when the box is the one expected: a
// request to stop that comes once the table is complete ends the workbook's
// writing, and the box says so.
void StopWhileTheWorkbookIsWritten(const std::string& directory) {
  CatchInterruptions();
  WindowStart start = Start({{"/", ""}}, directory);
  start.run = RunCallingOnceTheTableIsComplete([](const std::string&) { std::raise(SIGINT); });
  Shown shown(start);
  shown.form1.check1Click(true);
  shown.form1.command1Click();
  const std::string table = In(directory, "Summary.txt");
  const std::string workbook = In(directory, "Summary.xlsx");
  const bool expected =
      shown.view.messages.size() == 1 &&
      shown.view.messages[0] == Message{MessageIcon::kStop, "Quillmere", "interrupted by SIGINT",
                                        table + " is complete, " + workbook + " is left as it was"} &&
      shown.view.verbs.back() == "end 1" && !fs::exists(workbook) &&
      ReadFile(table).find("Run1\tR1.sum\t") != std::string::npos;
  std::exit(expected ? 0 : 1);
}

TEST(MainWindowPresenterDeathTest, AStopWhileTheWorkbookIsWrittenLeavesItAsItWasAndSaysSo) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  if (kNativePathStyle != PathStyle::kPosix) GTEST_SKIP() << "a request to stop is a POSIX signal here";
  ScratchDirectory scratch;
  scratch.Write("runs/Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(StopWhileTheWorkbookIsWritten(scratch / "runs"), ::testing::ExitedWithCode(0), "");
}

TEST(MainWindowPresenterTest, WithoutTheWorkbookInTheBuildCheck1StopsTheRunBeforeItStarts) {
  if (WorkbookAvailable()) GTEST_SKIP() << "built with the workbook";
  ScratchDirectory scratch;
  scratch.Write("runs/Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
  Shown shown(Start({{"/", ""}}, scratch / "runs"));
  shown.form1.check1Click(true);
  shown.form1.command1Click();
  ASSERT_EQ(shown.view.messages.size(), 1u);
  EXPECT_EQ(shown.view.messages[0].text,
            In(scratch / "runs", "Summary.xlsx") + ": not written: this build was made without the workbook");
  EXPECT_EQ(shown.view.verbs.back(), "end 1");
  EXPECT_FALSE(fs::exists(scratch / "runs/Summary.txt"));
}

TEST(MainWindowPresenterTest, EachOutcomeOfTheRunEndsWithItsBoxAndStatus) {
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
  // A table that must not be replaced (a link, say) or a directory that
  // cannot be listed: the run does not start.
  SummaryOutcome notStarted;
  notStarted.status = RunStatus::kNotStarted;
  notStarted.message = "/runs/Summary.txt: not written: it is a symbolic link";
  SummaryOutcome writeFailure = reportFailure;
  writeFailure.status = RunStatus::kWriteFailure;
  writeFailure.message = "/runs/Summary.txt: cannot write: disk full";
  ScratchDirectory scratch;
  // With Check1 ticked, a run that does not complete leaves the workbook.
  const std::string left =
      "the run did not complete: " + In(scratch.path(), "Summary.xlsx") + " is left as it was";
  const auto stop = [](const std::string& text, const std::string& details) {
    return Message{MessageIcon::kStop, "Quillmere", text, details};
  };
  const std::string keeps = Lines("cannot open: gone", "/runs/Summary.txt keeps 12 reports, 15 rows");
  const struct {
    const char* name;
    std::function<SummaryOutcome()> run;
    std::optional<Message> message;
    int status;
    bool workbook = false;
  } cases[] = {
      {"complete", [&] { return written; }, std::nullopt, 0},
      {"complete but empty", [&] { return empty; },
       Message{MessageIcon::kInformation, "Quillmere", empty.warning, ""}, 0},
      {"report failure", [&] { return reportFailure; }, stop(reportFailure.message, keeps), 1},
      {"not started", [&] { return notStarted; }, stop(notStarted.message, ""), 1},
      {"write failure", [&] { return writeFailure; }, stop(writeFailure.message, ""), 1},
      // Memory running out outside the work on one report is worded as the
      // command line words it, not as the exception's own text.
      {"escaped memory failure", []() -> SummaryOutcome { throw std::bad_alloc(); },
       stop("not enough memory", ""), 1},
      {"report failure beside the workbook", [&] { return reportFailure; },
       stop(reportFailure.message, Lines(keeps, left)), 1, true},
      {"not started beside the workbook", [&] { return notStarted; }, stop(notStarted.message, left), 1,
       true},
  };
  for (const auto& c : cases) {
    if (c.workbook && !WorkbookAvailable()) continue;
    WindowStart start = Start({{"/", ""}}, scratch.path());
    std::vector<std::string> runs;
    start.run = [&](const std::string& directory, const SummaryOptions& options) {
      runs.push_back(directory + " " + options.decimalSeparator);
      return c.run();
    };
    Shown shown(start);
    shown.form1.check1Click(c.workbook);
    shown.form1.command1Click();
    EXPECT_EQ(runs, std::vector<std::string>{Native(scratch.path()) + " ,"}) << c.name;
    EXPECT_EQ(shown.view.messages.empty() ? std::nullopt : std::optional<Message>(shown.view.messages[0]),
              c.message)
        << c.name;
    EXPECT_EQ(shown.view.verbs.back(), "end " + std::to_string(c.status)) << c.name;
  }
}

TEST(MainWindowPresenterTest, StartAndClosingEndTheProgramOnceWhateverArrivesMeanwhile) {
  ScratchDirectory scratch;
  SummaryOutcome failed;
  failed.status = RunStatus::kWriteFailure;
  failed.message = "disk full";
  int runs = 0;
  std::vector<bool> closes;  // busy, and whether a close was accepted
  MainWindowPresenter* form1 = nullptr;
  WindowStart start = Start({{"/", ""}, {"/tmp", ""}}, scratch.path());
  start.run = [&](const std::string&, const SummaryOptions&) {
    ++runs;
    closes.push_back(form1->busy());
    closes.push_back(form1->form1Unload());
    return failed;
  };
  // A second press, a drive change, a folder opened or the window closed
  // while the run holds the window or its box is up (the box's own event
  // loop delivers them). The close is refused until the run has ended the
  // program: the box keeps its window.
  Shown shown(start);
  form1 = &shown.form1;
  shown.Verbs();
  shown.view.whileBoxIsUp = [&] {
    shown.form1.command1Click();
    shown.form1.drive1Change(1);
    shown.form1.dir1Open(0);
    closes.push_back(shown.form1.busy());
    closes.push_back(shown.form1.form1Unload());
  };
  shown.form1.command1Click();
  shown.form1.command1Click();
  closes.push_back(shown.form1.form1Unload());
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(shown.Verbs(), (std::vector<std::string>{"busy", "not busy", "box", "end 1"}));
  EXPECT_EQ(closes, (std::vector<bool>{true, false, false, false, true}))
      << "busy, refused; idle, refused; closed";

  // Closing before Start ends the program with status 0 and writes nothing;
  // Start after that runs nothing.
  Shown closed(start);
  closed.Verbs();
  EXPECT_TRUE(closed.form1.form1Unload());
  closed.form1.command1Click();
  EXPECT_TRUE(closed.form1.form1Unload());
  EXPECT_EQ(closed.Verbs(), std::vector<std::string>{"end 0"});
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(fs::exists(scratch / "Summary.txt"));
}

}  // namespace
}  // namespace quillmere
