#pragma once
// A plain top-level test window (hidden unless asked), for tests that need a
// real window to post to or a parent for the editor. Tests wait on it with
// the shared pump (tests/support/message_pump.h). UI thread of the test only.

#include <windows.h>

#include "tests/support/message_pump.h"

namespace plugkit::canvas::test {

// The shared waits, for the Windows layer's tests.
using ::plugkit::test::kWaitLimitMs;
using ::plugkit::test::PumpPostedMessages;
using ::plugkit::test::PumpTimerTicks;
using ::plugkit::test::PumpUntil;
using ::plugkit::test::WaitUntil;

class MessageWindow {
public:
  // A top-level window of width x height client pixels, shown when visible.
  explicit MessageWindow(int width = 600, int height = 400, bool visible = false);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return mWindow; }

private:
  HWND mWindow = nullptr;
};

} // namespace plugkit::canvas::test
