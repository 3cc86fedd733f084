#include <windows.h>

#include "runtime/file_error.h"
#include "tests/system_words.h"

namespace quillmere::testing {

const SystemErrors kSystemErrors = {.missingFile = ERROR_FILE_NOT_FOUND,
                                    // The search for the folder's entries finds no folder to search in.
                                    .missingFolder = ERROR_PATH_NOT_FOUND,
                                    .diskFull = ERROR_DISK_FULL,
                                    .diskFails = ERROR_CRC,
                                    // Excel holds the files it shows so.
                                    .heldByAnotherProgram = ERROR_SHARING_VIOLATION,
                                    .permissionDenied = ERROR_ACCESS_DENIED,
                                    .writeTookNothing = ERROR_WRITE_FAULT};

std::string SystemWords(unsigned long error) { return WindowsError("", "x", error).reason().substr(3); }

}  // namespace quillmere::testing
