#pragma once
// IFill: the paint of a shape: one flat colour, or a linear (Axial) or radial
// (Circular) gradient of up to kMaxStops colour stops. A plain value record,
// built on the UI thread and handed by value to the drawing back-end.
//
// Mapping takes user space into pattern space. An Axial fill runs from stop
// position 0 at pattern point (0, 0) to position 1 at pattern point (0, 1);
// the back-end maps those two points back into user space. A Circular fill is
// the unit circle of pattern space.

#include <cstdint>

#include "graphics/records/IAffine.h"
#include "graphics/records/IArgb.h"

namespace plugkit {
namespace canvas {

struct IFillStop {
  IArgb Colour{255, 0, 0, 0};
  float Position = 0.0f;  // 0..1 along the gradient
};

enum class EFillKind : int32_t { Flat = 0, Axial = 1, Circular = 2 };

struct IFill {
  static constexpr int32_t kMaxStops = 16;

  EFillKind Kind = EFillKind::Flat;
  int32_t EdgeMode = 1;            // every fill this system builds carries 1
  IFillStop Stops[kMaxStops];      // unused stops hold opaque black at 0
  int32_t StopCount = 0;           // 0..kMaxStops; Flat fills use stop 0
  IAffine Mapping;                 // user space to pattern space; identity by default

  // A Flat fill of one colour; implicit, so a colour can be passed wherever a
  // fill is expected.
  IFill(IArgb colour);

  // A fill of the given kind with no stops and the identity mapping.
  explicit IFill(EFillKind kind = EFillKind::Flat);

  // Appends a stop; false (fill unchanged) once kMaxStops are in use.
  bool AddStop(IArgb colour, float position);

  // Sets Mapping for a linear gradient running from (x1, y1) at position 0 to
  // (x2, y2) at position 1. When the two points coincide (or the result would
  // not be finite) there is no direction to run along: Mapping stays the
  // identity and the result is false.
  bool SetAxialSpan(float x1, float y1, float x2, float y2);

  // An Axial fill from (x1, y1) to (x2, y2) with no stops yet.
  static IFill MakeAxial(float x1, float y1, float x2, float y2);
};

} // namespace canvas
} // namespace plugkit
