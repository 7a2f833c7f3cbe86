#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include <windows.h>

#include "core/Timer.h"

using plugkit::Timer;

namespace {

// The test thread is the "user-interface thread": it pumps its own messages,
// as a host does, and timer ticks arrive only while it does.
void PumpOnce(DWORD waitMs) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
}

// Pumps until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
  const ULONGLONG start = GetTickCount64();
  while (!done()) {
    if (GetTickCount64() - start > timeoutMs) return done();
    PumpOnce(5);
  }
  return true;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
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

  Sleep(60); // without a message loop nothing happens
  EXPECT_EQ(ticks, 0);

  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(thread, GetCurrentThreadId());
  EXPECT_EQ(seen, timer);

  delete timer;
  EXPECT_EQ(Timer::RunningCount(), before);
  const int after = ticks;
  PumpFor(60);
  EXPECT_EQ(ticks, after);
}

TEST(Timer, TwoTimersEachCallOnlyTheirOwnCallback) {
  int fast = 0, slow = 0;
  Timer* fastTimer = nullptr;
  Timer* slowTimer = nullptr;
  bool mixedUp = false;
  fastTimer = Timer::Schedule([&](Timer& t) { ++fast; mixedUp |= &t != fastTimer; }, 10);
  slowTimer = Timer::Schedule([&](Timer& t) { ++slow; mixedUp |= &t != slowTimer; }, 150);

  EXPECT_TRUE(PumpUntil([&] { return slow >= 2; }));
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

  ASSERT_TRUE(PumpUntil([&] { return killerTicks >= 1; }));
  EXPECT_EQ(countInCallback, before + 1);
  const int victimAtCancel = victimTicks;
  EXPECT_TRUE(PumpUntil([&] { return killerTicks >= 3; }));
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

  EXPECT_TRUE(PumpUntil([&] { return cancelledTicks >= 1 && deletedTicks >= 1; }));
  PumpFor(80);
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
  EXPECT_TRUE(PumpUntil([&] { return childTicks >= 2; }));
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
  PumpFor(60);
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
    if (outerTicks == 1) PumpFor(100); // like a modal loop inside a tick
    --depth;
    if (outerTicks >= 2) self.Cancel();
  }, 10);
  EXPECT_TRUE(PumpUntil([&] { return outerTicks >= 2; }));
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GT(otherTicks, 0); // other timers still tick inside the nested loop
  delete outer;
  delete other;
}

namespace {

struct IDeleterThread {
  Timer* Target = nullptr;
  std::atomic<bool>* InCallback = nullptr;
  std::atomic<bool> CallbackRanDuringDelete{false};

  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<IDeleterThread*>(p);
    while (!self->InCallback->load()) Sleep(1);
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
    Sleep(50);
    inCallback = false;
  }, 10);

  HANDLE thread = CreateThread(nullptr, 0, &IDeleterThread::Run, &deleter, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // Keep pumping while the other thread deletes, as a UI thread would.
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, 3000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) PumpOnce(0);
  ASSERT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);

  EXPECT_FALSE(deleter.CallbackRanDuringDelete.load());
  EXPECT_EQ(Timer::RunningCount(), before);
  const int after = ticks;
  PumpFor(60); // the orphaned system timer's ticks find nothing to call
  EXPECT_EQ(ticks, after);
}
