#include "core/ISectionLock.h"

#include <new>

#include <windows.h>

namespace plugkit {

#define PLUGKIT_CS() (std::launder(reinterpret_cast<CRITICAL_SECTION*>(mStorage)))

ISectionLock::ISectionLock() {
  static_assert(sizeof(CRITICAL_SECTION) == kStorageSize, "ISectionLock storage does not match CRITICAL_SECTION");
  static_assert(alignof(CRITICAL_SECTION) <= alignof(void*), "ISectionLock storage is under-aligned");
  CRITICAL_SECTION* cs = new (mStorage) CRITICAL_SECTION;
  InitializeCriticalSection(cs);
}

ISectionLock::~ISectionLock() { DeleteCriticalSection(PLUGKIT_CS()); }

void ISectionLock::Enter() { EnterCriticalSection(PLUGKIT_CS()); }

void ISectionLock::Leave() { LeaveCriticalSection(PLUGKIT_CS()); }

bool ISectionLock::TryEnter() { return TryEnterCriticalSection(PLUGKIT_CS()) != 0; }

#undef PLUGKIT_CS

} // namespace plugkit
