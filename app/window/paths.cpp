#include "app/window/paths.h"

#include <filesystem>
#include <system_error>

namespace quillmere {

std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  if (error) return kNativePathStyle == PathStyle::kPosix ? "/" : "C:\\";
  // UTF-8 on every platform: the bytes themselves on Linux.
  const std::u8string text = current.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace quillmere
