#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
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
  // Freed also when memory runs out for the copy.
  struct Free {
    void operator()(char* block) const { std::free(block); }
  };
  using Owned = std::unique_ptr<char, Free>;
  if (const Owned resolved{::realpath(path.c_str(), nullptr)}) return std::string(resolved.get());
  if (path.starts_with('/')) return path;
  const Owned current{::getcwd(nullptr, 0)};
  if (!current) return path;
  return std::string(current.get()) + "/" + path;
}

}  // namespace quillmere
