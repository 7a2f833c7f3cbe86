#pragma once
// Loading the OpenGL entry points beyond version 1.1.
//
// opengl32.dll exports only OpenGL 1.1; the OpenGL 2 renderer of the drawing
// back-end and its framebuffer utilities need 38 later functions (listed in
// GlEntryPointList.h). They are resolved by name for the context that is
// current on the calling thread, first through wglGetProcAddress, then through
// GetProcAddress on opengl32.dll.
//
// Who calls it: the platform layer, once right after it has created its
// editor window's OpenGL context and made it current, before the drawing
// back-end's OnSurfaceCreated. Tests that make their own context do the same.
//
// The pointers are process-wide and shared by every editor. A load commits
// them only when every entry point was found, so a failed load (no current
// context, a driver without OpenGL 2 or framebuffer objects) never replaces
// a good set with a partial one and never leaves a null pointer that could
// be called: the back-end refuses to create its NanoVG context until
// GlEntryPointsReady() answers true.
//
// Threads: any thread with a current context; loads are serialised.

#include <cstdint>

namespace plugkit::gl {

struct IGlEntryPointReport {
  int32_t Found = 0;    // entry points resolved by this load
  int32_t Missing = 0;  // entry points that could not be resolved
  // Name of the first entry point not found (static text), or null. Also set
  // to "no current OpenGL context" when there was nothing to load from.
  const char* FirstMissing = nullptr;
};

// Resolves every entry point for the current context. True when all were
// found (they are then committed for the whole process); false otherwise,
// with report (when given) telling what was missing. Clears any pending
// OpenGL error when a context is current.
bool LoadGlEntryPoints(IGlEntryPointReport* report = nullptr);

// Whether a load has committed a complete set in this process.
bool GlEntryPointsReady();

// The entry points by index, 0 .. GlEntryPointCount() - 1, for diagnostics.
int32_t GlEntryPointCount();
const char* GlEntryPointName(int32_t index);

} // namespace plugkit::gl
