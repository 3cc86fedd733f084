#include <cerrno>

#include "runtime/file_error.h"
#include "tests/system_words.h"

namespace quillmere::testing {

const SystemErrors kSystemErrors = {.missingFile = ENOENT,
                                    .missingFolder = ENOENT,
                                    .diskFull = ENOSPC,
                                    .diskFails = EIO,
                                    .heldByAnotherProgram = EBUSY};

std::string SystemWords(unsigned long error) {
  return SystemError("", "x", static_cast<int>(error)).reason().substr(3);
}

}  // namespace quillmere::testing
