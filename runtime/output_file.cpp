#include "runtime/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quillmere {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) throw SystemError(path, "cannot create", errno);
  buffer_.reserve(kBufferSize);
}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Fail(const std::string& action, int errorNumber) {
  if (!failure_) failure_ = SystemError(path_, action, errorNumber);
}

void OutputFile::Print(std::string_view text) {
  if (failure_) return;
  if (fd_ < 0) {
    Fail("cannot write", EBADF);
    return;
  }
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) Flush();
}

void OutputFile::Flush() {
  if (failure_ || fd_ < 0) return;
  const char* data = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", errno);
      return;
    }
    if (written == 0) {
      Fail("cannot write", EIO);
      return;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  buffer_.clear();
}

std::optional<FileError> OutputFile::Close() {
  if (fd_ >= 0) {
    Flush();
    if (::close(fd_) != 0 && errno != EINTR) Fail("cannot write", errno);
    fd_ = -1;
  }
  return failure_;
}

}  // namespace quillmere
