#pragma once
// Waiting on a thread that owns windows or thread timers. Such a thread
// pumps its messages while it waits, as a host's user-interface thread
// does: display ticks, timer ticks and posted work arrive only then. Each
// wait has the limit and the failure message of WaitUntil (wait.h).
//
// Calling thread only: each function pumps the messages of the thread that
// calls it, and may be called from inside a message handler (a nested loop).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/wait.h"

namespace plugkit::test {

// Pumps until done() answers true, for at most limitMs. Every message is
// shown to seen (when set) before it is dispatched.
::testing::AssertionResult PumpUntil(const std::string& what, const std::function<bool()>& done,
                                     uint32_t limitMs = kWaitLimitMs,
                                     const std::function<void(const MSG&)>& seen = nullptr);

// Dispatches the messages already waiting for the calling thread (timer
// ticks that are due included) and returns without waiting for more: for
// loops that must let the thread's timers run now and then.
void DispatchWaitingMessages();

// Posts a marker to a hidden window of the calling thread and pumps until the
// marker has been handled (by this pump or any loop nested in a handler).
// Posted messages arrive in order, so by then everything posted before it to
// this thread or its windows has been delivered, however long the queue was.
::testing::AssertionResult PumpPostedMessages(uint32_t limitMs = kWaitLimitMs);

// Starts a thread timer of intervalMs, pumps until it has ticked `ticks`
// times, and stops it. A tick never comes before its interval, and timer
// ticks that fell due earlier are delivered first: this is how a test shows
// that something did NOT happen, by waiting for a later tick that proves a
// stretch of pumping passed in which it would have happened.
::testing::AssertionResult PumpTimerTicks(uint32_t intervalMs, int32_t ticks = 1, uint32_t limitMs = kWaitLimitMs);

} // namespace plugkit::test
