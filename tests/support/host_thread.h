#pragma once
// A thread of a test standing for a host's loader or worker thread: it runs
// a job (building a plug-in instance, say), then ends, or keeps a message
// loop of its own running until stopped, as a host thread that owns windows
// or timers does. While it pumps, a timer of its own counts how long it has
// pumped, so that a test can wait until the thread had the time to do what
// must not happen (WaitPumped).
//
// Threads: the owner (the test's thread) calls everything; the job runs on
// the new thread, which the destructor stops and joins.

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "tests/support/wait.h"

namespace plugkit::test {

class HostThread {
public:
  HostThread(std::function<void()> job, bool keepsPumping);
  ~HostThread();
  HostThread(const HostThread&) = delete;
  HostThread& operator=(const HostThread&) = delete;

  // Waits until the job has run.
  ::testing::AssertionResult WaitJobDone();
  // Waits until the thread's own timer has ticked `ticks` times more than
  // now: it has pumped messages that long since the call. Pumping threads
  // only.
  ::testing::AssertionResult WaitPumped(int ticks);
  // Ends the message loop (if any) and joins; nothing when already stopped.
  void Stop();
  // The thread's id, once the job has begun (0 before).
  DWORD Id() const { return mId.load(); }

private:
  void Run(const std::function<void()>& job, bool keepsPumping);

  std::atomic<DWORD> mId{0};
  std::atomic<bool> mJobDone{false};
  std::atomic<bool> mStop{false};
  std::atomic<int> mPumpTicks{0};
  std::thread mThread;
};

} // namespace plugkit::test
