#include "graphics/resources/APIBitmap.h"

#include <algorithm>
#include <cmath>

namespace plugkit::canvas {

APIBitmap::APIBitmap(int32_t backendImage, int32_t pixelWidth, int32_t pixelHeight, int32_t screenScale,
                     float drawScale)
    : BackendImage(backendImage),
      PixelWidth(std::max(pixelWidth, 0)),
      PixelHeight(std::max(pixelHeight, 0)),
      ScreenScale(std::max(screenScale, 1)),
      DrawScale(std::isfinite(drawScale) && drawScale > 0.0f ? drawScale : 1.0f) {}

APIBitmap::~APIBitmap() = default;

} // namespace plugkit::canvas
