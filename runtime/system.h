// The calls through which the runtime reaches the operating system when it
// reads a report, replaces a file or lists a folder, and the memory it takes
// for its large buffers: one interface, one implementation per platform
// (system_posix.cpp, system_windows.cpp), and a wrapper to build others on,
// so that a test can have any call fail as the system would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillmere {

// The kinds of call, for a wrapper that chooses which to fail.
enum class SystemCall {
  kOpen,
  kRead,
  kWrite,
  kStatus,
  kFlush,
  kTruncate,
  kRename,
  kLock,
  kClose,
  kOpenListing,
  kList,
  kAllocate,
  kSeek,
  kDuplicate,
  kSetAttributes
};

// What an open asks for. POSIX uses `folder`, `name`, `flags` and `mode`
// (openat); Windows `path`, `access`, `share`, `disposition` and
// `attributes` (CreateFileW). `name` is the file's name in its folder on
// both, for a wrapper to match; a file opened by its path (a report) has
// its path there, and on POSIX `folder` AT_FDCWD.
struct OpenCall {
  std::intptr_t folder = -1;
  std::string_view name;
  int flags = 0;
  unsigned mode = 0;
  const wchar_t* path = nullptr;
  unsigned long access = 0;
  unsigned long share = 0;
  unsigned long disposition = 0;
  unsigned long attributes = 0;
};

// What a rename asks for: POSIX renames `from` to `to` in `folder`
// (renameat), replacing what is there; Windows renames the open `file` to
// the full path `target`, replacing what is there. `to` is the target's name
// in its folder on both, for a wrapper to match.
struct RenameCall {
  std::intptr_t folder = -1;
  std::intptr_t file = -1;
  std::string_view from;
  std::string_view to;
  std::wstring_view target;
};

// What opening a listing asks for. POSIX lists the open folder `descriptor`
// (fdopendir), which the listing then owns, or else the folder at the path
// `folder` (opendir); Windows searches `pattern` (FindFirstFileExW) and
// leaves its first entry in `entry`, a WIN32_FIND_DATAW. `folder` is the
// folder's path on both, for a wrapper to match.
struct ListingCall {
  std::string_view folder;
  int descriptor = -1;
  const wchar_t* pattern = nullptr;
  void* entry = nullptr;
};

// Each call returns as the system call it stands for does and leaves the
// system's error number where that call leaves it: errno on POSIX, the
// thread's last error (GetLastError) on Windows. `file` and `folder` are
// descriptors or HANDLEs.
class System {
 public:
  virtual ~System() = default;

  // A descriptor or HANDLE, or -1 (INVALID_HANDLE_VALUE).
  virtual std::intptr_t Open(const OpenCall& call) = 0;
  // Takes up to `size` bytes of the open `file` into `data`; sets `got`, 0
  // at its end. False on failure.
  virtual bool Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) = 0;
  // Hands up to `size` bytes over; sets `written`. False on failure.
  virtual bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) = 0;
  // Fills `status` with what the system knows of the open `file`: a struct
  // stat on POSIX (fstat), a BY_HANDLE_FILE_INFORMATION on Windows
  // (GetFileInformationByHandle).
  virtual bool Status(std::intptr_t file, void* status) = 0;
  // Puts what was written on the disk (fsync, FlushFileBuffers).
  virtual bool Flush(std::intptr_t file) = 0;
  // Cuts the file, or makes it, `size` bytes long.
  virtual bool Truncate(std::intptr_t file, std::uint64_t size) = 0;
  // Moves where the next read or write of `file` begins to `offset` bytes
  // from its start (lseek, SetFilePointerEx).
  virtual bool Seek(std::intptr_t file, std::uint64_t offset) = 0;
  // A second descriptor or HANDLE of the open `file`, closed on its own and
  // not inherited by programs started later (fcntl F_DUPFD_CLOEXEC,
  // DuplicateHandle), or -1.
  virtual std::intptr_t Duplicate(std::intptr_t file) = 0;
  // Gives the open `file` its permission bits on POSIX (fchmod), its
  // attributes on Windows (SetFileInformationByHandle, FileBasicInfo).
  virtual bool SetAttributes(std::intptr_t file, unsigned long attributes) = 0;
  virtual bool Rename(const RenameCall& call) = 0;
  // Locks the open `file` for this process alone, without waiting (flock);
  // Windows locks a file by how it is shared when it is opened, and this
  // does nothing there.
  virtual bool Lock(std::intptr_t file) = 0;
  // Closes `file` (close, CloseHandle). It is closed even when this fails:
  // a failure is what the system reports late of a write, as a network or
  // full disk does.
  virtual bool Close(std::intptr_t file) = 0;
  // Opens a listing: a DIR* on POSIX, a search HANDLE on Windows, or
  // nullptr on failure (on Windows for INVALID_HANDLE_VALUE too).
  virtual void* OpenListing(const ListingCall& call) = 0;
  // Moves `listing` (a DIR* on POSIX, a search HANDLE on Windows) of the
  // folder `folder` to its next entry, left in `entry` (a const dirent*
  // set on POSIX; a WIN32_FIND_DATAW filled on Windows). False at the end,
  // with the error number 0 on POSIX and ERROR_NO_MORE_FILES on Windows, or
  // on failure.
  virtual bool NextEntry(std::string_view folder, void* listing, void* entry) = 0;
  // A block of `size` bytes, as realloc gives it: `block` (nullptr for a new
  // one) grown or moved, or nullptr when memory runs out, `block` then kept.
  // Freed with std::free.
  virtual void* Allocate(void* block, std::size_t size) = 0;
};

// Hands every call on to another System: the base of a test's wrapper,
// which overrides the calls it changes.
class SystemWrapper : public System {
 public:
  explicit SystemWrapper(System& target) : target_(target) {}
  std::intptr_t Open(const OpenCall& call) override { return target_.Open(call); }
  bool Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) override {
    return target_.Read(file, data, size, got);
  }
  bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) override {
    return target_.Write(file, data, size, written);
  }
  bool Status(std::intptr_t file, void* status) override { return target_.Status(file, status); }
  bool Flush(std::intptr_t file) override { return target_.Flush(file); }
  bool Truncate(std::intptr_t file, std::uint64_t size) override { return target_.Truncate(file, size); }
  bool Seek(std::intptr_t file, std::uint64_t offset) override { return target_.Seek(file, offset); }
  std::intptr_t Duplicate(std::intptr_t file) override { return target_.Duplicate(file); }
  bool SetAttributes(std::intptr_t file, unsigned long attributes) override {
    return target_.SetAttributes(file, attributes);
  }
  bool Rename(const RenameCall& call) override { return target_.Rename(call); }
  bool Lock(std::intptr_t file) override { return target_.Lock(file); }
  bool Close(std::intptr_t file) override { return target_.Close(file); }
  void* OpenListing(const ListingCall& call) override { return target_.OpenListing(call); }
  bool NextEntry(std::string_view folder, void* listing, void* entry) override {
    return target_.NextEntry(folder, listing, entry);
  }
  void* Allocate(void* block, std::size_t size) override { return target_.Allocate(block, size); }

 private:
  System& target_;
};

// The platform's own calls.
System& PlatformSystem();

// The System the runtime calls: PlatformSystem() unless a test put another
// in its place with UseSystem, which returns the one before.
System& CurrentSystem();
System* UseSystem(System* system);

// Leaves `error` as the error number the last call failed with (errno,
// SetLastError): what a wrapper that fails a call does.
void SetSystemError(unsigned long error);

}  // namespace quillmere
