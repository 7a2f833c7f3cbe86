// IApiBase: which thread is the user-interface thread, and how it moves to
// the thread that shows the editor. Kept apart because it is the one part of
// the base that needs a Windows call.

#include "core/IApiBase.h"

#include "core/ISectionLock.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace plugkit {

// The Win32 thread id: a read of the thread's own record, so it is safe on a
// host's audio thread (it never allocates, unlike the C runtime's thread ids
// for threads it did not create). Ids are never 0.
uint32_t IApiBase::CurrentThreadTag() { return static_cast<uint32_t>(GetCurrentThreadId()); }

void IApiBase::AdoptUserInterfaceThread() {
  const uint32_t caller = CurrentThreadTag();
  {
    // Preset calls on the old thread take the title for the editor under
    // this lock: one still running finishes before the thread changes.
    ISectionGuard guard(StateLock());
    if (mUserInterfaceThread.load(std::memory_order_relaxed) == caller) return;
    mUserInterfaceThread.store(caller, std::memory_order_release);
  }
  // Ticks come through the message loop of the thread that scheduled the
  // timer; the old thread's stop once this returns.
  if (HasEditorTimer()) StartEditorTimer();
}

void* IApiBase::AttachEditor(void* parentWindow) {
  AdoptUserInterfaceThread();
  return IPluginBase::AttachEditor(parentWindow);
}

bool IApiBase::OnUserInterfaceThread() const {
  return mUserInterfaceThread.load(std::memory_order_acquire) == CurrentThreadTag();
}

} // namespace plugkit
