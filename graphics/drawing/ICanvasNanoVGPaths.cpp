// Paths, strokes, fills, paints and composite modes of the NanoVG back-end.

#include "graphics/drawing/GradientSpan.h"
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGMapping.h"
#include "graphics/drawing/NanoVGPaint.h"

namespace plugkit::canvas {

namespace {

constexpr float kPi = 3.1415927f;

float OpacityOf(const IComposite* blend) { return blend ? blend->Opacity : 1.0f; }

NVGcolor ToNanoVG(const IColourF& c) { return nvgRGBAf(c.R, c.G, c.B, c.A); }

} // namespace

// ---- Shared with the image, text and layer code ----

void SelectNanoVGComposite(NVGcontext* context, const IComposite* blend) {
  if (!context) return;
  if (!blend) {
    nvgGlobalCompositeOperation(context, NVG_SOURCE_OVER);
    return;
  }
  const INanoVGComposite c = NanoVGCompositeOf(blend->Mode);
  switch (c.How) {
    case INanoVGComposite::EHow::Operation: nvgGlobalCompositeOperation(context, c.Operation); break;
    case INanoVGComposite::EHow::BlendFactors:
      nvgGlobalCompositeBlendFuncSeparate(context, c.Factors[0], c.Factors[1], c.Factors[2], c.Factors[3]);
      break;
    case INanoVGComposite::EHow::Unchanged: break;
  }
}

NVGpaint PaintFromFill(NVGcontext* context, const IFill& fill, const IComposite* blend) {
  const IGradientSpan span = MeasureGradientSpan(fill, OpacityOf(blend));
  switch (span.Shape) {
    case ESpanShape::Radial:
      return nvgRadialGradient(context, span.StartX, span.StartY, 0.0f, span.Radius, ToNanoVG(span.Inner),
                               ToNanoVG(span.Outer));
    case ESpanShape::Linear:
      return nvgLinearGradient(context, span.StartX, span.StartY, span.EndX, span.EndY, ToNanoVG(span.Inner),
                               ToNanoVG(span.Outer));
    case ESpanShape::Flat: break;
  }
  // A gradient without a direction: one colour everywhere.
  return nvgLinearGradient(context, 0.0f, 0.0f, 0.0f, 1.0f, ToNanoVG(span.Inner), ToNanoVG(span.Inner));
}

// ---- Path building ----

void ICanvasNanoVG::ShapeReset() {
  if (mContext) nvgBeginPath(mContext);
}

void ICanvasNanoVG::ShapeClose() {
  if (mContext) nvgClosePath(mContext);
}

void ICanvasNanoVG::ShapeAddArc(float cx, float cy, float r, float a1, float a2, int32_t direction) {
  if (!mContext) return;
  nvgArc(mContext, cx, cy, r, (a1 - 90.0f) / 180.0f * kPi, (a2 - 90.0f) / 180.0f * kPi,
         direction == 0 ? NVG_CW : NVG_CCW);
}

void ICanvasNanoVG::ShapeMoveTo(float x, float y) {
  if (mContext) nvgMoveTo(mContext, x, y);
}

void ICanvasNanoVG::ShapeLineTo(float x, float y) {
  if (mContext) nvgLineTo(mContext, x, y);
}

void ICanvasNanoVG::ShapeSetDirection(int32_t direction) {
  if (mContext) nvgPathWinding(mContext, direction == 1 ? NVG_CW : NVG_CCW);
}

void ICanvasNanoVG::ShapeCubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
  if (mContext) nvgBezierTo(mContext, c1x, c1y, c2x, c2y, x, y);
}

void ICanvasNanoVG::ShapeQuadTo(float cx, float cy, float x, float y) {
  if (mContext) nvgQuadTo(mContext, cx, cy, x, y);
}

// ---- Stroke and fill ----

void ICanvasNanoVG::ShapeStroke(const IFill& fill, float thickness, const IStrokeOptions& options,
                                const IComposite* blend) {
  if (!CanPaint()) return;
  int value = 0;
  if (NanoVGCapOf(options.Cap, value)) nvgLineCap(mContext, value);
  if (NanoVGJoinOf(options.Join, value)) nvgLineJoin(mContext, value);
  nvgMiterLimit(mContext, options.MiterLimit);
  nvgStrokeWidth(mContext, thickness);
  if (fill.Kind == EFillKind::Flat)
    nvgStrokeColor(mContext, ToNanoVG(ColourWithOpacity(fill.Stops[0].Colour, OpacityOf(blend))));
  else
    nvgStrokePaint(mContext, PaintFromFill(mContext, fill, blend));
  nvgPathWinding(mContext, NVG_SOLID);
  SelectNanoVGComposite(mContext, blend);
  nvgStroke(mContext);
  nvgGlobalCompositeOperation(mContext, NVG_SOURCE_OVER);
  if (!options.PreserveShape) nvgBeginPath(mContext);
}

void ICanvasNanoVG::ShapeFill(const IFill& fill, const IFillOptions& options, const IComposite* blend) {
  if (!CanPaint()) return;
  switch (options.Rule) {
    case EFillRule::Solid: nvgPathWinding(mContext, NVG_SOLID); break;
    case EFillRule::Hole: nvgPathWinding(mContext, NVG_HOLE); break;
    case EFillRule::KeepDirections: break;
  }
  if (fill.Kind == EFillKind::Flat)
    nvgFillColor(mContext, ToNanoVG(ColourWithOpacity(fill.Stops[0].Colour, OpacityOf(blend))));
  else
    nvgFillPaint(mContext, PaintFromFill(mContext, fill, blend));
  SelectNanoVGComposite(mContext, blend);
  nvgFill(mContext);
  nvgGlobalCompositeOperation(mContext, NVG_SOURCE_OVER);
  if (!options.PreserveShape) nvgBeginPath(mContext);
}

// ---- Dashes as geometry ----

void ICanvasNanoVG::OutlineDashedSegment(IArgb colour, float x1, float y1, float x2, float y2,
                                         const IComposite* blend, float thickness, float dashLength) {
  ShapeReset();
  ShapeAddDashedSegment(x1, y1, x2, y2, dashLength);
  ShapeStroke(IFill(colour), thickness, IStrokeOptions(), blend);
}

void ICanvasNanoVG::OutlineDashedBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness,
                                     float dashLength) {
  ShapeReset();
  ShapeAddDashedBox(box, dashLength);
  ShapeStroke(IFill(colour), thickness, IStrokeOptions(), blend);
}

} // namespace plugkit::canvas
