#include "core/ISetupGate.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace plugkit {

bool ISetupGate::TryEnterBlock() {
  uint32_t idle = 0;
  return mState.compare_exchange_strong(idle, kBlockRunning, std::memory_order_acquire, std::memory_order_relaxed);
}

void ISetupGate::LeaveBlock() { mState.fetch_sub(kBlockRunning, std::memory_order_release); }

void ISetupGate::Hold() {
  const uint32_t self = GetCurrentThreadId();
  if (mOwner.load(std::memory_order_relaxed) == self) {
    ++mDepth;
    return;
  }
  // Counted in before waiting, so that no new block starts while this call
  // waits for the running one or for another set-up call.
  mState.fetch_add(kSetupStep, std::memory_order_acq_rel);
  uint32_t none = 0;
  while (!mOwner.compare_exchange_weak(none, self, std::memory_order_acquire, std::memory_order_relaxed)) {
    none = 0;
    SwitchToThread();
  }
  while (mState.load(std::memory_order_acquire) & kBlockRunning) SwitchToThread();
  mDepth = 1;
}

void ISetupGate::Release() {
  if (--mDepth > 0) return;
  mOwner.store(0, std::memory_order_release);
  mState.fetch_sub(kSetupStep, std::memory_order_release);
}

} // namespace plugkit
