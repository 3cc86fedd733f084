#include <unistd.h>

#include <csignal>

#include "runtime/interruption.h"

namespace quillmere {

namespace {

volatile std::sig_atomic_t noted = 0;

extern "C" void NoteInterruption(int signal) {
  if (noted == 0) noted = signal;
}

struct NamedSignal {
  int number;
  const char* name;
};

// Every signal whose default is to end the program and that someone else
// sends: each stops the run between reports instead of cutting the table
// inside a line. Faults of the program itself (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT, SIGTRAP, SIGSYS) are not requests and are left alone;
// SIGPIPE and SIGXFSZ are ignored instead (IgnoreWriteSignals).
constexpr NamedSignal kStopSignals[] = {
    {SIGINT, "SIGINT"},       {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"},   {SIGQUIT, "SIGQUIT"},
    {SIGUSR1, "SIGUSR1"},     {SIGUSR2, "SIGUSR2"}, {SIGALRM, "SIGALRM"}, {SIGVTALRM, "SIGVTALRM"},
    {SIGPROF, "SIGPROF"},     {SIGXCPU, "SIGXCPU"},
#ifdef SIGPOLL
    {SIGPOLL, "SIGPOLL"},
#endif
#ifdef SIGPWR
    {SIGPWR, "SIGPWR"},
#endif
#ifdef SIGSTKFLT
    {SIGSTKFLT, "SIGSTKFLT"},
#endif
};

void Catch(int signal) {
  struct sigaction previous {};
  if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = NoteInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

void CatchInterruptions() {
  for (const NamedSignal& signal : kStopSignals) Catch(signal.number);
  // The real-time signals end the program by default too.
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) Catch(signal);
}

int InterruptionSignal() { return noted; }

std::string InterruptionName(int signal) {
  for (const NamedSignal& named : kStopSignals) {
    if (named.number == signal) return named.name;
  }
  if (signal >= SIGRTMIN && signal <= SIGRTMAX) return "SIGRTMIN+" + std::to_string(signal - SIGRTMIN);
  return "signal " + std::to_string(signal);
}

void EndAsInterrupted(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(signal);
  ::_exit(128 + signal);
}

void IgnoreWriteSignals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quillmere
