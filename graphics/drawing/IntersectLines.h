#pragma once
// Where two lines in the plane cross, for the vector-image drawing code's
// hole test (how often a ray crosses an outline). Pure arithmetic on float32
// points.

namespace plugkit {
namespace canvas {

struct IPointF {
  float X = 0.0f;
  float Y = 0.0f;
};

// For the line through p1 and p2 and the line through p3 and p4: the
// parameter u along the second line at which they cross, so the crossing
// point is p3 + u * (p4 - p3) (0 at p3, 1 at p4). Lines that are parallel,
// or nearly so (|cross product of the directions| < 1e-8), give a quiet NaN
// with its sign bit set, which fails every ordered comparison; callers test
// ranges such as 0 <= u < 1 and so ignore parallel edges.
float IntersectLines(IPointF p1, IPointF p2, IPointF p3, IPointF p4);

} // namespace canvas
} // namespace plugkit
