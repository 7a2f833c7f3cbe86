#include "graphics/records/IAffine.h"

#include <cmath>

namespace plugkit {
namespace canvas {

void IAffine::ApplyRotation(float degrees) {
  const float radians = (degrees / 180.0f) * 3.1415927f;
  const double c = std::cos(static_cast<double>(radians));
  const double s = std::sin(static_cast<double>(radians));
  const double xx = c * XX + s * XY;
  const double yx = c * YX + s * YY;
  const double xy = c * XY - s * XX;
  const double yy = c * YY - s * YX;
  XX = xx;
  YX = yx;
  XY = xy;
  YY = yy;
}

void IAffine::Compose(const IAffine& o) {
  const IAffine m = *this;
  XX = m.XX * o.XX + m.XY * o.YX;
  YX = m.YX * o.XX + m.YY * o.YX;
  XY = m.XX * o.XY + m.XY * o.YY;
  YY = m.YX * o.XY + m.YY * o.YY;
  TX = m.XX * o.TX + m.XY * o.TY + m.TX;
  TY = m.YX * o.TX + m.YY * o.TY + m.TY;
}

void IAffine::Map(double& x, double& y) const {
  const double px = XX * x + XY * y + TX;
  const double py = YX * x + YY * y + TY;
  x = px;
  y = py;
}

bool IAffine::Invert(IAffine& out) const {
  const double det = XX * YY - XY * YX;
  if (det == 0.0 || !std::isfinite(det)) return false;
  const double inv = 1.0 / det;
  IAffine r(YY * inv, -YX * inv, -XY * inv, XX * inv, 0.0, 0.0);
  r.TX = -(r.XX * TX + r.XY * TY);
  r.TY = -(r.YX * TX + r.YY * TY);
  if (!std::isfinite(r.XX) || !std::isfinite(r.YX) || !std::isfinite(r.XY) || !std::isfinite(r.YY) ||
      !std::isfinite(r.TX) || !std::isfinite(r.TY))
    return false;
  out = r;
  return true;
}

} // namespace canvas
} // namespace plugkit
