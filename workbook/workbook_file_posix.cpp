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
  if (S_ISLNK(status.st_mode)) throw Refusal(path, FileErrorKind::kSymbolicLink);
  if (!S_ISREG(status.st_mode)) throw Refusal(path, FileErrorKind::kNotPlainFile);
  if (status.st_nlink > 1) throw Refusal(path, FileErrorKind::kOtherHardLinks);
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

}  // namespace quillmere
