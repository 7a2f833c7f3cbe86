#include "graphics/drawing/NanoVGBitmap.h"

#include <utility>

namespace plugkit::canvas {

ICanvasNanoVG::Bitmap::Bitmap(int32_t image, int32_t pixelWidth, int32_t pixelHeight, int32_t screenScale,
                              float drawScale, std::shared_ptr<ISurfaceLink> link, NVGLUframebuffer* framebuffer,
                              bool owned)
    : APIBitmap(image, pixelWidth, pixelHeight, screenScale, drawScale),
      mLink(std::move(link)),
      mFramebuffer(framebuffer),
      mOwned(owned) {}

ICanvasNanoVG::Bitmap::~Bitmap() {
  if (!mOwned) return;
  ICanvasNanoVG* owner = Context() && mLink ? mLink->Owner : nullptr;
  if (mFramebuffer) QueueFramebufferDelete(owner, mFramebuffer);
  else QueueImageDelete(owner, BackendImage);
}

} // namespace plugkit::canvas
