#include "tests/hosts/unload/ModuleWatch.h"

#include <cstring>

namespace unloadhost {

namespace {

std::atomic<ModuleWatch*> gWatch{nullptr};

// The byte an x86 breakpoint is.
constexpr uint8_t kTrap = 0xCC;

size_t ImageSize(HMODULE module) {
  const auto* base = reinterpret_cast<const uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->OptionalHeader.SizeOfImage;
}

} // namespace

ModuleWatch::ModuleWatch(HMODULE module)
    : mBase(reinterpret_cast<uint8_t*>(module)), mSize(module ? ImageSize(module) : 0) {
  gWatch = this;
  mHandler = AddVectoredExceptionHandler(1, &ModuleWatch::OnException);
}

ModuleWatch::~ModuleWatch() {
  if (mHandler) RemoveVectoredExceptionHandler(mHandler);
  gWatch = nullptr;
  for (int32_t i = 0; i < mMappedCount; ++i) VirtualFree(mMapped[i], 0, MEM_RELEASE);
}

bool ModuleWatch::Holds(const void* address) const {
  const auto* p = static_cast<const uint8_t*>(address);
  return p >= mBase && p < mBase + mSize;
}

bool ModuleWatch::StillLoaded() const {
  HMODULE found = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(mBase), &found) &&
         found == reinterpret_cast<HMODULE>(mBase);
}

size_t ModuleWatch::Arm() {
  size_t mapped = 0;
  uint8_t* at = mBase;
  while (at < mBase + mSize && mMappedCount < static_cast<int32_t>(sizeof mMapped / sizeof mMapped[0])) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(at, &region, sizeof region) == 0) break;
    uint8_t* next = static_cast<uint8_t*>(region.BaseAddress) + region.RegionSize;
    if (region.State == MEM_FREE) {
      const size_t size = static_cast<size_t>((next < mBase + mSize ? next : mBase + mSize) - at);
      void* code = VirtualAlloc(at, size, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
      if (code) {
        std::memset(code, kTrap, size);
        mMapped[mMappedCount++] = code;
        mapped += size;
      }
    }
    at = next;
  }
  mArmed = true;
  return mapped;
}

LONG CALLBACK ModuleWatch::OnException(EXCEPTION_POINTERS* info) {
  ModuleWatch* watch = gWatch.load();
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!watch || !watch->mArmed.load() || (code != EXCEPTION_BREAKPOINT && code != EXCEPTION_ACCESS_VIOLATION) ||
      !watch->Holds(info->ExceptionRecord->ExceptionAddress))
    return EXCEPTION_CONTINUE_SEARCH;
  ++watch->mCalls;
  // The first instruction of the call faulted: its return address is on top
  // of the stack, so returning is popping it.
  CONTEXT& context = *info->ContextRecord;
  context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
  context.Rsp += sizeof(DWORD64);
  return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace unloadhost
