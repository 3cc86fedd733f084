// Form1: the program's one window. The user picks a drive and a directory and
// presses Start; the run writes Summary.txt there and the program ends.
#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/volumes.h"

class QPushButton;

namespace quillmere {

class DirectoryList;
class DriveList;

// The title of every message box.
inline constexpr char kApplicationTitle[] = "Quillmere";

// What the window takes from its surroundings; the defaults are the real ones.
struct WindowSetup {
  // The drive list's volumes; the system's mounted volumes when not given.
  std::optional<std::vector<Volume>> volumes;
  // The directory shown at start; the current directory when empty.
  std::string startDirectory;
  // Shows a message box and returns once the user dismissed it.
  std::function<void(QMessageBox&)> showModal = [](QMessageBox& box) { box.exec(); };
  // Ends the program with the given exit status.
  std::function<void(int)> endProgram = [](int status) { QCoreApplication::exit(status); };
};

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(WindowSetup setup = {}, QWidget* parent = nullptr);

 private:
  // Moves Dir1 to the chosen drive's root; a drive that cannot be read is
  // named in a message box and the previous drive is shown again.
  void drive1Change(int index);
  // Runs the summary over Dir1's directory, reports a failure, and ends the
  // program in every case.
  void command1Click();
  void showMessage(QMessageBox::Icon icon, const QString& text);

  WindowSetup setup_;
  DirectoryList* dir1_;
  DriveList* drive1_;
  QPushButton* command1_;
  int shownDrive_;
};

}  // namespace quillmere
