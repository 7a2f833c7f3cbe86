#include "graphics/drawing/IntersectLines.h"

#include <cmath>
#include <limits>

namespace plugkit {
namespace canvas {

float IntersectLines(IPointF p1, IPointF p2, IPointF p3, IPointF p4) {
  const float dx1 = p2.X - p1.X;
  const float dy1 = p2.Y - p1.Y;
  const float den = dx1 * (p4.Y - p3.Y) - dy1 * (p4.X - p3.X);
  if (std::fabs(den) < 1e-8f) return std::copysign(std::numeric_limits<float>::quiet_NaN(), -1.0f);
  return -(dx1 * (p3.Y - p1.Y) - dy1 * (p3.X - p1.X)) / den;
}

} // namespace canvas
} // namespace plugkit
