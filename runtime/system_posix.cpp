#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "runtime/system.h"

namespace quillmere {

namespace {

class PosixSystem : public System {
 public:
  std::intptr_t Open(const OpenCall& call) override {
    const std::string name(call.name);
    return ::openat(static_cast<int>(call.folder), name.c_str(), call.flags, static_cast<mode_t>(call.mode));
  }
  bool Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) override {
    const ssize_t taken = ::read(static_cast<int>(file), data, size);
    got = taken > 0 ? static_cast<std::size_t>(taken) : 0;
    return taken >= 0;
  }
  bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) override {
    const ssize_t taken = ::write(static_cast<int>(file), data, size);
    written = taken > 0 ? static_cast<std::size_t>(taken) : 0;
    return taken >= 0;
  }
  bool Status(std::intptr_t file, void* status) override {
    return ::fstat(static_cast<int>(file), static_cast<struct stat*>(status)) == 0;
  }
  bool Flush(std::intptr_t file) override { return ::fsync(static_cast<int>(file)) == 0; }
  bool Truncate(std::intptr_t file, std::uint64_t size) override {
    return ::ftruncate(static_cast<int>(file), static_cast<off_t>(size)) == 0;
  }
  bool Seek(std::intptr_t file, std::uint64_t offset) override {
    return ::lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET) != -1;
  }
  std::intptr_t Duplicate(std::intptr_t file) override {
    return ::fcntl(static_cast<int>(file), F_DUPFD_CLOEXEC, 0);
  }
  bool SetAttributes(std::intptr_t file, unsigned long attributes) override {
    return ::fchmod(static_cast<int>(file), static_cast<mode_t>(attributes)) == 0;
  }
  bool Rename(const RenameCall& call) override {
    const std::string from(call.from);
    const std::string to(call.to);
    return ::renameat(static_cast<int>(call.folder), from.c_str(), static_cast<int>(call.folder),
                      to.c_str()) == 0;
  }
  bool Lock(std::intptr_t file) override { return ::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0; }
  bool Close(std::intptr_t file) override { return ::close(static_cast<int>(file)) == 0; }
  void* OpenListing(const ListingCall& call) override {
    if (call.descriptor >= 0) return ::fdopendir(call.descriptor);
    const std::string folder(call.folder);
    return ::opendir(folder.c_str());
  }
  bool NextEntry(std::string_view, void* listing, void* entry) override {
    errno = 0;
    const dirent* next = ::readdir(static_cast<DIR*>(listing));
    *static_cast<const dirent**>(entry) = next;
    return next != nullptr;
  }
  void* Allocate(void* block, std::size_t size) override { return std::realloc(block, size); }
};

}  // namespace

System& PlatformSystem() {
  static PosixSystem system;
  return system;
}

void SetSystemError(unsigned long error) { errno = static_cast<int>(error); }

}  // namespace quillmere
