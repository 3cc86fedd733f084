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

}  // namespace quillmere::testing
