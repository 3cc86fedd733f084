#include "runtime/file_error.h"

#include <new>
#include <system_error>
#include <utility>

namespace quillmere {

FileError::FileError(std::string path, std::string reason, FileErrorKind kind)
    : std::runtime_error(path + ": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)),
      kind_(kind) {}

FileError Refusal(std::string path, FileErrorKind kind) {
  const char* reason = "not written";
  switch (kind) {
    case FileErrorKind::kSymbolicLink:
      reason = "not written: it is a symbolic link";
      break;
    case FileErrorKind::kOtherHardLinks:
      reason = "not written: it has other hard links";
      break;
    case FileErrorKind::kNotPlainFile:
      reason = "not written: it is not a plain file";
      break;
    case FileErrorKind::kRunAtWork:
      reason = "not written: another run is writing it; try again when it has ended";
      break;
    default:
      break;
  }
  return FileError(std::move(path), reason, kind);
}

// what() is built once, in the constructor, as the one wording of a failure.
std::string Describe(const FileError& error) { return error.what(); }

std::string DescribeUnexpected(const std::exception& error) {
  return dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? "not enough memory" : error.what();
}

FileError SystemError(std::string path, const std::string& action, int errorNumber) {
  return FileError(std::move(path), action + ": " + std::generic_category().message(errorNumber),
                   FileErrorKind::kSystem);
}

}  // namespace quillmere
