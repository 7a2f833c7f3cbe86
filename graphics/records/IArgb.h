#pragma once
// IArgb: one straight (not premultiplied) colour as four channels, each an
// integer from 0 to 255; Alpha 255 is opaque. A plain value record, copied
// freely between controls, the canvas and the drawing back-end on the UI
// thread. Channels outside 0..255 are not corrected here; whoever turns a
// colour into pixels clamps.

#include <cstdint>

namespace plugkit {
namespace canvas {

struct IArgb {
  int32_t Alpha = 255;
  int32_t Red = 0;
  int32_t Green = 0;
  int32_t Blue = 0;

  // The default colour is opaque black, the colour unused gradient stops hold.
  constexpr IArgb() = default;
  constexpr IArgb(int32_t alpha, int32_t red, int32_t green, int32_t blue)
      : Alpha(alpha), Red(red), Green(green), Blue(blue) {}

  constexpr bool operator==(const IArgb& o) const {
    return Alpha == o.Alpha && Red == o.Red && Green == o.Green && Blue == o.Blue;
  }
  constexpr bool operator!=(const IArgb& o) const { return !(*this == o); }
};

} // namespace canvas
} // namespace plugkit
