#include "tests/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace quillmere::testing {

long allocationsBeforeFailure = -1;

}  // namespace quillmere::testing

void* operator new(std::size_t size) {
  long& left = quillmere::testing::allocationsBeforeFailure;
  if (left == 0) {
    left = -1;
    throw std::bad_alloc();
  }
  if (left > 0) --left;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
