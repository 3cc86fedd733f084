#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/file_handle.h"

namespace quillmere {

namespace {

int Descriptor(std::intptr_t system) { return static_cast<int>(system); }

// How often the hidden file is opened again when another run renamed it
// away between the open and the lock.
constexpr int kOpenAttempts = 100;

// Why the file at `name` of `folder`, opened as `descriptor`, may not be
// written through or replaced, or nullptr.
const char* RefusalOf(const struct stat& file) {
  if (!S_ISREG(file.st_mode)) return "not written: it is not a plain file";
  if (file.st_nlink > 1) return "not written: it has other hard links";
  return nullptr;
}

// A FileError for a file that could not be opened: a symbolic link says so,
// and so does a socket, which Linux refuses to open with ENXIO, the error
// it also gives for a pipe that nothing reads.
FileError OpenFailure(int folder, const char* name, const std::string& path, int error) {
  struct stat entry {};
  if ((error == ELOOP || error == ENXIO) && ::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) == 0) {
    if (error == ELOOP && S_ISLNK(entry.st_mode))
      return FileError(path, "not written: it is a symbolic link");
    if (error == ENXIO && S_ISSOCK(entry.st_mode)) return FileError(path, RefusalOf(entry));
  }
  return SystemError(path, "cannot create", error);
}

// Checks what stands at the table's name, without changing it. O_NOFOLLOW
// refuses a link; O_NONBLOCK keeps a pipe from holding the run until
// something reads it; opening for writing refuses a table the user may not
// write.
void CheckTable(int folder, const std::string& name, const std::string& path) {
  const int descriptor =
      ::openat(folder, name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
  if (descriptor < 0) {
    if (errno == ENOENT) return;
    throw OpenFailure(folder, name.c_str(), path, errno);
  }
  struct stat file {};
  const bool known = ::fstat(descriptor, &file) == 0;
  const int error = errno;
  ::close(descriptor);
  if (!known) throw SystemError(path, "cannot create", error);
  if (const char* refusal = RefusalOf(file)) throw FileError(path, refusal);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FileHandle::FileHandle(const Folder& folder, const std::string& name, const std::string& path)
    : path_(path),
      name_(name),
      temporary_("." + name + ".partial"),
      temporaryPath_(path.substr(0, path.size() - name.size()) + temporary_),
      folderPath_(folder.path()) {
  folder_ = ::fcntl(Descriptor(folder.system()), F_DUPFD_CLOEXEC, 0);
  if (folder_ < 0) {
    folder_ = kClosed;
    throw SystemError(path, "cannot create", errno);
  }
  try {
    CheckTable(Descriptor(folder_), name_, path_);
    for (int attempt = 0;; ++attempt) {
      const int descriptor =
          ::openat(Descriptor(folder_), temporary_.c_str(),
                   O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666);
      if (descriptor < 0) {
        const int error = errno;
        FileError failure = OpenFailure(Descriptor(folder_), temporary_.c_str(), path_, error);
        if (failure.reason() == "not written: it is a symbolic link")
          throw FileError(temporaryPath_, failure.reason());
        throw failure;
      }
      // Holding the lock until the end is what marks a run at work; the
      // system lets it go however the run ends, kill -9 included.
      if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(descriptor);
        throw FileError(path_, "not written: another run is writing it; try again when it has ended");
      }
      struct stat opened {};
      struct stat named {};
      if (::fstat(descriptor, &opened) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw SystemError(path_, "cannot create", error);
      }
      // The run that held the file before may have put it in place of the
      // table between the open and the lock: the name then stands for a new
      // file, or none.
      if (::fstatat(Descriptor(folder_), temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
          !SameFile(opened, named)) {
        ::close(descriptor);
        if (attempt + 1 < kOpenAttempts) continue;
        throw FileError(path_, "not written: another run is writing it; try again when it has ended");
      }
      if (const char* refusal = RefusalOf(opened)) {
        ::close(descriptor);
        throw FileError(temporaryPath_, refusal);
      }
      system_ = descriptor;
      break;
    }
    const int flags = ::fcntl(Descriptor(system_), F_GETFL);
    if (flags >= 0) ::fcntl(Descriptor(system_), F_SETFL, flags & ~O_NONBLOCK);
    // A file left by a killed run holds its lines: start afresh.
    if (::ftruncate(Descriptor(system_), 0) != 0) throw SystemError(path_, "cannot empty", errno);
  } catch (const FileError&) {
    Discard();
    throw;
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

void FileHandle::Discard() {
  if (isOpen()) {
    // Removed while still locked, so that no other run takes it meanwhile.
    ::unlinkat(Descriptor(folder_), temporary_.c_str(), 0);
    ::close(Descriptor(system_));
    system_ = kClosed;
  }
  if (folder_ != kClosed) {
    ::close(Descriptor(folder_));
    folder_ = kClosed;
  }
}

std::optional<FileError> FileHandle::Close(bool& replaced) {
  replaced = false;
  if (!isOpen()) return std::nullopt;
  const int descriptor = Descriptor(system_);
  const int folder = Descriptor(folder_);
  // On the disk before it is renamed: after a power loss the table is the
  // old one or the whole new one, never a new name for missing data.
  int result = 0;
  do result = ::fsync(descriptor);
  while (result != 0 && errno == EINTR);
  if (result != 0) {
    const int error = errno;
    Discard();
    return SystemError(path_, "cannot write", error);
  }
  struct stat opened {};
  struct stat named {};
  if (::fstat(descriptor, &opened) != 0 ||
      ::fstatat(folder, temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(opened, named)) {
    // Something else moved the hidden file: its name is not this run's to
    // rename.
    ::close(descriptor);
    system_ = kClosed;
    Discard();
    return FileError(path_, "not written: " + temporary_ + " was moved away during the run");
  }
  if (::renameat(folder, temporary_.c_str(), folder, name_.c_str()) != 0) {
    const int error = errno;
    Discard();
    return SystemError(path_, "cannot replace", error);
  }
  replaced = true;
  (void)::fsync(folder);  // makes the rename itself last; not every file system can
  result = ::close(descriptor);
  const int error = errno;
  system_ = kClosed;
  Discard();
  // After EINTR the descriptor is closed all the same on Linux.
  if (result != 0 && error != EINTR) return SystemError(path_, "cannot write", error);
  return std::nullopt;
}

}  // namespace quillmere
