#pragma once
// IPointerEvent: one mouse or touch sample as the platform layer hands it to
// the canvas on the UI thread, in logical pixels (window pixels divided by
// screen scale times draw scale). Plain value records.

#include <cstdint>

namespace plugkit {
namespace canvas {

// The button and modifier part of a pointer event.
struct IPointerMods {
  bool Left = false;
  bool Right = false;
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
  uint64_t PointerId = 0;       // 0 for the mouse, else the touch contact; keys pointer captures
  float ContactRadius = 0.0f;   // 0 for the mouse

  bool IsTouch() const { return PointerId != 0; }
};

struct IPointerEvent {
  float X = 0.0f;
  float Y = 0.0f;
  float DeltaX = 0.0f;  // position minus the previous position of the same pointer
  float DeltaY = 0.0f;
  IPointerMods Mods;
};

} // namespace canvas
} // namespace plugkit
