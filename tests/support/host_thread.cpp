#include "tests/support/host_thread.h"

#include <utility>

namespace plugkit::test {

namespace {

constexpr UINT kPumpTickMs = 10;

} // namespace

HostThread::HostThread(std::function<void()> job, bool keepsPumping)
    : mThread([this, job = std::move(job), keepsPumping] { Run(job, keepsPumping); }) {}

HostThread::~HostThread() { Stop(); }

void HostThread::Run(const std::function<void()>& job, bool keepsPumping) {
  mId = GetCurrentThreadId();
  job();
  mJobDone = true;
  if (!keepsPumping) return;
  const UINT_PTR own = SetTimer(nullptr, 0, kPumpTickMs, nullptr);
  while (!mStop.load()) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_TIMER && m.hwnd == nullptr && m.wParam == own) ++mPumpTicks;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpTickMs, QS_ALLINPUT);
  }
  KillTimer(nullptr, own);
}

::testing::AssertionResult HostThread::WaitJobDone() {
  return WaitUntil("the host thread's job", [&] { return mJobDone.load(); });
}

::testing::AssertionResult HostThread::WaitPumped(int ticks) {
  const int target = mPumpTicks.load() + ticks;
  return WaitUntil("the host thread to pump on", [&] { return mPumpTicks.load() >= target; });
}

void HostThread::Stop() {
  mStop = true;
  if (mThread.joinable()) mThread.join();
}

} // namespace plugkit::test
