#pragma once
// ISectionLock: a mutex over one Win32 CRITICAL_SECTION (recursive for the
// owning thread), and ISectionGuard, its scoped guard.
//
// <windows.h> stays out of this header: the critical section lives in suitably
// sized and aligned storage inside the lock, and ISectionLock.cpp checks at
// compile time that CRITICAL_SECTION fits it. Neither class is copyable or
// movable (a critical section must not move once initialised).

#include <cstdint>

namespace plugkit {

class ISectionLock {
public:
  ISectionLock();   // InitializeCriticalSection
  ~ISectionLock();  // DeleteCriticalSection

  ISectionLock(const ISectionLock&) = delete;
  ISectionLock& operator=(const ISectionLock&) = delete;

  void Enter();     // EnterCriticalSection
  void Leave();     // LeaveCriticalSection
  bool TryEnter();  // TryEnterCriticalSection; true when entered

private:
  // sizeof(CRITICAL_SECTION): 40 bytes on 64-bit Windows, 24 on 32-bit.
  static constexpr int kStorageSize = sizeof(void*) == 8 ? 40 : 24;
  alignas(void*) unsigned char mStorage[kStorageSize];
};

class ISectionGuard {
public:
  // Enters lock when it is not null and leaves it on destruction.
  explicit ISectionGuard(ISectionLock* lock) : mLock(lock) { if (mLock) mLock->Enter(); }
  explicit ISectionGuard(ISectionLock& lock) : ISectionGuard(&lock) {}
  ~ISectionGuard() { if (mLock) mLock->Leave(); }

  ISectionGuard(const ISectionGuard&) = delete;
  ISectionGuard& operator=(const ISectionGuard&) = delete;

private:
  ISectionLock* mLock;
};

} // namespace plugkit
