// The Windows side of interruption.h: Ctrl-C, Ctrl-Break and the console
// closing, through the console's control handler.
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "runtime/interruption.h"

namespace quillmere {

namespace {

volatile LONG noted = 0;

// Runs on a thread of its own that the system starts.
BOOL WINAPI NoteControlEvent(DWORD event) {
  LONG signal = 0;
  switch (event) {
    case CTRL_C_EVENT:
      signal = SIGINT;
      break;
    case CTRL_BREAK_EVENT:
      signal = SIGBREAK;
      break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      signal = SIGTERM;
      break;
    default:
      return FALSE;
  }
  ::InterlockedCompareExchange(&noted, signal, 0);
  if (signal == SIGTERM) {
    // The process ends when this handler returns: give the run the few
    // seconds the system allows to close the table at a line end and exit.
    ::Sleep(4000);
  }
  return TRUE;
}

}  // namespace

void CatchInterruptions() {
  // A program started with Ctrl-C disabled (start /b, some services) keeps
  // ignoring it: the handler sees no CTRL_C_EVENT then.
  ::SetConsoleCtrlHandler(NoteControlEvent, TRUE);
}

int InterruptionSignal() { return static_cast<int>(::InterlockedCompareExchange(&noted, 0, 0)); }

std::string InterruptionName(int signal) {
  switch (signal) {
    case SIGINT:
      return "Ctrl-C";
    case SIGBREAK:
      return "Ctrl-Break";
    case SIGTERM:
      return "the console closing";
    default:
      return "signal " + std::to_string(signal);
  }
}

void EndAsInterrupted(int signal) {
  // The same status as on POSIX systems, 128 + the signal's number.
  std::fflush(nullptr);
  ::ExitProcess(static_cast<UINT>(128 + signal));
}

// Windows has no signal for a broken pipe or a file-size limit: such writes
// already fail with an error.
void IgnoreWriteSignals() {}

}  // namespace quillmere
