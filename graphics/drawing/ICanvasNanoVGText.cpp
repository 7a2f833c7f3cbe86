// Fonts and text of the NanoVG back-end.

#include "graphics/drawing/GradientSpan.h"
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGPaint.h"
#include "graphics/resources/SharedCaches.h"

namespace plugkit::canvas {

namespace {

// Sets up NanoVG's text state for style and finds the anchor of the text in
// box: x, y and the text's box as drawn there (the all-zero box when the
// font is not in the stash).
void PrepareTextAnchor(NVGcontext* context, const ITextStyle& style, const char* text, IBox& box, float& x,
                       float& y) {
  nvgFontBlur(context, 0.0f);
  nvgFontSize(context, style.FontSize);
  nvgFontFace(context, style.FontName);
  int align = 0;
  switch (style.HorizontalAlign) {
    case ETextHAlign::Left: x = box.Left; align |= NVG_ALIGN_LEFT; break;
    case ETextHAlign::Right: x = box.Right; align |= NVG_ALIGN_RIGHT; break;
    default: x = box.MidX(); align |= NVG_ALIGN_CENTER; break;
  }
  switch (style.VerticalAlign) {
    case ETextVAlign::Upper: y = box.Top; align |= NVG_ALIGN_TOP; break;
    case ETextVAlign::Lower: y = box.Bottom; align |= NVG_ALIGN_BOTTOM; break;
    default: y = box.MidY(); align |= NVG_ALIGN_MIDDLE; break;
  }
  nvgTextAlign(context, align);
  float bounds[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  if (nvgFindFont(context, style.FontName) >= 0) nvgTextBounds(context, x, y, text, nullptr, bounds);
  box = IBox(bounds[0], bounds[1], bounds[2], bounds[3]);
}

} // namespace

bool ICanvasNanoVG::AddBackendFont(const char* fontId, PlatformFont* font) {
  if (!mContext) return false;
  // NanoVG keeps reading the bytes; they stay in the process-wide cache,
  // which outlives every context that uses them.
  return UseTypefaceBlob(fontId, font, [&](const ITypefaceBlob& blob) {
    return nvgCreateFontMemAtIndex(mContext, fontId, blob.FontBytes.As<unsigned char>(), blob.FontBytes.Size(), 0,
                                   blob.FaceIndex) >= 0;
  });
}

float ICanvasNanoVG::MeasureTextRun(const ITextStyle& style, const char* text, IBox& box) {
  if (!mContext || !text) return 0.0f;
  const IBox layout = box;
  float x = 0.0f, y = 0.0f;
  IBox measured = box;
  PrepareTextAnchor(mContext, style, text, measured, x, y);
  double dx = 0.0, dy = 0.0;
  ComputeRotatedTextOffset(style, layout, measured, dx, dy);
  box = IBox(measured.Left + static_cast<float>(dx), measured.Top + static_cast<float>(dy),
             measured.Right + static_cast<float>(dx), measured.Bottom + static_cast<float>(dy));
  return box.Width();
}

void ICanvasNanoVG::RenderTextRun(const ITextStyle& style, const char* text, const IBox& box,
                                  const IComposite* blend) {
  if (!CanPaint() || !text) return;
  float x = 0.0f, y = 0.0f;
  IBox measured = box;
  PrepareTextAnchor(mContext, style, text, measured, x, y);
  ShapeSaveTransform();
  if (style.RotationDegrees != 0.0f) {
    double dx = 0.0, dy = 0.0;
    ComputeRotatedTextOffset(style, box, measured, dx, dy);
    ShapeTranslate(static_cast<float>(dx), static_cast<float>(dy));
    ShapeRotate(style.RotationDegrees);
  }
  const IColourF colour = ColourWithOpacity(style.TextColour, blend ? blend->Opacity : 1.0f);
  nvgFillColor(mContext, nvgRGBAf(colour.R, colour.G, colour.B, colour.A));
  SelectNanoVGComposite(mContext, blend);
  nvgText(mContext, x, y, text, nullptr);
  nvgGlobalCompositeOperation(mContext, NVG_SOURCE_OVER);
  ShapeRestoreTransform();
}

} // namespace plugkit::canvas
