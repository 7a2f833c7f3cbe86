#pragma once
// IBox: an axis-aligned rectangle in logical pixels (y grows downwards). The
// left and top edges are inside the box, the right and bottom edges outside.
// A plain value record; every operation works on copies and has no side
// effects, so boxes may be used from any thread.
//
// The box with all four fields exactly 0 is "empty" and stands for "no area"
// (for example no dirty region, or no overlap). A box with any other field
// value is not empty, even when it has zero width or height; NaN fields make a
// box non-empty as well.

namespace plugkit {
namespace canvas {

struct IBox {
  float Left = 0.0f;
  float Top = 0.0f;
  float Right = 0.0f;
  float Bottom = 0.0f;

  constexpr IBox() = default;
  constexpr IBox(float left, float top, float right, float bottom)
      : Left(left), Top(top), Right(right), Bottom(bottom) {}

  constexpr bool IsEmpty() const { return Left == 0.0f && Top == 0.0f && Right == 0.0f && Bottom == 0.0f; }
  constexpr float Width() const { return Right - Left; }
  constexpr float Height() const { return Bottom - Top; }
  constexpr float MidX() const { return 0.5f * (Left + Right); }
  constexpr float MidY() const { return 0.5f * (Top + Bottom); }

  // Whether (x, y) lies in the box: Left <= x < Right and Top <= y < Bottom.
  // The empty box holds no point, not even (0, 0).
  bool Contains(float x, float y) const;

  // Whether this box lies within outer (edges may coincide); false when
  // either box is empty.
  bool Inside(const IBox& outer) const;

  // The box grown by d on every side (shrunk when d is negative).
  IBox Grown(float d) const;

  // The smallest box holding both; an empty operand yields the other one.
  IBox Union(const IBox& other) const;

  // The overlap {max Left, max Top, min Right, min Bottom}, or the empty box
  // unless both are non-empty and this.Right >= other.Left, this.Left <
  // other.Right, this.Bottom >= other.Top and this.Top < other.Bottom. A box
  // whose right edge meets other's left edge therefore gives a zero-width,
  // non-empty result (the test is deliberately not symmetric).
  IBox Intersect(const IBox& other) const;

  // Whether the two boxes can be replaced by their Union without covering
  // anything else: either is empty, or they share Left and Right and their
  // vertical ranges overlap or meet, or they share Top and Bottom and their
  // horizontal ranges overlap or meet. Exact float comparisons.
  bool Touches(const IBox& other) const;

  constexpr bool operator==(const IBox& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
  constexpr bool operator!=(const IBox& o) const { return !(*this == o); }
};

} // namespace canvas
} // namespace plugkit
