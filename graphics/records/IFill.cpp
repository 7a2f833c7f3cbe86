#include "graphics/records/IFill.h"

#include <cmath>

namespace plugkit {
namespace canvas {

IFill::IFill(IArgb colour) : IFill(EFillKind::Flat) {
  Stops[0].Colour = colour;
  Stops[0].Position = 0.0f;
  StopCount = 1;
}

IFill::IFill(EFillKind kind) : Kind(kind) {}

bool IFill::AddStop(IArgb colour, float position) {
  if (StopCount < 0 || StopCount >= kMaxStops) return false;
  Stops[StopCount].Colour = colour;
  Stops[StopCount].Position = position;
  ++StopCount;
  return true;
}

bool IFill::SetAxialSpan(float x1, float y1, float x2, float y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double len = std::sqrt(dx * dx + dy * dy);
  Mapping = IAffine();
  // A zero-length span has no direction; dividing by it would fill the
  // mapping with infinities and NaNs that the back-end cannot invert.
  if (!(len > 0.0) || !std::isfinite(len)) return false;
  const double theta = std::atan2(dx, dy);
  const double c = std::cos(theta) / len;
  const double s = std::sin(theta) / len;
  const float xx = static_cast<float>(c);
  const float yx = static_cast<float>(s);
  const float xy = static_cast<float>(-s);
  const float yy = static_cast<float>(c);
  const float tx = static_cast<float>(-(x1 * c - y1 * s));
  const float ty = static_cast<float>(-(y1 * c + x1 * s));
  // Points so far apart that the scale underflows single precision would give
  // a singular mapping; treat them like coincident points.
  if (!std::isfinite(xx) || !std::isfinite(yx) || !std::isfinite(tx) || !std::isfinite(ty)) return false;
  if (xx == 0.0f && yx == 0.0f) return false;
  Mapping = IAffine(xx, yx, xy, yy, tx, ty);
  return true;
}

IFill IFill::MakeAxial(float x1, float y1, float x2, float y2) {
  IFill fill(EFillKind::Axial);
  fill.SetAxialSpan(x1, y1, x2, y2);
  return fill;
}

} // namespace canvas
} // namespace plugkit
