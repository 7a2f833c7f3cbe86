#include "core/Timer.h"

#include <new>
#include <utility>

#include <windows.h>

#include "core/IPointerArray.h"
#include "core/ISectionLock.h"

namespace plugkit {

namespace {

class Timer_impl;

// Every running timer of the process, whichever plug-in instance or control
// made it, so that the one timer procedure can find the callback of an id.
// The list does not own the timers; their owners delete them.
struct ITimerList {
  ISectionLock Lock;
  IPointerArray<Timer_impl> Running;
};

ITimerList& TimerList() {
  static ITimerList list;
  return list;
}

// Set the list up while the module loads, before any host thread can race to
// create the first timer.
const ITimerList& kTimerListAtLoad = TimerList();

// The callback lives apart from the timer so that a callback may delete its
// own timer: a tick holds a reference on the slot until the call returns.
// References and Busy change only under the list lock.
struct ICallbackSlot {
  explicit ICallbackSlot(ITimerCallback&& callback) : Callback(std::move(callback)) {}
  ITimerCallback Callback;
  int32_t References = 1;
  bool Busy = false;
};

// Drops one reference under the list lock; true when it was the last one and
// the caller now deletes the slot.
bool ReleaseSlot(ICallbackSlot* slot) { return slot && --slot->References == 0; }

// Whether the thread is still running (its thread timers live as long).
bool ThreadRuns(DWORD threadId) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  if (!thread) return false;
  const bool running = WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
  CloseHandle(thread);
  return running;
}

// Keeps the module that holds the timer procedure loaded until the process
// ends, whatever the host unloads: a system timer left to its own thread
// still calls that procedure once.
void PinModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&ThreadRuns), &module);
}

class Timer_impl final : public Timer {
public:
  Timer_impl(ITimerCallback&& callback, int32_t intervalMs)
    : mSlot(new (std::nothrow) ICallbackSlot(std::move(callback))), mInterval(intervalMs),
      mThread(GetCurrentThreadId()) {}

  ~Timer_impl() override {
    bool last;
    {
      ITimerList& list = TimerList();
      ISectionGuard guard(list.Lock);
      Stop();
      last = ReleaseSlot(mSlot);
    }
    // The callback's captures are destroyed outside the lock, unless a tick on
    // this thread is still inside the callback (then the tick frees it).
    if (last) delete mSlot;
  }

  void Cancel() override { Stop(); }

  void Start() {
    if (!mSlot || !mSlot->Callback || mInterval < 0) return;
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(mInterval), &Timer_impl::OnTimerMessage);
    if (id == 0) return;
    ITimerList& list = TimerList();
    ISectionGuard guard(list.Lock);
    if (!list.Running.Add(this)) {
      // Not listed, it could never be found by its ticks nor stopped again.
      KillTimer(nullptr, id);
      return;
    }
    mId = id;
  }

  static void CALLBACK OnTimerMessage(HWND, UINT, UINT_PTR id, DWORD);

private:
  void Stop() {
    bool orphaned = false;
    {
      ITimerList& list = TimerList();
      ISectionGuard guard(list.Lock);
      if (mId == 0) return;
      if (GetCurrentThreadId() == mThread) {
        KillTimer(nullptr, mId);
      } else {
        // KillTimer cannot reach another thread's timer: its next tick
        // there finds no entry and kills it (OnTimerMessage).
        orphaned = ThreadRuns(mThread);
      }
      list.Running.Remove(list.Running.Find(this));
      mId = 0;
    }
    if (orphaned) PinModule();
  }

  ICallbackSlot* mSlot; // null when it could not be allocated (never started)
  UINT_PTR mId = 0; // 0 while stopped or never started; guarded by the list lock
  int32_t mInterval;
  DWORD mThread;    // ids are only unique per thread
};

void CALLBACK Timer_impl::OnTimerMessage(HWND, UINT, UINT_PTR id, DWORD) {
  ITimerList& list = TimerList();
  ISectionGuard guard(list.Lock);
  const DWORD thread = GetCurrentThreadId();
  for (Timer_impl* timer : list.Running) {
    if (timer->mId != id || timer->mThread != thread) continue;
    ICallbackSlot* slot = timer->mSlot;
    if (slot->Busy) return;
    ++slot->References;
    slot->Busy = true;
    slot->Callback(*timer); // may delete the timer, and change the list
    slot->Busy = false;
    if (ReleaseSlot(slot)) delete slot;
    return;
  }
  // A tick of a timer that was stopped from another thread, or one already
  // queued when its timer was stopped: make sure the system timer is gone.
  KillTimer(nullptr, id);
}

} // namespace

Timer* Timer::Schedule(ITimerCallback callback, int32_t intervalMs) {
  Timer_impl* timer = new (std::nothrow) Timer_impl(std::move(callback), intervalMs);
  if (timer) timer->Start();
  return timer;
}

int32_t Timer::RunningCount() {
  ITimerList& list = TimerList();
  ISectionGuard guard(list.Lock);
  return list.Running.Count();
}

} // namespace plugkit
