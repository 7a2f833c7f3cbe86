#pragma once
// A plain top-level test window (hidden unless asked) and a message pump with
// a time limit, for tests that need a real window to post to, a parent for
// the editor, or timers. UI thread of the test only.

#include <windows.h>

#include <functional>

namespace plugkit::canvas::test {

class MessageWindow {
public:
  // A top-level window of width x height client pixels, shown when visible.
  explicit MessageWindow(int width = 600, int height = 400, bool visible = false);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return mWindow; }

  // Pumps this thread's messages until done answers true or timeoutMs passed;
  // every message is shown to seen (when set) before it is dispatched.
  // Answers done's last answer.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs,
                 const std::function<void(const MSG&)>& seen = nullptr);
  // Pumps for ms milliseconds.
  void PumpFor(DWORD ms, const std::function<void(const MSG&)>& seen = nullptr);

private:
  HWND mWindow = nullptr;
};

} // namespace plugkit::canvas::test
