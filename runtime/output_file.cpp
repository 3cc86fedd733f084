#include "runtime/output_file.h"

#include <utility>

namespace quillmere {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

OutputFile::OutputFile(const Folder& folder, const std::string& name, const std::string& path)
    : path_(path), handle_(folder, name, path) {
  buffer_.reserve(kBufferSize);
  lineEnds_.reserve(kBufferSize / 64);
}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Print(std::string_view text) {
  if (failure_) return;
  if (!handle_.isOpen()) {
    failure_ = FileError(path_, "cannot write: the file is closed");
    return;
  }
  buffer_.append(text);
}

void OutputFile::EndLine() {
  if (failure_) return;
  // Should memory run out here, the line stays unended and is never written.
  lineEnds_.reserve(lineEnds_.size() + 1);
  Print("\r\n");
  if (failure_) return;
  lineEnds_.push_back(buffer_.size());
  if (buffer_.size() >= kBufferSize) Flush();
}

void OutputFile::Flush() {
  if (failure_ || !handle_.isOpen() || lineEnds_.empty()) return;
  const std::size_t whole = lineEnds_.back();
  std::size_t taken = 0;
  failure_ = handle_.Write(std::string_view(buffer_).substr(0, whole), taken);
  std::size_t keptBytes = whole;
  std::size_t keptLines = lineEnds_.size();
  if (failure_) {
    keptLines = 0;
    while (keptLines < lineEnds_.size() && lineEnds_[keptLines] <= taken) ++keptLines;
    keptBytes = keptLines > 0 ? lineEnds_[keptLines - 1] : 0;
    // A write that stopped inside a line would leave half a line, with a
    // figure perhaps cut short, looking like data; the file ends at the last
    // whole line instead. Shrinking a file needs no space, so this works on a
    // full disk.
    if (taken > keptBytes) (void)handle_.Truncate(written_ + keptBytes);
  }
  written_ += keptBytes;
  linesKept_ += keptLines;
  buffer_.erase(0, whole);
  lineEnds_.clear();
}

std::optional<FileError> OutputFile::Sync() {
  Flush();
  if (!failure_ && handle_.isOpen()) failure_ = handle_.Sync();
  return failure_;
}

std::optional<FileError> OutputFile::Close() {
  if (handle_.isOpen()) {
    Flush();
    bool replaced = false;
    std::optional<FileError> closing = handle_.Close(replaced);
    if (closing && !failure_) failure_ = std::move(closing);
    if (!replaced) linesKept_ = 0;
    buffer_.clear();
    lineEnds_.clear();
  }
  return failure_;
}

}  // namespace quillmere
