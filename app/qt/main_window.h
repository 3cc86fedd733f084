// Form1 drawn with Qt: the program's one window. The user picks a drive and a
// directory and presses Start; the run writes Summary.txt there and the
// program ends. What it shows and does is MainWindowPresenter's; this only
// draws and forwards the user's events; Check1 asks for Summary.xlsx too.
#pragma once

#include <QMessageBox>
#include <QWidget>
#include <functional>

#include "app/window/main_window_presenter.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace quillmere {

class DirectoryList;

// The presenter's start, and how a box is shown (tests record it instead).
struct WindowSetup {
  WindowStart start;
  std::function<void(QMessageBox&)> showModal = [](QMessageBox& box) { box.exec(); };
};

class MainWindow : public QWidget, public MainWindowView {
  Q_OBJECT

 public:
  explicit MainWindow(WindowSetup setup = {}, QWidget* parent = nullptr);

  const MainWindowPresenter& presenter() const { return presenter_; }

  QUILLMERE_MAIN_WINDOW_VIEW_FUNCTIONS;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  WindowSetup setup_;
  MainWindowPresenter presenter_;
  DirectoryList* dir1_;
  QComboBox* drive1_;
  QPushButton* command1_;
  QCheckBox* check1_;
};

}  // namespace quillmere
