#include <cerrno>

#include "runtime/system.h"
#include "runtime/system_handle.h"

namespace quillmere {

unsigned long CloseSystemHandle(std::intptr_t value) {
  // After EINTR the descriptor is closed all the same on Linux: it is not
  // closed again.
  if (!CurrentSystem().Close(value) && errno != EINTR) return static_cast<unsigned long>(errno);
  return 0;
}

}  // namespace quillmere
