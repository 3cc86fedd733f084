// Opening the window system for quillmere, with a plain answer where there
// is none to open.
#pragma once

#include <QApplication>
#include <memory>

namespace quillmere {

// Exit status of quillmere when no window can be shown.
inline constexpr int kExitNoDisplay = 2;

// The one line quillmere prints when no window can be shown.
inline constexpr char kNoDisplayMessage[] =
    "quillmere: needs a display to open its window; quillmere-summary DIR does the same work without one";

// Makes the program's QApplication. When the window system cannot be opened
// (no DISPLAY or WAYLAND_DISPLAY, a display that does not answer, no usable
// platform plugin), prints kNoDisplayMessage on standard error and ends the
// program with kExitNoDisplay instead of Qt's abort. What Qt says while
// starting is passed on once it has started, and dropped when it could not.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

}  // namespace quillmere
