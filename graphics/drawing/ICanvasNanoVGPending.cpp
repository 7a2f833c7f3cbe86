// Temporary: parts waiting for the bitmap, font and layer records.
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/drawing/NanoVGApi.h"

namespace plugkit::canvas {
void ICanvasNanoVG::AttachSharedCaches() {}
void ICanvasNanoVG::DetachSharedCaches() {
  if (mContext) ReleaseContextResources();
}
void ICanvasNanoVG::FreeStackedLayers() {}
void ICanvasNanoVG::ReleaseContextResources() {
  DrainFramebufferDeletes(this);
  if (mMainFramebuffer) nvgluDeleteFramebuffer(mMainFramebuffer);
  mMainFramebuffer = nullptr;
  if (mContext) nvgDeleteGL2(mContext);
  mContext = nullptr;
}
bool ICanvasNanoVG::IsImageExtensionSupported(const char*) { return false; }
void ICanvasNanoVG::PaintImage(const IImageHandle&, const IBox&, int32_t, int32_t, const IComposite*) {}
IImageHandle ICanvasNanoVG::FetchImage(const char*, int32_t, bool, int32_t) { return IImageHandle(); }
APIBitmap* ICanvasNanoVG::DecodeImageSource(const char*, int32_t, int32_t, const char*) { return nullptr; }
APIBitmap* ICanvasNanoVG::DecodeImageBytes(const void*, int32_t, int32_t) { return nullptr; }
bool ICanvasNanoVG::AddBackendFont(const char*, PlatformFont*) { return false; }
float ICanvasNanoVG::MeasureTextRun(const ITextStyle&, const char*, IBox&) { return 0.0f; }
void ICanvasNanoVG::RenderTextRun(const ITextStyle&, const char*, const IBox&, const IComposite*) {}
APIBitmap* ICanvasNanoVG::CreateLayerImage(int32_t, int32_t, int32_t, float) { return nullptr; }
void ICanvasNanoVG::SwitchDrawTarget() {}
void ICanvasNanoVG::ReadLayerPixels(ILayer&, IHeapBlock&) {}
void ICanvasNanoVG::ApplyLayerShadow(ILayer&, const IHeapBlock&, const IDropShadow&) {}
} // namespace plugkit::canvas
