#pragma once
// ICanvasNanoVG::Bitmap: an image of the NanoVG back-end: a decoded bitmap
// (a NanoVG image) or a layer's framebuffer (whose NanoVG image is the
// BackendImage).
//
// Destruction frees what the bitmap owns: a framebuffer or an image goes
// back to the back-end that made it, which deletes it in its own context,
// at once or, while a paint runs (whose frame may still draw it) or that
// context cannot be bound, at the end of its next paint or its close (see
// ICanvasNanoVG::QueueFramebufferDelete). Once the context is gone, only
// the framebuffer's record is freed, without any OpenGL call. A bitmap
// marked not owned frees nothing.
//
// Threads: user-interface thread; between paints with any OpenGL context
// current, or none.

#include <memory>

#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/resources/APIBitmap.h"

namespace plugkit::canvas {

class ICanvasNanoVG::Bitmap : public APIBitmap {
public:
  Bitmap(int32_t image, int32_t pixelWidth, int32_t pixelHeight, int32_t screenScale, float drawScale,
         std::shared_ptr<ISurfaceLink> link, NVGLUframebuffer* framebuffer = nullptr, bool owned = true);
  ~Bitmap() override;

  NVGLUframebuffer* Framebuffer() const { return mFramebuffer; }
  // The context that holds the image; null once it is gone.
  NVGcontext* Context() const { return mLink ? mLink->Context : nullptr; }

private:
  std::shared_ptr<ISurfaceLink> mLink;
  NVGLUframebuffer* mFramebuffer;
  bool mOwned;
};

} // namespace plugkit::canvas
