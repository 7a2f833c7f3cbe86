// Pointer, touch and key routing: which control is under a point, which
// control each pressed pointer is bound to, the corner drag, and the host
// gestures that bracket a press.

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/TraceCall.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/IEntryOverlay.h"
#include "graphics/IMenuOverlay.h"

namespace plugkit::canvas {

namespace {

bool IsFinitePoint(float x, float y) { return std::isfinite(x) && std::isfinite(y); }

// A logical size from a pointer position, or false when it is not a number.
bool WholePixels(float v, int32_t& out) {
  if (!std::isfinite(v)) return false;
  out = static_cast<int32_t>(std::trunc(std::clamp(v, -1.0e9f, 1.0e9f)));
  return true;
}

} // namespace

// ---- Captures and gestures ----

bool ICanvas::HasParam(int32_t paramIndex) const {
  return paramIndex >= 0 && mDelegate && paramIndex < mDelegate->ParamCount();
}

ICanvas::ICapture* ICanvas::FindCapture(uint64_t pointerId, uint64_t serial) {
  const auto entry = mCaptures.find(pointerId);
  return entry != mCaptures.end() && entry->second.Serial == serial ? &entry->second : nullptr;
}

bool ICanvas::BeginGestures(uint64_t pointerId) {
  const auto entry = mCaptures.find(pointerId);
  if (entry == mCaptures.end() || !entry->second.Control) return false;
  const uint64_t serial = entry->second.Serial;
  // The parameters are read before the first host call: a host may answer a
  // gesture by resizing the editor (a layout run again may replace the
  // control) or by closing it, either of which drops the binding.
  const IControl* control = entry->second.Control;
  std::vector<int32_t> params;
  for (int32_t slot = 0; slot < control->BoundValueCount(); ++slot) {
    const int32_t param = control->ParamIndexAt(slot);
    // A parameter bound to two slots still gets one gesture.
    if (HasParam(param) && std::find(params.begin(), params.end(), param) == params.end()) params.push_back(param);
  }
  for (const int32_t param : params) {
    mDelegate->BeginEditorGesture(param);
    ICapture* capture = FindCapture(pointerId, serial);
    if (!capture) {
      // Dropped during the call, before this gesture was recorded for the
      // drop to end: end it here so the host sees a balanced pair.
      mDelegate->EndEditorGesture(param);
      return false;
    }
    capture->BegunGestures.push_back(param);
  }
  return true;
}

// The capture must already be out of the map: the control's release may
// open a menu or resize, which drops captures in turn.
void ICanvas::EndCapture(ICapture& capture, bool deliverRelease) {
  if (deliverRelease && capture.Pressed && capture.Control) {
    IPointerMods mods = capture.LastMods;
    mods.Left = false;
    mods.Right = false;
    capture.Control->OnPointerRelease(capture.LastX, capture.LastY, mods);
  }
  if (mDelegate)
    for (const int32_t param : capture.BegunGestures) mDelegate->EndEditorGesture(param);
  capture.BegunGestures.clear();
}

void ICanvas::DropCaptures(bool deliverRelease) {
  while (!mCaptures.empty()) {
    auto node = mCaptures.extract(mCaptures.begin());
    EndCapture(node.mapped(), deliverRelease);
  }
}

void ICanvas::ReleaseAllCaptures() { DropCaptures(true); }

bool ICanvas::IsCaptured(const IControl* control) const {
  if (!control) return false;
  for (const auto& entry : mCaptures)
    if (entry.second.Control == control) return true;
  return false;
}

// ---- Finding controls ----

IControl* ICanvas::ControlUnderPointer(float x, float y, bool capture, bool mouseOver, uint64_t pointerId) {
  const auto captured = mCaptures.find(pointerId);
  if (captured != mCaptures.end() && captured->second.Control) return captured->second.Control;

  IControl* found = nullptr;
  int32_t index = -1;
  if (mPopupMenuControl && mPopupMenuControl->TakesEveryPoint()) {
    found = mPopupMenuControl;
  } else if (mTextEntryControl && mTextEntryControl->IsEditing()) {
    found = mTextEntryControl;
  } else if (mCornerResizer && !mCornerResizer->Concealed() && !mCornerResizer->IgnorePointer() &&
             mCornerResizer->Bounds().Contains(x, y)) {
    found = mCornerResizer;
  } else if (!mouseOver || mMouseOverTracking) {
    // The background (index 0) never hovers.
    const int32_t lowest = mouseOver ? 1 : 0;
    for (int32_t i = mControls.Count() - 1; i >= lowest; --i) {
      IControl* control = mControls.Get(i);
      if (!control || control->Concealed() || control->IgnorePointer()) continue;
      if (control->Inactive() && !(mouseOver ? control->HoverWhenInactive() : control->PointerWhenInactive()))
        continue;
      if (control->CoversPoint(x, y)) {
        found = control;
        index = i;
        break;
      }
    }
  }

  if (capture && found) {
    ICapture& entry = mCaptures[pointerId];
    entry = ICapture();
    entry.Control = found;
    entry.Serial = ++mLastCaptureSerial;
    entry.LastX = x;
    entry.LastY = y;
  }
  if (mouseOver) mMouseOverIndex = index;
  return found;
}

// ---- Press, release, drag ----

void ICanvas::HandlePointerDown(const IPointerEvent* events, int32_t count) {
  if (!events || count <= 0) return;
  if (count == 1 && IsFinitePoint(events[0].X, events[0].Y)) {
    mResizeStartX = events[0].X;
    mResizeStartY = events[0].Y;
  }
  for (int32_t i = 0; i < count; ++i) {
    const IPointerEvent& e = events[i];
    if (!IsFinitePoint(e.X, e.Y)) continue;
    const uint64_t id = e.Mods.PointerId;
    const auto before = mCaptures.find(id);
    // A second button of a pointer that already pressed begins nothing new.
    const bool alreadyPressed = before != mCaptures.end() && before->second.Pressed;

    // A right press inside a press that goes on (the right button during a
    // left drag) asks for no menu and no prompt: the drag goes on as it was.
    if (alreadyPressed && e.Mods.Right) continue;

    IControl* control = ControlUnderPointer(e.X, e.Y, true, false, id);
    if (!control) continue;
    const int32_t vi = control->ValueIndexAt(e.X, e.Y);

    if (e.Mods.Right && vi == -1) {
      MarkPressed(e);
      control->OnPointerPress(e.X, e.Y, e.Mods);
      return;
    }
    if (e.Mods.Right && HasParam(control->ParamIndexAt(std::max(vi, 0)))) {
      ReleaseAllCaptures();
      OpenContextMenuForControl(control, e.X, e.Y);
      return;
    }

    // A binding the host dropped while its gestures began gets no press: no
    // release would follow it.
    if (!alreadyPressed && !BeginGestures(id)) continue;
    MarkPressed(e);
    control->OnPointerPress(e.X, e.Y, e.Mods);
  }
}

void ICanvas::MarkPressed(const IPointerEvent& e) {
  const auto entry = mCaptures.find(e.Mods.PointerId);
  if (entry == mCaptures.end()) return;
  entry->second.Pressed = true;
  entry->second.LastX = e.X;
  entry->second.LastY = e.Y;
  entry->second.LastMods = e.Mods;
}

// The binding stays while the control hears of its release and while the
// gestures end, so the control keeps refusing host values until its drag is
// fully over. Both the control and the host may call back (open a menu,
// resize), which can drop the binding; every step after a call therefore
// looks it up again.
void ICanvas::ReleasePointer(const IPointerEvent& e) {
  const uint64_t id = e.Mods.PointerId;
  const auto entry = mCaptures.find(id);
  if (entry == mCaptures.end()) return;
  ICapture& capture = entry->second;
  const uint64_t serial = capture.Serial;
  if (capture.Pressed && capture.Control) {
    // Cleared first, so a drop from inside the release does not deliver a
    // second one.
    capture.Pressed = false;
    // A release without a usable position still ends the press.
    const bool usable = IsFinitePoint(e.X, e.Y);
    capture.Control->OnPointerRelease(usable ? e.X : capture.LastX, usable ? e.Y : capture.LastY, e.Mods);
  }
  ICapture* still = FindCapture(id, serial);
  if (!still) return;  // dropped during the release, which ended its gestures
  std::vector<int32_t> gestures;
  gestures.swap(still->BegunGestures);
  if (mDelegate)
    for (const int32_t param : gestures) mDelegate->EndEditorGesture(param);
  if (FindCapture(id, serial)) mCaptures.erase(id);
}

void ICanvas::HandlePointerUp(const IPointerEvent* events, int32_t count) {
  if (events && count > 0)
    for (int32_t i = 0; i < count; ++i) ReleasePointer(events[i]);
  if (mResizing) {
    mResizing = false;
    if (mResizeMode == EResizeMode::Scale) {
      VisitAllControls([](IControl& c) { c.OnScaleChange(); });
      VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
    }
  }
}

void ICanvas::HandlePointerDrag(const IPointerEvent* events, int32_t count) {
  if (!events || count <= 0) return;
  if (mResizing && count == 1) {
    const IPointerEvent& e = events[0];
    if (!IsFinitePoint(e.X, e.Y)) return;
    if (mResizeMode == EResizeMode::Size) {
      int32_t w = 0;
      int32_t h = 0;
      if (WholePixels(e.X, w) && WholePixels(e.Y, h)) ApplySize(w, h, mDrawScale);
    } else {
      // Positions are logical, so the scale follows the pointer's device
      // position without compounding. A ratio that is not a number (a press
      // at 0) leaves the other to decide; ApplySize refuses when neither can.
      const float byY = mDrawScale * e.Y / mResizeStartY;
      const float byX = mDrawScale * e.X / mResizeStartX;
      ApplySize(mWidth, mHeight, std::fmin(byY, byX));
    }
    return;
  }
  if (mCaptures.empty()) return;
  for (int32_t i = 0; i < count; ++i) {
    const IPointerEvent& e = events[i];
    if (!IsFinitePoint(e.X, e.Y)) continue;
    if (e.DeltaX == 0.0f && e.DeltaY == 0.0f) continue;
    const auto entry = mCaptures.find(e.Mods.PointerId);
    if (entry == mCaptures.end() || !entry->second.Control) continue;
    // While a value is being typed nothing else may change under it; only
    // the in-window entry itself takes drags (to mark text).
    if (mEditedControl && entry->second.Control != mTextEntryControl) continue;
    entry->second.LastX = e.X;
    entry->second.LastY = e.Y;
    entry->second.LastMods = e.Mods;
    entry->second.Control->OnPointerDrag(e.X, e.Y, e.DeltaX, e.DeltaY, e.Mods);
  }
}

// ---- Hover, leave, double press, wheel, drop ----

void ICanvas::HandlePointerHover(float x, float y, const IPointerMods& mods) {
  if (!IsFinitePoint(x, y)) return;
  IControl* control = ControlUnderPointer(x, y, false, true, 0);
  if (control != mMouseOverControl) {
    IControl* previous = mMouseOverControl;
    mMouseOverControl = control;
    if (previous) previous->OnPointerGone();
  }
  if (control) control->OnPointerHover(x, y, mods);
}

void ICanvas::HandlePointerLeave() {
  ChangePointerShape(EPointerShape::Arrow);
  VisitAllControls([](IControl& c) { c.OnPointerGone(); });
  mMouseOverControl = nullptr;
  mMouseOverIndex = -1;
}

bool ICanvas::HandleDoublePress(const IPointerEvent& event) {
  if (!IsFinitePoint(event.X, event.Y)) return false;
  IControl* control = ControlUnderPointer(event.X, event.Y, true, false, event.Mods.PointerId);
  if (!control) return false;
  if (control->DoubleAsPress()) {
    HandlePointerDown(&event, 1);
  } else {
    control->OnPointerDoublePress(event.X, event.Y, event.Mods);
    ReleaseAllCaptures();
  }
  return true;
}

bool ICanvas::HandleWheel(float x, float y, const IPointerMods& mods, float notches) {
  if (!IsFinitePoint(x, y) || !std::isfinite(notches)) return false;
  IControl* control = ControlUnderPointer(x, y, false, false, 0);
  if (!control) return false;
  control->OnWheelTurn(x, y, mods, notches);
  return true;
}

bool ICanvas::HandleFileDrop(float x, float y, const char* path) {
  if (!IsFinitePoint(x, y)) return false;
  IControl* control = ControlUnderPointer(x, y, false, false, 0);
  if (!control) return false;
  control->OnFileDrop(path ? path : "");
  return true;
}

// ---- Keys ----

bool ICanvas::OnKeyDown(float x, float y, const IKeyStroke& key) {
  TraceCall("ICanvas::OnKeyDown", __LINE__, "x:%0.2f, y:%0.2f, key:%s", x, y, key.Text);
  if (IsFinitePoint(x, y)) {
    IControl* control = ControlUnderPointer(x, y, false, false, 0);
    if (control && control != mControls.Get(0) && control->OnKeyStroke(x, y, key)) return true;
  }
  return mKeyHandler ? mKeyHandler(key, false) : false;
}

bool ICanvas::OnKeyUp(float x, float y, const IKeyStroke& key) {
  TraceCall("ICanvas::OnKeyUp", __LINE__, "x:%0.2f, y:%0.2f, key:%s", x, y, key.Text);
  if (IsFinitePoint(x, y)) {
    IControl* control = ControlUnderPointer(x, y, false, false, 0);
    if (control && control != mControls.Get(0) && control->OnKeyStrokeEnd(x, y, key)) return true;
  }
  return mKeyHandler ? mKeyHandler(key, true) : false;
}

} // namespace plugkit::canvas
