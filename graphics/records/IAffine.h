#pragma once
// IAffine: a 2x3 affine transform in float64, mapping (x, y) to
// (XX*x + XY*y + TX, YX*x + YY*y + TY). A plain value record used for the
// drawing transform stack and for fill mappings; the default is the identity.

namespace plugkit {
namespace canvas {

struct IAffine {
  double XX = 1.0;
  double YX = 0.0;
  double XY = 0.0;
  double YY = 1.0;
  double TX = 0.0;
  double TY = 0.0;

  constexpr IAffine() = default;
  constexpr IAffine(double xx, double yx, double xy, double yy, double tx, double ty)
      : XX(xx), YX(yx), XY(xy), YY(yy), TX(tx), TY(ty) {}

  // Applies a rotation by degrees (clockwise on screen, since y grows
  // downwards) before the existing transform: this := this x R. The angle is
  // converted to radians in single precision, as the drawing code has always
  // done, so rotations by right angles carry a tiny error in XX and YY.
  void ApplyRotation(float degrees);

  // this := this x o: o is applied first, then the old transform.
  void Compose(const IAffine& o);

  // Maps the point (x, y) in place.
  void Map(double& x, double& y) const;

  // The inverse transform in out; false (out untouched) when the transform is
  // singular or not finite.
  bool Invert(IAffine& out) const;

  constexpr bool IsIdentity() const {
    return XX == 1.0 && YX == 0.0 && XY == 0.0 && YY == 1.0 && TX == 0.0 && TY == 0.0;
  }
};

} // namespace canvas
} // namespace plugkit
