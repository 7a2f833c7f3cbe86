#include <windows.h>

#include "graphics/platform/GlEntryPoints.h"
#include "graphics/platform/GlFunctions.h"

#include <atomic>
#include <mutex>

extern "C" {
#define PLUGKIT_GL_ENTRY(type, name) type plugkit_##name = nullptr;
#include "graphics/platform/GlEntryPointList.h"
#undef PLUGKIT_GL_ENTRY
}

namespace plugkit::gl {

namespace {

struct IEntry {
  const char* Name;
  void** Slot;
};

// The pointer variables have distinct function-pointer types; the table
// writes them through their storage, which Windows lays out as one pointer.
#define PLUGKIT_GL_ENTRY(type, name) {#name, reinterpret_cast<void**>(&plugkit_##name)},
const IEntry kEntries[] = {
#include "graphics/platform/GlEntryPointList.h"
};
#undef PLUGKIT_GL_ENTRY

constexpr int32_t kEntryCount = static_cast<int32_t>(sizeof kEntries / sizeof kEntries[0]);

std::mutex gLoadLock;
std::atomic<bool> gReady{false};

// Some drivers answer small integers instead of null for names they do not
// know; those are failures too.
void* Resolve(const char* name, HMODULE opengl) {
  PROC p = wglGetProcAddress(name);
  const auto value = reinterpret_cast<intptr_t>(p);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) p = nullptr;
  if (!p && opengl) p = GetProcAddress(opengl, name);
  return reinterpret_cast<void*>(p);
}

} // namespace

bool LoadGlEntryPoints(IGlEntryPointReport* report) {
  IGlEntryPointReport result;
  std::lock_guard<std::mutex> guard(gLoadLock);
  if (!wglGetCurrentContext()) {
    result.Missing = kEntryCount;
    result.FirstMissing = "no current OpenGL context";
    if (report) *report = result;
    return false;
  }

  HMODULE opengl = LoadLibraryW(L"opengl32.dll");
  void* found[kEntryCount];
  for (int32_t i = 0; i < kEntryCount; ++i) {
    found[i] = Resolve(kEntries[i].Name, opengl);
    if (found[i]) {
      ++result.Found;
    } else {
      if (!result.FirstMissing) result.FirstMissing = kEntries[i].Name;
      ++result.Missing;
    }
  }
  if (opengl) FreeLibrary(opengl);

  if (result.Missing == 0) {
    for (int32_t i = 0; i < kEntryCount; ++i) *kEntries[i].Slot = found[i];
    gReady.store(true, std::memory_order_release);
  }
  glGetError();
  if (report) *report = result;
  return result.Missing == 0;
}

bool GlEntryPointsReady() { return gReady.load(std::memory_order_acquire); }

int32_t GlEntryPointCount() { return kEntryCount; }

const char* GlEntryPointName(int32_t index) {
  return index >= 0 && index < kEntryCount ? kEntries[index].Name : nullptr;
}

} // namespace plugkit::gl
