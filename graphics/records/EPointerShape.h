#pragma once
// EPointerShape: the pointer (cursor) shapes a control may ask the canvas
// for through ICanvas::ChangePointerShape. The values are stable: the
// platform layer maps each to a system cursor and shows the arrow for any
// value it does not know, so a stored int32 outside this list is harmless.

#include <cstdint>

namespace plugkit {
namespace canvas {

enum class EPointerShape : int32_t {
  Arrow = 0,
  IBeam = 1,
  Wait = 2,
  Cross = 3,
  UpArrow = 4,
  SizeNWSE = 5,
  SizeNESW = 6,
  SizeWE = 7,
  SizeNS = 8,
  SizeAll = 9,
  No = 10,
  Hand = 11,
  AppStarting = 12,
  Help = 13,
};

} // namespace canvas
} // namespace plugkit
