#include "tests/program_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quillmere::testing {

namespace {

// All that can be read from `fd` until its writer closes it.
std::string Drain(int fd) {
  std::string bytes;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(got));
  ::close(fd);
  return bytes;
}

}  // namespace

StartedProgram StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const ProgramStart& start) {
  int out[2];
  int err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) {
    ADD_FAILURE() << "cannot make pipes";
    return {program};
  }
  if (start.outputReaderGone) {
    // Closed before the fork, so that no reader is left when the program
    // writes, however soon that is.
    ::close(out[0]);
    out[0] = -1;
  }
  // Made before the fork: the child only calls what it must.
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0) ::_exit(120);
    if (out[0] >= 0) ::close(out[0]);
    ::close(err[0]);
    if (start.beforeExec) start.beforeExec();
    ::alarm(60);
    ::execv(program.c_str(), argv.data());
    ::_exit(122);
  }
  ::close(out[1]);
  ::close(err[1]);
  if (child < 0) ADD_FAILURE() << "cannot run " << program;
  return {program, child, out[0], err[0]};
}

ProgramResult FinishProgram(const StartedProgram& started) {
  ProgramResult result;
  if (started.out >= 0) result.out = Drain(started.out);
  if (started.err >= 0) result.err = Drain(started.err);
  int status = 0;
  if (started.pid < 0 || ::waitpid(started.pid, &status, 0) != started.pid) {
    ADD_FAILURE() << "cannot wait for " << started.program;
    return result;
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

bool WaitForFile(const std::string& path, bool nonEmpty) {
  for (int waited = 0; waited < 60'000; ++waited) {
    struct stat file {};
    if (::stat(path.c_str(), &file) == 0 && (!nonEmpty || file.st_size > 0)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

}  // namespace quillmere::testing
