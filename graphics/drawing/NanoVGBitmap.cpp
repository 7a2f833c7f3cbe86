#include "graphics/drawing/NanoVGBitmap.h"

#include <cstdlib>
#include <utility>

#include "graphics/drawing/NanoVGApi.h"

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
  NVGcontext* context = Context();
  if (mFramebuffer) {
    QueueFramebufferDelete(context && mLink ? mLink->Owner : nullptr, mFramebuffer);
  } else if (context && BackendImage != 0) {
    nvgDeleteImage(context, BackendImage);
  }
}

} // namespace plugkit::canvas
