// Vector images: the shapes of a parsed SVG drawn through the path operations.

#include <algorithm>
#include <cmath>

#include "graphics/drawing/ICanvasPathBase.h"
#include "graphics/drawing/IntersectLines.h"
#include "graphics/drawing/SvgFill.h"
#include "nanosvg.h"

namespace plugkit::canvas {

namespace {

IPointF PointAt(const NSVGpath& path, int32_t index) { return IPointF{path.pts[2 * index], path.pts[2 * index + 1]}; }

// How often the ray from p0 to p1 crosses the outline of path, taken as the
// closed polygon of its on-curve points (control points ignored).
int32_t CountCrossings(IPointF p0, IPointF p1, const NSVGpath& path) {
  int32_t crossings = 0;
  const int32_t n = path.npts;
  for (int32_t i = 0; i < n; i += 3) {
    const int32_t next = i + 3 < n ? i + 3 : 0;
    const IPointF a = PointAt(path, i);
    const IPointF b = PointAt(path, next);
    const float s = IntersectLines(p0, p1, a, b);
    if (s >= 0.0f && s < 1.0f) {
      const float t = IntersectLines(a, b, p0, p1);
      if (t >= 0.0f) ++crossings;
    }
  }
  return crossings;
}

// A path lying inside an odd number of the shape's other outlines is a hole:
// its first point's ray out of the path's bounding box crosses them an odd
// number of times.
bool IsHole(const NSVGshape& shape, const NSVGpath& path) {
  if (path.npts < 1) return false;
  const IPointF p0 = PointAt(path, 0);
  const IPointF p1{path.bounds[0] - 1.0f, path.bounds[1] - 1.0f};
  int32_t crossings = 0;
  for (const NSVGpath* other = shape.paths; other; other = other->next) {
    if (other == &path || other->npts <= 3) continue;
    crossings += CountCrossings(p0, p1, *other);
  }
  return crossings % 2 == 1;
}

IStrokeOptions StrokeOptionsOf(const NSVGshape& shape) {
  IStrokeOptions options;
  options.MiterLimit = shape.miterLimit;
  options.PreserveShape = false;
  switch (shape.strokeLineCap) {
    case NSVG_CAP_ROUND: options.Cap = ELineCap::Round; break;
    case NSVG_CAP_SQUARE: options.Cap = ELineCap::Square; break;
    default: options.Cap = ELineCap::Butt; break;
  }
  switch (shape.strokeLineJoin) {
    case NSVG_JOIN_ROUND: options.Join = ELineJoin::Round; break;
    case NSVG_JOIN_BEVEL: options.Join = ELineJoin::Bevel; break;
    default: options.Join = ELineJoin::Miter; break;
  }
  const int32_t dashes = std::clamp<int32_t>(shape.strokeDashCount, 0, IDashPattern::kMaxLengths);
  for (int32_t i = 0; i < dashes; ++i) options.Dash.Lengths[i] = shape.strokeDashArray[i];
  options.Dash.Count = dashes;
  options.Dash.Offset = shape.strokeDashOffset;
  return options;
}

} // namespace

void ICanvasPathBase::PaintVectorImage(const IVectorImage& image, const IBox& box, const IComposite* blend) {
  if (!image.IsLoaded()) return;
  const float sw = image.Image->width;
  const float sh = image.Image->height;
  // An image of size 0 has no fit scale; nothing of it can be seen.
  if (!(sw > 0.0f) || !(sh > 0.0f)) return;
  const float scale = std::min(box.Width() / sw, box.Height() / sh);
  if (!(scale > 0.0f) || !std::isfinite(scale)) return;
  ShapeSaveTransform();
  ShapeTranslate(box.Left, box.Top);
  ShapeScale(scale);
  DrawSvgShapes(image.Image, blend);
  ShapeRestoreTransform();
}

void ICanvasPathBase::PaintVectorImageTurned(const IVectorImage& image, float cx, float cy, float width,
                                             float height, double angleDegrees, const IComposite* blend) {
  if (!image.IsLoaded()) return;
  ShapeSaveTransform();
  ShapeTranslate(cx, cy);
  ShapeRotate(static_cast<float>(angleDegrees));
  PaintVectorImage(image, IBox(-width / 2.0f, -height / 2.0f, width / 2.0f, height / 2.0f), blend);
  ShapeRestoreTransform();
}

void ICanvasPathBase::DrawSvgShapes(const NSVGimage* image, const IComposite* blend) {
  if (!image) return;
  for (const NSVGshape* shape = image->shapes; shape; shape = shape->next) {
    if (!(shape->flags & NSVG_FLAGS_VISIBLE)) continue;
    ShapeReset();
    for (const NSVGpath* path = shape->paths; path; path = path->next) {
      if (!path->pts || path->npts < 1) continue;
      ShapeMoveTo(path->pts[0], path->pts[1]);
      for (int32_t i = 1; i + 2 < path->npts; i += 3) {
        const float* p = &path->pts[2 * i];
        ShapeCubicTo(p[0], p[1], p[2], p[3], p[4], p[5]);
      }
      if (path->closed) ShapeClose();
      ShapeSetDirection(IsHole(*shape, *path) ? 1 : 0);
    }

    const bool strokes = shape->stroke.type != NSVG_PAINT_NONE;
    if (shape->fill.type != NSVG_PAINT_NONE) {
      IFillOptions options;
      options.Rule = EFillRule::KeepDirections;
      options.PreserveShape = strokes;
      ShapeFill(FillFromSvgPaint(shape->fill, shape->opacity), options, blend);
    }
    if (strokes)
      ShapeStroke(FillFromSvgPaint(shape->stroke, shape->opacity), shape->strokeWidth, StrokeOptionsOf(*shape),
                  blend);
  }
}

} // namespace plugkit::canvas
