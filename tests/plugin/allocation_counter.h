#pragma once
// Counts calls of the global operator new and operator delete made while a
// counter is alive, so that tests can show that a code path allocates and
// frees nothing. The replacements live in allocation_counter.cpp and serve
// the whole test program (every thread); they count only while some
// AllocationCounter exists.

#include <cstdint>

namespace tessivo_test {

class AllocationCounter {
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations since this counter was created.
  int64_t Count() const;
  // Frees of allocated memory (deletes of null do not count) since then.
  int64_t Frees() const;

private:
  int64_t mStart;
  int64_t mFreesStart;
};

} // namespace tessivo_test
