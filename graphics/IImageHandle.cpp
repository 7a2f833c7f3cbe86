#include "graphics/IImageHandle.h"

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

} // namespace canvas
} // namespace plugkit
