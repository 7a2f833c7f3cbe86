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

} // namespace plugkit::canvas::test
