#pragma once
// IImageHandle: a loaded bitmap as controls see it, returned by the canvas's
// image fetching on the UI thread.
//
// Ownership: Api points at the drawing back-end's bitmap, which the image
// cache of the back-end's drawing context owns (SharedCaches.h): it lives
// until ICanvas::UncacheImage removes it or the cache is cleared, when the
// canvas' drawing surface goes. A handle never frees it. The handle owns only its SourceName, so
// destroying a handle frees nothing else. A zero-filled handle (the default)
// stands for an image that is not loaded.
//
// Copies are deep for SourceName. Should the name's memory not be available
// for a copy, the copy gets an empty name; the picture fields are still
// copied, so drawing is unaffected.

#include <cstdint>

#include "core/IStringBuffer.h"

namespace plugkit {
namespace canvas {

class APIBitmap;

struct IImageHandle {
  APIBitmap* Api = nullptr;       // shared, owned by the image cache
  int32_t Width = 0;              // logical pixels: bitmap pixels / its integer scale
  int32_t Height = 0;
  int32_t FrameCount = 0;         // equal frames held by the image
  bool FramesSideBySide = false;  // frames laid out horizontally rather than stacked
  IStringBuffer SourceName;       // the resource name it came from

  IImageHandle() = default;
  IImageHandle(const IImageHandle& other);
  IImageHandle& operator=(const IImageHandle& other);
  IImageHandle(IImageHandle&&) noexcept = default;
  IImageHandle& operator=(IImageHandle&&) noexcept = default;
  ~IImageHandle() = default;

  bool IsLoaded() const { return Api != nullptr; }

  // A handle over bitmap: its logical size (pixels / its screen scale),
  // the given frames and name (null counts as ""). A null bitmap gives the
  // empty handle.
  static IImageHandle Of(APIBitmap* bitmap, int32_t frameCount, bool framesSideBySide, const char* name);
};

} // namespace canvas
} // namespace plugkit
