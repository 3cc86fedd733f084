#include "runtime/file_error.h"

#include <system_error>
#include <utility>

namespace quillmere {

FileError::FileError(std::string path, std::string reason)
    : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}

FileError SystemError(std::string path, const std::string& action, int errorNumber) {
  return FileError(std::move(path),
                   action + ": " + std::generic_category().message(errorNumber));
}

}  // namespace quillmere
