#pragma once
// Runs a call on a thread of its own while the calling thread holds a lock,
// to see whether the call needs that lock: one that takes it comes to wait
// for the lock and cannot finish until the lock is left; one that never
// takes it finishes while it is held.

#include <windows.h>

#include <chrono>
#include <functional>
#include <future>

#include "core/ISectionLock.h"
#include "tests/support/wait.h"

namespace plugkit {

// Whether another thread waits to enter lock while the calling thread holds
// it. ISectionLock is its critical section; Wine's critical section (the
// tests' platform) counts in LockCount, from 0 while held, the threads that
// wait for it.
inline bool SomeoneWaitsFor(ISectionLock& lock) {
  auto* section = reinterpret_cast<CRITICAL_SECTION*>(&lock);
  return InterlockedCompareExchange(&section->LockCount, 0, 0) > 0;
}

// True when call finished while lock was held. The answer is known as soon as
// the call has finished or is seen waiting for the lock, however busy the
// machine. Either way the lock is left and the call has finished when this
// returns.
inline bool FinishesWhileLocked(ISectionLock& lock, const std::function<void()>& call) {
  lock.Enter();
  std::future<void> done = std::async(std::launch::async, call);
  const auto finished = [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
  EXPECT_TRUE(test::WaitUntil("the call to finish or to wait for the lock",
                              [&] { return finished() || SomeoneWaitsFor(lock); }));
  const bool result = finished();
  lock.Leave();
  done.get();
  return result;
}

} // namespace plugkit
