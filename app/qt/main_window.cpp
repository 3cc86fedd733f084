#include "app/qt/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>

#include "app/qt/directory_list.h"
#include "app/qt/drive_list.h"
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
    : QWidget(parent), setup_(std::move(setup)), model_(setup_.start) {
  setObjectName(QString::fromLatin1(kForm1Caption));
  setWindowTitle(QString::fromLatin1(kForm1Caption));
  QIcon icon;
  for (const int size : {32, 48, 256}) icon.addFile(QStringLiteral(":/icons/quillmere-%1.png").arg(size));
  setWindowIcon(icon);
  resize(TwipsToPixels(kForm1ClientWidth, 96), TwipsToPixels(kForm1ClientHeight, 96));

  dir1_ = new DirectoryList(this);
  dir1_->setObjectName(QStringLiteral("Dir1"));
  dir1_->setGeometry(Pixels(kDir1Rect));
  dir1_->showModel(model_.dir1());

  drive1_ = new DriveList(this);
  drive1_->setObjectName(QStringLiteral("Drive1"));
  drive1_->setGeometry(Pixels(kDrive1Rect));
  drive1_->showModel(model_.drive1());

  command1_ = new QPushButton(QString::fromLatin1(kCommand1Caption), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(Pixels(kCommand1Rect));

  auto widgetOf = [this](Control control) -> QWidget* {
    switch (control) {
      case Control::kDrive1:
        return drive1_;
      case Control::kDir1:
        return dir1_;
      case Control::kCommand1:
        return command1_;
    }
    return nullptr;
  };
  for (std::size_t i = 1; i < kTabOrder.size(); ++i)
    setTabOrder(widgetOf(kTabOrder[i - 1]), widgetOf(kTabOrder[i]));
  widgetOf(kTabOrder.front())->setFocus();

  connect(drive1_, &QComboBox::currentIndexChanged, this, &MainWindow::drive1Change);
  connect(command1_, &QPushButton::clicked, this, &MainWindow::command1Click);
  connect(dir1_, &DirectoryList::openRequested, this, &MainWindow::dir1Open);
}

void MainWindow::drive1Change(int index) {
  if (index < 0) return;
  const std::optional<Message> message = model_.drive1Change(static_cast<std::size_t>(index));
  dir1_->showModel(model_.dir1());
  // A drive that could not be read gives way to the previous one.
  drive1_->showModel(model_.drive1());
  showMessage(message);
}

void MainWindow::dir1Open(std::size_t row) {
  const std::optional<Message> message = model_.dir1Open(row);
  dir1_->showModel(model_.dir1());
  showMessage(message);
}

void MainWindow::command1Click() {
  // The run holds the window's thread to its end; a second press must not
  // start another one from the message box's event loop.
  command1_->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const RunEnd end = model_.command1Click();
  QApplication::restoreOverrideCursor();
  showMessage(end.message);
  setup_.endProgram(end.exitStatus);
}

void MainWindow::showMessage(const std::optional<Message>& message) {
  if (!message) return;
  QMessageBox box(BoxIcon(message->icon), PathText(message->title), PathText(message->text), QMessageBox::Ok,
                  this);
  // Paths are shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  if (!message->details.empty()) box.setDetailedText(PathText(message->details));
  setup_.showModal(box);
}

}  // namespace quillmere
