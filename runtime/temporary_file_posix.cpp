// The POSIX side of TemporaryFile: a file of a name no other takes, in
// $TMPDIR or /tmp, removed from its folder right after it is made.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

#include "runtime/system.h"
#include "runtime/temporary_file.h"

namespace quillmere {

namespace {

// How many names are tried when each is taken already.
constexpr int kNameAttempts = 100;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  if (folder != nullptr && folder[0] == '/') return folder;
  return "/tmp";
}

std::atomic<unsigned> made{0};

}  // namespace

std::intptr_t TemporaryFile::Make(unsigned long& error) {
  const std::string folder = TemporaryFolder();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string path = folder + "/.quillmere-spool-" + std::to_string(::getpid()) + "-" +
                             std::to_string(made++) + "-" + std::to_string(tick % 1000000);
    OpenCall call;
    call.folder = AT_FDCWD;
    call.name = path;
    call.flags = O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
    call.mode = 0600;
    const std::intptr_t file = CurrentSystem().Open(call);
    if (file != -1) {
      ::unlink(path.c_str());
      return file;
    }
    error = static_cast<unsigned long>(errno);
    if (errno != EEXIST) break;
  }
  return -1;
}

unsigned long TemporaryFile::LastError() { return static_cast<unsigned long>(errno); }

FileError TemporaryFile::Failure(const std::string& path, const std::string& action) const {
  if (error_ == 0) return FileError(path, action + ": the system moved no bytes");
  return SystemError(path, action, static_cast<int>(error_));
}

}  // namespace quillmere
