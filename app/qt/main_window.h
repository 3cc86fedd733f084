// Form1 drawn with Qt: the program's one window. The user picks a drive and a
// directory and presses Start; the run writes Summary.txt there and the
// program ends. What it shows and does is MainWindowModel's; this only draws
// and forwards the user's events.
#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/window/main_window_model.h"

class QPushButton;

namespace quillmere {

class DirectoryList;
class DriveList;

// What the window takes from its surroundings; the defaults are the real ones.
struct WindowSetup {
  // The volumes and the directory at start (the system's, and the current
  // directory, unless given).
  WindowStart start;
  // Shows a message box and returns once the user dismissed it.
  std::function<void(QMessageBox&)> showModal = [](QMessageBox& box) { box.exec(); };
  // Ends the program with the given exit status.
  std::function<void(int)> endProgram = [](int status) { QCoreApplication::exit(status); };
};

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(WindowSetup setup = {}, QWidget* parent = nullptr);

  const MainWindowModel& model() const { return model_; }

 private:
  void drive1Change(int index);
  void dir1Open(std::size_t row);
  void command1Click();
  void showMessage(const std::optional<Message>& message);

  WindowSetup setup_;
  MainWindowModel model_;
  DirectoryList* dir1_;
  DriveList* drive1_;
  QPushButton* command1_;
};

}  // namespace quillmere
