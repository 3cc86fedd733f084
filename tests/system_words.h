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

// What each system's source (system_words_posix.cpp,
// system_words_windows.cpp) gives the functions above: its numbers for
// each failure, and the words of a number.
struct SystemErrors {
  unsigned long missingFile, missingFolder, diskFull, diskFails, heldByAnotherProgram, permissionDenied,
      writeTookNothing;
};
extern const SystemErrors kSystemErrors;
std::string SystemWords(unsigned long error);

}  // namespace quillmere::testing
