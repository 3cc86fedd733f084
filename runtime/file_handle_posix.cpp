#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/file_handle.h"

namespace quillmere {

namespace {

int Descriptor(std::intptr_t system) { return static_cast<int>(system); }

}  // namespace

FileHandle::FileHandle(const std::string& path) : path_(path) {
  // O_NOFOLLOW keeps a link from sending the table anywhere else; without
  // O_TRUNC nothing is emptied before the checks below. O_NONBLOCK keeps a
  // pipe named like the table from holding the run until something reads it.
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666);
  if (descriptor < 0) {
    const int error = errno;
    struct stat link {};
    if (error == ELOOP && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      throw FileError(path, "not written: it is a symbolic link");
    }
    throw SystemError(path, "cannot create", error);
  }
  system_ = descriptor;
  struct stat file {};
  if (::fstat(descriptor, &file) != 0) {
    const int error = errno;
    Close();
    throw SystemError(path, "cannot create", error);
  }
  const char* refusal = !S_ISREG(file.st_mode) ? "not written: it is not a plain file"
                        : file.st_nlink > 1    ? "not written: it has other hard links"
                                               : nullptr;
  if (refusal != nullptr) {
    Close();
    throw FileError(path, refusal);
  }
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
  if (::ftruncate(descriptor, 0) != 0) {
    const int error = errno;
    Close();
    throw SystemError(path, "cannot empty", error);
  }
}

FileHandle::~FileHandle() { Close(); }

std::optional<FileError> FileHandle::Write(std::string_view bytes, std::size_t& taken) {
  taken = 0;
  if (!isOpen()) return SystemError(path_, "cannot write", EBADF);
  while (taken < bytes.size()) {
    const ssize_t written = ::write(Descriptor(system_), bytes.data() + taken, bytes.size() - taken);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return SystemError(path_, "cannot write", written < 0 ? errno : EIO);
    taken += static_cast<std::size_t>(written);
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Truncate(std::uint64_t size) {
  if (::ftruncate(Descriptor(system_), static_cast<off_t>(size)) != 0)
    return SystemError(path_, "cannot shorten", errno);
  return std::nullopt;
}

std::optional<FileError> FileHandle::Close() {
  if (!isOpen()) return std::nullopt;
  const int result = ::close(Descriptor(system_));
  system_ = kClosed;
  // After EINTR the descriptor is closed all the same on Linux.
  if (result != 0 && errno != EINTR) return SystemError(path_, "cannot write", errno);
  return std::nullopt;
}

}  // namespace quillmere
