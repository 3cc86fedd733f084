#include "runtime/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quillmere {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  // O_NONBLOCK keeps a pipe named like the table from holding the run until
  // something reads it: without a reader the open fails at once.
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd_ < 0) throw SystemError(path, "cannot create", errno);
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  buffer_.reserve(kBufferSize);
  pendingLineEnds_.reserve(kBufferSize / 64);
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

void OutputFile::EndLine() {
  if (failure_) return;
  Print("\r\n");
  if (failure_) return;
  const std::uint64_t end = written_ + buffer_.size();
  if (end == written_) {
    // The line end went out with a flush inside Print.
    ++linesKept_;
    keptEnd_ = end;
  } else {
    pendingLineEnds_.push_back(end);
  }
}

void OutputFile::KeepLinesUpTo(std::uint64_t offset) {
  std::size_t kept = 0;
  while (kept < pendingLineEnds_.size() && pendingLineEnds_[kept] <= offset) ++kept;
  if (kept > 0) keptEnd_ = pendingLineEnds_[kept - 1];
  linesKept_ += kept;
  pendingLineEnds_.erase(pendingLineEnds_.begin(), pendingLineEnds_.begin() + static_cast<std::ptrdiff_t>(kept));
}

void OutputFile::Flush() {
  if (failure_ || fd_ < 0) return;
  const char* data = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      Fail("cannot write", written < 0 ? errno : EIO);
      KeepLinesUpTo(written_);
      // A write that stopped inside a line would leave half a line, with a
      // figure perhaps cut short, looking like data; the file ends at the last
      // whole line instead. Shrinking a file needs no space, so this works on
      // a full disk; on a device it fails and nothing was written anyway.
      if (written_ > keptEnd_) {
        [[maybe_unused]] const int truncated = ::ftruncate(fd_, static_cast<off_t>(keptEnd_));
      }
      return;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
    written_ += static_cast<std::uint64_t>(written);
  }
  buffer_.clear();
  KeepLinesUpTo(written_);
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
