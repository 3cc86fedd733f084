#include "app/qt/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/qt/directory_list.h"
#include "app/window/form_layout.h"

namespace quillmere {

namespace {

// Qt scales pixels on high-density screens itself: the measures are given
// at 96 dots per inch.
QRect Pixels(const TwipsRect& rect) {
  return QRect(TwipsToPixels(rect.left, 96), TwipsToPixels(rect.top, 96), TwipsToPixels(rect.width, 96),
               TwipsToPixels(rect.height, 96));
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop:
      return QMessageBox::Critical;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      break;
  }
  return QMessageBox::Warning;
}

}  // namespace

MainWindow::MainWindow(WindowSetup setup, QWidget* parent)
    : QWidget(parent), setup_(std::move(setup)), presenter_(*this, setup_.start) {
  setObjectName(QString::fromLatin1(kForm1Caption));
  setWindowTitle(QString::fromLatin1(kForm1Caption));
  QIcon icon;
  for (const int size : {32, 48, 256}) icon.addFile(QStringLiteral(":/icons/quillmere-%1.png").arg(size));
  setWindowIcon(icon);
  // The controls stand where the twips put them: the frame neither resizes
  // nor maximises.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(kForm1ClientWidth, 96), TwipsToPixels(kForm1ClientHeight, 96));

  dir1_ = new DirectoryList(this);
  dir1_->setObjectName(QStringLiteral("Dir1"));
  dir1_->setGeometry(Pixels(kDir1Rect));

  drive1_ = new QComboBox(this);
  drive1_->setObjectName(QStringLiteral("Drive1"));
  drive1_->setGeometry(Pixels(kDrive1Rect));

  command1_ = new QPushButton(QString::fromLatin1(kCommand1Caption), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(Pixels(kCommand1Rect));

  check1_ = new QCheckBox(QString::fromLatin1(kCheck1Caption), this);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setGeometry(Pixels(kCheck1Rect));

  auto widgetOf = [this](Control control) -> QWidget* {
    switch (control) {
      case Control::kDrive1:
        return drive1_;
      case Control::kDir1:
        return dir1_;
      case Control::kCommand1:
        return command1_;
      case Control::kCheck1:
        return check1_;
    }
    return nullptr;
  };
  for (std::size_t i = 1; i < kTabOrder.size(); ++i)
    setTabOrder(widgetOf(kTabOrder[i - 1]), widgetOf(kTabOrder[i]));
  widgetOf(kTabOrder.front())->setFocus();

  presenter_.form1Load();
  connect(drive1_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) presenter_.drive1Change(static_cast<std::size_t>(index));
  });
  connect(check1_, &QCheckBox::toggled, this, [this](bool ticked) { presenter_.check1Click(ticked); });
  connect(command1_, &QPushButton::clicked, this, [this] { presenter_.command1Click(); });
  connect(dir1_, &DirectoryList::openRequested, this, [this](std::size_t row) { presenter_.dir1Open(row); });
}

void MainWindow::showDrives(const std::vector<std::string>& texts) {
  const QSignalBlocker blocker(drive1_);
  drive1_->clear();
  for (const std::string& text : texts) drive1_->addItem(PathText(text));
}

void MainWindow::chooseDrive(std::size_t row) {
  const QSignalBlocker blocker(drive1_);
  drive1_->setCurrentIndex(row < static_cast<std::size_t>(drive1_->count()) ? static_cast<int>(row) : -1);
}

void MainWindow::showFolders(const std::vector<DirectoryEntry>& rows, std::size_t highlighted) {
  dir1_->showRows(rows, highlighted);
}

void MainWindow::showCheck1(bool ticked) {
  const QSignalBlocker blocker(check1_);
  check1_->setChecked(ticked);
}

void MainWindow::showMessage(const Message& message) {
  QMessageBox box(BoxIcon(message.icon), PathText(message.title), PathText(message.text), QMessageBox::Ok,
                  this);
  // Paths are shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  if (!message.details.empty()) box.setDetailedText(PathText(message.details));
  setup_.showModal(box);
}

void MainWindow::setBusy(bool busy) {
  if (busy) {
    command1_->setEnabled(false);
    check1_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The disabled button and the cursor show before the run holds the thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void MainWindow::endProgram(int status) { QCoreApplication::exit(status); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (presenter_.form1Unload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace quillmere
