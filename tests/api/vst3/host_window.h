#pragma once
// The host's side of an editor on the test display: a plain top-level window
// standing for the host's editor frame, a child window standing for the
// container a host keeps around a view, and a message pump (the editor paints
// on its display ticks, which arrive as messages).

#include <windows.h>

#include <cstdint>
#include <string>

namespace vst3test {

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

// Runs the thread's window messages until done() or ms milliseconds passed;
// answers done()'s last answer.
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (static_cast<int32_t>(end - GetTickCount()) <= 0) return false;
    Sleep(5);
  }
}

inline void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

} // namespace vst3test
