#include "graphics/records/IBox.h"

namespace plugkit {
namespace canvas {

namespace {

float Min(float a, float b) { return b < a ? b : a; }
float Max(float a, float b) { return b > a ? b : a; }

// Closed ranges [a0, a1] and [b0, b1] overlap or meet at an end.
bool RangesMeet(float a0, float a1, float b0, float b1) {
  return (a0 >= b0 && a0 <= b1) || (a0 <= b0 && b0 <= a1);
}

} // namespace

bool IBox::Contains(float x, float y) const {
  return x >= Left && x < Right && y >= Top && y < Bottom;
}

bool IBox::Inside(const IBox& outer) const {
  if (IsEmpty() || outer.IsEmpty()) return false;
  return Left >= outer.Left && Right <= outer.Right && Top >= outer.Top && Bottom <= outer.Bottom;
}

IBox IBox::Grown(float d) const { return IBox(Left - d, Top - d, Right + d, Bottom + d); }

IBox IBox::Union(const IBox& other) const {
  if (IsEmpty()) return other;
  if (other.IsEmpty()) return *this;
  return IBox(Min(Left, other.Left), Min(Top, other.Top), Max(Right, other.Right), Max(Bottom, other.Bottom));
}

IBox IBox::Intersect(const IBox& other) const {
  if (IsEmpty() || other.IsEmpty()) return IBox();
  if (!(Right >= other.Left && Left < other.Right && Bottom >= other.Top && Top < other.Bottom)) return IBox();
  return IBox(Max(Left, other.Left), Max(Top, other.Top), Min(Right, other.Right), Min(Bottom, other.Bottom));
}

bool IBox::Touches(const IBox& other) const {
  if (IsEmpty() || other.IsEmpty()) return true;
  if (Left == other.Left && Right == other.Right && RangesMeet(Top, Bottom, other.Top, other.Bottom)) return true;
  if (Top == other.Top && Bottom == other.Bottom && RangesMeet(Left, Right, other.Left, other.Right)) return true;
  return false;
}

} // namespace canvas
} // namespace plugkit
