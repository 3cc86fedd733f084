#include <windows.h>

#include "runtime/system.h"
#include "runtime/system_handle.h"

namespace quillmere {

unsigned long CloseSystemHandle(std::intptr_t value) {
  return CurrentSystem().Close(value) ? 0 : ::GetLastError();
}

}  // namespace quillmere
