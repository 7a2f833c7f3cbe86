// The drawing primitives of the path base, each a path stroked or filled once.

#include <cmath>

#include "graphics/drawing/ICanvasPathBase.h"
#include "graphics/drawing/PathLimits.h"
#include "graphics/resources/APIBitmap.h"
#include "graphics/resources/IImageHandle.h"
#include "graphics/records/IFill.h"
#include "graphics/records/IPathOptions.h"

namespace plugkit::canvas {

void ICanvasPathBase::StrokePath(IArgb colour, float thickness, const IComposite* blend) {
  ShapeStroke(IFill(colour), thickness, IStrokeOptions(), blend);
}

void ICanvasPathBase::FillPath(IArgb colour, const IComposite* blend) {
  ShapeFill(IFill(colour), IFillOptions(), blend);
}

// ---- Images in a transformed frame ----

void ICanvasPathBase::PaintImageStretched(const IImageHandle& image, const IBox& box, const IComposite* blend) {
  // A handle of size 0 has nothing to stretch (and would divide by zero).
  if (!image.IsLoaded() || image.Width <= 0 || image.Height <= 0) return;
  const float w = static_cast<float>(image.Width);
  const float h = static_cast<float>(image.Height);
  ShapeSaveTransform();
  ShapeTranslate(box.Left, box.Top);
  ShapeScaleXY(box.Width() / w, box.Height() / h);
  PaintImage(image, IBox(0.0f, 0.0f, w, h), 0, 0, blend);
  ShapeRestoreTransform();
}

void ICanvasPathBase::PaintImageTurned(const IImageHandle& image, float cx, float cy, double angleDegrees,
                                       const IComposite* blend) {
  if (!image.IsLoaded()) return;
  const float drawScale = image.Api->DrawScale > 0.0f ? image.Api->DrawScale : 1.0f;
  const float w = static_cast<float>(image.Width) / drawScale;
  const float h = static_cast<float>(image.Height) / drawScale;
  ShapeSaveTransform();
  ShapeTranslate(cx, cy);
  ShapeRotate(static_cast<float>(angleDegrees));
  PaintImage(image, IBox(-w / 2.0f, -h / 2.0f, w / 2.0f, h / 2.0f), 0, 0, blend);
  ShapeRestoreTransform();
}

// ---- Outlines ----

void ICanvasPathBase::PlotPixel(IArgb colour, float x, float y, const IComposite* blend) {
  FloodBox(colour, IBox(x, y, x + 1.0f, y + 1.0f), blend);
}

void ICanvasPathBase::OutlineSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend,
                                     float thickness) {
  ShapeReset();
  ShapeMoveTo(x1, y1);
  ShapeLineTo(x2, y2);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineDashedSegment(IArgb colour, float x1, float y1, float x2, float y2,
                                           const IComposite* blend, float thickness, float dashLength) {
  ShapeReset();
  if (!DashLengthUsable(dashLength)) return;
  ShapeMoveTo(x1, y1);
  ShapeLineTo(x2, y2);
  IStrokeOptions options;
  options.Dash.Lengths[0] = dashLength;
  options.Dash.Count = 1;
  ShapeStroke(IFill(colour), thickness, options, blend);
}

void ICanvasPathBase::OutlineTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                                      const IComposite* blend, float thickness) {
  ShapeReset();
  ShapeAddTriangle(x1, y1, x2, y2, x3, y3);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness) {
  ShapeReset();
  ShapeAddBox(box);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight,
                                               float bottomLeft, float bottomRight, const IComposite* blend,
                                               float thickness) {
  ShapeReset();
  ShapeAddRoundedBoxCorners(box, topLeft, topRight, bottomLeft, bottomRight);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend,
                                        float thickness) {
  ShapeReset();
  ShapeAddRoundedBox(box, radius);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineArc(IArgb colour, float cx, float cy, float r, float a1, float a2,
                                 const IComposite* blend, float thickness) {
  ShapeReset();
  if (r >= 0.0f) ShapeAddArc(cx, cy, r, a1, a2, 0);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend,
                                    float thickness) {
  ShapeReset();
  ShapeAddCircle(cx, cy, r);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                                  const IComposite* blend, float thickness) {
  ShapeReset();
  ShapeAddOval(cx, cy, rx, ry, angle);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineOvalInBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness) {
  ShapeReset();
  ShapeAddOvalInBox(box);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlinePolygon(IArgb colour, const float* x, const float* y, int32_t count,
                                     const IComposite* blend, float thickness) {
  ShapeReset();
  if (!x || !y || count < 1) return;
  ShapeAddPolygon(x, y, count);
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlineDashedBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness,
                                       float dashLength) {
  ShapeReset();
  if (!DashLengthUsable(dashLength)) return;
  ShapeAddBox(box);
  IStrokeOptions options;
  options.Dash.Lengths[0] = dashLength;
  options.Dash.Count = 1;
  ShapeStroke(IFill(colour), thickness, options, blend);
}

void ICanvasPathBase::OutlineGrid(IArgb colour, const IBox& box, float xStep, float yStep, const IComposite* blend,
                                  float thickness) {
  ShapeReset();
  if (xStep > 1.0f) {
    for (int32_t i = 1; i <= kMaxPathPieces; ++i) {
      const float x = box.Left + xStep * static_cast<float>(i);
      if (!(x < box.Right)) break;
      ShapeMoveTo(x, box.Top);
      ShapeLineTo(x, box.Bottom);
    }
  }
  if (yStep > 1.0f) {
    for (int32_t i = 1; i <= kMaxPathPieces; ++i) {
      const float y = box.Top + yStep * static_cast<float>(i);
      if (!(y < box.Bottom)) break;
      ShapeMoveTo(box.Left, y);
      ShapeLineTo(box.Right, y);
    }
  }
  StrokePath(colour, thickness, blend);
}

void ICanvasPathBase::OutlinePlot(IArgb colour, const IBox& box, const float* y, int32_t count, const float* x,
                                  const IComposite* blend, float thickness) {
  ShapeReset();
  if (!y || count < 1) return;
  const float w = box.Width();
  const float h = box.Height();
  ShapeMoveTo(box.Left, box.Bottom - h * y[0]);
  for (int32_t i = 1; i < count; ++i) {
    const float fx = x ? x[i] : static_cast<float>(i) / static_cast<float>(count - 1);
    ShapeLineTo(box.Left + w * fx, box.Bottom - h * y[i]);
  }
  StrokePath(colour, thickness, blend);
}

// ---- Floods ----

void ICanvasPathBase::FloodTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                                    const IComposite* blend) {
  ShapeReset();
  ShapeAddTriangle(x1, y1, x2, y2, x3, y3);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodBox(IArgb colour, const IBox& box, const IComposite* blend) {
  ShapeReset();
  ShapeAddBox(box);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight,
                                             float bottomLeft, float bottomRight, const IComposite* blend) {
  ShapeReset();
  ShapeAddRoundedBoxCorners(box, topLeft, topRight, bottomLeft, bottomRight);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend) {
  ShapeReset();
  ShapeAddRoundedBox(box, radius);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend) {
  ShapeReset();
  ShapeAddCircle(cx, cy, r);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                                const IComposite* blend) {
  ShapeReset();
  ShapeAddOval(cx, cy, rx, ry, angle);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodOvalInBox(IArgb colour, const IBox& box, const IComposite* blend) {
  ShapeReset();
  ShapeAddOvalInBox(box);
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodPie(IArgb colour, float cx, float cy, float r, float a1, float a2,
                               const IComposite* blend) {
  ShapeReset();
  if (!(r >= 0.0f)) return;
  ShapeMoveTo(cx, cy);
  ShapeAddArc(cx, cy, r, a1, a2, 0);
  ShapeClose();
  FillPath(colour, blend);
}

void ICanvasPathBase::FloodPolygon(IArgb colour, const float* x, const float* y, int32_t count,
                                   const IComposite* blend) {
  ShapeReset();
  if (!x || !y || count < 1) return;
  ShapeAddPolygon(x, y, count);
  FillPath(colour, blend);
}

} // namespace plugkit::canvas
