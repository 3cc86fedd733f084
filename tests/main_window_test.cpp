#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "app/qt/directory_list.h"
#include "app/qt/drive_list.h"
#include "runtime/number.h"
#include "summary/summary_run.h"
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

// What the window showed and asked for, in order, instead of real boxes and
// a real end of the program.
struct Recorder {
  struct Box {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QString detailedText;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format;
  };
  std::vector<Box> boxes;
  std::vector<std::string> events;

  WindowSetup Setup(std::vector<Volume> volumes, std::string startDirectory) {
    WindowSetup setup;
    setup.start.volumes = std::move(volumes);
    setup.start.directory = std::move(startDirectory);
    setup.showModal = [this](QMessageBox& box) {
      boxes.push_back({box.icon(), box.windowTitle(), box.text(), box.detailedText(), box.standardButtons(),
                       box.textFormat()});
      events.push_back("box");
    };
    setup.endProgram = [this](int status) { events.push_back("end " + std::to_string(status)); };
    return setup;
  }
};

// A shown window over the given volumes, starting in `startDirectory`.
struct ShownWindow {
  Recorder recorder;
  MainWindow window;
  DirectoryList* dir1;
  DriveList* drive1;
  QPushButton* command1;

  ShownWindow(std::vector<Volume> volumes, std::string startDirectory)
      : window(recorder.Setup(std::move(volumes), std::move(startDirectory))),
        dir1(window.findChild<DirectoryList*>("Dir1")),
        drive1(window.findChild<DriveList*>("Drive1")),
        command1(window.findChild<QPushButton*>("Command1")) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  std::string dir1Path() const { return window.model().dir1().path(); }
  std::string drive1Root() const { return window.model().drive1().root(window.model().drive1().chosen()); }

  void ClickStart() { QTest::mouseClick(command1, Qt::LeftButton, {}, command1->rect().center()); }
};

TEST(MainWindowTest, HasItsCaptionSizeControlsAndTabOrder) {
  ScratchDirectory scratch;
  ShownWindow shown({{"/", ""}}, scratch.path());
  ASSERT_NE(shown.dir1, nullptr);
  ASSERT_NE(shown.drive1, nullptr);
  ASSERT_NE(shown.command1, nullptr);
  EXPECT_EQ(shown.window.objectName(), "Form1");
  EXPECT_EQ(shown.window.windowTitle(), "Form1");
  EXPECT_FALSE(shown.window.windowIcon().pixmap(48).isNull());
  EXPECT_EQ(shown.window.size(), QSize(758, 456));
  EXPECT_EQ(shown.dir1->geometry(), QRect(24, 64, 249, 186));
  EXPECT_EQ(shown.drive1->geometry(), QRect(24, 256, 249, 21));
  EXPECT_EQ(shown.command1->geometry(), QRect(24, 368, 225, 41));
  EXPECT_EQ(shown.command1->text(), "Start");

  EXPECT_EQ(QApplication::focusWidget(), shown.drive1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), shown.dir1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), shown.command1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), shown.drive1);
}

TEST(MainWindowTest, StartsOnTheCurrentDirectoryAndTheDriveHoldingIt) {
  ScratchDirectory scratch;
  scratch.MakeFolder("disk/runs");
  const std::vector<Volume> volumes{{"/", ""}, {scratch / "disk", "disk"}, {scratch / "other", ""}};
  const fs::path current = fs::current_path();
  fs::current_path(scratch / "disk/runs");
  ShownWindow shown(volumes, "");
  fs::current_path(current);
  EXPECT_EQ(shown.dir1Path(), scratch / "disk/runs");
  EXPECT_EQ(shown.drive1Root(), scratch / "disk");
  EXPECT_EQ(shown.drive1->currentText().toStdString(), scratch / "disk" + " [disk]");
}

TEST(MainWindowTest, ADriveChangeOpensItsRootAndAnUnreadableDriveIsNamedAndUndone) {
  ScratchDirectory scratch;
  scratch.MakeFolder("one/runs");
  scratch.MakeFolder("two");
  scratch.Write("not-a-folder", "x");
  ShownWindow shown(
      {{scratch / "one", ""}, {scratch / "two", ""}, {scratch / "gone", ""}, {scratch / "not-a-folder", ""}},
      scratch / "one/runs");
  shown.drive1->setCurrentIndex(1);
  EXPECT_EQ(shown.dir1Path(), scratch / "two");
  EXPECT_TRUE(shown.recorder.events.empty());

  for (int index : {2, 3}) {
    shown.recorder.boxes.clear();
    shown.drive1->setCurrentIndex(index);
    ASSERT_EQ(shown.recorder.boxes.size(), 1u) << index;
    const Recorder::Box& box = shown.recorder.boxes.front();
    EXPECT_EQ(box.title, "Quillmere");
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_TRUE(box.text.startsWith(shown.drive1->itemText(index) + ": ")) << box.text.toStdString();
    EXPECT_EQ(shown.drive1->currentIndex(), 1) << index;
    EXPECT_EQ(shown.dir1Path(), scratch / "two") << index;
  }
  EXPECT_EQ(shown.recorder.events, (std::vector<std::string>{"box", "box"}));
  // The program goes on: back to the first drive, and a run there.
  shown.drive1->setCurrentIndex(0);
  EXPECT_EQ(shown.dir1Path(), scratch / "one");
  shown.ClickStart();
  EXPECT_EQ(ReadFile(scratch / "one/Summary.txt"), kHeader);
}

TEST(MainWindowTest, StartWritesTheTableOfTheOpenDirectoryAndEndsTheProgram) {
  ScratchDirectory scratch;
  FixtureReport twoApplications;
  twoApplications.applicationDates = {"14-Nov-1978-09h00", "21-Nov-1978-09h00"};
  scratch.Write("runs/Run1/toxswa/R1.sum", BuildReport(twoApplications));
  scratch.Write("runs/Run2/TOXSWA/R2.sum", BuildReport(FixtureReport{}));
  ShownWindow shown({{"/", ""}}, scratch.path());
  QTest::mouseDClick(
      shown.dir1->viewport(), Qt::LeftButton, {},
      shown.dir1->visualItemRect(shown.dir1->findItems("runs", Qt::MatchRecursive).front()).center());
  ASSERT_EQ(shown.dir1Path(), scratch / "runs");

  shown.ClickStart();

  const std::string s = LocaleDecimalSeparator();
  const std::string figures = "EXSW2\t39" + s + "57\t2" + s + "415\t0" + s + "8402\t5" + s + "338\t1" + s +
                              "544\t0" + s + "9058\t25-Nov-1978-02h00\t25-Nov-1978-11h00\t14-Nov-1978-09h00";
  EXPECT_EQ(ReadFile(scratch / "runs/Summary.txt"), kHeader + "Run1\tR1.sum\tR1_Stream\t" + figures +
                                                        "\t21-Nov-1978-09h00\r\n" +
                                                        "Run2\tR2.sum\tR1_Stream\t" + figures + "\r\n");
  EXPECT_EQ(shown.recorder.events, std::vector<std::string>{"end 0"});
  EXPECT_FALSE(shown.command1->isEnabled());
}

TEST(MainWindowTest, AFailingReportShowsTheStopBoxThenEndsTheProgram) {
  ScratchDirectory scratch;
  scratch.Write("Run1/toxswa/A.sum", BuildReport(FixtureReport{}));
  scratch.Write("Run1/toxswa/B.sum", "a report without any of its markers\r\n");
  ShownWindow shown({{"/", ""}}, scratch.path());
  shown.ClickStart();

  ASSERT_EQ(shown.recorder.boxes.size(), 1u);
  const Recorder::Box& box = shown.recorder.boxes.front();
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.title, "Quillmere");
  EXPECT_EQ(box.text.toStdString(),
            "Problem with file " + scratch / "Run1/toxswa/B.sum" + "!\n Please check!");
  EXPECT_EQ(box.detailedText.toStdString(),
            "the file does not look like a TOXSWA summary report: looked for a line containing \"* Scenario  "
            "              :\" and found none\n" +
                scratch / "Summary.txt keeps 1 report, 1 row");
  EXPECT_EQ(box.buttons, QMessageBox::Ok);
  EXPECT_EQ(box.format, Qt::PlainText);
  EXPECT_EQ(shown.recorder.events, (std::vector<std::string>{"box", "end 1"}));
  const std::string table = ReadFile(scratch / "Summary.txt");
  EXPECT_EQ(table.substr(0, kHeader.size()), kHeader);
  EXPECT_NE(table.find("Run1\tA.sum\t"), std::string::npos);
}

TEST(MainWindowTest, ARunThatFoundNoReportShowsAnInformationBoxThenEndsWithStatusZero) {
  ScratchDirectory scratch;
  Recorder recorder;
  WindowSetup setup = recorder.Setup({{"/", ""}}, scratch.path());
  setup.start.run = [](const std::string& directory, const SummaryOptions&) {
    SummaryOutcome outcome;
    outcome.status = RunStatus::kWritten;
    outcome.warning = directory + " holds no report";
    return outcome;
  };
  MainWindow window(setup);
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);

  ASSERT_EQ(recorder.boxes.size(), 1u);
  const Recorder::Box& box = recorder.boxes.front();
  EXPECT_EQ(box.icon, QMessageBox::Information);
  EXPECT_EQ(box.title, "Quillmere");
  EXPECT_EQ(box.text.toStdString(), scratch.path() + " holds no report");
  EXPECT_EQ(box.detailedText, "");
  EXPECT_EQ(box.buttons, QMessageBox::Ok);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"box", "end 0"}));
}

TEST(MainWindowTest, ClosingBeforeStartEndsTheProgramAndWritesNothing) {
  ScratchDirectory scratch;
  scratch.Write("Run1/toxswa/R1.sum", BuildReport(FixtureReport{}));
  ShownWindow shown({{"/", ""}}, scratch.path());
  QTimer::singleShot(0, &shown.window, [&] { shown.window.close(); });
  // Should closing not end the event loop, this ends it with another status.
  QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(fs::exists(scratch / "Summary.txt"));
  EXPECT_TRUE(shown.recorder.events.empty());
}

}  // namespace
}  // namespace quillmere
