#include <windows.h>

#include "runtime/file_error.h"
#include "tests/system_words.h"

namespace quillmere::testing {

namespace {

std::string Words(unsigned long errorCode) { return WindowsError("", "x", errorCode).reason().substr(3); }

}  // namespace

std::string MissingFileWords() { return Words(ERROR_FILE_NOT_FOUND); }
// The search for the folder's entries finds no folder to search in.
std::string MissingFolderWords() { return Words(ERROR_PATH_NOT_FOUND); }
SystemFailure DiskFull() { return {ERROR_DISK_FULL, Words(ERROR_DISK_FULL)}; }
SystemFailure DiskFails() { return {ERROR_CRC, Words(ERROR_CRC)}; }
// Excel holds the files it shows so.
SystemFailure HeldByAnotherProgram() { return {ERROR_SHARING_VIOLATION, Words(ERROR_SHARING_VIOLATION)}; }
SystemFailure PermissionDenied() { return {ERROR_ACCESS_DENIED, Words(ERROR_ACCESS_DENIED)}; }
SystemFailure WriteTookNothing() { return {ERROR_WRITE_FAULT, Words(ERROR_WRITE_FAULT)}; }

}  // namespace quillmere::testing
