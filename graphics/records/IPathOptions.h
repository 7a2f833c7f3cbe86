#pragma once
// IStrokeOptions and IFillOptions: how ICanvas::ShapeStroke and ShapeFill
// treat the path built since the last ShapeReset. Plain value records; the
// defaults are what the primitives (OutlineBox, FloodCircle, ...) use, the
// dashed outlines adding their dash.

#include <cstdint>

namespace plugkit {
namespace canvas {

enum class ELineCap : int32_t { Butt = 0, Round = 1, Square = 2 };
enum class ELineJoin : int32_t { Miter = 0, Round = 1, Bevel = 2 };

// Solid: the last sub-path is filled solid. Hole: the last sub-path is a hole.
// KeepDirections: every sub-path keeps the direction given by
// ShapeSetDirection.
enum class EFillRule : int32_t { Solid = 0, Hole = 1, KeepDirections = 2 };

// Dash and gap lengths in turn; Count entries are used, 0 = a solid line.
struct IDashPattern {
  static constexpr int32_t kMaxLengths = 8;

  float Lengths[kMaxLengths] = {};
  float Offset = 0.0f;
  int32_t Count = 0;
};

struct IStrokeOptions {
  float MiterLimit = 10.0f;
  bool PreserveShape = false;  // false: the path is cleared after the stroke
  ELineCap Cap = ELineCap::Butt;
  ELineJoin Join = ELineJoin::Miter;
  IDashPattern Dash;
};

struct IFillOptions {
  EFillRule Rule = EFillRule::Solid;
  bool PreserveShape = false;  // false: the path is cleared after the fill
};

} // namespace canvas
} // namespace plugkit
