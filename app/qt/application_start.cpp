#include "app/qt/application_start.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quillmere {

namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray file;
  int line;
  QByteArray function;
  QByteArray category;
  QString text;
};

// Qt's handler is a plain function, so what it holds lives here, and only
// while the application is being made.
std::vector<HeldMessage>* heldMessages = nullptr;

const char* OrNull(const char* text) { return text != nullptr && *text != '\0' ? text : nullptr; }

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // Qt aborts after a fatal message; the only fatal one while starting is
    // that no platform (no display) could be opened.
    std::fputs(kNoDisplayMessage, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::_Exit(kExitNoDisplay);
  }
  heldMessages->push_back(HeldMessage{type, QByteArray(context.file), context.line,
                                      QByteArray(context.function), QByteArray(context.category), text});
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
  std::vector<HeldMessage> held;
  heldMessages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  heldMessages = nullptr;
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(OrNull(message.file.constData()), message.line,
                                     OrNull(message.function.constData()),
                                     OrNull(message.category.constData()));
    if (previous != nullptr) previous(message.type, context, message.text);
  }
  return application;
}

}  // namespace quillmere
