#pragma once
// The host's side of an editor on the test display: a plain top-level window
// standing for the host's editor frame, and a message pump (the editor paints
// on its display ticks, which arrive as messages).

#include <windows.h>

#include <cstdint>

namespace vst3test {

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
