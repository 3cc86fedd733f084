// What the system says, in the words FileError reasons use after
// "<action>: ", for the failures the tests make on every system.
#pragma once

#include <string>

namespace quillmere::testing {

// A file that is not there, opened.
std::string MissingFileWords();
// A folder that is not there, listed.
std::string MissingFolderWords();

// The system's error numbers (errno, or Windows error codes) for a full
// disk, a failing disk, a file another program holds and the rest below,
// and the words each reads as.
struct SystemFailure {
  unsigned long error;
  std::string words;
};
SystemFailure DiskFull();
SystemFailure DiskFails();
SystemFailure HeldByAnotherProgram();
// A file or folder this user may not open.
SystemFailure PermissionDenied();
// What the runtime reports for a write that took nothing and reported
// nothing.
SystemFailure WriteTookNothing();

}  // namespace quillmere::testing
