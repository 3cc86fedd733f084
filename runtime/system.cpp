#include "runtime/system.h"

#include <atomic>

namespace quillmere {

namespace {

std::atomic<System*> current{nullptr};

}  // namespace

System& CurrentSystem() {
  System* system = current.load();
  return system != nullptr ? *system : PlatformSystem();
}

System* UseSystem(System* system) { return current.exchange(system); }

}  // namespace quillmere
