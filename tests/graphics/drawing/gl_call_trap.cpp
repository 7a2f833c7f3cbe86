#include "tests/graphics/drawing/gl_call_trap.h"

#include <type_traits>

#include "graphics/platform/GlEntryPoints.h"
#include "graphics/platform/GlFunctions.h"

namespace plugkit::canvas::test {

namespace {

// Entry points by their place in the list, which is also the loader's order
// (gl::GlEntryPointName).
enum IEntryIndex {
#define PLUGKIT_GL_ENTRY(type, name) kEntry_##name,
#include "graphics/platform/GlEntryPointList.h"
#undef PLUGKIT_GL_ENTRY
  kEntryCount
};

int32_t gCalls = 0;
int32_t gFirst = -1;

// A function of exactly the entry point's type that only counts.
template <class F> struct ITrapOf;
template <class R, class... A> struct ITrapOf<R(APIENTRY*)(A...)> {
  template <int Index> static R APIENTRY Call(A...) {
    if (gCalls++ == 0) gFirst = Index;
    if constexpr (!std::is_void_v<R>) return R{};
  }
};

void* gSaved[kEntryCount];

} // namespace

GlCallTrap::GlCallTrap() {
  gCalls = 0;
  gFirst = -1;
#define PLUGKIT_GL_ENTRY(type, name)                                           \
  gSaved[kEntry_##name] = reinterpret_cast<void*>(plugkit_##name);             \
  plugkit_##name = &ITrapOf<type>::template Call<kEntry_##name>;
#include "graphics/platform/GlEntryPointList.h"
#undef PLUGKIT_GL_ENTRY
}

GlCallTrap::~GlCallTrap() {
#define PLUGKIT_GL_ENTRY(type, name) plugkit_##name = reinterpret_cast<type>(gSaved[kEntry_##name]);
#include "graphics/platform/GlEntryPointList.h"
#undef PLUGKIT_GL_ENTRY
}

int32_t GlCallTrap::Calls() const { return gCalls; }

const char* GlCallTrap::FirstCalled() const {
  const char* name = gFirst >= 0 ? gl::GlEntryPointName(gFirst) : nullptr;
  return name ? name : "";
}

} // namespace plugkit::canvas::test
