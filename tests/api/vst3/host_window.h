#pragma once
// The host's side of an editor on the test display: a plain top-level window
// standing for the host's editor frame. Tests wait on it with the shared
// pump (the editor paints on its display ticks, which arrive as messages).

#include <windows.h>

#include "tests/support/message_pump.h"

namespace vst3test {

using plugkit::test::PumpPostedMessages;
using plugkit::test::PumpUntil;

class ParentWindow {
public:
  ParentWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"plugkit VST3 editor host";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&wc);  // a second registration fails harmlessly
    mWindow = CreateWindowExW(0, wc.lpszClassName, L"editor host", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                              nullptr, wc.hInstance, nullptr);
  }
  ~ParentWindow() {
    if (mWindow) DestroyWindow(mWindow);
  }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;
  HWND Handle() const { return mWindow; }

private:
  HWND mWindow = nullptr;
};

} // namespace vst3test
