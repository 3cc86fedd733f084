#include "app/main_window.h"

#include <QApplication>
#include <QPushButton>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/directory_list.h"
#include "app/drive_list.h"
#include "runtime/number.h"
#include "summary/summary_run.h"

namespace quillmere {

namespace {

// The window's measures are kept in twips, 15 to a pixel at 96 dots per inch;
// Qt scales the pixels on high-density screens.
constexpr int Twips(int twips) { return twips / 15; }

std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  return error ? std::string("/") : current.string();
}

}  // namespace

MainWindow::MainWindow(WindowSetup setup, QWidget* parent) : QWidget(parent), setup_(std::move(setup)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  resize(Twips(11370), Twips(6840));

  const std::string start = setup_.startDirectory.empty() ? CurrentDirectory() : setup_.startDirectory;
  dir1_ = new DirectoryList(start, this);
  dir1_->setObjectName(QStringLiteral("Dir1"));
  dir1_->setGeometry(Twips(360), Twips(960), Twips(3735), Twips(2790));

  drive1_ = new DriveList(setup_.volumes ? *setup_.volumes : MountedVolumes(), dir1_->path(), this);
  drive1_->setObjectName(QStringLiteral("Drive1"));
  drive1_->setGeometry(Twips(360), Twips(3840), Twips(3735), Twips(315));
  shownDrive_ = drive1_->currentIndex();

  command1_ = new QPushButton(QStringLiteral("Start"), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(Twips(360), Twips(5520), Twips(3375), Twips(615));

  setTabOrder(drive1_, dir1_);
  setTabOrder(dir1_, command1_);
  drive1_->setFocus();

  connect(drive1_, &QComboBox::currentIndexChanged, this, &MainWindow::drive1Change);
  connect(command1_, &QPushButton::clicked, this, &MainWindow::command1Click);
  connect(dir1_, &DirectoryList::openFailed, this,
          [this](const FileError& error) { showMessage(QMessageBox::Warning, DescribeFailure(error)); });
}

void MainWindow::drive1Change(int index) {
  if (index < 0 || index == shownDrive_) return;
  if (std::optional<FileError> error = dir1_->setPath(drive1_->drive())) {
    const QSignalBlocker blocker(drive1_);
    drive1_->setCurrentIndex(shownDrive_);
    showMessage(QMessageBox::Warning, DescribeFailure(*error));
    return;
  }
  shownDrive_ = index;
}

void MainWindow::command1Click() {
  // The run holds the window's thread to its end; a second press must not
  // start another one from the message box's event loop.
  command1_->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  SummaryOptions options;
  options.decimalSeparator = LocaleDecimalSeparator();
  SummaryOutcome outcome;
  try {
    outcome = SummaryRun(dir1_->path(), options);
  } catch (const std::exception& error) {
    // Nothing a directory tree can hold gets here; should anything else,
    // such as memory running out, the user still hears of it.
    outcome.status = RunStatus::kWriteFailure;
    outcome.message = error.what();
  }

  QApplication::restoreOverrideCursor();
  if (outcome.status != RunStatus::kWritten) {
    showMessage(QMessageBox::Critical, QString::fromLocal8Bit(outcome.message.c_str()));
  }
  setup_.endProgram(outcome.status == RunStatus::kWritten ? 0 : 1);
}

void MainWindow::showMessage(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok, this);
  // Paths are shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  setup_.showModal(box);
}

}  // namespace quillmere
