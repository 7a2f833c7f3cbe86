// The C runtime's allocator, counted: the import table entries of the test
// program (and of the modules handed over) that lead to malloc, calloc,
// realloc, free and their aligned forms are pointed at counting forwarders.
// operator new and delete come from the statically linked C++ runtime, which
// allocates through those same entries.

#include "tests/plugin/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstring>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// --- Who counts -------------------------------------------------------------------

constexpr int32_t kSlots = 32;
// A slot being taken: no thread has this id (they are multiples of 4).
constexpr DWORD kTaking = ~DWORD{0};

struct Slot {
  std::atomic<DWORD> thread{0};
  std::atomic<int64_t> allocations{0};
  std::atomic<int64_t> frees{0};
};

Slot gSlots[kSlots];
std::atomic<int32_t> gLiveCounters{0};

void Note(bool allocation) {
  if (gLiveCounters.load(std::memory_order_relaxed) == 0) return;
  const DWORD self = GetCurrentThreadId();
  for (Slot& slot : gSlots) {
    if (slot.thread.load(std::memory_order_relaxed) != self) continue;
    (allocation ? slot.allocations : slot.frees).fetch_add(1, std::memory_order_relaxed);
  }
}

// --- The forwarders ---------------------------------------------------------------

using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using FreeFn = void(__cdecl*)(void*);
using AlignedMallocFn = void*(__cdecl*)(size_t, size_t);
using AlignedReallocFn = void*(__cdecl*)(void*, size_t, size_t);

// The runtime's own functions, learnt from the first import table patched.
struct Runtime {
  MallocFn malloc = nullptr;
  CallocFn calloc = nullptr;
  ReallocFn realloc = nullptr;
  FreeFn free = nullptr;
  AlignedMallocFn alignedMalloc = nullptr;
  AlignedReallocFn alignedRealloc = nullptr;
  FreeFn alignedFree = nullptr;
} gRuntime;

void* __cdecl CountedMalloc(size_t size) {
  Note(true);
  return gRuntime.malloc(size);
}
void* __cdecl CountedCalloc(size_t count, size_t size) {
  Note(true);
  return gRuntime.calloc(count, size);
}
void* __cdecl CountedRealloc(void* block, size_t size) {
  Note(true);
  return gRuntime.realloc(block, size);
}
void __cdecl CountedFree(void* block) {
  if (block) Note(false);
  gRuntime.free(block);
}
void* __cdecl CountedAlignedMalloc(size_t size, size_t alignment) {
  Note(true);
  return gRuntime.alignedMalloc(size, alignment);
}
void* __cdecl CountedAlignedRealloc(void* block, size_t size, size_t alignment) {
  Note(true);
  return gRuntime.alignedRealloc(block, size, alignment);
}
void __cdecl CountedAlignedFree(void* block) {
  if (block) Note(false);
  gRuntime.alignedFree(block);
}

struct Hook {
  const char* name;
  void* counted;
  void** runtime;
};

const Hook kHooks[] = {
    {"malloc", reinterpret_cast<void*>(&CountedMalloc), reinterpret_cast<void**>(&gRuntime.malloc)},
    {"calloc", reinterpret_cast<void*>(&CountedCalloc), reinterpret_cast<void**>(&gRuntime.calloc)},
    {"realloc", reinterpret_cast<void*>(&CountedRealloc), reinterpret_cast<void**>(&gRuntime.realloc)},
    {"free", reinterpret_cast<void*>(&CountedFree), reinterpret_cast<void**>(&gRuntime.free)},
    {"_aligned_malloc", reinterpret_cast<void*>(&CountedAlignedMalloc),
     reinterpret_cast<void**>(&gRuntime.alignedMalloc)},
    {"_aligned_realloc", reinterpret_cast<void*>(&CountedAlignedRealloc),
     reinterpret_cast<void**>(&gRuntime.alignedRealloc)},
    {"_aligned_free", reinterpret_cast<void*>(&CountedAlignedFree), reinterpret_cast<void**>(&gRuntime.alignedFree)},
};

const Hook* FindHook(const char* name) {
  for (const Hook& hook : kHooks)
    if (std::strcmp(hook.name, name) == 0) return &hook;
  return nullptr;
}

bool Redirect(ULONG_PTR* entry, void* target) {
  DWORD protection = 0;
  if (!VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection)) return false;
  // One aligned store: a thread calling through the entry meanwhile reaches
  // either function, and both allocate alike.
  reinterpret_cast<std::atomic<ULONG_PTR>*>(entry)->store(reinterpret_cast<ULONG_PTR>(target));
  VirtualProtect(entry, sizeof *entry, protection, &protection);
  return true;
}

// Points the module's allocator imports at the forwarders. False when an
// entry leads to another allocator than the one learnt first (another C
// runtime) or when the module has no readable import table.
bool CountModule(HMODULE module) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  if (!base) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  bool whole = true;
  int32_t counted = 0;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
    // Without the name table the entries cannot be told apart.
    if (d->OriginalFirstThunk == 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++entries) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const Hook* hook = FindHook(reinterpret_cast<const char*>(byName->Name));
      if (!hook) continue;
      void* current = reinterpret_cast<void*>(entries->u1.Function);
      if (current == hook->counted) {
        ++counted;
        continue;
      }
      if (*hook->runtime == nullptr) *hook->runtime = current;
      if (*hook->runtime != current) {
        whole = false;
        continue;
      }
      if (!Redirect(&entries->u1.Function, hook->counted)) {
        whole = false;
        continue;
      }
      ++counted;
    }
  }
  return whole && counted > 0;
}

// The test program counts from before its first test.
const bool gProgramCounted = CountModule(GetModuleHandleW(nullptr));

} // namespace

namespace tessivo_test {

bool CountAllocationsIn(void* module) { return gProgramCounted && CountModule(static_cast<HMODULE>(module)); }

AllocationCounter::AllocationCounter() : mSlot(-1) {
  for (int32_t i = 0; i < kSlots && mSlot < 0; ++i) {
    DWORD free = 0;
    if (!gSlots[i].thread.compare_exchange_strong(free, kTaking)) continue;
    gSlots[i].allocations.store(0);
    gSlots[i].frees.store(0);
    gSlots[i].thread.store(GetCurrentThreadId());
    mSlot = i;
  }
  gLiveCounters.fetch_add(1);
}

AllocationCounter::~AllocationCounter() {
  gLiveCounters.fetch_sub(1);
  if (mSlot >= 0) gSlots[mSlot].thread.store(0);
}

// Without a slot (too many counters at once) or without the program's
// allocator counted, the answers make any "allocates nothing" check fail.
int64_t AllocationCounter::Count() const {
  return mSlot >= 0 && gProgramCounted ? gSlots[mSlot].allocations.load() : -1;
}

int64_t AllocationCounter::Frees() const { return mSlot >= 0 && gProgramCounted ? gSlots[mSlot].frees.load() : -1; }

} // namespace tessivo_test
