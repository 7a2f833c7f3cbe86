#include "tests/support/message_pump.h"

namespace plugkit::test {

::testing::AssertionResult PumpUntil(const std::string& what, const std::function<bool()>& done, uint32_t limitMs,
                                     const std::function<void(const MSG&)>& seen) {
  const uint64_t start = detail::SteadyMilliseconds();
  while (!done()) {
    // One last look after the limit, as in WaitUntil.
    if (detail::SteadyMilliseconds() - start >= limitMs)
      return done() ? ::testing::AssertionSuccess() : detail::WaitedInVain(what, limitMs);
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (seen) seen(m);
      TranslateMessage(&m);
      DispatchMessageA(&m);
    } else {
      // Asleep until a message comes; conditions that other threads change
      // are looked at again after a couple of milliseconds.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
  }
  return ::testing::AssertionSuccess();
}

void DispatchWaitingMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

namespace {

constexpr UINT kMarker = WM_APP + 0x3A7;

// The thread's marker window: a message-only window whose procedure notes the
// highest marker handled, whichever message loop dispatched it.
struct MarkerWindow {
  MarkerWindow() {
    static const ATOM registered = [] {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = Procedure;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "plugkit test marker";
      return RegisterClassA(&wc);
    }();
    if (registered)
      handle = CreateWindowExA(0, "plugkit test marker", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  }
  static LRESULT CALLBACK Procedure(HWND h, UINT message, WPARAM w, LPARAM l) {
    if (message != kMarker) return DefWindowProcA(h, message, w, l);
    if (static_cast<LONG_PTR>(l) > handled) handled = static_cast<LONG_PTR>(l);
    return 0;
  }
  HWND handle = nullptr;
  LONG_PTR posted = 0;
  static thread_local LONG_PTR handled;
};
thread_local LONG_PTR MarkerWindow::handled = 0;

} // namespace

::testing::AssertionResult PumpPostedMessages(uint32_t limitMs) {
  thread_local MarkerWindow window;
  if (!window.handle) return ::testing::AssertionFailure() << "no marker window: error " << GetLastError();
  // Markers are numbered: a wait nested in a handler ends on its own marker,
  // and the outer wait finds its earlier one handled too.
  const LONG_PTR number = ++window.posted;
  if (!PostMessageA(window.handle, kMarker, 0, number))
    return ::testing::AssertionFailure() << "cannot post a marker: error " << GetLastError();
  return PumpUntil("the messages posted so far to come through",
                   [&] { return MarkerWindow::handled >= number; }, limitMs);
}

::testing::AssertionResult PumpTimerTicks(uint32_t intervalMs, int32_t ticks, uint32_t limitMs) {
  // No window and no procedure: the ticks come as WM_TIMER messages of this
  // thread that only the pump below looks at.
  const UINT_PTR timer = SetTimer(nullptr, 0, intervalMs, nullptr);
  if (timer == 0) return ::testing::AssertionFailure() << "cannot start a thread timer: error " << GetLastError();
  int32_t seen = 0;
  ::testing::AssertionResult result = PumpUntil(
      std::to_string(ticks) + " ticks of a " + std::to_string(intervalMs) + " ms timer", [&] { return seen >= ticks; },
      limitMs, [&](const MSG& m) { seen += m.message == WM_TIMER && m.hwnd == nullptr && m.wParam == timer; });
  KillTimer(nullptr, timer);
  return result;
}

} // namespace plugkit::test
