#pragma once
// Waiting in tests. A test never sleeps for a fixed time and then asserts:
// on a busy machine any fixed time is too short. It waits for the condition
// it needs, with a limit far beyond what an idle machine takes, and a wait
// that runs out names what it waited for.
//
//   ASSERT_TRUE(WaitUntil("the worker's result", [&] { return done.load(); }));
//
// Any thread may wait; the condition is checked on the waiting thread.

#include <cstdint>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace plugkit::test {

// The longest any test waits for anything. Ample for a machine loaded many
// times over; a condition still false then is a fault, not a slow machine.
constexpr uint32_t kWaitLimitMs = 20000;

// Checks done() until it answers true, pausing about a millisecond between
// checks, for at most limitMs. Success, or a failure that says what was
// awaited and for how long.
::testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& done,
                                     uint32_t limitMs = kWaitLimitMs);

namespace detail {
// The failure a wait for `what` reports after limitMs.
::testing::AssertionResult WaitedInVain(const std::string& what, uint32_t limitMs);
// Milliseconds of a steady clock, for measuring a wait against its limit.
uint64_t SteadyMilliseconds();
} // namespace detail

} // namespace plugkit::test
