#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include <windows.h>

#include "core/Timer.h"
#include "tests/support/message_pump.h"

using plugkit::Timer;
// The test thread is the "user-interface thread": it pumps its own messages,
// as a host does, and timer ticks arrive only while it does.
using plugkit::test::PumpTimerTicks;
using plugkit::test::PumpUntil;
using plugkit::test::WaitUntil;

namespace {

// A message that is ready for this thread's pump, left in the queue.
bool TickWaiting() {
  MSG m;
  return PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE;
}

} // namespace

TEST(Timer, FiresOnlyThroughTheSchedulingThreadsMessageLoop) {
  const int32_t before = Timer::RunningCount();
  int ticks = 0;
  DWORD thread = 0;
  Timer* seen = nullptr;
  Timer* timer = Timer::Schedule([&](Timer& t) { ++ticks; thread = GetCurrentThreadId(); seen = &t; }, 10);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(Timer::RunningCount(), before + 1);

  // Without a message loop nothing happens, even once a tick is due.
  ASSERT_TRUE(WaitUntil("a tick due", TickWaiting));
  EXPECT_EQ(ticks, 0);

  EXPECT_TRUE(PumpUntil("three ticks", [&] { return ticks >= 3; }));
  EXPECT_EQ(thread, GetCurrentThreadId());
  EXPECT_EQ(seen, timer);

  delete timer;
  EXPECT_EQ(Timer::RunningCount(), before);
  const int after = ticks;
  ASSERT_TRUE(PumpTimerTicks(10, 3)) << "ticks of a later timer of the same interval";
  EXPECT_EQ(ticks, after);
}

TEST(Timer, TwoTimersEachCallOnlyTheirOwnCallback) {
  int fast = 0, slow = 0;
  Timer* fastTimer = nullptr;
  Timer* slowTimer = nullptr;
  bool mixedUp = false;
  fastTimer = Timer::Schedule([&](Timer& t) { ++fast; mixedUp |= &t != fastTimer; }, 10);
  slowTimer = Timer::Schedule([&](Timer& t) { ++slow; mixedUp |= &t != slowTimer; }, 150);

  EXPECT_TRUE(PumpUntil("two ticks of the slow timer", [&] { return slow >= 2; }));
  EXPECT_GT(fast, slow);
  EXPECT_FALSE(mixedUp);
  delete fastTimer;
  delete slowTimer;
}

TEST(Timer, CancelInsideAnotherTimersCallbackStopsItAndShrinksTheList) {
  const int32_t before = Timer::RunningCount();
  int victimTicks = 0, killerTicks = 0;
  int32_t countInCallback = -1;
  Timer* victim = Timer::Schedule([&](Timer&) { ++victimTicks; }, 10);
  Timer* killer = Timer::Schedule([&](Timer&) {
    if (++killerTicks == 1) {
      victim->Cancel();
      victim->Cancel(); // a second cancel is harmless
      countInCallback = Timer::RunningCount();
    }
  }, 30);
  EXPECT_EQ(Timer::RunningCount(), before + 2);

  ASSERT_TRUE(PumpUntil("the killer's first tick", [&] { return killerTicks >= 1; }));
  EXPECT_EQ(countInCallback, before + 1);
  const int victimAtCancel = victimTicks;
  EXPECT_TRUE(PumpUntil("the killer's third tick", [&] { return killerTicks >= 3; }));
  EXPECT_EQ(victimTicks, victimAtCancel);

  delete victim; // a cancelled timer is only good for deletion, which is safe
  delete killer;
  EXPECT_EQ(Timer::RunningCount(), before);
}

TEST(Timer, CallbackMayStopItsOwnTimer) {
  const int32_t before = Timer::RunningCount();

  // Cancel from inside: the one-shot pattern.
  int cancelledTicks = 0;
  Timer* cancelled = Timer::Schedule([&](Timer& self) { ++cancelledTicks; self.Cancel(); }, 10);

  // Delete from inside, then keep using the callback's own captured state:
  // the callback must outlive its timer until it returns.
  int deletedTicks = 0;
  auto token = std::make_shared<int>(7);
  std::weak_ptr<int> watch = token;
  int readAfterDelete = 0;
  Timer* deleted = nullptr;
  deleted = Timer::Schedule([&, token](Timer&) {
    ++deletedTicks;
    delete deleted;
    deleted = nullptr;
    readAfterDelete = *token;
  }, 10);
  token.reset();

  EXPECT_TRUE(PumpUntil("a tick of each", [&] { return cancelledTicks >= 1 && deletedTicks >= 1; }));
  ASSERT_TRUE(PumpTimerTicks(10, 3)) << "ticks of a later timer of the same interval";
  EXPECT_EQ(cancelledTicks, 1);
  EXPECT_EQ(deletedTicks, 1);
  EXPECT_EQ(readAfterDelete, 7);
  EXPECT_TRUE(watch.expired()); // the callback was freed once it returned
  EXPECT_EQ(Timer::RunningCount(), before);
  delete cancelled;
}

TEST(Timer, CallbackMayScheduleAnotherTimer) {
  int childTicks = 0;
  Timer* child = nullptr;
  Timer* parent = Timer::Schedule([&](Timer& self) {
    self.Cancel();
    child = Timer::Schedule([&](Timer&) { ++childTicks; }, 10);
  }, 10);
  EXPECT_TRUE(PumpUntil("two ticks of the child", [&] { return childTicks >= 2; }));
  delete parent;
  delete child;
}

TEST(Timer, TimersThatCannotRunAreSafeToDelete) {
  const int32_t before = Timer::RunningCount();
  Timer* empty = Timer::Schedule(plugkit::ITimerCallback(), 10);
  int negativeTicks = 0;
  Timer* negative = Timer::Schedule([&](Timer&) { ++negativeTicks; }, -5);
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(negative, nullptr);
  EXPECT_EQ(Timer::RunningCount(), before);
  ASSERT_TRUE(PumpTimerTicks(10, 3)) << "ticks of a later timer of the same interval";
  EXPECT_EQ(negativeTicks, 0);
  empty->Cancel();
  empty->Cancel();
  delete empty;
  delete negative;
  EXPECT_EQ(Timer::RunningCount(), before);
}

TEST(Timer, NestedMessageLoopDoesNotReenterTheSameCallback) {
  int depth = 0, maxDepth = 0, outerTicks = 0, otherTicks = 0;
  Timer* other = Timer::Schedule([&](Timer&) { ++otherTicks; }, 10);
  Timer* outer = Timer::Schedule([&](Timer& self) {
    ++outerTicks;
    ++depth;
    if (depth > maxDepth) maxDepth = depth;
    // Like a modal loop inside a tick: long enough for the other timer, of
    // the same interval, to tick three times, and this one with it.
    if (outerTicks == 1) {
      const int target = otherTicks + 3;
      EXPECT_TRUE(PumpUntil("other ticks in the nested loop", [&] { return otherTicks >= target; }));
    }
    --depth;
    if (outerTicks >= 2) self.Cancel();
  }, 10);
  EXPECT_TRUE(PumpUntil("the outer timer's second tick", [&] { return outerTicks >= 2; }));
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GT(otherTicks, 0); // other timers still tick inside the nested loop
  delete outer;
  delete other;
}

namespace {

struct IDeleterThread {
  Timer* Target = nullptr;
  std::atomic<bool>* InCallback = nullptr;
  std::atomic<bool> SawCallback{false};
  std::atomic<bool> Deleting{false};
  std::atomic<bool> CallbackRanDuringDelete{false};

  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<IDeleterThread*>(p);
    self->SawCallback = WaitUntil("a callback to start", [self] { return self->InCallback->load(); });
    self->Deleting = true;
    delete self->Target; // must wait for the running callback
    self->CallbackRanDuringDelete = self->InCallback->load();
    return 0;
  }
};

} // namespace

TEST(Timer, DeletingFromAnotherThreadWaitsForARunningCallback) {
  const int32_t before = Timer::RunningCount();
  std::atomic<bool> inCallback{false};
  int ticks = 0;
  IDeleterThread deleter;
  deleter.InCallback = &inCallback;
  deleter.Target = Timer::Schedule([&](Timer&) {
    ++ticks;
    inCallback = true;
    // A busy callback: it goes on until the other thread is about to
    // delete, and a while after, so that the delete meets it running.
    EXPECT_TRUE(WaitUntil("the other thread to delete", [&] { return deleter.Deleting.load(); }));
    Sleep(50);
    inCallback = false;
  }, 10);

  HANDLE thread = CreateThread(nullptr, 0, &IDeleterThread::Run, &deleter, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // Keep pumping while the other thread deletes, as a UI thread would.
  const bool ended = PumpUntil("the deleting thread to end", [&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
  if (!ended) WaitForSingleObject(thread, INFINITE);  // it uses this frame's objects
  CloseHandle(thread);
  ASSERT_TRUE(ended);

  EXPECT_TRUE(deleter.SawCallback.load());
  EXPECT_FALSE(deleter.CallbackRanDuringDelete.load());
  EXPECT_EQ(Timer::RunningCount(), before);
  const int after = ticks;
  // The orphaned system timer's ticks find nothing to call.
  ASSERT_TRUE(PumpTimerTicks(10, 3)) << "ticks of a later timer of the same interval";
  EXPECT_EQ(ticks, after);
}
