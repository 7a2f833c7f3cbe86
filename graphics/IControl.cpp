#include "graphics/IControl.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>

#include "core/IEditorDelegate.h"
#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/records/IPopupMenu.h"

// Value slots, value commits, geometry, state and animation. The operations
// that reach into the canvas (prompts, capture, drawing, updating sibling
// controls) live in IControlCanvas.cpp.

namespace plugkit::canvas {

namespace {

double Clamp01(double v) { return std::min(std::max(v, 0.0), 1.0); }

} // namespace

IControl::IControl(const IBox& bounds, int32_t paramIndex, IControlFunction action)
    : mBounds(bounds), mHitBounds(bounds), mChangeAction(std::move(action)), mFirstSlot{{paramIndex, 0.0}, 0.0} {}

IControl::~IControl() = default;

// ---- Input defaults ----

void IControl::OnPointerRelease(float, float, const IPointerMods&) {}
void IControl::OnPointerDrag(float, float, float, float, const IPointerMods&) {}
void IControl::OnPointerDoublePress(float x, float y, const IPointerMods&) { ResetValueToDefault(ValueIndexAt(x, y)); }
void IControl::OnWheelTurn(float, float, const IPointerMods&, float) {}
bool IControl::OnKeyStroke(float, float, const IKeyStroke&) { return false; }
bool IControl::OnKeyStrokeEnd(float, float, const IKeyStroke&) { return false; }

void IControl::OnPointerHover(float, float, const IPointerMods&) {
  const bool was = mPointerOver;
  mPointerOver = true;
  if (!was) MarkChanged(false, -1);
}

void IControl::OnPointerGone() {
  const bool was = mPointerOver;
  mPointerOver = false;
  if (was) MarkChanged(false, -1);
}

void IControl::OnFileDrop(const char*) {}
void IControl::OnScaleChange() {}
void IControl::OnBoundsChange() {}
void IControl::OnBind() {}
void IControl::OnListed() {}
void IControl::OnDelegateMessage(int32_t, int32_t, const void*) {}
void IControl::OnMidiFromDelegate(const IMidiShortMessage&) {}

bool IControl::OnTouchGesture(const IGestureEvent& gesture) {
  const auto it = mGestureHandlers.find(gesture.Kind);
  if (it == mGestureHandlers.end() || !it->second) return false;
  // A copy: the handler may replace or remove itself.
  const IGestureFunction handler = it->second;
  handler(this, gesture);
  mRecentGesture = gesture.Kind;
  return true;
}

size_t IControl::GestureKindHash::operator()(int32_t kind) const {
  const uint32_t bits = static_cast<uint32_t>(kind);
  uint64_t h = 14695981039346656037ull;
  for (int i = 0; i < 4; ++i) {
    h ^= (bits >> (8 * i)) & 0xFFu;
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

bool IControl::SetGestureHandler(int32_t kind, IGestureFunction handler) {
  if (!handler) {
    mGestureHandlers.erase(kind);
    return true;
  }
  try {
    mGestureHandlers[kind] = std::move(handler);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// ---- Menus ----

void IControl::FillContextMenu(IPopupMenu&) {}

void IControl::OnMenuChoice(IPopupMenu* menu, int32_t idx) {
  if (!menu || idx < 0 || mNoValuePrompt) return;
  const IParam* param = ParamAt(idx);
  if (!param) return;
  TakeValueFromUser(param->ToNormalised(static_cast<double>(menu->PickedIndex)), idx);
}

void IControl::OnTextCommitted(const char*, int32_t) {}
void IControl::OnContextMenuChoice(int32_t) {}

// ---- Values ----

int32_t IControl::ValueIndexAt(float, float) const { return BoundValueCount() == 1 ? 0 : -1; }

void IControl::TakeValueFromUser(double value, int32_t idx) {
  const Slot* slot = SlotAt(idx);
  if (!slot || value == slot->Bound.Value) return;
  StoreValue(value, idx);
  MarkChanged(true, idx);
}

void IControl::ResetValueToDefault(int32_t idx) {
  if (BoundValueCount() == 1) idx = 0;
  const int32_t first = idx < 0 ? 0 : idx;
  const int32_t last = idx < 0 ? BoundValueCount() - 1 : idx;
  for (int32_t i = first; i <= last; ++i)
    if (const IParam* param = ParamAt(i)) StoreValue(param->InitialValue(true), i);
  MarkChanged(true, idx);
}

void IControl::StoreValue(double value, int32_t idx) {
  Slot* slot = SlotAt(idx);
  if (!slot) return;
  slot->Bound.Value = value;
  if (!std::isnan(value)) slot->LastNumber = value;
}

void IControl::CommitSlot(int32_t idx) {
  const Slot* slot = SlotAt(idx);
  if (!slot) return;
  double v = slot->Bound.Value;
  // A NaN would travel on to the parameter and the host; the slot keeps the
  // last number it held instead.
  if (std::isnan(v)) v = slot->LastNumber;
  StoreValue(Clamp01(v), idx);
}

void IControl::MarkChanged(bool triggerAction, int32_t idx) {
  const int32_t count = BoundValueCount();
  if (count == 1) idx = 0;
  if (idx >= count) return;
  const int32_t first = idx < 0 ? 0 : idx;
  const int32_t last = idx < 0 ? count - 1 : idx;
  for (int32_t i = first; i <= last; ++i) CommitSlot(i);
  mChanged = true;
  if (mGraphics) mGraphics->WakeDisplayTicks();
  if (!triggerAction) return;
  for (int32_t i = first; i <= last; ++i) SendSlotToHost(i);
  if (mChangeAction) {
    // A copy: the action may replace the control's action while it runs.
    const IControlFunction action = mChangeAction;
    action(this);
  }
}

void IControl::SendSlotToHost(int32_t idx) {
  if (!ParamAt(idx)) return;
  const IBoundValue bound = BoundValueAt(idx);
  mDelegate->SetParamFromEditor(bound.ParamIndex, bound.Value);
  UpdateOtherControls(bound.ParamIndex, bound.Value);
}

void IControl::SetValueFromPointer(float x, float y, bool horizontal, const IBox& track, int32_t idx, double lo,
                                   double hi) {
  // A track without a positive extent, or a point that is not a number,
  // gives no value: nothing is stored, sent or run.
  const double extent = horizontal ? static_cast<double>(track.Right) - track.Left
                                   : static_cast<double>(track.Bottom) - track.Top;
  if (!(extent > 0.0) || !std::isfinite(extent) || std::isnan(horizontal ? x : y)) return;
  const double px = std::min(std::max(static_cast<double>(x), static_cast<double>(track.Left)),
                             static_cast<double>(track.Right));
  const double py = std::min(std::max(static_cast<double>(y), static_cast<double>(track.Top)),
                             static_cast<double>(track.Bottom));
  double f = horizontal ? (px - track.Left) / (static_cast<double>(track.Right) - track.Left)
                        : 1.0 - (py - track.Top) / (static_cast<double>(track.Bottom) - track.Top);
  f = std::round(f / 0.001) * 0.001;
  const double v = std::min(std::max(f, lo), hi);
  if (idx < 0) {
    for (int32_t i = 0; i < BoundValueCount(); ++i) StoreValue(v, i);
  } else {
    StoreValue(v, idx);
  }
  MarkChanged(true, idx);
}

// ---- Geometry and state ----

void IControl::Relocate(float x, float y) {
  x = std::max(x, 0.0f);
  y = std::max(y, 0.0f);
  mPointerOver = false;
  const IBox old = mBounds;
  // Taken before the hook: a hook that sets HitBounds from the new Bounds has
  // already placed it, and shifting what it left would move it twice.
  const float hitDx = mHitBounds.Left - old.Left;
  const float hitDy = mHitBounds.Top - old.Top;
  mBounds = IBox(x, y, x + old.Width(), y + old.Height());
  OnBoundsChange();
  // The hit area keeps its place relative to Bounds and the size the hook gave it.
  const float left = x + hitDx;
  const float top = y + hitDy;
  mHitBounds = IBox(left, top, left + mHitBounds.Width(), top + mHitBounds.Height());
  mPointerOver = false;
}

void IControl::SetExtent(float w, float h) {
  w = std::max(w, 0.0f);
  h = std::max(h, 0.0f);
  mPointerOver = false;
  mBounds = IBox(mBounds.Left, mBounds.Top, mBounds.Left + w, mBounds.Top + h);
  mHitBounds = mBounds;
  OnBoundsChange();
}

void IControl::SetConcealed(bool concealed) {
  mConcealed = concealed;
  MarkChanged(false, -1);
}

void IControl::SetInactive(bool inactive) {
  mInactive = inactive;
  mComposite.Opacity = inactive ? kInactiveOpacity : 1.0f;
  MarkChanged(false, -1);
}

bool IControl::CoversPoint(float x, float y) const {
  if (mHitBounds.IsEmpty()) return false;
  return mHitBounds.Left <= x && x < mHitBounds.Right && mHitBounds.Top <= y && y < mHitBounds.Bottom;
}

void IControl::MarkClean() { mChanged = false; }

bool IControl::WantsRedraw() const { return mAnimationStep ? true : mChanged; }

// ---- Animation ----

double IControl::NowMilliseconds() {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<double>(ns.count()) / 1000000.0;
}

void IControl::LaunchAnimation(IControlFunction step, int32_t durationMs) {
  mAnimationStep = std::move(step);
  mAnimationStart = NowMilliseconds();
  mAnimationLength = durationMs;
  if (mGraphics) mGraphics->WakeDisplayTicks();
}

void IControl::LaunchAnimation(IControlFunction step) { LaunchAnimation(std::move(step), 0); }

double IControl::AnimationFraction() const {
  if (!mAnimationStep) return 0.0;
  // A zero or negative length would divide by zero; it ends after 1 ms.
  const double length = mAnimationLength > 0 ? static_cast<double>(mAnimationLength) : 1.0;
  return (NowMilliseconds() - mAnimationStart) / length;
}

void IControl::OnAnimationDone() {
  mAnimationStep = nullptr;
  MarkChanged(false, -1);
  if (mAnimationEndAction) {
    const IControlFunction action = mAnimationEndAction;
    action(this);
  }
}

// ---- Slots ----

IControl::Slot* IControl::SlotAt(int32_t idx) {
  if (idx == 0) return &mFirstSlot;
  if (idx < 0 || idx >= BoundValueCount()) return nullptr;
  return mMoreSlots.As<Slot>() + (idx - 1);
}

const IControl::Slot* IControl::SlotAt(int32_t idx) const { return const_cast<IControl*>(this)->SlotAt(idx); }

int32_t IControl::BoundValueCount() const { return 1 + mMoreSlots.Size() / static_cast<int32_t>(sizeof(Slot)); }

IBoundValue IControl::BoundValueAt(int32_t idx) const {
  const Slot* slot = SlotAt(idx);
  return slot ? slot->Bound : IBoundValue();
}

double IControl::ValueAt(int32_t idx) const { return BoundValueAt(idx).Value; }

int32_t IControl::ParamIndexAt(int32_t idx) const { return BoundValueAt(idx).ParamIndex; }

bool IControl::SetParamIndexAt(int32_t idx, int32_t paramIndex) {
  Slot* slot = SlotAt(idx);
  if (!slot) return false;
  slot->Bound.ParamIndex = paramIndex;
  return true;
}

bool IControl::AddBoundValue(int32_t paramIndex, double value) {
  const int32_t extra = BoundValueCount() - 1;
  if (extra + 1 >= INT32_MAX / static_cast<int32_t>(sizeof(Slot))) return false;
  const int32_t want = (extra + 1) * static_cast<int32_t>(sizeof(Slot));
  mMoreSlots.SetSize(want, false);
  if (mMoreSlots.Size() != want) return false;
  Slot fresh{{paramIndex, value}, std::isnan(value) ? 0.0 : value};
  std::memcpy(mMoreSlots.As<Slot>() + extra, &fresh, sizeof(Slot));
  return true;
}

IParam* IControl::ParamAt(int32_t idx) const {
  const int32_t paramIndex = ParamIndexAt(idx);
  if (paramIndex < 0 || !mDelegate) return nullptr;
  return mDelegate->GetParam(paramIndex);
}

int32_t IControl::FirstSlotBoundTo(int32_t paramIndex) const {
  if (paramIndex < 0) return -1;
  for (int32_t i = 0; i < BoundValueCount(); ++i)
    if (ParamIndexAt(i) == paramIndex) return i;
  return -1;
}

} // namespace plugkit::canvas
