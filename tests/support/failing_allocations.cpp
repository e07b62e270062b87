#include "tests/support/failing_allocations.h"

#include <cstdlib>
#include <new>

namespace tarvex::test {

std::atomic<bool> AllocationsFail{false};

}  // namespace tarvex::test

void* operator new(std::size_t size) {
  if (tarvex::test::AllocationsFail.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
