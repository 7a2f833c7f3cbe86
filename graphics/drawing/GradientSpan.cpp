#include "graphics/drawing/GradientSpan.h"

#include <algorithm>
#include <cmath>

namespace plugkit::canvas {

namespace {

float Channel(int32_t value) { return static_cast<float>(std::clamp(value, 0, 255)) / 255.0f; }

} // namespace

IColourF ColourWithOpacity(IArgb colour, float opacity) {
  const float o = std::isfinite(opacity) ? std::clamp(opacity, 0.0f, 1.0f) : 1.0f;
  return IColourF{Channel(colour.Red), Channel(colour.Green), Channel(colour.Blue), Channel(colour.Alpha) * o};
}

IGradientSpan MeasureGradientSpan(const IFill& fill, float opacity) {
  IGradientSpan span;
  const int32_t last = std::clamp(fill.StopCount, 1, IFill::kMaxStops) - 1;
  span.Inner = ColourWithOpacity(fill.Stops[0].Colour, opacity);
  span.Outer = ColourWithOpacity(fill.Stops[last].Colour, opacity);
  if (fill.Kind == EFillKind::Flat) {
    span.Outer = span.Inner;
    return span;
  }

  IAffine inverse;
  if (!fill.Mapping.Invert(inverse)) {
    span.Outer = span.Inner;
    return span;
  }
  double sx = 0.0, sy = 0.0, ex = 0.0, ey = 1.0;
  inverse.Map(sx, sy);
  inverse.Map(ex, ey);
  span.StartX = static_cast<float>(sx);
  span.StartY = static_cast<float>(sy);
  if (fill.Kind == EFillKind::Circular) {
    span.Shape = ESpanShape::Radial;
    span.Radius = static_cast<float>(std::hypot(inverse.XX, inverse.YX));
  } else {
    span.Shape = ESpanShape::Linear;
    span.EndX = static_cast<float>(ex);
    span.EndY = static_cast<float>(ey);
  }
  return span;
}

} // namespace plugkit::canvas
