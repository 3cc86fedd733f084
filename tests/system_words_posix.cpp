#include <cerrno>

#include "runtime/file_error.h"
#include "tests/system_words.h"

namespace quillmere::testing {

namespace {

std::string Words(int errorNumber) { return SystemError("", "x", errorNumber).reason().substr(3); }

}  // namespace

std::string MissingFileWords() { return Words(ENOENT); }
std::string MissingFolderWords() { return Words(ENOENT); }
SystemFailure DiskFull() { return {ENOSPC, Words(ENOSPC)}; }
SystemFailure DiskFails() { return {EIO, Words(EIO)}; }
SystemFailure HeldByAnotherProgram() { return {EBUSY, Words(EBUSY)}; }
SystemFailure PermissionDenied() { return {EACCES, Words(EACCES)}; }
SystemFailure WriteTookNothing() { return {EIO, Words(EIO)}; }

}  // namespace quillmere::testing
