// Drawing helpers the canvas builds from its primitives.

#include <algorithm>
#include <cmath>

#include "graphics/ICanvas.h"
#include "graphics/records/IAffine.h"

namespace plugkit::canvas {

namespace {

// A grid finer than this many lines per direction is not a grid anyone can
// see; the cap keeps a huge box or a tiny step from looping for ages.
constexpr int32_t kMaxGridLines = 65536;

} // namespace

void ICanvas::OutlineGrid(IArgb colour, const IBox& box, float xStep, float yStep, const IComposite* blend,
                          float thickness) {
  const float width = box.Width();
  const float height = box.Height();
  if (xStep > 1.0f && std::isfinite(width) && width > 0.0f) {
    for (int32_t i = 1; i <= kMaxGridLines; ++i) {
      const float d = xStep * static_cast<float>(i);
      if (!(d < width)) break;
      const float x = std::trunc(box.Left + width * std::clamp(d / width, 0.0f, 1.0f));
      OutlineSegment(colour, x, box.Top, x, box.Bottom, blend, thickness);
    }
  }
  if (yStep > 1.0f && std::isfinite(height) && height > 0.0f) {
    for (int32_t i = 1; i <= kMaxGridLines; ++i) {
      const float d = yStep * static_cast<float>(i);
      if (!(d < height)) break;
      const float y = box.Bottom - height * std::clamp(d / height, 0.0f, 1.0f);
      OutlineSegment(colour, box.Left, y, box.Right, y, blend, thickness);
    }
  }
}

void ICanvas::OutlineRadialSegment(IArgb colour, float cx, float cy, float angleDegrees, float rMin, float rMax,
                                   const IComposite* blend, float thickness) {
  // 0 degrees points up and angles grow clockwise, y growing downwards.
  const float radians = (angleDegrees - 90.0f) / 180.0f * 3.1415927f;
  const float c = std::cos(radians);
  const float s = std::sin(radians);
  OutlineSegment(colour, cx + rMin * c, cy + rMin * s, cx + rMax * c, cy + rMax * s, blend, thickness);
}

void ICanvas::ComputeRotatedTextOffset(const ITextStyle& style, const IBox& box, IBox& text, double& dx,
                                       double& dy) {
  if (style.RotationDegrees == 0.0f) return;
  IAffine rotation;
  rotation.ApplyRotation(style.RotationDegrees);
  double xs[4] = {text.Left, text.Right, text.Left, text.Right};
  double ys[4] = {text.Top, text.Top, text.Bottom, text.Bottom};
  for (int i = 0; i < 4; ++i) rotation.Map(xs[i], ys[i]);
  text = IBox(static_cast<float>(*std::min_element(xs, xs + 4)), static_cast<float>(*std::min_element(ys, ys + 4)),
              static_cast<float>(*std::max_element(xs, xs + 4)), static_cast<float>(*std::max_element(ys, ys + 4)));

  switch (style.HorizontalAlign) {
    case ETextHAlign::Left: dx = static_cast<double>(box.Left) - text.Left; break;
    case ETextHAlign::Centre:
      dx = 0.5 * (static_cast<double>(box.Left) + box.Right) - 0.5 * (static_cast<double>(text.Left) + text.Right);
      break;
    case ETextHAlign::Right: dx = static_cast<double>(box.Right) - text.Right; break;
  }
  switch (style.VerticalAlign) {
    case ETextVAlign::Upper: dy = static_cast<double>(box.Top) - text.Top; break;
    case ETextVAlign::Centre:
      dy = 0.5 * (static_cast<double>(box.Top) + box.Bottom) - 0.5 * (static_cast<double>(text.Top) + text.Bottom);
      break;
    case ETextVAlign::Lower: dy = static_cast<double>(box.Bottom) - text.Bottom; break;
  }
}

} // namespace plugkit::canvas
