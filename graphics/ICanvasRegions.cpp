// The control list, the dirty-region collection of a display tick and the
// drawing of dirty regions control by control.

#include <cmath>
#include <new>

#include "core/DebugReport.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/IEntryOverlay.h"
#include "graphics/IMenuOverlay.h"
#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/controls/ITextEntryControl.h"

namespace plugkit::canvas {

namespace {

// Covers antialiased edges that reach just outside a control's bounds.
constexpr float kRedrawMargin = 0.75f;

// Outwards to whole device pixels at density d.
IBox SnapToDevicePixels(const IBox& box, float d) {
  return IBox(std::floor(box.Left * d) / d, std::floor(box.Top * d) / d, std::ceil(box.Right * d) / d,
              std::ceil(box.Bottom * d) / d);
}

// Bounds that cover no area (all zero, collapsed, inverted or not numbers)
// are never drawn or collected.
bool CoversArea(const IBox& box) { return box.Width() > 0.0f && box.Height() > 0.0f; }

} // namespace

// ---- Attaching and removing ----

void ICanvas::AttachLinks(IControl* control) {
  control->SetDelegateRef(mDelegate);
  // Always this canvas: a control must never point at another editor's
  // canvas, whatever the delegate holds open at the moment.
  control->SetGraphicsRef(this);
  control->OnBind();
  control->OnBoundsChange();
  control->OnScaleChange();
  WakeDisplayTicks();  // a new control is drawn on the next tick
}

IControl* ICanvas::AdoptControl(IControl* control) {
  if (!control) return nullptr;
  AttachLinks(control);
  control->SetControlId(-1);
  control->SetCluster("");
  if (!mControls.Add(control)) {
    delete control;
    return nullptr;
  }
  control->OnListed();
  return control;
}

IControl* ICanvas::AttachBackground(IControl* control) {
  if (!control) return nullptr;
  control->SetIgnorePointer(true);
  AttachLinks(control);
  if (!mControls.InsertFront(control)) {
    delete control;
    return nullptr;
  }
  return control;
}

IControl* ICanvas::AttachCornerResizer(IControl* control, EResizeMode mode, bool relayoutOnResize) {
  if (mCornerResizer) {
    if (control != mCornerResizer) delete control;
    return mCornerResizer;
  }
  if (!control) return nullptr;
  mCornerResizer = control;
  mResizeMode = mode;
  mRelayoutOnResize = relayoutOnResize;
  AttachLinks(control);
  return control;
}

IMenuOverlay* ICanvas::InstallPopupMenuControl(IMenuOverlay* control) {
  if (mPopupMenuControl) {
    if (control != mPopupMenuControl) delete control;
    return mPopupMenuControl;
  }
  if (!control) control = new (std::nothrow) IPopupMenuControl();
  if (!control) return nullptr;
  mPopupMenuControl = control;
  AttachLinks(control);
  return control;
}

IEntryOverlay* ICanvas::InstallTextEntryControl(IEntryOverlay* control) {
  if (mTextEntryControl) {
    if (control != mTextEntryControl) delete control;
    return mTextEntryControl;
  }
  if (!control) control = new (std::nothrow) ITextEntryControl();
  if (!control) return nullptr;
  mTextEntryControl = control;
  AttachLinks(control);
  return control;
}

void ICanvas::RemoveEveryControl() { DeleteControls(true); }

void ICanvas::EndInteraction() {
  DropCaptures(false);
  ForgetControls();
}

// Nothing may keep pointing at a control about to be deleted, nor hand an
// answer to one of a closed editor.
void ICanvas::ForgetControls() {
  mMouseOverIndex = -1;
  mMouseOverControl = nullptr;
  mEditedControl = nullptr;
  mEditedValueIndex = -1;
  mMenuRequester = nullptr;
  mMenuValueIndex = -1;
  mMenuIsContext = false;
  mResizing = false;
  // Waiting actions may hold the controls.
  mDeferredActions.clear();
}

void ICanvas::DeleteControls(bool endGestures) {
  if (endGestures) {
    DropCaptures(false);
  } else {
    mCaptures.clear();
  }
  ForgetControls();

  IControl* special = mPopupMenuControl;
  mPopupMenuControl = nullptr;
  delete special;
  special = mTextEntryControl;
  mTextEntryControl = nullptr;
  delete special;
  special = mCornerResizer;
  mCornerResizer = nullptr;
  delete special;
  mControls.DeleteAll();
}

// ---- Visiting ----

// Indices are re-read on every step, so a visitor that adds controls (a
// layout run again from a size change) does not invalidate the walk.
void ICanvas::VisitControls(const IControlVisitor& visitor) {
  for (int32_t i = 0; i < mControls.Count(); ++i)
    if (IControl* control = mControls.Get(i)) visitor(*control);
}

void ICanvas::VisitAllControls(const IControlVisitor& visitor) {
  VisitControls(visitor);
  if (mCornerResizer) visitor(*mCornerResizer);
  if (mTextEntryControl) visitor(*mTextEntryControl);
  if (mPopupMenuControl) visitor(*mPopupMenuControl);
}

void ICanvas::UpdateControlsBoundTo(int32_t paramIndex, double value, const IControl* origin) {
  if (paramIndex < 0) return;
  VisitControls([&](IControl& control) {
    if (&control == origin) return;
    const int32_t slot = control.FirstSlotBoundTo(paramIndex);
    if (slot >= 0) control.TakeValueFromDelegate(value, slot);
  });
}

// ---- Display tick ----

void ICanvas::RunAnimations() {
  VisitAllControls([](IControl& control) {
    if (!control.AnimationStep()) return;
    // A copy: the step may clear or replace the control's step while it runs.
    const IControlFunction step = control.AnimationStep();
    step(&control);
  });
}

bool ICanvas::CollectDirtyBoxes(IBoxList& boxes) {
  bool any = false;
  VisitAllControls([&](IControl& control) {
    if (!control.WantsRedraw()) return;
    any = true;
    const IBox& bounds = control.Bounds();
    if (CoversArea(bounds)) boxes.Add(bounds.Grown(kRedrawMargin));
  });
  return any;
}

bool ICanvas::RunDisplayTick(IBoxList& boxes) {
  if (mTickHandler) {
    const ITickHandler handler = mTickHandler;
    handler();
  }
  RunAnimations();
  const bool any = CollectDirtyBoxes(boxes);
  if (any) VisitAllControls([](IControl& control) { control.MarkClean(); });
  return any;
}

// ---- Drawing ----

void ICanvas::PaintRegions(IBoxList& boxes) {
  if (boxes.Count() == 0) return;
  float d = PixelDensity();
  if (!std::isfinite(d) || d <= 0.0f) d = 1.0f;
  StartPaint();
  for (int32_t i = 0; i < boxes.Count(); ++i) boxes.Set(i, SnapToDevicePixels(boxes.Get(i), d));
  boxes.Optimise();
  for (int32_t i = 0; i < boxes.Count(); ++i) {
    const IBox dirty = boxes.Get(i);
    VisitAllControls([&](IControl& control) { PaintControl(&control, dirty, d); });
  }
  FinishPaint();
}

void ICanvas::PaintControl(IControl* control, const IBox& dirty, float density) {
  if (!control) return;
  // The background is drawn even when concealed; it is what lies behind.
  if (control->Concealed() && control != mControls.Get(0)) return;
  const IBox& bounds = control->Bounds();
  if (!CoversArea(bounds)) return;
  if (!std::isfinite(density) || density <= 0.0f) density = 1.0f;

  const IBox area = SnapToDevicePixels(bounds.Grown(kRedrawMargin), density);
  if (area.IsEmpty() || dirty.IsEmpty()) return;
  if (area.Left > dirty.Right || area.Right <= dirty.Left || area.Top > dirty.Bottom || area.Bottom <= dirty.Top)
    return;
  const IBox clip(std::fmax(area.Left, dirty.Left), std::fmax(area.Top, dirty.Top), std::fmin(area.Right, dirty.Right),
                  std::fmin(area.Bottom, dirty.Bottom));
  if (!CoversArea(clip)) return;

  mRegionClip = clip;
  StartRegionPaint(clip);
  const int32_t depth = LayerDepth();
  control->Render(*this);
  // A layer the control began and never ended would take every later
  // control's drawing of this paint: it goes here, and only what the control
  // drew into it after beginning it is lost.
  if (const int32_t open = DropLayersAbove(depth))
    DebugReport("ICanvas::PaintControl: a control left %d layer(s) open, dropped\n", static_cast<int>(open));
  FinishRegionPaint(clip);
  mRegionClip = IBox();
}

} // namespace plugkit::canvas
