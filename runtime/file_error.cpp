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
  struct Wording {
    FileErrorKind kind;
    const char* reason;
  };
  static constexpr Wording kWordings[] = {
      {FileErrorKind::kSymbolicLink, "not written: it is a symbolic link"},
      {FileErrorKind::kOtherHardLinks, "not written: it has other hard links"},
      {FileErrorKind::kNotPlainFile, "not written: it is not a plain file"},
      {FileErrorKind::kRunAtWork, "not written: another run is writing it; try again when it has ended"},
  };
  const char* reason = "not written";
  for (const Wording& wording : kWordings) {
    if (wording.kind == kind) reason = wording.reason;
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
