// The shared waits: they end as soon as their condition holds, deliver what
// the thread's queue holds meanwhile, and a wait that runs out says what it
// waited for.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/wait.h"

namespace plugkit::test {
namespace {

TEST(Wait, EndsWhenAnotherThreadMeetsTheConditionAndNamesItWhenNothingCame) {
  std::atomic<bool> done{false};
  std::thread worker([&] { done = true; });
  EXPECT_TRUE(WaitUntil("the worker", [&] { return done.load(); }));
  worker.join();

  // Nothing ever comes: the limit is short because the answer never changes.
  for (const bool pumping : {false, true}) {
    const ::testing::AssertionResult result =
        pumping ? PumpUntil("a message that nobody sends", [] { return false; }, 30)
                : WaitUntil("a flag that nobody sets", [] { return false; }, 30);
    EXPECT_FALSE(result);
    EXPECT_STREQ(result.message(), pumping ? "waited 30 ms for a message that nobody sends, in vain"
                                           : "waited 30 ms for a flag that nobody sets, in vain");
  }
}

int gTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++gTicks; }

TEST(Wait, PumpingRunsThreadTimers) {
  gTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
  ASSERT_NE(timer, 0u);
  EXPECT_TRUE(PumpUntil("three ticks", [] { return gTicks >= 3; }));
  KillTimer(nullptr, timer);
}

// Everything posted to the thread before the marker has been handled when the
// wait ends, and a wait nested in a handler ends on its own marker while the
// outer wait still finds its own.
TEST(Wait, PostedMessagesComeThroughBeforeTheMarker) {
  std::vector<std::string> handled;
  const UINT note = RegisterWindowMessageA("plugkit test note");
  struct Window {
    Window() {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = Procedure;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "plugkit wait test";
      RegisterClassA(&wc);
      handle = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~Window() { DestroyWindow(handle); }
    static LRESULT CALLBACK Procedure(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == RegisterWindowMessageA("plugkit test note")) {
        auto* log = reinterpret_cast<std::vector<std::string>*>(l);
        log->push_back("note " + std::to_string(w));
        if (w == 2) {
          PostMessageA(h, m, 3, l);
          EXPECT_TRUE(PumpPostedMessages());
          log->push_back("nested wait over");
        }
        return 0;
      }
      return DefWindowProcA(h, m, w, l);
    }
    HWND handle;
  } window;
  ASSERT_TRUE(window.handle);
  const LPARAM log = reinterpret_cast<LPARAM>(&handled);
  for (WPARAM n : {1, 2}) PostMessageA(window.handle, note, n, log);
  ASSERT_TRUE(PumpPostedMessages());
  EXPECT_EQ(handled, (std::vector<std::string>{"note 1", "note 2", "note 3", "nested wait over"}));

}

// The quiet-time wait relies on timer ticks coming in the order they fell
// due: a 10 ms timer started first ticks before a 30 ms one.
TEST(Wait, TimerTicksThatFellDueEarlierComeFirst) {
  gTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
  ASSERT_NE(timer, 0u);
  ASSERT_TRUE(PumpTimerTicks(30, 2));
  KillTimer(nullptr, timer);
  EXPECT_GE(gTicks, 2);
}

} // namespace
} // namespace plugkit::test
