// Form1 drawn with the Win32 API and the system's own controls: a combo box
// for Drive1, an owner-drawn list box for Dir1, a push button for Command1
// and a check box for Check1. What it shows and does is MainWindowPresenter's; this only draws
// and forwards the user's events. Measures follow the window's DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/message_box.h"
#include "app/window/main_window_presenter.h"

namespace quillmere {

// The presenter's start, and how a box is shown (tests record it instead).
struct Win32WindowSetup {
  WindowStart start;
  std::function<void(HWND owner, const Message& message)> showMessage = ShowMessageBox;
};

class Win32MainWindow : public MainWindowView {
 public:
  explicit Win32MainWindow(Win32WindowSetup setup = {});
  ~Win32MainWindow();
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  // Creates and shows the window, focus on Drive1. False when the system
  // refuses to create it.
  bool create(HINSTANCE instance, int showCommand);

  HWND handle() const { return window_; }
  HWND dir1() const { return dir1_; }
  HWND drive1() const { return drive1_; }
  HWND command1() const { return command1_; }
  HWND check1() const { return check1_; }
  const MainWindowPresenter& presenter() const { return presenter_; }

  QUILLMERE_MAIN_WINDOW_VIEW_FUNCTIONS;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Dir1Procedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  // Sizes the window and places the controls for `dotsPerInch`.
  void layOut(UINT dotsPerInch, const RECT* suggested);
  void drawDir1Row(const DRAWITEMSTRUCT& item) const;

  Win32WindowSetup setup_;
  MainWindowPresenter presenter_;
  HWND window_ = nullptr;
  HWND dir1_ = nullptr;
  HWND drive1_ = nullptr;
  HWND command1_ = nullptr;
  HWND check1_ = nullptr;
  HFONT font_ = nullptr;
  HICON openFolder_ = nullptr;
  HICON closedFolder_ = nullptr;
  HWND focus_ = nullptr;  // the control that gets the focus back with the window
  UINT dotsPerInch_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<DirectoryEntry> rows_;  // Dir1's rows as last shown
  HCURSOR idleCursor_ = nullptr;      // the cursor the run's wait cursor replaced
  bool destroying_ = false;           // the destructor, not the user, closes the window
};

}  // namespace quillmere
