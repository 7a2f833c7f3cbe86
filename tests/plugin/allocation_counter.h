#pragma once
// Counts the heap allocations and frees that one thread makes while a counter
// lives, so that tests can show that a code path allocates and frees nothing.
//
// What is counted: every call of the C runtime's malloc, calloc, realloc and
// free (and their aligned forms) made by the test program, and by any module
// handed to CountAllocationsIn. operator new and delete, the standard
// containers and the framework's own heap blocks all end up there. The
// program's calls are counted from the start; a module's from the moment it
// is handed over (a loaded plug-in), until the process ends.
//
// A counter counts the calls of the thread that created it, whatever other
// threads do meanwhile; several counters may live at once, on one thread or
// on several. Count and Frees may be read on any thread once the counted
// thread is done.

#include <cstdint>

namespace tessivo_test {

class AllocationCounter {
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations (malloc, calloc, realloc) since this counter was created.
  int64_t Count() const;
  // Frees of allocated memory (frees of null do not count) since then.
  int64_t Frees() const;

private:
  int32_t mSlot;
};

// Counts the allocations of a loaded module (an HMODULE) too. False when the
// module's calls could not all be counted: it takes the C runtime from
// elsewhere than the test program, or its import table is unreadable.
bool CountAllocationsIn(void* module);

} // namespace tessivo_test
