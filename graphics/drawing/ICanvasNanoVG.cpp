// The NanoVG back-end's context, main framebuffer and frames.

#include "graphics/drawing/ICanvasNanoVG.h"

#include <cmath>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/platform/GlEntryPoints.h"

namespace plugkit::canvas {

namespace {

// Clears the framebuffer bound now: transparent colour, empty stencil.
void ClearBoundTarget(int32_t width, int32_t height) {
  glViewport(0, 0, width, height);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

} // namespace

ICanvasNanoVG::ICanvasNanoVG(ICanvasEditorDelegate* delegate, int32_t width, int32_t height,
                             int32_t framesPerSecond, float drawScale)
    : ICanvasPathBase(delegate, width, height, framesPerSecond, drawScale) {
  AttachSharedCaches();
}

ICanvasNanoVG::~ICanvasNanoVG() {
  // Controls may hold layers whose framebuffers come back to this object;
  // they go while this part of the object still exists.
  RemoveEveryControl();
  FreeStackedLayers();
  DetachSharedCaches();
}

// ---- Context ----

void* ICanvasNanoVG::OnSurfaceCreated() {
  if (mContext) return mContext;
  // NanoVG's renderer calls the loaded entry points from its first call on.
  if (!gl::GlEntryPointsReady()) return nullptr;
  mContext = nvgCreateGL2(NVG_ANTIALIAS | NVG_STENCIL_STROKES);
  return mContext;
}

void ICanvasNanoVG::OnSurfaceDestroyed() {
  RemoveEveryControl();
  FreeStackedLayers();
  ReleaseContextResources();
}

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
  if (mMainFramebuffer) {
    QueueFramebufferDelete(this, mMainFramebuffer);
    mMainFramebuffer = nullptr;
  }
  if (!mContext) return;
  const int32_t w = ScreenScale() * FrameWidth();
  const int32_t h = ScreenScale() * FrameHeight();
  if (w < 1 || h < 1) return;
  mMainFramebuffer = nvgluCreateFramebuffer(mContext, w, h, 0);
  if (!mMainFramebuffer) return;
  // A new framebuffer holds whatever the driver left in its memory.
  nvgluBindFramebuffer(mMainFramebuffer);
  ClearBoundTarget(w, h);
  nvgluBindFramebuffer(nullptr);
  // A rebuild inside a paint keeps drawing, now on the new surface.
  if (mFrameOpen && LayerDepth() == 0) {
    EndFrame();
    nvgluBindFramebuffer(mMainFramebuffer);
    BeginMainFrame();
  }
}

// ---- Frames ----

bool ICanvasNanoVG::CanPaint() const { return mContext && mFrameOpen; }

void ICanvasNanoVG::BeginFrame(float width, float height, float ratio) {
  nvgBeginFrame(mContext, width, height, ratio);
  mFrameOpen = true;
}

void ICanvasNanoVG::EndFrame() {
  if (!mFrameOpen) return;
  nvgEndFrame(mContext);
  mFrameOpen = false;
}

void ICanvasNanoVG::BeginMainFrame() {
  const int32_t s = ScreenScale();
  glViewport(0, 0, s * FrameWidth(), s * FrameHeight());
  BeginFrame(static_cast<float>(FrameWidth()), static_cast<float>(FrameHeight()), static_cast<float>(s));
}

void ICanvasNanoVG::StartPaint() {
  ICanvasPathBase::StartPaint();
  mInFrame = true;
  // No surface: the paint is skipped; drawing calls find no open frame.
  if (!mContext || !mMainFramebuffer) return;
  const int32_t s = ScreenScale();
  ClearBoundTarget(s * FrameWidth(), s * FrameHeight());
  nvgluBindFramebuffer(mMainFramebuffer);
  BeginMainFrame();
}

void ICanvasNanoVG::FinishPaint() {
  if (mContext && mFrameOpen) {
    EndFrame();
    const float w = static_cast<float>(FrameWidth());
    const float h = static_cast<float>(FrameHeight());
    nvgluBindFramebuffer(nullptr);
    BeginMainFrame();
    nvgSave(mContext);
    nvgResetTransform(mContext);
    nvgBeginPath(mContext);
    nvgRect(mContext, 0.0f, 0.0f, w, h);
    nvgFillPaint(mContext, nvgImagePattern(mContext, 0.0f, 0.0f, w, h, 0.0f, mMainFramebuffer->image, 1.0f));
    nvgFill(mContext);
    nvgRestore(mContext);
    EndFrame();
  }
  mInFrame = false;
  DrainFramebufferDeletes(this);
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
  IBox layer;
  if (TopLayerBox(layer)) nvgTranslate(mContext, -layer.Left, -layer.Top);
  nvgTransform(mContext, static_cast<float>(m.XX), static_cast<float>(m.YX), static_cast<float>(m.XY),
               static_cast<float>(m.YY), static_cast<float>(m.TX), static_cast<float>(m.TY));
}

// ---- Framebuffer deletion ----

void ICanvasNanoVG::QueueFramebufferDelete(ICanvasNanoVG* owner, NVGLUframebuffer* framebuffer) {
  if (!framebuffer) return;
  if (!owner || !owner->mContext) {
    // The context and its objects are gone with it; only the record is left.
    std::free(framebuffer);
    return;
  }
  if (owner->mInFrame) {
    ISectionGuard guard(owner->mDeleteQueueLock);
    owner->mDeleteQueue.push_back(framebuffer);
    return;
  }
  nvgluDeleteFramebuffer(framebuffer);
}

void ICanvasNanoVG::DrainFramebufferDeletes(ICanvasNanoVG* owner) {
  if (!owner) return;
  ISectionGuard guard(owner->mDeleteQueueLock);
  while (!owner->mDeleteQueue.empty()) {
    NVGLUframebuffer* framebuffer = owner->mDeleteQueue.back();
    owner->mDeleteQueue.pop_back();
    if (owner->mContext)
      nvgluDeleteFramebuffer(framebuffer);
    else
      std::free(framebuffer);
  }
}

} // namespace plugkit::canvas
