// The POSIX side of LinkTarget: a file: URL of the report's absolute path.
#include <unistd.h>

#include <cstdlib>

#include "runtime/path.h"

namespace quillmere {

std::string LinkTarget(std::string_view directory, std::string_view reportPath) {
  (void)directory;
  if (reportPath.starts_with('/')) return FileUrl(reportPath);
  char* current = ::getcwd(nullptr, 0);
  if (current == nullptr) return {};
  const std::string absolute = JoinPath(current, reportPath);
  std::free(current);
  return FileUrl(absolute);
}

}  // namespace quillmere
