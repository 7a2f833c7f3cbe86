// The NanoVG back-end's context, main framebuffer and frames.

#include "graphics/drawing/ICanvasNanoVG.h"

#include <cmath>
#include <cstdlib>

#include "core/DebugReport.h"
#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGBitmap.h"
#include "graphics/platform/GlEntryPoints.h"

namespace plugkit::canvas {

void ICanvasNanoVG::ClearFramebuffer(NVGLUframebuffer* framebuffer) {
  if (!framebuffer) return;
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->fbo);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

ICanvasNanoVG::ICanvasNanoVG(ICanvasEditorDelegate* delegate, int32_t width, int32_t height,
                             int32_t framesPerSecond, float drawScale)
    : ICanvasPathBase(delegate, width, height, framesPerSecond, drawScale), mLink(new ISurfaceLink) {
  mLink->Owner = this;
  ITypefaceBlobCache& fonts = TypefaceBlobCache();
  ISectionGuard guard(fonts.Lock());
  fonts.Retain();
}

ICanvasNanoVG::~ICanvasNanoVG() {
  // Controls may keep layers whose framebuffers come back to this object,
  // and the stack may still hold some: they go while this part exists.
  RemoveEveryControl();
  FreeStackedLayers();
  {
    ITypefaceBlobCache& fonts = TypefaceBlobCache();
    ISectionGuard guard(fonts.Lock());
    fonts.Release();
    DrainFramebufferDeletes(this);
  }
  // Normally OnSurfaceDestroyed has done this already.
  if (mContext) ReleaseContextResources();
  {
    IImageCache::LockedView view(mImageCache);
    view.Clear();
  }
  mLink->Owner = nullptr;
}

// ---- Context ----

void* ICanvasNanoVG::OnSurfaceCreated() {
  if (mContext) return mContext;
  // NanoVG's renderer calls the loaded entry points from its first call on.
  if (!gl::GlEntryPointsReady()) return nullptr;
  mContext = nvgCreateGL2(NVG_ANTIALIAS | NVG_STENCIL_STROKES);
  mLink->Context = mContext;
  return mContext;
}

void ICanvasNanoVG::OnSurfaceDestroyed() {
  RemoveEveryControl();
  FreeStackedLayers();
  ReleaseContextResources();
}

void ICanvasNanoVG::OnSurfaceLost() {
  // Detached first: every bitmap, layer and framebuffer freed below finds no
  // context and frees only its own record.
  NVGcontext* context = mContext;
  mContext = nullptr;
  mLink->Context = nullptr;
  mFrameOpen = false;
  RemoveEveryControl();
  FreeStackedLayers();
  ReleaseContextResources();
  NanoVGDeleteWithoutOpenGL(context);
}

void ICanvasNanoVG::ReleaseContextResources() {
  IImageCache::LockedView view(mImageCache);
  view.Clear();
  DrainFramebufferDeletes(this);
  if (mMainFramebuffer && mContext) nvgluDeleteFramebuffer(mMainFramebuffer);
  else std::free(mMainFramebuffer);
  mMainFramebuffer = nullptr;
  mFrameOpen = false;
  if (mContext) nvgDeleteGL2(mContext);
  mContext = nullptr;
  mLink->Context = nullptr;
}

IImageCache* ICanvasNanoVG::ImageCache() { return &mImageCache; }

// ---- Main framebuffer ----

int32_t ICanvasNanoVG::FrameWidth() const {
  const float w = static_cast<float>(Width()) * DrawScale();
  return std::isfinite(w) && w > 0.0f ? static_cast<int32_t>(w) : 0;
}

int32_t ICanvasNanoVG::FrameHeight() const {
  const float h = static_cast<float>(Height()) * DrawScale();
  return std::isfinite(h) && h > 0.0f ? static_cast<int32_t>(h) : 0;
}

int32_t ICanvasNanoVG::SurfaceWidth() const { return mMainFramebuffer ? ScreenScale() * FrameWidth() : 0; }
int32_t ICanvasNanoVG::SurfaceHeight() const { return mMainFramebuffer ? ScreenScale() * FrameHeight() : 0; }

void ICanvasNanoVG::RebuildBackBuffer() {
  const bool drawingOnMain = mFrameOpen && !TopLayer();
  if (drawingOnMain) EndFrame();
  if (mMainFramebuffer) {
    QueueFramebufferDelete(this, mMainFramebuffer);
    mMainFramebuffer = nullptr;
  }
  if (!mContext) return;
  const int32_t w = ScreenScale() * FrameWidth();
  const int32_t h = ScreenScale() * FrameHeight();
  if (w < 1 || h < 1) return;
  mMainFramebuffer = nvgluCreateFramebuffer(mContext, w, h, 0);
  ClearFramebuffer(mMainFramebuffer);
  // A rebuild inside a paint goes on drawing, now on the new surface.
  if (drawingOnMain) BeginCurrentTarget();
}

// ---- Frames ----

bool ICanvasNanoVG::CanPaint() const { return mContext && mFrameOpen; }

void ICanvasNanoVG::BeginFrame(float width, float height, float ratio) {
  nvgBeginFrame(mContext, width, height, ratio);
  mFrameOpen = true;
}

void ICanvasNanoVG::EndFrame() {
  if (!mFrameOpen) return;
  mFrameOpen = false;
  if (mContext) nvgEndFrame(mContext);
}

void ICanvasNanoVG::BeginMainFrame() {
  const int32_t s = ScreenScale();
  glViewport(0, 0, s * FrameWidth(), s * FrameHeight());
  BeginFrame(static_cast<float>(FrameWidth()), static_cast<float>(FrameHeight()), static_cast<float>(s));
}

void ICanvasNanoVG::CopyMainFramebuffer() {
  // NanoVG would draw this through its general shader with blending and an
  // antialiased fringe; on a software renderer that shader costs more per
  // pixel than everything else in a full repaint. The framebuffer holds
  // premultiplied colour and is exactly the window's size, so a replacing
  // copy gives the same pixels. NanoVG sets all the state it needs again
  // at the start of its next frame.
  const int32_t s = ScreenScale();
  glViewport(0, 0, s * FrameWidth(), s * FrameHeight());
  glUseProgram(0);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, mMainFramebuffer->texture);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Both framebuffers keep their rows bottom up: no flip.
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void ICanvasNanoVG::StartPaint() {
  ICanvasPathBase::StartPaint();
  mInFrame = true;
  // No surface: the paint is skipped; drawing calls find no open frame.
  if (!mContext || !mMainFramebuffer) return;
  EndFrame();
  const int32_t s = ScreenScale();
  // The window's framebuffer, left bound by the previous paint.
  glViewport(0, 0, s * FrameWidth(), s * FrameHeight());
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  BeginCurrentTarget();
}

void ICanvasNanoVG::FinishPaint() {
  if (const int32_t open = LayerDepth()) {
    // A control began a layer and never ended it. Kept, it would hold back
    // the copy to the window, which would stay as StartPaint cleared it,
    // this frame and every later one. Their framebuffers wait for the drain
    // below.
    DebugReport("ICanvasNanoVG::FinishPaint: %d layer(s) left open at the end of a paint, dropped\n",
                static_cast<int>(open));
    FreeStackedLayers();
  }
  EndFrame();
  if (mContext) {
    nvgluBindFramebuffer(nullptr);
    if (mInFrame && mMainFramebuffer) CopyMainFramebuffer();
  }
  mInFrame = false;
  DrainFramebufferDeletes(this);
}

void ICanvasNanoVG::BeginCurrentTarget() {
  if (!mContext) return;
  if (const ILayer* layer = TopLayer()) {
    const auto* bitmap = dynamic_cast<const Bitmap*>(layer->Image.get());
    NVGLUframebuffer* framebuffer = bitmap ? bitmap->Framebuffer() : nullptr;
    if (!framebuffer) return;  // not a surface of ours: nothing is drawn into it
    // The frame spans exactly the image's pixels, whatever the box's
    // fractional size at this draw scale.
    const int32_t s = bitmap->ScreenScale > 0 ? bitmap->ScreenScale : 1;
    glViewport(0, 0, bitmap->PixelWidth, bitmap->PixelHeight);
    nvgluBindFramebuffer(framebuffer);
    BeginFrame(static_cast<float>(bitmap->PixelWidth) / s, static_cast<float>(bitmap->PixelHeight) / s,
               static_cast<float>(s));
  } else if (mInFrame && mMainFramebuffer) {
    nvgluBindFramebuffer(mMainFramebuffer);
    BeginMainFrame();
  } else {
    nvgluBindFramebuffer(nullptr);
    return;
  }
  ApplyDrawState();
}

void ICanvasNanoVG::FlushCurrentTarget() {
  if (!CanPaint()) return;
  EndFrame();
  BeginCurrentTarget();
}

NVGLUframebuffer* ICanvasNanoVG::FramebufferOf(const ILayer& layer) {
  const auto* bitmap = dynamic_cast<const Bitmap*>(layer.Image.get());
  return bitmap ? bitmap->Framebuffer() : nullptr;
}

// ---- Queries ----

IArgb ICanvasNanoVG::SamplePixel(float, float) { return IArgb(255, 0, 0, 0); }
void* ICanvasNanoVG::GetBackendContext() { return mContext; }
const char* ICanvasNanoVG::GetBackendName() { return "NanoVG | GL2"; }
int32_t ICanvasNanoVG::PixelAlphaIndex() { return 3; }
bool ICanvasNanoVG::LayerRowsBottomUp() { return true; }

// ---- Clip and transform ----

void ICanvasNanoVG::SetBackendClip(const IBox& box) {
  if (!mContext) return;
  nvgScissor(mContext, box.Left, box.Top, box.Width(), box.Height());
}

void ICanvasNanoVG::SetBackendTransform(const IAffine& m) {
  if (!mContext) return;
  nvgResetTransform(mContext);
  nvgScale(mContext, DrawScale(), DrawScale());
  if (const ILayer* layer = TopLayer()) nvgTranslate(mContext, -layer->Box.Left, -layer->Box.Top);
  nvgTransform(mContext, static_cast<float>(m.XX), static_cast<float>(m.YX), static_cast<float>(m.XY),
               static_cast<float>(m.YY), static_cast<float>(m.TX), static_cast<float>(m.TY));
}

// ---- Framebuffer deletion ----

// Between paints the thread may have another editor's context current, or
// the host's, or none: the owner's own is bound for the deletion. When it
// cannot be (its window is gone) or a paint runs, whose frame may still draw
// the object, the deletion waits for the end of the next paint or the close.
void ICanvasNanoVG::QueueFramebufferDelete(ICanvasNanoVG* owner, NVGLUframebuffer* framebuffer) {
  if (!framebuffer) return;
  if (!owner || !owner->mContext) {
    // The context and its objects went with it; only the record is left.
    std::free(framebuffer);
    return;
  }
  if (!owner->mInFrame && owner->BindGlContext()) {
    nvgluDeleteFramebuffer(framebuffer);
    owner->UnbindGlContext();
    return;
  }
  ISectionGuard guard(owner->mDeleteQueueLock);
  owner->mDeleteQueue.push_back(IDeferredDelete{framebuffer, 0});
}

void ICanvasNanoVG::QueueImageDelete(ICanvasNanoVG* owner, int image) {
  if (image == 0 || !owner || !owner->mContext) return;
  if (!owner->mInFrame && owner->BindGlContext()) {
    nvgDeleteImage(owner->mContext, image);
    owner->UnbindGlContext();
    return;
  }
  ISectionGuard guard(owner->mDeleteQueueLock);
  owner->mDeleteQueue.push_back(IDeferredDelete{nullptr, image});
}

void ICanvasNanoVG::DrainFramebufferDeletes(ICanvasNanoVG* owner) {
  if (!owner) return;
  ISectionGuard guard(owner->mDeleteQueueLock);
  while (!owner->mDeleteQueue.empty()) {
    const IDeferredDelete waiting = owner->mDeleteQueue.back();
    owner->mDeleteQueue.pop_back();
    if (waiting.Framebuffer) {
      if (owner->mContext) nvgluDeleteFramebuffer(waiting.Framebuffer);
      else std::free(waiting.Framebuffer);
    } else if (owner->mContext) {
      nvgDeleteImage(owner->mContext, waiting.Image);
    }
  }
}

} // namespace plugkit::canvas
