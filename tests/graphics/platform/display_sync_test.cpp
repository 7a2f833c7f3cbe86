// The display-sync loop with a scripted clock and adapter, the tick gate,
// and the real thread posting to a real window.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "graphics/platform/DisplaySync.h"
#include "tests/graphics/platform/message_window.h"

namespace plugkit::canvas::test {
namespace {

// A port whose clock moves only by the loop's sleeps (and by WaitMs per
// vertical blank). It stops the loop after StopAfter ticks.
class ScriptedPort : public IDisplaySyncPort {
public:
  explicit ScriptedPort(IDisplaySyncState& state) : mState(state) {}

  bool hasFunctions = true;
  std::vector<long> openAnswers;  // consumed in order; then openDefault
  long openDefault = 0;
  std::vector<long> waitAnswers;
  long waitDefault = 0;
  uint32_t clock = 0;
  uint32_t waitMs = 16;
  int stopAfter = 10;

  std::vector<uint32_t> ticks;       // counts posted
  std::vector<uint32_t> tickTimes;   // clock at each post
  std::vector<uint32_t> openTimes;   // clock at each open attempt
  int closes = 0;
  int sleeps = 0;
  std::vector<uint32_t> waits;  // idle waits, by their limit

  bool HasAdapterFunctions() override { return hasFunctions; }
  long OpenAdapter(void*, uint32_t& adapter, uint32_t& source) override {
    openTimes.push_back(clock);
    const long status = Next(openAnswers, openDefault);
    if (status == 0) {
      adapter = 7;
      source = 1;
    }
    return status;
  }
  long WaitForVerticalBlank(uint32_t adapter, uint32_t) override {
    EXPECT_EQ(adapter, 7u);
    clock += waitMs;
    return Next(waitAnswers, waitDefault);
  }
  void CloseAdapter(uint32_t adapter) override {
    EXPECT_EQ(adapter, 7u);
    ++closes;
  }
  uint32_t TickCount() override { return clock; }
  void Sleep(uint32_t ms) override {
    ++sleeps;
    clock += ms;
  }
  void WaitForWake(void*, uint32_t ms) override {
    waits.push_back(ms);
    clock += ms;
  }
  void PostTick(void*, uint32_t count) override {
    ticks.push_back(count);
    tickTimes.push_back(clock);
    if (static_cast<int>(ticks.size()) >= stopAfter) mState.Stop = true;
  }

private:
  static long Next(std::vector<long>& answers, long fallback) {
    if (answers.empty()) return fallback;
    const long v = answers.front();
    answers.erase(answers.begin());
    return v;
  }
  IDisplaySyncState& mState;
};

TEST(DisplaySyncLoop, WithoutAdapterFunctionsTicksEvery16msNumberedFromOne) {
  IDisplaySyncState state;
  ScriptedPort port(state);
  port.hasFunctions = false;
  port.stopAfter = 5;
  RunDisplaySyncLoop(state, port);
  EXPECT_EQ(port.ticks, (std::vector<uint32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(port.tickTimes, (std::vector<uint32_t>{16, 32, 48, 64, 80}));
  EXPECT_TRUE(port.openTimes.empty());
  EXPECT_EQ(state.Count.load(), 5u);
}

// Idle: one tick per heartbeat; a wake (here during the second wait) goes
// straight back to 16 ms ticks, the first of them posted at once.
TEST(DisplaySyncLoop, IdleTicksFollowTheHeartbeatUntilWoken) {
  for (bool functions : {false, true}) {
    SCOPED_TRACE(functions ? "vertical blank" : "fallback");
    IDisplaySyncState state;
    state.EnterIdle();
    struct WakingPort : ScriptedPort {
      using ScriptedPort::ScriptedPort;
      IDisplaySyncState* woken = nullptr;
      void WaitForWake(void* event, uint32_t ms) override {
        if (waits.size() == 1) {
          waits.push_back(0);
          woken->Wake();
          return;
        }
        ScriptedPort::WaitForWake(event, ms);
      }
    } port(state);
    port.woken = &state;
    port.hasFunctions = functions;
    port.stopAfter = 4;
    RunDisplaySyncLoop(state, port);
    EXPECT_EQ(port.waits, (std::vector<uint32_t>{kIdleTickMs, 0}));
    EXPECT_EQ(port.ticks, (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(port.tickTimes, (std::vector<uint32_t>{kIdleTickMs, kIdleTickMs, kIdleTickMs + 16, kIdleTickMs + 32}));
    EXPECT_FALSE(state.Idle.load());
  }
}

TEST(DisplaySyncLoop, StopSetBeforehandPostsNothing) {
  IDisplaySyncState state;
  state.Stop = true;
  for (bool functions : {false, true}) {
    ScriptedPort port(state);
    port.hasFunctions = functions;
    RunDisplaySyncLoop(state, port);
    EXPECT_TRUE(port.ticks.empty());
    EXPECT_TRUE(port.openTimes.empty());
  }
}

TEST(DisplaySyncLoop, VerticalBlankTicksFollowTheWaits) {
  IDisplaySyncState state;
  ScriptedPort port(state);
  port.stopAfter = 4;
  port.waitMs = 17;
  RunDisplaySyncLoop(state, port);
  EXPECT_EQ(port.ticks, (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(port.tickTimes, (std::vector<uint32_t>{17, 34, 51, 68}));
  EXPECT_EQ(port.openTimes.size(), 1u);
  EXPECT_EQ(port.sleeps, 0);
  EXPECT_EQ(port.closes, 1) << "the adapter still open at the end is closed";
}

// A failing open is retried no sooner than 1000 ms later, with 16 ms ticks in
// between, wherever the wrapping clock stands (also right after boot, when
// "now - 1000" would wrap, and across the 49.7-day wrap).
TEST(DisplaySyncLoop, FailedOpenRetriedOncePerSecondAcrossClockWrap) {
  for (uint32_t start : {0u, 500u, 100000u, 0xFFFFFE00u}) {
    SCOPED_TRACE(start);
    IDisplaySyncState state;
    ScriptedPort port(state);
    port.clock = start;
    port.openDefault = -1;
    port.stopAfter = 200;  // 3.2 s of fallback ticks
    RunDisplaySyncLoop(state, port);
    ASSERT_GE(port.openTimes.size(), 3u);
    EXPECT_EQ(port.openTimes[0], start) << "the first attempt is not delayed";
    for (size_t i = 1; i < port.openTimes.size(); ++i) {
      const uint32_t gap = port.openTimes[i] - port.openTimes[i - 1];
      EXPECT_GE(gap, 1000u);
      EXPECT_LE(gap, 1000u + 16u);
    }
    for (size_t i = 1; i < port.tickTimes.size(); ++i) EXPECT_EQ(port.tickTimes[i] - port.tickTimes[i - 1], 16u);
    EXPECT_EQ(port.closes, 0) << "nothing was opened";
  }
}

TEST(DisplaySyncLoop, FailedWaitClosesAdapterFallsBackAndReopens) {
  IDisplaySyncState state;
  ScriptedPort port(state);
  port.waitAnswers = {0, 0, -5};
  port.stopAfter = 6;
  RunDisplaySyncLoop(state, port);
  EXPECT_EQ(port.ticks, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  // Two blanks, then the failed wait (16 ms + the 16 ms fallback), then a
  // re-open at once (the open never failed) and blanks again.
  EXPECT_EQ(port.openTimes.size(), 2u);
  EXPECT_EQ(port.closes, 2) << "once for the failed wait, once at the end";
  EXPECT_EQ(port.sleeps, 1);
}

// The tick gate: stale ticks are dropped, and after a paint that newer ticks
// overtook, every tick already queued is dropped until a new one comes.
TEST(DisplayTickGate, DropsStaleAndQueuedTicks) {
  DisplayTickGate gate;
  EXPECT_TRUE(gate.Accept(1, 1));
  EXPECT_FALSE(gate.Accept(1, 2)) << "a newer tick is already queued";
  EXPECT_TRUE(gate.Accept(2, 2));
  gate.AfterPaint(2, 5);  // ticks 3, 4, 5 queued during the paint
  EXPECT_FALSE(gate.Accept(3, 5));
  EXPECT_FALSE(gate.Accept(5, 5));
  EXPECT_TRUE(gate.Accept(6, 6)) << "drawing resumes with the next new tick";
  gate.AfterPaint(6, 6);
  EXPECT_TRUE(gate.Accept(7, 7));
  // Numbers that wrap around.
  DisplayTickGate wrap;
  wrap.AfterPaint(0xFFFFFFFEu, 0xFFFFFFFFu);
  EXPECT_FALSE(wrap.Accept(0xFFFFFFFFu, 0xFFFFFFFFu));
  EXPECT_TRUE(wrap.Accept(0u, 0u));
}

// The real thread under this system (Wine has no vertical-blank service, so
// the 16 ms fallback runs) posts numbered ticks to a real window.
TEST(DisplaySyncThread, PostsNumberedTicksToTheWindowAndStops) {
  MessageWindow window;
  ASSERT_TRUE(window.Handle());
  DisplaySyncThread thread;
  ASSERT_TRUE(thread.Start(window.Handle()));
  EXPECT_FALSE(thread.Start(window.Handle())) << "one thread per window";
  std::vector<uint32_t> counts;
  const DWORD start = GetTickCount();
  EXPECT_TRUE(PumpUntil("ten ticks", [&] { return counts.size() >= 10; }, kWaitLimitMs, [&](const MSG& m) {
    if (m.message == kDisplaySyncMessage) counts.push_back(static_cast<uint32_t>(m.wParam));
  }));
  const DWORD elapsed = GetTickCount() - start;
  ASSERT_GE(counts.size(), 10u);
  for (size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(counts[i], i + 1);
  EXPECT_GE(elapsed, 9u * 15u) << "about 16 ms apart, not a flood";
  EXPECT_TRUE(thread.Stop());
  EXPECT_FALSE(thread.Running());
  EXPECT_TRUE(thread.Stop()) << "a second stop does nothing";
}

// A port whose sleep blocks until released: the thread cannot end in time.
// The thread owns its port, so the port's end is the thread's.
class BlockingPort : public IDisplaySyncPort {
public:
  BlockingPort(HANDLE entered, HANDLE release, std::atomic<int>& posts, std::atomic<bool>& gone)
      : mEntered(entered), mRelease(release), mPosts(posts), mGone(gone) {}
  ~BlockingPort() override { mGone = true; }
  bool HasAdapterFunctions() override { return false; }
  long OpenAdapter(void*, uint32_t&, uint32_t&) override { return -1; }
  long WaitForVerticalBlank(uint32_t, uint32_t) override { return -1; }
  void CloseAdapter(uint32_t) override {}
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {
    SetEvent(mEntered);
    WaitForSingleObject(mRelease, INFINITE);
  }
  void PostTick(void*, uint32_t) override { ++mPosts; }
  void WaitForWake(void*, uint32_t ms) override { Sleep(ms); }

private:
  HANDLE mEntered;
  HANDLE mRelease;
  std::atomic<int>& mPosts;
  std::atomic<bool>& mGone;
};

TEST(DisplaySyncThread, AbandonedThreadKeepsItsStateAndEndsLater) {
  HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> posts{0};
  std::atomic<bool> gone{false};
  {
    DisplaySyncThread thread;
    ASSERT_TRUE(thread.Start(nullptr, std::make_unique<BlockingPort>(entered, release, posts, gone)));
    ASSERT_EQ(WaitForSingleObject(entered, kWaitLimitMs), WAIT_OBJECT_0);
    EXPECT_FALSE(thread.Stop(50)) << "the thread is still asleep: abandoned";
    EXPECT_FALSE(thread.Running());
  }  // the window side is gone; the thread still holds its share
  SetEvent(release);
  ASSERT_TRUE(WaitUntil("the abandoned thread to end", [&] { return gone.load(); }));
  EXPECT_EQ(posts.load(), 1) << "it posts its last tick, sees the stop flag and ends";
  CloseHandle(release);
  CloseHandle(entered);
}

} // namespace
} // namespace plugkit::canvas::test
