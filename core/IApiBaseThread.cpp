// IApiBase: which thread is the user-interface thread. Kept apart because it
// is the one part of the base that needs a Windows call.

#include "core/IApiBase.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace plugkit {

// The Win32 thread id: a read of the thread's own record, so it is safe on a
// host's audio thread (it never allocates, unlike the C runtime's thread ids
// for threads it did not create). Ids are never 0.
uint32_t IApiBase::CurrentThreadTag() { return static_cast<uint32_t>(GetCurrentThreadId()); }

void IApiBase::AdoptUserInterfaceThread() {
  mUserInterfaceThread.store(CurrentThreadTag(), std::memory_order_release);
}

bool IApiBase::OnUserInterfaceThread() const {
  return mUserInterfaceThread.load(std::memory_order_acquire) == CurrentThreadTag();
}

} // namespace plugkit
