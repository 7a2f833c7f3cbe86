#pragma once
// Where and in which colours a fill runs, in user space: what the NanoVG
// back-end hands to its linear and radial gradients. Pure arithmetic on the
// fill record, so the geometry can be checked without a drawing context.
//
// Only the first and the last stop are used (NanoVG gradients have two
// colours); positions between them and the edge mode are not. A fill without
// stops uses stop 0 (opaque black unless set) for both ends. A gradient whose
// mapping cannot be inverted has no direction: it becomes the flat colour of
// stop 0.

#include "graphics/records/IFill.h"

namespace plugkit::canvas {

// A straight colour with channels 0..1 (inputs clamped to 0..255 first).
struct IColourF {
  float R = 0.0f, G = 0.0f, B = 0.0f, A = 1.0f;
};

enum class ESpanShape { Flat, Linear, Radial };

struct IGradientSpan {
  ESpanShape Shape = ESpanShape::Flat;
  // Linear: from (StartX, StartY) in Inner to (EndX, EndY) in Outer.
  // Radial: centre (StartX, StartY), Inner at the centre, Outer at Radius.
  float StartX = 0.0f, StartY = 0.0f, EndX = 0.0f, EndY = 1.0f, Radius = 0.0f;
  IColourF Inner;  // Flat: the colour
  IColourF Outer;
};

// The colour with its alpha multiplied by opacity.
IColourF ColourWithOpacity(IArgb colour, float opacity);

// The span of fill at opacity (alphas multiplied by it). A Flat fill is its
// stop 0. Linear: the inverse mapping's images of pattern points (0, 0) and
// (0, 1). Radial: centre the image of (0, 0), radius the length of the
// inverse mapping's first column, so a rotated or sheared mapping keeps the
// radius along its own axis.
IGradientSpan MeasureGradientSpan(const IFill& fill, float opacity);

} // namespace plugkit::canvas
