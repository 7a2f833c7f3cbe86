#pragma once
// Timer: a periodic callback on the user-interface thread, built on Win32
// thread timers (no window), so ticks arrive through the message loop of the
// thread that scheduled the timer. The plug-in's 20 ms editor tick and the
// preset strip's one-shot delay use it.
//
// Contract:
// - Callbacks run on the scheduling thread, which must pump messages (a
//   host's UI thread does). Cancel and delete may come from any thread; from
//   another thread they wait for a callback that is running to finish, and
//   once they return the callback never runs again.
// - The system timer behind it belongs to the scheduling thread, and only
//   that thread can stop it. A cancel there stops it at once. A cancel from
//   another thread while the scheduling thread lives leaves it to that
//   thread: its next tick there finds nothing to call and stops it. That
//   tick runs this module's code, so such a cancel also pins the module in
//   the process (it stays loaded until the process ends): a host that closes
//   the plug-in on a worker and unloads it at once never has its
//   user-interface thread call into a freed module. A scheduling thread that
//   has ended took its timers with it; nothing is pinned for those.
// - Every callback runs while holding the process-wide timer-list lock, which
//   is re-entrant for its owner: a callback may schedule, cancel or delete
//   timers on its own thread (its own timer included), but must never wait for
//   another thread that takes the timer lock (such as one deleting a timer).
// - A callback is not re-entered: a tick of the same timer that arrives while
//   its callback runs a nested message loop is skipped.
// - The caller owns the returned timer and deletes it to stop it for good.

#include <cstdint>
#include <functional>

namespace plugkit {

class Timer;

// Called on every tick with the timer that fired.
using ITimerCallback = std::function<void(Timer&)>;

class Timer {
public:
  // Starts a timer that calls callback every intervalMs milliseconds (Windows
  // raises intervals below 10 ms to 10 ms). Returns null only when the object
  // cannot be allocated. An empty callback, a negative interval or a refusal
  // by the system still gives a timer to delete, but one that never fires.
  static Timer* Schedule(ITimerCallback callback, int32_t intervalMs);

  // Number of timers currently in the process-wide list (running timers).
  static int32_t RunningCount();

  // Stops like Cancel and frees the callback.
  virtual ~Timer() = default;

  // Stops the timer; afterwards the object is only good for deletion.
  // Stopping a stopped timer does nothing.
  virtual void Cancel() = 0;

protected:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
};

} // namespace plugkit
