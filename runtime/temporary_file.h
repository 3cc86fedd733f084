// A file of the run's own, in the system's temporary folder, that bytes are
// added to the end of and read back from at any point: removed as soon as
// it is made (POSIX) or when it is closed (Windows), so that nothing is left
// of it however the run ends. Additions wait in a buffer until a read or a
// full buffer hands them over; reads are served from a buffer of their own.
// Every call goes through the runtime's System. One source per platform
// makes the file and words its failures (temporary_file_posix.cpp,
// temporary_file_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/file_error.h"
#include "runtime/system_handle.h"

namespace quillmere {

class TemporaryFile {
 public:
  // Throws a FileError for `forPath`, the file it is made for, when the
  // system gives none: "cannot make a temporary file for it: ...".
  explicit TemporaryFile(const std::string& forPath);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Adds `size` bytes at the end. False when the system failed to take
  // them, or earlier ones; the file then takes nothing more.
  bool Append(const void* data, std::size_t size);
  // Takes the `size` bytes from `offset` on into `data`. False when the
  // system failed or the file holds fewer; a later read may succeed.
  bool ReadAt(std::uint64_t offset, void* data, std::size_t size);
  // Hands what waits in the buffer over to the system; false on failure.
  bool Flush();

  // Every byte added so far.
  std::uint64_t size() const { return handed_ + added_.size(); }
  // The last failure, for `path`, as "<action>: <the system's words>".
  FileError Failure(const std::string& path, const std::string& action) const;

 private:
  // Makes the file, or returns -1 and sets `error` to the system's error
  // number.
  static std::intptr_t Make(unsigned long& error);
  // The system's error number of the call that just failed.
  static unsigned long LastError();
  // Moves the handle to `offset` when it is elsewhere.
  bool MoveTo(std::uint64_t offset);
  bool Failed(unsigned long error);

  SystemHandle file_;
  std::uint64_t handed_ = 0;    // the bytes added and handed to the system
  std::uint64_t position_ = 0;  // where the handle stands
  std::string added_;           // waiting to be handed over
  std::string read_;            // the bytes from `readAt_` on, as last read
  std::uint64_t readAt_ = 0;
  bool writeFailed_ = false;
  unsigned long error_ = 0;  // of the last failure; 0 when a call moved no bytes
};

}  // namespace quillmere
