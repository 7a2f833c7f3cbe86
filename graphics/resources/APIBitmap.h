#pragma once
// APIBitmap: an image as the drawing back-end holds it (a decoded bitmap, a
// layer's off-screen image). The graphics core only carries it around: image
// handles point at it, the image cache and layers own it. Each back-end
// derives its own bitmap class that knows how to free its image; destroying
// an APIBitmap through this base frees exactly what the derived class owns.
//
// Ownership: whoever holds the pointer by the rules of its container (the
// back-end's image cache for fetched images, an ILayer for layer images).
// Back-end images belong to one drawing context, so a bitmap must be deleted
// while that context is alive, or be one whose destructor makes no context
// call (the back-end decides).
//
// Threads: user-interface thread, with the drawing context current wherever
// the back-end creates or deletes images.

#include <cstdint>

namespace plugkit {
namespace canvas {

class APIBitmap {
public:
  APIBitmap() = default;
  // Sizes below 0 count as 0, a screen scale below 1 as 1, and a draw scale
  // that is not a finite positive number as 1.
  APIBitmap(int32_t backendImage, int32_t pixelWidth, int32_t pixelHeight, int32_t screenScale, float drawScale);
  virtual ~APIBitmap();

  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  // The back-end's image handle (the NanoVG back-end keeps its image id;
  // 0 = no image).
  int32_t BackendImage = 0;
  // Size in device pixels.
  int32_t PixelWidth = 0;
  int32_t PixelHeight = 0;
  // The integer screen scale and the draw scale the pixels were made for.
  int32_t ScreenScale = 1;
  float DrawScale = 1.0f;

  // Logical size as image handles report it: pixels divided by the screen
  // scale (integer division).
  int32_t LogicalWidth() const { return PixelWidth / (ScreenScale > 0 ? ScreenScale : 1); }
  int32_t LogicalHeight() const { return PixelHeight / (ScreenScale > 0 ? ScreenScale : 1); }
  // Whether there are pixels to draw.
  bool HasPixels() const { return PixelWidth > 0 && PixelHeight > 0; }
};

} // namespace canvas
} // namespace plugkit
