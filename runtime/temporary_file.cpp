#include "runtime/temporary_file.h"

#include <algorithm>
#include <cstring>

#include "runtime/system.h"

namespace quillmere {

namespace {

// What waits before it is handed over, and what a read takes at once.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

TemporaryFile::TemporaryFile(const std::string& forPath) {
  unsigned long error = 0;
  file_ = SystemHandle(Make(error));
  if (!file_.isOpen()) {
    error_ = error;
    throw Failure(forPath, "cannot make a temporary file for it");
  }
}

bool TemporaryFile::Failed(unsigned long error) {
  error_ = error;
  return false;
}

bool TemporaryFile::MoveTo(std::uint64_t offset) {
  if (position_ == offset) return true;
  if (!CurrentSystem().Seek(file_.get(), offset)) return Failed(LastError());
  position_ = offset;
  return true;
}

bool TemporaryFile::Append(const void* data, std::size_t size) {
  if (writeFailed_) return false;
  added_.append(static_cast<const char*>(data), size);
  return added_.size() < kBufferSize || Flush();
}

bool TemporaryFile::Flush() {
  if (writeFailed_) return false;
  if (added_.empty()) return true;
  // What was handed over in part is not known to be in the file: nothing
  // more is taken.
  writeFailed_ = true;
  if (!MoveTo(handed_)) return false;
  std::size_t taken = 0;
  while (taken < added_.size()) {
    std::size_t written = 0;
    const bool wrote =
        CurrentSystem().Write(file_.get(), added_.data() + taken, added_.size() - taken, written);
    position_ += written;
    taken += written;
    if (!wrote) return Failed(LastError());
    if (written == 0) return Failed(0);
  }
  handed_ += added_.size();
  added_.clear();
  writeFailed_ = false;
  return true;
}

bool TemporaryFile::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  char* into = static_cast<char*>(data);
  while (size > 0) {
    if (offset >= readAt_ && offset < readAt_ + read_.size()) {
      const std::size_t from = static_cast<std::size_t>(offset - readAt_);
      const std::size_t part = std::min(size, read_.size() - from);
      std::memcpy(into, read_.data() + from, part);
      into += part;
      offset += part;
      size -= part;
      continue;
    }
    // What was added but not handed over yet is read from the file too.
    if (offset + size > handed_ && !Flush()) return false;
    if (offset >= handed_) return Failed(0);
    if (!MoveTo(offset)) return false;
    read_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, handed_ - offset)));
    readAt_ = offset;
    std::size_t got = 0;
    while (got < read_.size()) {
      std::size_t part = 0;
      const bool read = CurrentSystem().Read(file_.get(), read_.data() + got, read_.size() - got, part);
      position_ += part;
      got += part;
      if (!read || part == 0) {
        read_.resize(got);
        if (!read) return Failed(LastError());
        break;
      }
    }
    if (got == 0) return Failed(0);
  }
  return true;
}

}  // namespace quillmere
