// Layers of the NanoVG back-end: framebuffers, switching between them and
// the main framebuffer, reading them back, and drop shadows.

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "core/IHeapBlock.h"
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGBitmap.h"

namespace plugkit::canvas {

APIBitmap* ICanvasNanoVG::CreateLayerImage(int32_t width, int32_t height, int32_t screenScale, float drawScale) {
  if (!mContext || !TextureFits(width, height)) return nullptr;
  // Made and cleared beside the frame being drawn, which goes on as it was.
  NVGLUframebuffer* framebuffer = nvgluCreateFramebuffer(mContext, width, height, 0);
  if (!framebuffer) return nullptr;
  ClearFramebuffer(framebuffer);
  Bitmap* bitmap =
      new (std::nothrow) Bitmap(framebuffer->image, width, height, screenScale, drawScale, mLink, framebuffer);
  if (!bitmap) QueueFramebufferDelete(this, framebuffer);
  return bitmap;
}

void ICanvasNanoVG::SwitchDrawTarget() {
  if (!mContext) return;
  EndFrame();
  BeginCurrentTarget();
}

void ICanvasNanoVG::ReadLayerPixels(ILayer& layer, IHeapBlock& pixels) {
  NVGLUframebuffer* framebuffer = mContext ? FramebufferOf(layer) : nullptr;
  const APIBitmap* image = layer.Image.get();
  const int64_t bytes = image ? static_cast<int64_t>(image->PixelWidth) * image->PixelHeight * 4 : 0;
  if (!framebuffer || bytes <= 0 || bytes > INT32_MAX) {
    pixels.SetSize(0);
    return;
  }
  pixels.SetSize(static_cast<int32_t>(bytes));
  if (pixels.Size() < bytes) return;
  // What was drawn into the layer and not yet rendered must be in it first.
  if (TopLayer() == &layer) FlushCurrentTarget();
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->fbo);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, image->PixelWidth, image->PixelHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.Data());
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void ICanvasNanoVG::ApplyLayerShadow(ILayer& layer, const IHeapBlock& mask, const IDropShadow& shadow) {
  NVGLUframebuffer* framebuffer = mContext ? FramebufferOf(layer) : nullptr;
  if (!framebuffer) return;
  const APIBitmap& image = *layer.Image;
  const int32_t w = image.PixelWidth;
  const int32_t h = image.PixelHeight;
  if (w < 1 || h < 1 || mask.Size() < static_cast<int64_t>(w) * h * 4 || !mask.Data()) return;

  // The mask as an image, drawn into a second layer the layer's size, where
  // the shadow's fill keeps only the mask's coverage.
  const int maskImage = CreateCheckedImage(w, h, mask.As<unsigned char>());
  if (maskImage == 0) return;
  std::unique_ptr<Bitmap> maskBitmap(
      new (std::nothrow) Bitmap(maskImage, w, h, image.ScreenScale, image.DrawScale, mLink));
  if (!maskBitmap) {
    nvgDeleteImage(mContext, maskImage);
    return;
  }
  std::unique_ptr<APIBitmap> shadowImage(CreateLayerImage(w, h, image.ScreenScale, image.DrawScale));
  if (!shadowImage) return;
  ILayer shadowLayer(std::move(shadowImage), nullptr, IBox(), layer.Box);
  const IImageHandle maskHandle = IImageHandle::Of(maskBitmap.get(), 1, false, "");
  const IImageHandle shadowHandle = IImageHandle::Of(shadowLayer.Image.get(), 1, false, "");

  if (!shadow.KeepContent) {
    if (TopLayer() == &layer) FlushCurrentTarget();
    ClearFramebuffer(framebuffer);
  }

  ShapeSaveTransform();
  StackLayer(&layer);
  StackLayer(&shadowLayer);
  PaintImage(maskHandle, layer.Box, 0, 0, nullptr);
  ShapeAddBox(layer.Box);
  ShapeTranslate(-shadow.OffsetX, -shadow.OffsetY);  // moves the fill's pattern only: the box is in the path
  const IComposite sourceIn(ECompositeMode::SourceIn, 1.0f);
  ShapeFill(shadow.Fill, IFillOptions(), &sourceIn);
  UnstackLayer();
  const float opacity = std::isfinite(shadow.Opacity) ? std::clamp(shadow.Opacity, 0.0f, 1.0f) : 1.0f;
  const IComposite beneath(ECompositeMode::DestinationOver, opacity);
  const IBox& b = layer.Box;
  PaintImage(shadowHandle, IBox(b.Left + shadow.OffsetX, b.Top + shadow.OffsetY, b.Right + shadow.OffsetX,
                                b.Bottom + shadow.OffsetY),
             0, 0, &beneath);
  UnstackLayer();
  ShapeRestoreTransform();
  // The shadow layer's framebuffer and the mask image go with their records:
  // the layer's draws were rendered when it was unstacked.
}

} // namespace plugkit::canvas
