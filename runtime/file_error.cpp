#include "runtime/file_error.h"

#include <new>
#include <system_error>
#include <utility>

namespace quillmere {

FileError::FileError(std::string path, std::string reason)
    : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}

// what() is built once, in the constructor, as the one wording of a failure.
std::string Describe(const FileError& error) { return error.what(); }

std::string DescribeUnexpected(const std::exception& error) {
  return dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? "not enough memory" : error.what();
}

FileError SystemError(std::string path, const std::string& action, int errorNumber) {
  return FileError(std::move(path),
                   action + ": " + std::generic_category().message(errorNumber));
}

}  // namespace quillmere
