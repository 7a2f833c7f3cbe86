#pragma once
// GlCallTrap: while one lives, every OpenGL entry point beyond 1.1 (those
// NanoVG's renderer and framebuffer utilities call through
// graphics/platform/GlFunctions.h) does nothing but count its calls, so a
// test can show that code made no OpenGL call. OpenGL 1.1 functions go
// straight to opengl32 and are not trapped: a test shows those through
// objects of another context that is current meanwhile (a call would land on
// them). The entry points are put back when the trap goes.
//
// Threads: the test's thread; one trap at a time.

#include <cstdint>

namespace plugkit::canvas::test {

class GlCallTrap {
public:
  GlCallTrap();
  ~GlCallTrap();
  GlCallTrap(const GlCallTrap&) = delete;
  GlCallTrap& operator=(const GlCallTrap&) = delete;

  // Calls made since the trap was set, and the name of the first one
  // ("" when there was none).
  int32_t Calls() const;
  const char* FirstCalled() const;
};

} // namespace plugkit::canvas::test
