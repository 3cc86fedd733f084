#include <cerrno>

#include "runtime/file_error.h"
#include "tests/system_words.h"

namespace quillmere::testing {

// A file and a folder that are not there, a full disk, a failing disk, a
// file another program holds, a file this user may not open, a write that
// took nothing.
const SystemErrors kSystemErrors = {ENOENT, ENOENT, ENOSPC, EIO, EBUSY, EACCES, EIO};

std::string SystemWords(unsigned long error) {
  return SystemError("", "x", static_cast<int>(error)).reason().substr(3);
}

}  // namespace quillmere::testing
