#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/file_handle.h"
#include "runtime/system.h"

namespace quillmere {

namespace {

int Descriptor(const SystemHandle& handle) { return static_cast<int>(handle.get()); }

// How often the hidden file is opened again when another run renamed it
// away between the open and the lock.
constexpr int kOpenAttempts = 100;

// Opens `name` in `folder` through the system the runtime calls.
std::intptr_t OpenIn(std::intptr_t folder, const std::string& name, int flags, unsigned mode = 0) {
  OpenCall call;
  call.folder = folder;
  call.name = name;
  call.flags = flags;
  call.mode = mode;
  return CurrentSystem().Open(call);
}

// Why `file` may not be written through or replaced, or kOther when it may.
FileErrorKind RefusalOf(const struct stat& file) {
  if (!S_ISREG(file.st_mode)) return FileErrorKind::kNotPlainFile;
  if (file.st_nlink > 1) return FileErrorKind::kOtherHardLinks;
  return FileErrorKind::kOther;
}

// A FileError for a file that could not be opened: a symbolic link says so,
// and so does a socket, which Linux refuses to open with ENXIO, the error
// it also gives for a pipe that nothing reads.
FileError OpenFailure(int folder, const char* name, const std::string& path, int error) {
  struct stat entry {};
  if ((error == ELOOP || error == ENXIO) && ::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) == 0) {
    if (error == ELOOP && S_ISLNK(entry.st_mode)) return Refusal(path, FileErrorKind::kSymbolicLink);
    if (error == ENXIO && S_ISSOCK(entry.st_mode)) return Refusal(path, FileErrorKind::kNotPlainFile);
  }
  return SystemError(path, "cannot create", error);
}

// Checks what stands at the target's name, without changing it, and returns
// its status (st_nlink 0 when nothing is there). O_NOFOLLOW refuses a link;
// O_NONBLOCK keeps a pipe from holding the run until something reads it;
// opening for writing refuses a file the user may not write.
struct stat CheckTarget(int folder, const std::string& name, const std::string& path) {
  struct stat file {};
  const SystemHandle target(OpenIn(folder, name, O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
  if (!target.isOpen()) {
    if (errno == ENOENT) return file;
    throw OpenFailure(folder, name.c_str(), path, errno);
  }
  if (!CurrentSystem().Status(target.get(), &file)) throw SystemError(path, "cannot create", errno);
  if (const FileErrorKind refusal = RefusalOf(file); refusal != FileErrorKind::kOther)
    throw Refusal(path, refusal);
  return file;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FileError FileHandle::HiddenFileFailure(const std::string& reason) const {
  struct stat entry {};
  const bool others = ::fstatat(Descriptor(folder_), temporary_.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
                      entry.st_uid != ::geteuid();
  return FileError(temporaryPath_, reason + "; it is the hidden file a run builds " + name_ + " in" +
                                       (others ? ", left by another user: ask its owner to remove it"
                                               : ", and no run is using it: remove it and try again"));
}

FileHandle::FileHandle(const Folder& folder, const std::string& name, const std::string& path)
    : path_(path),
      name_(name),
      temporary_("." + name + ".partial"),
      temporaryPath_(path.substr(0, path.size() - name.size()) + temporary_),
      folderPath_(folder.path()),
      folder_(CurrentSystem().Duplicate(folder.system())) {
  if (!folder_.isOpen()) throw SystemError(path, "cannot create", errno);
  const struct stat target = CheckTarget(Descriptor(folder_), name_, path_);
  for (int attempt = 0;; ++attempt) {
    // 0600 while it replaces a file, until that file's mode is given to it:
    // nobody else reads a private table while it is built.
    SystemHandle file(OpenIn(folder_.get(), temporary_,
                             O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW,
                             target.st_nlink != 0 ? 0600u : 0666u));
    if (!file.isOpen()) {
      const int error = errno;
      throw HiddenFileFailure(OpenFailure(Descriptor(folder_), temporary_.c_str(), path_, error).reason());
    }
    // Holding the lock until the end is what marks a run at work; the
    // system lets it go however the run ends, kill -9 included.
    if (!CurrentSystem().Lock(file.get()) && errno == EWOULDBLOCK)
      throw Refusal(path_, FileErrorKind::kRunAtWork);
    struct stat opened {};
    struct stat named {};
    if (!CurrentSystem().Status(file.get(), &opened))
      throw HiddenFileFailure(SystemError("", "cannot create", errno).reason());
    // The run that held the file before may have put it in place of the
    // target between the open and the lock: the name then stands for a new
    // file, or none.
    if (::fstatat(Descriptor(folder_), temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !SameFile(opened, named)) {
      if (attempt + 1 < kOpenAttempts) continue;
      throw Refusal(path_, FileErrorKind::kRunAtWork);
    }
    if (const FileErrorKind refusal = RefusalOf(opened); refusal != FileErrorKind::kOther)
      throw HiddenFileFailure(Refusal(temporaryPath_, refusal).reason());
    system_ = std::move(file);
    break;
  }
  try {
    const int flags = ::fcntl(Descriptor(system_), F_GETFL);
    if (flags >= 0) ::fcntl(Descriptor(system_), F_SETFL, flags & ~O_NONBLOCK);
    // A file left by a killed run holds its lines: start afresh.
    if (!CurrentSystem().Truncate(system_.get(), 0))
      throw HiddenFileFailure(SystemError("", "cannot empty", errno).reason());
    // The new file keeps the mode of the one it replaces, as editors do, and
    // its group where the system lets this user give it; a new one was made
    // with what the umask leaves of 0666.
    if (target.st_nlink != 0) {
      if (target.st_gid != ::getegid() &&
          ::fchown(Descriptor(system_), static_cast<uid_t>(-1), target.st_gid) != 0) {
        // Not a member of that group: the file gets this user's group.
      }
      if (!CurrentSystem().SetAttributes(system_.get(), target.st_mode & 0777))
        throw HiddenFileFailure(SystemError("", "cannot create", errno).reason());
    }
  } catch (const FileError&) {
    Discard();
    throw;
  }
}

FileHandle::~FileHandle() { Discard(); }

std::optional<FileError> FileHandle::Write(std::string_view bytes, std::size_t& taken) {
  taken = 0;
  if (!isOpen()) return SystemError(path_, "cannot write", EBADF);
  while (taken < bytes.size()) {
    std::size_t written = 0;
    const bool wrote =
        CurrentSystem().Write(system_.get(), bytes.data() + taken, bytes.size() - taken, written);
    if (!wrote && errno == EINTR) continue;
    if (!wrote || written == 0) return SystemError(path_, "cannot write", !wrote ? errno : EIO);
    taken += written;
  }
  return std::nullopt;
}

std::optional<FileError> FileHandle::Truncate(std::uint64_t size) {
  if (!CurrentSystem().Truncate(system_.get(), size)) return SystemError(path_, "cannot shorten", errno);
  return std::nullopt;
}

std::optional<FileError> FileHandle::Sync() {
  if (!isOpen()) return SystemError(path_, "cannot write", EBADF);
  bool flushed = false;
  do flushed = CurrentSystem().Flush(system_.get());
  while (!flushed && errno == EINTR);
  if (!flushed) return SystemError(path_, "cannot write", errno);
  return std::nullopt;
}

std::optional<FileError> FileHandle::WithNarrowName(
    const std::function<std::optional<FileError>(const std::string& name)>& write) {
  if (!isOpen()) return SystemError(path_, "cannot write", EBADF);
  // The descriptor's own entry leads to the file this run holds and has
  // locked, whatever is done to the folder's names meanwhile; without /proc
  // the hidden file's path is the way, and Close then checks that it still
  // names that file.
  const std::string own = "/proc/self/fd/" + std::to_string(Descriptor(system_));
  struct stat named {};
  struct stat opened {};
  const bool reached = ::stat(own.c_str(), &named) == 0 && CurrentSystem().Status(system_.get(), &opened) &&
                       SameFile(named, opened);
  return write(reached ? own : temporaryPath_);
}

void FileHandle::Discard() {
  if (isOpen()) {
    // Removed while still locked, so that no other run takes it meanwhile.
    ::unlinkat(Descriptor(folder_), temporary_.c_str(), 0);
    (void)system_.Close();
  }
  (void)folder_.Close();
}

std::optional<FileError> FileHandle::Close(bool& replaced) {
  replaced = false;
  if (!isOpen()) return std::nullopt;
  // On the disk before it is renamed: after a power loss the file is the
  // old one or the whole new one, never a new name for missing data.
  if (std::optional<FileError> failure = Sync()) {
    Discard();
    return failure;
  }
  struct stat opened {};
  struct stat named {};
  if (!CurrentSystem().Status(system_.get(), &opened) ||
      ::fstatat(Descriptor(folder_), temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameFile(opened, named)) {
    // Something else moved the hidden file: its name is not this run's to
    // rename, nor to remove.
    (void)system_.Close();
    Discard();
    return FileError(path_, "not written: " + temporary_ + " was moved away during the run",
                     FileErrorKind::kMovedAway);
  }
  RenameCall rename;
  rename.folder = folder_.get();
  rename.file = system_.get();
  rename.from = temporary_;
  rename.to = name_;
  if (!CurrentSystem().Rename(rename)) {
    const int error = errno;
    Discard();
    return SystemError(path_, "cannot replace", error);
  }
  replaced = true;
  (void)::fsync(Descriptor(folder_));  // makes the rename itself last; not every file system can
  const unsigned long error = system_.Close();
  Discard();
  if (error != 0) return SystemError(path_, "cannot write", static_cast<int>(error));
  return std::nullopt;
}

}  // namespace quillmere
