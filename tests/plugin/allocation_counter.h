#pragma once
// Counts calls of the global operator new made while a counter is alive, so
// that tests can show that a code path allocates nothing. The replacement
// operator new lives in allocation_counter.cpp and serves the whole test
// program; it counts only while some AllocationCounter exists.

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

private:
  int64_t mStart;
};

} // namespace tessivo_test
