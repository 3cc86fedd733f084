// The Windows side of LinkTarget: the report's path relative to the
// workbook's folder.
#include "runtime/path.h"

namespace quillmere {

std::string LinkTarget(std::string_view directory, std::string_view reportPath) {
  // Relative to the workbook in `directory`, so that it keeps working when
  // the directory is moved or copied whole.
  const std::string prefix = JoinPath(directory, "");
  return std::string(reportPath.starts_with(prefix) ? reportPath.substr(prefix.size()) : reportPath);
}

}  // namespace quillmere
