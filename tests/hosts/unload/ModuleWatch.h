#pragma once
// What runs of a module's address range after the module is gone. A watch
// remembers the range a loaded module occupies; once armed (after the module
// was unloaded) it counts every call into that range: a fault there where
// nothing is mapped, or a trap set off by the fresh code Arm maps into the
// free parts of the range, as code a later module brought there would run.
// Either way the call returns to its caller at once, so the program goes on.
//
// 64-bit only (it returns from a call by hand, as x86-64 calls return). One
// watch at a time in the process; any thread may be counted.

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace unloadhost {

class ModuleWatch {
public:
  explicit ModuleWatch(HMODULE module);
  ~ModuleWatch();
  ModuleWatch(const ModuleWatch&) = delete;
  ModuleWatch& operator=(const ModuleWatch&) = delete;

  // Whether the module is still mapped where it was.
  bool StillLoaded() const;
  // Fills the free parts of the range with traps and starts counting; the
  // number of bytes mapped.
  size_t Arm();
  // Calls into the range counted since Arm.
  int32_t Calls() const { return mCalls.load(); }

private:
  static LONG CALLBACK OnException(EXCEPTION_POINTERS* info);
  bool Holds(const void* address) const;

  uint8_t* mBase;
  size_t mSize;
  void* mHandler = nullptr;
  void* mMapped[64] = {};
  int32_t mMappedCount = 0;
  std::atomic<bool> mArmed{false};
  std::atomic<int32_t> mCalls{0};
};

} // namespace unloadhost
