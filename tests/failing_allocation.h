// Memory running out on demand, for the program that links
// failing_allocation.cpp: it replaces the global operator new.
#pragma once

namespace quillmere::testing {

// When not negative, how many allocations succeed before one fails with
// std::bad_alloc; it is -1 again once that one has failed.
extern long allocationsBeforeFailure;

}  // namespace quillmere::testing
