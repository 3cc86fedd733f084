// The Windows side of QuietStandardError: the C library's descriptor 2 on
// NUL. Moving it closes the process's standard error handle and sets a new
// one, so a writer that keeps a handle of its own keeps a duplicate (as the
// command line's console buffer does).
#include <fcntl.h>
#include <io.h>

#include "runtime/quiet_standard_error.h"

namespace quillmere {

int QuietStandardError::OpenNullDevice() { return ::_open("NUL", _O_WRONLY); }

int QuietStandardError::Duplicate(int descriptor) { return ::_dup(descriptor); }

bool QuietStandardError::MoveOnto(int from, int to) { return ::_dup2(from, to) == 0; }

void QuietStandardError::Close(int descriptor) { ::_close(descriptor); }

}  // namespace quillmere
