#pragma once
// Runs a call on a thread of its own while the calling thread holds a lock,
// to see whether the call needs that lock: one that takes it cannot finish
// until the lock is left; one that never takes it finishes while it is held.

#include <chrono>
#include <functional>
#include <future>

#include "core/ISectionLock.h"

namespace plugkit {

// True when call finished within patience while lock was held. Either way
// the lock is left and the call has finished when this returns.
inline bool FinishesWhileLocked(ISectionLock& lock, const std::function<void()>& call,
                                std::chrono::milliseconds patience) {
  lock.Enter();
  std::future<void> done = std::async(std::launch::async, call);
  const bool finished = done.wait_for(patience) == std::future_status::ready;
  lock.Leave();
  done.get();
  return finished;
}

} // namespace plugkit
