#pragma once
// For code that must cope with memory running out (a timer event or the scan
// error handler, which nothing may leave): a test program that adds
// tests/support/failing_allocations.cpp to its sources has the global
// operator new replaced, and every allocation throws std::bad_alloc while
// AllocationsFail is set.
#include <atomic>

namespace tarvex::test {

extern std::atomic<bool> AllocationsFail;

}  // namespace tarvex::test
