#include "tests/graphics/platform/message_window.h"

namespace plugkit::canvas::test {

namespace {
const char* RegisterTestClass() {
  static const char* name = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PlatformTestParent";
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&wc);
    return "PlatformTestParent";
  }();
  return name;
}
} // namespace

MessageWindow::MessageWindow(int width, int height, bool visible) {
  RECT r = {0, 0, width, height};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&r, style, FALSE);
  mWindow = CreateWindowExA(0, RegisterTestClass(), "platform test", style, 40, 40, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (mWindow && visible) {
    ShowWindow(mWindow, SW_SHOWNORMAL);
    UpdateWindow(mWindow);
  }
}

MessageWindow::~MessageWindow() {
  if (mWindow) DestroyWindow(mWindow);
  // Deliver what is left (ticks of a stopped thread, paints of other test
  // windows); a bounded number, since paints come back until validated.
  MSG m;
  for (int i = 0; i < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

bool MessageWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs,
                              const std::function<void(const MSG&)>& seen) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return done();
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (seen) seen(m);
      TranslateMessage(&m);
      DispatchMessageA(&m);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  return true;
}

void MessageWindow::PumpFor(DWORD ms, const std::function<void(const MSG&)>& seen) {
  PumpUntil([] { return false; }, ms, seen);
}

} // namespace plugkit::canvas::test
