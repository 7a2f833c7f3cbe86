#include "graphics/drawing/SvgFill.h"

#include <algorithm>
#include <cmath>

#include "nanosvg.h"

namespace plugkit::canvas {

namespace {

// Colours of the parsed image hold R in the low byte, then G, B and A.
IArgb OpaqueColour(unsigned int rgba) {
  return IArgb(255, static_cast<int32_t>(rgba & 0xFFu), static_cast<int32_t>((rgba >> 8) & 0xFFu),
               static_cast<int32_t>((rgba >> 16) & 0xFFu));
}

} // namespace

IFill FillFromSvgPaint(const NSVGpaint& paint, float opacity) {
  const float scaled = std::round(opacity * 255.0f);
  const int32_t alpha = scaled >= 255.0f ? 255 : scaled > 0.0f ? static_cast<int32_t>(scaled) : 0;

  if (paint.type == NSVG_PAINT_COLOR) {
    IArgb colour = OpaqueColour(paint.color);
    colour.Alpha = alpha;
    return IFill(colour);
  }
  if ((paint.type == NSVG_PAINT_LINEAR_GRADIENT || paint.type == NSVG_PAINT_RADIAL_GRADIENT) && paint.gradient) {
    const NSVGgradient& g = *paint.gradient;
    IFill fill(paint.type == NSVG_PAINT_LINEAR_GRADIENT ? EFillKind::Axial : EFillKind::Circular);
    switch (g.spread) {
      case NSVG_SPREAD_REFLECT: fill.EdgeMode = 2; break;
      case NSVG_SPREAD_REPEAT: fill.EdgeMode = 3; break;
      default: fill.EdgeMode = 1; break;
    }
    const int32_t stops = std::min<int32_t>(std::max(g.nstops, 0), IFill::kMaxStops);
    for (int32_t i = 0; i < stops; ++i) fill.AddStop(OpaqueColour(g.stops[i].color), g.stops[i].offset);
    fill.Mapping = IAffine(g.xform[0], g.xform[1], g.xform[2], g.xform[3], g.xform[4], g.xform[5]);
    return fill;
  }
  return IFill(IArgb(alpha, 0, 0, 0));
}

} // namespace plugkit::canvas
