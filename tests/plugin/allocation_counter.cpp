#include "tests/plugin/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> gCounters{0};
std::atomic<int64_t> gAllocations{0};
std::atomic<int64_t> gFrees{0};

void CountFree(void* p) {
  if (p && gCounters.load(std::memory_order_relaxed) > 0) gFrees.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

// Array and nothrow forms of the library forward to this one.
void* operator new(std::size_t size) {
  if (gCounters.load(std::memory_order_relaxed) > 0) gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  CountFree(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  CountFree(p);
  std::free(p);
}

namespace tessivo_test {

AllocationCounter::AllocationCounter() : mStart(gAllocations.load()), mFreesStart(gFrees.load()) {
  gCounters.fetch_add(1);
}
AllocationCounter::~AllocationCounter() { gCounters.fetch_sub(1); }
int64_t AllocationCounter::Count() const { return gAllocations.load() - mStart; }
int64_t AllocationCounter::Frees() const { return gFrees.load() - mFreesStart; }

} // namespace tessivo_test
