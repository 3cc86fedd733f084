// What the Qt window draws itself: its measures, its fixed frame, its tab
// order and its boxes. What it does is the presenter's, tested there.
#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "app/qt/directory_list.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ScratchDirectory;

struct Box {
  QMessageBox::Icon icon;
  QString title;
  QString text;
  QString detailedText;
  QMessageBox::StandardButtons buttons;
  Qt::TextFormat format;
};

// The window on `scratch`, with the root as its one drive.
WindowSetup OnScratch(const ScratchDirectory& scratch) {
  WindowSetup setup;
  setup.start.volumes = std::vector<Volume>{{"/", ""}};
  setup.start.directory = scratch.path();
  return setup;
}

TEST(MainWindowTest, HasItsCaptionFixedSizeControlsAndTabOrder) {
  ScratchDirectory scratch;
  MainWindow window(OnScratch(scratch));
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* dir1 = window.findChild<DirectoryList*>("Dir1");
  auto* drive1 = window.findChild<QComboBox*>("Drive1");
  auto* command1 = window.findChild<QPushButton*>("Command1");
  auto* check1 = window.findChild<QCheckBox*>("Check1");
  ASSERT_TRUE(dir1 != nullptr && drive1 != nullptr && command1 != nullptr && check1 != nullptr);
  EXPECT_EQ(window.windowTitle(), "Form1");
  EXPECT_FALSE(window.windowIcon().pixmap(48).isNull());
  EXPECT_EQ(window.size(), QSize(758, 456));
  EXPECT_EQ(dir1->geometry(), QRect(24, 64, 249, 186));
  EXPECT_EQ(drive1->geometry(), QRect(24, 256, 249, 21));
  EXPECT_EQ(command1->geometry(), QRect(24, 368, 225, 41));
  EXPECT_EQ(command1->text(), "Start");
  EXPECT_EQ(check1->geometry(), QRect(304, 64, 225, 21));
  EXPECT_EQ(check1->text(), "Also write Summary.xlsx");
  EXPECT_FALSE(check1->isChecked());
  EXPECT_EQ(drive1->currentText(), "/");

  // The controls are placed in twips: the frame can be neither resized nor
  // maximised.
  EXPECT_EQ(window.minimumSize(), QSize(758, 456));
  EXPECT_EQ(window.maximumSize(), QSize(758, 456));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  window.resize(1000, 700);
  EXPECT_EQ(window.size(), QSize(758, 456));

  EXPECT_EQ(QApplication::focusWidget(), drive1);
  for (QWidget* next : std::vector<QWidget*>{dir1, command1, check1, drive1}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }

  // The box's state reaches the presenter both ways, and the presenter's
  // reaches the box without coming back.
  for (const bool ticked : {true, false}) {
    QTest::mouseClick(check1, Qt::LeftButton);
    EXPECT_EQ(check1->isChecked(), ticked);
    EXPECT_EQ(window.presenter().check1(), ticked);
  }
  window.showCheck1(true);
  EXPECT_TRUE(check1->isChecked());
  EXPECT_FALSE(window.presenter().check1());

  window.setBusy(true);
  EXPECT_FALSE(command1->isEnabled());
  EXPECT_FALSE(check1->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  window.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(command1->isEnabled()) << "the program is ending";
}

TEST(MainWindowTest, ABoxShowsItsIconTitlePlainTextOneOkButtonAndTheDetailsOnRequest) {
  ScratchDirectory scratch;
  std::vector<Box> boxes;
  WindowSetup setup = OnScratch(scratch);
  setup.showModal = [&](QMessageBox& box) {
    boxes.push_back({box.icon(), box.windowTitle(), box.text(), box.detailedText(), box.standardButtons(),
                     box.textFormat()});
  };
  MainWindow window(setup);
  const struct {
    Message message;
    QMessageBox::Icon icon;
  } cases[] = {
      {{MessageIcon::kStop, "Quillmere", "Problem with file /r/<b>a.sum!\n Please check!",
        "cannot open: gone\n/r/Summary.txt keeps 12 reports, 15 rows"},
       QMessageBox::Critical},
      {{MessageIcon::kWarning, "Quillmere", "/media/x: cannot list: No medium found", ""},
       QMessageBox::Warning},
      {{MessageIcon::kInformation, "Quillmere",
        "/r/Gr\xC3\xB6\xC3\x9F"
        "e holds no report",
        ""},
       QMessageBox::Information},
  };
  for (const auto& c : cases) {
    boxes.clear();
    window.showMessage(c.message);
    ASSERT_EQ(boxes.size(), 1u) << c.message.text;
    EXPECT_EQ(boxes[0].icon, c.icon) << c.message.text;
    EXPECT_EQ(boxes[0].title, "Quillmere") << c.message.text;
    EXPECT_EQ(boxes[0].text, QString::fromStdString(c.message.text)) << c.message.text;
    EXPECT_EQ(boxes[0].detailedText, QString::fromStdString(c.message.details)) << c.message.text;
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok) << c.message.text;
    EXPECT_EQ(boxes[0].format, Qt::PlainText) << c.message.text;
  }
}

TEST(MainWindowTest, ACloseEndsTheProgramBeforeStartAndWaitsForTheRunOnceItHoldsTheWindow) {
  ScratchDirectory scratch;
  for (const bool duringRun : {false, true}) {
    WindowSetup setup = OnScratch(scratch);
    MainWindow* shown = nullptr;
    std::vector<bool> closes;  // whether each close was accepted, and the window still showed
    setup.start.run = [&](const std::string&, const SummaryOptions&) {
      closes.push_back(shown->close());
      closes.push_back(shown->isVisible());
      SummaryOutcome outcome;
      outcome.status = RunStatus::kWritten;
      return outcome;
    };
    MainWindow window(setup);
    shown = &window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    if (duringRun) {
      QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
      EXPECT_EQ(closes, (std::vector<bool>{false, true}));
    } else {
      EXPECT_TRUE(window.close());
      EXPECT_FALSE(window.isVisible());
      EXPECT_TRUE(closes.empty());
    }
  }
}

}  // namespace
}  // namespace quillmere
