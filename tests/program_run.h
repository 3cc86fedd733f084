// Running a built program in tests, its standard output and error going to
// pipes (POSIX systems).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace quillmere::testing {

struct ProgramResult {
  int exitStatus = -1;  // -1 when the program did not exit by itself
  int signal = 0;       // the signal that ended it, if one did
  std::string out;
  std::string err;
};

struct StartedProgram {
  std::string program;
  pid_t pid = -1;  // -1 when it could not be started
  int out = -1;    // -1 when standard output's reader is gone
  int err = -1;
};

struct ProgramStart {
  // When set, nothing reads the program's standard output: its reader is
  // closed before the program starts, so that its first write finds none.
  bool outputReaderGone = false;
  // Runs in the child just before the program replaces it, to set its
  // environment, limits or signals; it may end the child with _exit.
  std::function<void()> beforeExec;
};

// Starts `program` with `arguments`. A program that hangs is killed after a
// minute (SIGALRM). Fails the test when it cannot be started.
StartedProgram StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const ProgramStart& start = {});

// Reads the program's output to its end and waits for it to end. The output
// is read one stream after the other, so it is meant for programs that write
// less to standard error than a pipe holds. Fails the test when it cannot
// wait for the program.
ProgramResult FinishProgram(const StartedProgram& started);

// Waits, a minute at most, for a running program to have written the file at
// `path`: to make it, or with `nonEmpty`, to put a byte in it. True when it
// did.
bool WaitForFile(const std::string& path, bool nonEmpty = false);

}  // namespace quillmere::testing
