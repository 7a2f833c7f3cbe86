#pragma once
// The display-sync thread: one per open editor window. It waits for each
// vertical blank of the display that shows the window (through the kernel
// display-adapter functions, looked up in gdi32 at run time) and posts a
// numbered tick message (kDisplaySyncMessage) to the window. Where those
// functions are missing (Wine, remote desktops, old systems) or the adapter
// cannot be opened, it posts a tick every 16 ms instead.
//
// Ownership: the thread never sees the editor object. The stop flag, the
// window it posts to and the tick counter live in an IDisplaySyncState block
// that the window side and the thread share (std::shared_ptr), so a thread
// that does not end in time and is abandoned keeps a valid block and only
// ever posts to a window handle that no longer exists.
//
// Threads: every operation of DisplaySyncThread, Wake included, is for the
// window's thread alone: Start and Stop replace and drop its share of the
// state block, which no other thread may be reading then. Nothing else calls
// in (hosts reach the editor only through the editor's tick on that thread).
// The loop runs on its own thread and touches nothing but the state block and
// the port.

#include <atomic>
#include <cstdint>
#include <memory>

namespace plugkit {
namespace canvas {

// WM_USER + 1: wParam is the tick number, lParam 0.
constexpr uint32_t kDisplaySyncMessage = 0x0400 + 1;
// The pause between ticks when the display cannot pace them.
constexpr uint32_t kFallbackTickMs = 16;
// At most one attempt to open the display adapter per this many milliseconds.
constexpr uint32_t kAdapterRetryMs = 1000;
// How long closing the editor waits for the thread to end.
constexpr uint32_t kSyncStopWaitMs = 10000;
// The slow heartbeat of an idle window: enough to notice a move to a display
// of another scale, far too rare to cost anything.
constexpr uint32_t kIdleTickMs = 250;

// Idle: a window with nothing to draw, animate or hand on tells its thread so
// (EnterIdle); the thread then posts one tick per kIdleTickMs only, and wakes
// at once, posting a tick straight away, when the window side calls Wake (it
// costs one atomic exchange unless the thread actually sleeps). The block's
// own operations are safe on any thread that holds a share of it; the
// window side reaches them through DisplaySyncThread, on its thread alone.
struct IDisplaySyncState {
  IDisplaySyncState() = default;
  ~IDisplaySyncState();  // closes WakeEvent
  IDisplaySyncState(const IDisplaySyncState&) = delete;
  IDisplaySyncState& operator=(const IDisplaySyncState&) = delete;

  std::atomic<bool> Stop{false};
  std::atomic<void*> Window{nullptr};  // the HWND ticks go to
  // The number of the last tick posted; written by the sync thread only.
  std::atomic<uint32_t> Count{0};
  std::atomic<bool> Idle{false};
  // An auto-reset event (HANDLE) signalled by Wake and by stopping; null in
  // states made without a thread.
  void* WakeEvent = nullptr;

  void EnterIdle() { Idle.store(true, std::memory_order_release); }
  // Back to full rate without signalling (the thread is not waiting: it
  // just posted the tick that found work).
  void LeaveIdle() { Idle.store(false, std::memory_order_release); }
  void Wake();
};

// What the loop needs of the system. The real port (SystemDisplaySyncPort)
// talks to gdi32, user32 and the kernel; tests give their own clock and
// adapter answers.
class IDisplaySyncPort {
public:
  virtual ~IDisplaySyncPort() = default;
  // Whether the three adapter functions are available.
  virtual bool HasAdapterFunctions() = 0;
  // Opens the adapter that shows window; 0 on success, with adapter and
  // source filled.
  virtual long OpenAdapter(void* window, uint32_t& adapter, uint32_t& source) = 0;
  // Waits for the next vertical blank; 0 on success.
  virtual long WaitForVerticalBlank(uint32_t adapter, uint32_t source) = 0;
  virtual void CloseAdapter(uint32_t adapter) = 0;
  // Milliseconds of a wrapping 32-bit clock (GetTickCount).
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  virtual void PostTick(void* window, uint32_t count) = 0;
  // Waits up to ms for wakeEvent (null: the whole time).
  virtual void WaitForWake(void* wakeEvent, uint32_t ms) = 0;
};

// Runs until state.Stop is set: one tick per vertical blank, or every
// kFallbackTickMs without one; while state.Idle is set, one tick per
// kIdleTickMs or per wake, whichever comes first. A failed open is retried
// no sooner than kAdapterRetryMs later (unsigned clock differences, so the
// clock's wrap after 49.7 days changes nothing); a failed wait closes the
// adapter. An adapter still open when the loop ends is closed.
void RunDisplaySyncLoop(IDisplaySyncState& state, IDisplaySyncPort& port);

// Makes the port that uses the real system; it looks the adapter functions
// up in gdi32 and frees the library when destroyed.
std::unique_ptr<IDisplaySyncPort> MakeSystemDisplaySyncPort();

// The thread itself, driven from the window's thread alone (see Threads).
class DisplaySyncThread {
public:
  DisplaySyncThread() = default;
  ~DisplaySyncThread() { Stop(); }
  DisplaySyncThread(const DisplaySyncThread&) = delete;
  DisplaySyncThread& operator=(const DisplaySyncThread&) = delete;

  // Starts posting ticks to window at time-critical priority. port null:
  // the system port. False (nothing runs) when a thread already runs or
  // none could be started.
  bool Start(void* window, std::unique_ptr<IDisplaySyncPort> port = nullptr);
  // Sets the stop flag, waits up to kSyncStopWaitMs for the thread and closes
  // its handle. A thread still running then is abandoned with its share of
  // the state. Answers whether the thread ended (true when none ran).
  bool Stop(uint32_t waitMs = kSyncStopWaitMs);
  bool Running() const { return mThread != nullptr; }
  // The number of the last tick posted (0 before the first).
  uint32_t LastCount() const { return mState ? mState->Count.load(std::memory_order_acquire) : 0; }
  // See IDisplaySyncState. Without a running thread they do nothing.
  void EnterIdle() {
    if (mState) mState->EnterIdle();
  }
  void LeaveIdle() {
    if (mState) mState->LeaveIdle();
  }
  void Wake() {
    if (mState) mState->Wake();
  }
  bool Idle() const { return mState && mState->Idle.load(std::memory_order_acquire); }

private:
  std::shared_ptr<IDisplaySyncState> mState;
  void* mThread = nullptr;  // HANDLE
};

// Drops ticks that are stale or queued up behind a slow paint. Window
// thread only. Numbers are compared by signed difference, so the counter may
// wrap.
class DisplayTickGate {
public:
  // Whether a tick numbered count is to run, latest being the number the
  // sync thread posted last.
  bool Accept(uint32_t count, uint32_t latest);
  // After a paint for tick count: when newer ticks arrived meanwhile, every
  // tick already queued is dropped and drawing resumes with the next new one.
  void AfterPaint(uint32_t count, uint32_t latest);
  void Reset() { mSkipUntil = 0; mSkipping = false; }

private:
  uint32_t mSkipUntil = 0;
  bool mSkipping = false;
};

} // namespace canvas
} // namespace plugkit
