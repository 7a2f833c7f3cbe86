#pragma once
// The host's side of an editor on the test display: a plain top-level window
// standing for the host's editor frame and a child window standing for the
// container a host keeps around a view. Tests wait on them with the shared
// pump (the editor paints on its display ticks, which arrive as messages).

#include <windows.h>

#include <string>

#include "tests/support/message_pump.h"

namespace vst3test {

using plugkit::test::PumpPostedMessages;
using plugkit::test::PumpUntil;

inline const wchar_t* HostWindowClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"plugkit VST3 editor host";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassW(&wc);  // a second registration fails harmlessly
  return wc.lpszClassName;
}

// parent null: a 600 x 400 top-level window; else a child of parent of that
// size at (10, 10).
class ParentWindow {
public:
  explicit ParentWindow(HWND parent = nullptr, int width = 600, int height = 400) {
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    const int at = parent ? 10 : 0;
    mWindow = CreateWindowExW(0, HostWindowClass(), L"editor host", style, at, at, width, height, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
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

// "width x height" of a window's outer rectangle, or of its client area.
inline std::string WindowSize(HWND window, bool client = false) {
  RECT r{};
  if (client)
    GetClientRect(window, &r);
  else
    GetWindowRect(window, &r);
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

} // namespace vst3test
