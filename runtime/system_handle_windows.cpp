#include <windows.h>

#include "runtime/system_handle.h"

namespace quillmere {

unsigned long CloseSystemHandle(std::intptr_t value) {
  return ::CloseHandle(reinterpret_cast<HANDLE>(value)) ? 0 : ::GetLastError();
}

}  // namespace quillmere
