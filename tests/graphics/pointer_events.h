#pragma once
// Pointer events as the platform layer hands them to the canvas, for tests
// and benchmarks that drive controls without a window.

#include <cstdint>

#include "graphics/records/IPointerEvent.h"

namespace plugkit::canvas::test {

// A left-button event at (x, y), moved by (dx, dy) since the last one (a
// drag step; dy is also the wheel's turn).
inline IPointerEvent Pointer(float x, float y, float dx = 0, float dy = 0, bool shift = false) {
  IPointerEvent e;
  e.X = x;
  e.Y = y;
  e.DeltaX = dx;
  e.DeltaY = dy;
  e.Mods.Left = true;
  e.Mods.Shift = shift;
  return e;
}

// An event of pointer id at (x, y), with the left or the right button.
inline IPointerEvent Event(float x, float y, uint64_t id = 0, bool right = false, float dx = 0, float dy = 0) {
  IPointerEvent e = Pointer(x, y, dx, dy);
  e.Mods.Left = !right;
  e.Mods.Right = right;
  e.Mods.PointerId = id;
  return e;
}

} // namespace plugkit::canvas::test
