#include "graphics/resources/IImageHandle.h"

#include "graphics/resources/APIBitmap.h"

namespace plugkit {
namespace canvas {

IImageHandle::IImageHandle(const IImageHandle& other)
    : Api(other.Api),
      Width(other.Width),
      Height(other.Height),
      FrameCount(other.FrameCount),
      FramesSideBySide(other.FramesSideBySide) {
  SourceName.Assign(other.SourceName.Get());
}

IImageHandle& IImageHandle::operator=(const IImageHandle& other) {
  if (this == &other) return *this;
  Api = other.Api;
  Width = other.Width;
  Height = other.Height;
  FrameCount = other.FrameCount;
  FramesSideBySide = other.FramesSideBySide;
  if (!SourceName.Assign(other.SourceName.Get())) SourceName.Clear();
  return *this;
}

IImageHandle IImageHandle::Of(APIBitmap* bitmap, int32_t frameCount, bool framesSideBySide, const char* name) {
  IImageHandle handle;
  if (!bitmap) return handle;
  handle.Api = bitmap;
  handle.Width = bitmap->LogicalWidth();
  handle.Height = bitmap->LogicalHeight();
  handle.FrameCount = frameCount;
  handle.FramesSideBySide = framesSideBySide;
  handle.SourceName.Assign(name);
  return handle;
}

} // namespace canvas
} // namespace plugkit
