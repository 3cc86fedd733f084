// Ending a run early, at a safe point, when the user asks the program to
// stop (Ctrl-C, the terminal closing, `kill`). One source per platform.
#pragma once

#include <string>

namespace quillmere {

// From now on a request to stop is only noted, for the run to see between
// reports: on POSIX systems every signal that someone else sends and that
// would end the program (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2,
// SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL, SIGPWR, the real-time
// signals). A request the program was started to ignore (nohup, a
// background job) stays ignored.
void CatchInterruptions();

// The signal of the first request to stop noted since CatchInterruptions,
// or 0. Always 0 when nothing catches requests.
int InterruptionSignal();

// The name of a signal that InterruptionSignal can return, such as "SIGINT".
std::string InterruptionName(int signal);

// Ends the program the way `signal` would have ended it, so that whoever
// started it (a shell: status 128 + signal) learns it was interrupted.
[[noreturn]] void EndAsInterrupted(int signal);

// A write that the system refuses by a signal (to a pipe whose reader has
// gone, past a file-size limit) fails like any other write instead of
// ending the program.
void IgnoreWriteSignals();

}  // namespace quillmere
