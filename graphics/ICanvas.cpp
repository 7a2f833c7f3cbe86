#include "graphics/ICanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"

namespace plugkit::canvas {

ICanvas::ICanvas(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, int32_t framesPerSecond,
                 float drawScale)
    : mWidth(std::max(width, 1)),
      mHeight(std::max(height, 1)),
      mDrawScale(std::isfinite(drawScale) && drawScale > 0.0f ? drawScale : 1.0f),
      mFramesPerSecond(std::max(framesPerSecond, 1)),
      mMinScale(mDrawScale * 0.5f),
      mMaxScale(mDrawScale * 2.0f),
      mMinWidth(std::max(mWidth / 2, 1)),
      mMaxWidth(mWidth > INT32_MAX / 2 ? INT32_MAX : mWidth * 2),
      mMinHeight(std::max(mHeight / 2, 1)),
      mMaxHeight(mHeight > INT32_MAX / 2 ? INT32_MAX : mHeight * 2),
      mDelegate(delegate) {
  mCaptures.max_load_factor(1.0f);
  mCaptures.rehash(8);
  VectorImageCache().Retain();
}

// Runs in the base destructor: the derived back-end and platform parts are
// gone, so nothing here may reach a virtual operation of this object, and
// the delegate may itself be half destroyed. Controls are deleted without
// releases or host calls. Layers still stacked should have been freed by
// the back-end while its context was current; any left go now. The last
// canvas of the process empties the vector-image cache.
ICanvas::~ICanvas() {
  DeleteControls(false);
  FreeStackedLayers();
  VectorImageCache().Release();
}

size_t ICanvas::IPointerIdHash::operator()(uint64_t id) const {
  uint64_t hash = 14695981039346656037ull;
  for (int i = 0; i < 8; ++i) {
    hash ^= (id >> (8 * i)) & 0xFFu;
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

// ---- Size and scale ----

int32_t ICanvas::DevicePixels(int32_t screenScale, int32_t logical, float drawScale) {
  // Rounded to float first, as the product is everywhere else the editor
  // draws; the product stays inside int32 whatever the factor.
  const float scaled = static_cast<float>(logical) * drawScale;
  const int64_t whole = std::isfinite(scaled) ? static_cast<int64_t>(std::min(scaled, 2.0e9f)) : 0;
  const int64_t product = static_cast<int64_t>(screenScale) * whole;
  return static_cast<int32_t>(std::clamp<int64_t>(product, 0, INT32_MAX));
}

int32_t ICanvas::CappedScreenScale() const {
  return mScreenScaleCap > 0 ? std::min(mAskedScreenScale, mScreenScaleCap) : mAskedScreenScale;
}

void ICanvas::ApplyScreenScale(int32_t scale) {
  const int32_t asked = std::clamp(scale, 1, kMaxScreenScale);
  // A cap answers the room for one scale; another scale asks afresh.
  if (asked != mAskedScreenScale) mScreenScaleCap = 0;
  mAskedScreenScale = asked;
  UseScreenScale(CappedScreenScale());
  ResizeTail(true);
}

void ICanvas::CapScreenScale(int32_t cap) {
  mScreenScaleCap = cap > 0 ? std::min(cap, kMaxScreenScale) : 0;
  if (CappedScreenScale() == mScreenScale) return;
  UseScreenScale(CappedScreenScale());
  ResizeTail(true);
}

void ICanvas::UseScreenScale(int32_t scale) {
  if (scale != mScreenScale) {
    // Released while the old scale holds, so a control that shows the
    // pointer again puts it back where it was on the screen.
    ReleaseAllCaptures();
    mResizing = false;
  }
  mScreenScale = scale;
}

bool ICanvas::ApplySize(int32_t width, int32_t height, float drawScale) {
  if (!std::isfinite(drawScale)) return false;
  const float s = std::min(std::max(drawScale, mMinScale), mMaxScale);
  const int32_t w = std::min(std::max(width, mMinWidth), mMaxWidth);
  const int32_t h = std::min(std::max(height, mMinHeight), mMaxHeight);
  if (w == mWidth && h == mHeight && s == mDrawScale) return true;

  ReleaseAllCaptures();
  mDrawScale = s;
  mWidth = w;
  mHeight = h;
  // The resizer places itself from the new size before anyone draws it.
  if (mCornerResizer) mCornerResizer->OnScaleChange();
  ResizeTail(false);
  // A host may close the editor in its answer to the size request: a closed
  // editor gets no new controls.
  if (mRelayoutOnResize && mDelegate && !mDisposed) mDelegate->RunEditorLayout(this);
  return true;
}

// Before the window exists there is nothing to resize and no host window to
// ask about: opening the window applies the screen scale, which runs this
// again with everything in place.
void ICanvas::ResizeTail(bool scaleChanged) {
  const bool hasWindow = HasNativeWindow();
  if (hasWindow) {
    const int32_t k = DisplayScaleFactor();
    bool accepted = false;
    if (mDelegate)
      accepted = mDelegate->RequestEditorResize(DevicePixels(k, mWidth, mDrawScale),
                                                DevicePixels(k, mHeight, mDrawScale));
    ResizeNativeWindow(accepted);
  }
  if (scaleChanged)
    VisitAllControls([](IControl& c) { c.OnScaleChange(); });
  else
    VisitAllControls([](IControl& c) { c.OnBoundsChange(); });
  VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
  if (hasWindow) RebuildBackBuffer();
}

void ICanvas::SetTickHandler(ITickHandler handler) {
  mTickHandler = std::move(handler);
  WakeDisplayTicks();
}
void ICanvas::SetKeyHandler(IKeyHandler handler) { mKeyHandler = std::move(handler); }

// ---- Deferred actions ----

void ICanvas::DeferAction(IDeferredAction action) {
  if (!action) return;
  mDeferredActions.push_back(std::move(action));
  WakeDisplayTicks();
}

void ICanvas::RunDeferredActions() {
  // The queue is read afresh after every action: one may queue another, or
  // drop the rest (the controls removed, the editor closed); only the
  // running one is held here.
  while (!mDeferredActions.empty()) {
    const IDeferredAction action = std::move(mDeferredActions.front());
    mDeferredActions.pop_front();
    action();
  }
}

// ---- Lifetime ----

ICanvas::ICallScope::ICallScope(ICanvas* canvas) : mCanvas(canvas), mDelegate(canvas ? canvas->mDelegate : nullptr) {
  if (mDelegate) mDelegate->HoldForEditorCall();
  if (mCanvas) ++mCanvas->mCallDepth;
}

ICanvas::ICallScope::~ICallScope() {
  if (mCanvas && --mCanvas->mCallDepth == 0 && mCanvas->mDisposed) delete mCanvas;
  // Last: the plug-in the host deleted meanwhile goes after its canvas.
  if (mDelegate) mDelegate->ReleaseEditorHold();
}

void ICanvas::Dispose(ICanvas* canvas) {
  if (!canvas) return;
  canvas->CloseEditorWindow();
  if (canvas->mCallDepth == 0) {
    delete canvas;
    return;
  }
  // The controls stay for the code still running; nothing of theirs goes on.
  canvas->EndInteraction();
  canvas->mDisposed = true;
}

// ---- Base behaviour of the virtual operations ----

void ICanvas::StartPaint() {}
void* ICanvas::OnSurfaceCreated() { return nullptr; }
void ICanvas::OnSurfaceDestroyed() {}
void ICanvas::FinishPaint() {}
void ICanvas::WakeDisplayTicks() {}

float ICanvas::MeasureTextBox(const ITextStyle& style, const char* text, IBox& box) {
  if (!text || text[0] == '\0') return 0.0f;
  return MeasureTextRun(style, text, box);
}

void ICanvas::OutlinePlot(IArgb, const IBox&, const float*, int32_t, const float*, const IComposite*, float) {}
void ICanvas::SwitchDrawTarget() {}

bool ICanvas::CanDrawShapes() { return false; }
void ICanvas::ShapeReset() {}
void ICanvas::ShapeClose() {}
void ICanvas::ShapeAddTriangle(float, float, float, float, float, float) {}
void ICanvas::ShapeAddBox(const IBox&) {}
void ICanvas::ShapeAddRoundedBox(const IBox&, float) {}
void ICanvas::ShapeAddRoundedBoxCorners(const IBox&, float, float, float, float) {}
void ICanvas::ShapeAddArc(float, float, float, float, float, int32_t) {}
void ICanvas::ShapeAddCircle(float, float, float) {}
void ICanvas::ShapeAddOvalInBox(const IBox&) {}
void ICanvas::ShapeAddOval(float, float, float, float, float) {}
void ICanvas::ShapeAddPolygon(const float*, const float*, int32_t) {}
void ICanvas::ShapeMoveTo(float, float) {}
void ICanvas::ShapeLineTo(float, float) {}
void ICanvas::ShapeSetDirection(int32_t) {}
void ICanvas::ShapeCubicTo(float, float, float, float, float, float) {}
void ICanvas::ShapeQuadTo(float, float, float, float) {}
void ICanvas::ShapeStroke(const IFill&, float, const IStrokeOptions&, const IComposite*) {}
void ICanvas::ShapeFill(const IFill&, const IFillOptions&, const IComposite*) {}
void ICanvas::ShapeSaveTransform() {}
void ICanvas::ShapeRestoreTransform() {}
void ICanvas::ShapeResetTransform(bool) {}
void ICanvas::ShapeTranslate(float, float) {}
void ICanvas::ShapeScale(float) {}
void ICanvas::ShapeScaleXY(float, float) {}
void ICanvas::ShapeRotate(float) {}
void ICanvas::ShapeSkew(float, float) {}
void ICanvas::ShapeApplyTransform(const IAffine&) {}
void ICanvas::ShapeClipBox(const IBox&) {}
void ICanvas::FinishRegionPaint(const IBox&) {}

EPointerShape ICanvas::ChangePointerShape(EPointerShape shape) {
  const EPointerShape previous = mPointerShape;
  mPointerShape = shape;
  return previous;
}

bool ICanvas::HasNativeWindow() { return NativeWindowHandle() != nullptr; }
const char* ICanvas::PlatformLabel() { return ""; }
bool ICanvas::ShowFileInExplorer(const char*, bool) { return false; }
void ICanvas::StoreModuleInstance(void*) {}
void* ICanvas::ModuleInstance() { return nullptr; }
void ICanvas::SetDrawingContextHandle(void* handle) { mDrawingContextHandle = handle; }
void ICanvas::SpareTwoArgHook(void*, void*) {}
const char* ICanvas::ResourceGroupName() { return ""; }
void ICanvas::SetTextFieldStyle(const ITextStyle&) {}
bool ICanvas::TextFieldIsOpen() { return false; }
IParam* ICanvas::TextFieldOwner() { return nullptr; }
bool ICanvas::BindGlContext() { return true; }
void ICanvas::UnbindGlContext() {}
bool ICanvas::HasMultiTouch() { return false; }
int32_t ICanvas::DisplayScaleFactor() { return 1; }
void ICanvas::SpareNoArgHook() {}
void ICanvas::ResizeNativeWindow(bool) {}
void ICanvas::RebuildBackBuffer() {}
bool ICanvas::SpareTrueQuery() { return true; }

} // namespace plugkit::canvas
