#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "workbook/workbook_file.h"

namespace quillmere {

void CheckReplaceable(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return;
    throw SystemError(path, "cannot replace", errno);
  }
  if (S_ISLNK(status.st_mode)) throw FileError(path, "not written: it is a symbolic link");
  if (!S_ISREG(status.st_mode)) throw FileError(path, "not written: it is not a plain file");
  if (status.st_nlink > 1) throw FileError(path, "not written: it has other hard links");
}

std::string CreateTemporaryBeside(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (int attempt = 0;; ++attempt) {
    const std::string temporary =
        folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    // 0666 less the umask, as the file it replaces was made.
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor >= 0) {
      ::close(descriptor);
      return temporary;
    }
    if (errno != EEXIST || attempt >= 100)
      throw SystemError(path, "cannot create a temporary file beside it", errno);
  }
}

void WithNarrowName(const std::string& path, const std::function<void(const std::string& name)>& write) {
  write(path);
}

std::string AbsolutePath(const std::string& path) {
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    std::string absolute(resolved);
    std::free(resolved);
    return absolute;
  }
  if (path.starts_with('/')) return path;
  char* current = ::getcwd(nullptr, 0);
  if (current == nullptr) return path;
  std::string absolute = std::string(current) + "/" + path;
  std::free(current);
  return absolute;
}

std::string ReportLink(const std::string& directory, const std::string& reportPath) {
  (void)directory;
  std::string absolute = reportPath;
  if (!absolute.starts_with('/')) {
    char* current = ::getcwd(nullptr, 0);
    if (current == nullptr) return {};
    absolute = std::string(current) + "/" + absolute;
    std::free(current);
  }
  std::string link = "file://";
  for (const char c : absolute) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 && byte < 0x80) {
      link += c;
    } else if (std::string_view("/-._~").find(c) != std::string_view::npos) {
      link += c;
    } else {
      constexpr char kHex[] = "0123456789ABCDEF";
      link += '%';
      link += kHex[byte >> 4];
      link += kHex[byte & 0x0F];
    }
  }
  return link;
}

std::optional<FileError> MoveIntoPlace(const std::string& temporary, const std::string& path) {
  if (::rename(temporary.c_str(), path.c_str()) != 0) return SystemError(path, "cannot replace", errno);
  return std::nullopt;
}

void RemoveFile(const std::string& path) { (void)::unlink(path.c_str()); }

}  // namespace quillmere
