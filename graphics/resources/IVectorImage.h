#pragma once
// IVectorImage: a parsed vector (SVG) image as controls see it. The parsed
// image is owned by the process-wide vector-image cache, which every canvas
// retains while it lives, so it outlives the handles a canvas' controls keep;
// a handle is one borrowed pointer, copied freely and never freed through.
// Null stands for an image that is not loaded.

struct NSVGimage;

namespace plugkit {
namespace canvas {

struct IVectorImage {
  NSVGimage* Image = nullptr;

  bool IsLoaded() const { return Image != nullptr; }
};

} // namespace canvas
} // namespace plugkit
