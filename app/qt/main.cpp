// quillmere: the desktop program, one window.
#include <QApplication>

#include "app/qt/application_start.h"
#include "app/qt/main_window.h"
#include "runtime/interruption.h"

int main(int argc, char** argv) {
  // QApplication takes the locale from the environment, so the table's
  // figures follow the user's decimal separator. Without a display this
  // says so and ends the program.
  const auto application = quillmere::StartApplication(argc, argv);
  // A file-size limit makes a write fail (and be reported) instead of
  // killing the program, as on the command line.
  quillmere::IgnoreWriteSignals();
  quillmere::MainWindow window;
  window.show();
  return application->exec();
}
