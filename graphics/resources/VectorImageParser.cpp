// The SVG parser's implementation is compiled here and nowhere else.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define NANOSVG_IMPLEMENTATION
#include <nanosvg.h>

#include "graphics/resources/SharedCaches.h"

namespace plugkit::canvas {

NSVGimage* ParseVectorImage(char* text, const char* units, float dpi) {
  if (!text) return nullptr;
  NSVGimage* image = nsvgParse(text, units && *units ? units : "px", std::isfinite(dpi) && dpi > 0.0f ? dpi : 96.0f);
  if (!image) return nullptr;
  // An image without extent cannot be placed in a box (drawing it would
  // divide by its size).
  if (!(image->width > 0.0f) || !(image->height > 0.0f) || !std::isfinite(image->width) ||
      !std::isfinite(image->height)) {
    nsvgDelete(image);
    return nullptr;
  }
  return image;
}

void DeleteVectorImage(NSVGimage* image) {
  if (image) nsvgDelete(image);
}

} // namespace plugkit::canvas
