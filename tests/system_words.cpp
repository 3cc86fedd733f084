#include "tests/system_words.h"

namespace quillmere::testing {

namespace {

SystemFailure Failure(unsigned long error) { return {error, SystemWords(error)}; }

}  // namespace

std::string MissingFileWords() { return SystemWords(kSystemErrors.missingFile); }
std::string MissingFolderWords() { return SystemWords(kSystemErrors.missingFolder); }
SystemFailure DiskFull() { return Failure(kSystemErrors.diskFull); }
SystemFailure DiskFails() { return Failure(kSystemErrors.diskFails); }
SystemFailure HeldByAnotherProgram() { return Failure(kSystemErrors.heldByAnotherProgram); }
SystemFailure PermissionDenied() { return Failure(kSystemErrors.permissionDenied); }
SystemFailure WriteTookNothing() { return Failure(kSystemErrors.writeTookNothing); }

}  // namespace quillmere::testing
