#pragma once
// IControl: the base of every element of the editor. A control owns its
// rectangle, its text style and blend, one or more value slots (IBoundValue)
// that may be bound to plug-in parameters, and three function objects: a
// change action run after a user change, and an animation step with its end
// action.
//
// Ownership and lifecycle: a layout function (or the canvas itself) creates a
// control with new and hands it to ICanvas::AdoptControl; from then on the
// canvas owns it and deletes it when the editor closes. Until adopted the
// control is inert: DelegateRef and GraphicsRef are null and every operation
// that needs a parameter or the canvas skips that step. On adoption the canvas
// calls SetDelegateRef / SetGraphicsRef, then OnBind, OnBoundsChange,
// OnScaleChange, sets ControlId -1 and Cluster "", and finally OnListed.
//
// Values: every slot value is normalised. Two paths change it:
//  - the user: TakeValueFromUser / SetValueFromPointer / ResetValueToDefault /
//    OnMenuChoice commit through MarkChanged(true, idx), which sends the value
//    to the delegate (SetParamFromEditor), updates every other control bound
//    to the same parameter, and runs the change action;
//  - the host: the delegate pushes through TakeValueFromDelegate, which never
//    calls the host back, never runs the change action, and is ignored while
//    the canvas holds a pointer capture for this control (a drag in progress).
// MarkChanged clamps every value it commits to 0..1; a NaN (from a stored
// value, a pointer position or a subclass) is replaced by the last number the
// slot held, so no NaN reaches a parameter or the host.
//
// Slot indices ("idx"): -1 means every slot. A control with exactly one slot
// treats every index as 0 in MarkChanged and ResetValueToDefault. Any other
// index outside the slots is ignored.
//
// Threads: user-interface thread only; nothing here locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>

#include "core/IHeapBlock.h"
#include "core/IStringBuffer.h"
#include "graphics/records/IArgb.h"
#include "graphics/records/IBoundValue.h"
#include "graphics/records/IBox.h"
#include "graphics/records/IComposite.h"
#include "graphics/records/IGestureEvent.h"
#include "graphics/records/IKeyStroke.h"
#include "graphics/records/IPointerEvent.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {

class IEditorDelegate;
class IParam;
struct IMidiShortMessage;

namespace canvas {

class ICanvas;
class IControl;
class IPopupMenu;

// A function object run with the control; empty by default.
using IControlFunction = std::function<void(IControl*)>;
// A gesture handler, run with the control and the gesture.
using IGestureFunction = std::function<void(IControl*, const IGestureEvent&)>;

class IControl {
public:
  static constexpr float kInactiveOpacity = 0.25f;
  static constexpr int32_t kDefaultEntryLimit = 7;

  // Bounds and HitBounds := bounds; one slot {paramIndex, 0}; the change
  // action is run after each user change.
  explicit IControl(const IBox& bounds, int32_t paramIndex = -1, IControlFunction action = nullptr);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;
  virtual ~IControl();

  // ---- Input (x, y in logical pixels). Called by the canvas. ----
  // Base: a right press opens the value prompt of the slot under the point
  // (when it has a parameter and NoValuePrompt is clear).
  virtual void OnPointerPress(float x, float y, const IPointerMods& mods);
  virtual void OnPointerRelease(float x, float y, const IPointerMods& mods);
  virtual void OnPointerDrag(float x, float y, float dX, float dY, const IPointerMods& mods);
  // Base: ResetValueToDefault(ValueIndexAt(x, y)).
  virtual void OnPointerDoublePress(float x, float y, const IPointerMods& mods);
  // delta: whole wheel notches.
  virtual void OnWheelTurn(float x, float y, const IPointerMods& mods, float delta);
  // Return whether the key was handled. Base: false.
  virtual bool OnKeyStroke(float x, float y, const IKeyStroke& key);
  virtual bool OnKeyStrokeEnd(float x, float y, const IKeyStroke& key);
  // Base: keep PointerOver and mark changed when it flips.
  virtual void OnPointerHover(float x, float y, const IPointerMods& mods);
  virtual void OnPointerGone();
  // path: UTF-8, valid for the call only.
  virtual void OnFileDrop(const char* path);

  // ---- Notifications. Base: nothing. ----
  virtual void OnScaleChange();   // draw scale changed, end of a corner drag, adoption
  virtual void OnBoundsChange();  // after Relocate, SetExtent, an editor resize, adoption
  virtual void OnBind();          // first call on adoption
  virtual void OnListed();        // once the control is in the canvas' control list
  // data holds size bytes owned by the caller, valid for the call only.
  virtual void OnDelegateMessage(int32_t msgTag, int32_t size, const void* data);
  virtual void OnMidiFromDelegate(const IMidiShortMessage& message);
  // Runs the handler registered for the gesture's kind; false when none is.
  virtual bool OnTouchGesture(const IGestureEvent& gesture);

  // ---- Menus and text entry. ----
  // Adds context-menu items; the canvas shows the menu only if any were added.
  virtual void FillContextMenu(IPopupMenu& menu);
  // The answer to a value-prompt menu (null: nothing chosen): the chosen item
  // index is read as a real value of the slot's parameter and committed.
  virtual void OnMenuChoice(IPopupMenu* menu, int32_t idx);
  // Text-entry results for slots without a parameter. text: UTF-8.
  virtual void OnTextCommitted(const char* text, int32_t idx);
  virtual void OnContextMenuChoice(int32_t itemIndex);

  // ---- Drawing. Called by the canvas inside a region paint. ----
  virtual void Render(ICanvas& canvas) = 0;
  // A small filled circle near the top-right corner when AutomationMark is set.
  virtual void RenderAutomationMark(ICanvas& canvas);

  // ---- Values. ----
  // The slot under (x, y): 0 with exactly one slot, else -1.
  virtual int32_t ValueIndexAt(float x, float y) const;
  // A host or delegate push; never calls the host back (see above).
  virtual void TakeValueFromDelegate(double value, int32_t idx);
  // A user edit: when value differs, store and MarkChanged(true, idx).
  virtual void TakeValueFromUser(double value, int32_t idx);
  // Stores each addressed slot's parameter default, then MarkChanged(true, idx).
  virtual void ResetValueToDefault(int32_t idx);
  // Raw store, no clamping; an index outside the slots does nothing.
  virtual void StoreValue(double value, int32_t idx);

  // ---- Geometry and state. ----
  // Moves Bounds' top-left corner to (x, y) (clamped to >= 0), keeping its
  // size, then runs OnBoundsChange. HitBounds keeps the offset from Bounds'
  // top-left corner it had before the call and the size it has after
  // OnBoundsChange.
  virtual void Relocate(float x, float y);
  // Width and height (clamped to >= 0) from the current top-left corner;
  // HitBounds := Bounds.
  virtual void SetExtent(float w, float h);
  virtual void SetConcealed(bool concealed);
  // Also sets Composite's opacity: kInactiveOpacity while inactive, else 1.
  virtual void SetInactive(bool inactive);
  // Whether the point lies in HitBounds (never when HitBounds is empty).
  virtual bool CoversPoint(float x, float y) const;
  // Clamps and commits (see the header comment and the .cpp); with
  // triggerAction also sends the value to the delegate, updates other
  // controls bound to the same parameter and runs the change action.
  virtual void MarkChanged(bool triggerAction, int32_t idx);
  virtual void MarkClean();
  // True while an animation runs, else whether the control changed.
  virtual bool WantsRedraw() const;
  // Maps the point, clamped into track, to 0..1 (horizontal: left to right;
  // vertical: bottom to top), rounds to 0.001, clamps to [lo, hi], stores it
  // into slot idx (every slot when idx < 0) and commits with MarkChanged(true).
  // Nothing at all for a track without a positive extent along its axis or a
  // position along it that is not a number.
  virtual void SetValueFromPointer(float x, float y, bool horizontal, const IBox& track, int32_t idx,
                                   double lo = 0.0, double hi = 1.0);
  // Ends the animation: clears the step, marks changed, runs the end action.
  virtual void OnAnimationDone();

  // ---- Animation. ----
  // Starts step (run by the canvas on every display tick) now, for durationMs.
  void LaunchAnimation(IControlFunction step, int32_t durationMs);
  // Starts a step that ends itself by what it counts (display ticks, say),
  // not by time: it has no length (AnimationLength 0), so AnimationFraction
  // tells it nothing.
  void LaunchAnimation(IControlFunction step);
  // 0 without an animation; else elapsed / length, not clamped (it exceeds 1
  // once the duration is over). A length <= 0 counts as 1 ms.
  double AnimationFraction() const;
  // The running step (empty when none). The canvas copies it before calling,
  // so the step may clear or replace itself.
  const IControlFunction& AnimationStep() const { return mAnimationStep; }
  double AnimationStart() const { return mAnimationStart; }
  int32_t AnimationLength() const { return mAnimationLength; }
  void SetAnimationEndAction(IControlFunction action) { mAnimationEndAction = std::move(action); }
  // Milliseconds of a monotonic clock (the one AnimationFraction uses).
  static double NowMilliseconds();

  // ---- Value slots. ----
  int32_t BoundValueCount() const;
  // Slot idx as a record ({-1, 0} when out of range).
  IBoundValue BoundValueAt(int32_t idx) const;
  // The slot's value (0 when out of range) and parameter index (-1 when out of range).
  double ValueAt(int32_t idx = 0) const;
  int32_t ParamIndexAt(int32_t idx = 0) const;
  // Binds an existing slot to another parameter (-1 unbinds); false out of range.
  bool SetParamIndexAt(int32_t idx, int32_t paramIndex);
  // Appends a slot; false (nothing added) when memory could not be had.
  bool AddBoundValue(int32_t paramIndex, double value = 0.0);
  // The parameter bound to slot idx through DelegateRef, or null (not bound,
  // unknown index, not adopted).
  IParam* ParamAt(int32_t idx) const;
  // The first slot bound to paramIndex, or -1.
  int32_t FirstSlotBoundTo(int32_t paramIndex) const;

  // ---- Fields. ----
  int32_t ControlId() const { return mControlId; }
  void SetControlId(int32_t id) { mControlId = id; }
  const IBox& Bounds() const { return mBounds; }
  void SetBounds(const IBox& box) { mBounds = box; }
  const IBox& HitBounds() const { return mHitBounds; }
  void SetHitBounds(const IBox& box) { mHitBounds = box; }
  const char* Cluster() const { return mCluster.Get(); }
  bool SetCluster(const char* name) { return mCluster.Assign(name); }
  const ITextStyle& TextStyle() const { return mTextStyle; }
  void SetTextStyle(const ITextStyle& style) { mTextStyle = style; }
  const IComposite& Composite() const { return mComposite; }
  void SetComposite(const IComposite& composite) { mComposite = composite; }
  // Character limit of the platform text field opened for this control.
  int32_t EntryLimit() const { return mEntryLimit; }
  void SetEntryLimit(int32_t limit) { mEntryLimit = limit; }
  const char* HintText() const { return mHintText.Get(); }
  bool SetHintText(const char* text) { return mHintText.Assign(text); }
  IArgb AutomationMarkColour() const { return mAutomationMarkColour; }
  void SetAutomationMarkColour(IArgb colour) { mAutomationMarkColour = colour; }
  bool AutomationMark() const { return mAutomationMark; }
  void SetAutomationMark(bool on) { mAutomationMark = on; }

  // Flags. Changed: needs drawing. NoValuePrompt: the right-button prompt and
  // OnMenuChoice are refused. DoubleAsPress: a double click arrives as a
  // second press. HoverWhenInactive / PointerWhenInactive: found by hover /
  // press searches while inactive. IgnorePointer: never found under the
  // pointer. TakesMidi: receives MIDI pushed to the editor. AllowsSecondTouch:
  // may be captured by more than one touch. PromptShowsLabel: the value
  // prompt appends the parameter's label. PointerOver: the pointer hovers.
  bool Changed() const { return mChanged; }
  bool Concealed() const { return mConcealed; }
  bool Inactive() const { return mInactive; }
  bool NoValuePrompt() const { return mNoValuePrompt; }
  void SetNoValuePrompt(bool on) { mNoValuePrompt = on; }
  bool DoubleAsPress() const { return mDoubleAsPress; }
  void SetDoubleAsPress(bool on) { mDoubleAsPress = on; }
  bool HoverWhenInactive() const { return mHoverWhenInactive; }
  void SetHoverWhenInactive(bool on) { mHoverWhenInactive = on; }
  bool PointerWhenInactive() const { return mPointerWhenInactive; }
  void SetPointerWhenInactive(bool on) { mPointerWhenInactive = on; }
  bool IgnorePointer() const { return mIgnorePointer; }
  void SetIgnorePointer(bool on) { mIgnorePointer = on; }
  bool TakesMidi() const { return mTakesMidi; }
  void SetTakesMidi(bool on) { mTakesMidi = on; }
  bool AllowsSecondTouch() const { return mAllowsSecondTouch; }
  void SetAllowsSecondTouch(bool on) { mAllowsSecondTouch = on; }
  bool PromptShowsLabel() const { return mPromptShowsLabel; }
  void SetPromptShowsLabel(bool on) { mPromptShowsLabel = on; }
  bool PointerOver() const { return mPointerOver; }
  void SetPointerOver(bool on) { mPointerOver = on; }

  // Links set by the canvas on adoption; neither is owned.
  IEditorDelegate* DelegateRef() const { return mDelegate; }
  void SetDelegateRef(IEditorDelegate* delegate) { mDelegate = delegate; }
  ICanvas* GraphicsRef() const { return mGraphics; }
  void SetGraphicsRef(ICanvas* graphics) { mGraphics = graphics; }

  void SetChangeAction(IControlFunction action) { mChangeAction = std::move(action); }
  const IControlFunction& ChangeAction() const { return mChangeAction; }

  // Gesture handlers by kind; an empty function removes one. Returns false
  // when the handler could not be stored.
  bool SetGestureHandler(int32_t kind, IGestureFunction handler);
  // The kind of the last gesture a handler took; 0 before any.
  int32_t RecentGesture() const { return mRecentGesture; }

private:
  // A slot plus the last number it held: MarkChanged falls back to it when
  // the slot holds NaN.
  struct Slot {
    IBoundValue Bound;
    double LastNumber;
  };
  // 64-bit FNV-1a over the kind's four bytes, least significant first.
  struct GestureKindHash {
    size_t operator()(int32_t kind) const;
  };

  Slot* SlotAt(int32_t idx);
  const Slot* SlotAt(int32_t idx) const;
  // Clamps (and de-NaNs) slot idx and stores it through StoreValue.
  void CommitSlot(int32_t idx);
  // Sends slot idx to the delegate and the other controls bound to its parameter.
  void SendSlotToHost(int32_t idx);
  // The canvas-side halves (IControlCanvas.cpp): whether the canvas holds a
  // pointer capture for this control, and the push of a committed value to
  // every other control bound to the same parameter.
  bool CapturedByCanvas() const;
  void UpdateOtherControls(int32_t paramIndex, double value);

  int32_t mControlId = -1;
  IBox mBounds;
  IBox mHitBounds;
  IStringBuffer mCluster;
  ITextStyle mTextStyle;
  IComposite mComposite;
  int32_t mEntryLimit = kDefaultEntryLimit;
  bool mChanged = true;
  bool mConcealed = false;
  bool mInactive = false;
  bool mNoValuePrompt = true;
  bool mDoubleAsPress = false;
  bool mHoverWhenInactive = false;
  bool mPointerWhenInactive = false;
  bool mIgnorePointer = false;
  bool mTakesMidi = false;
  bool mAllowsSecondTouch = false;
  bool mPromptShowsLabel = false;
  bool mPointerOver = false;
  IStringBuffer mHintText;
  IArgb mAutomationMarkColour{255, 255, 0, 0};
  bool mAutomationMark = false;
  IEditorDelegate* mDelegate = nullptr;
  ICanvas* mGraphics = nullptr;
  IControlFunction mChangeAction;
  IControlFunction mAnimationEndAction;
  IControlFunction mAnimationStep;
  double mAnimationStart = 0.0;
  int32_t mAnimationLength = 0;
  // The first slot lives here so a control always has one, even when no
  // memory can be had; further slots live in mMoreSlots.
  Slot mFirstSlot;
  IHeapBlock mMoreSlots{static_cast<int32_t>(4 * sizeof(Slot))};
  std::unordered_map<int32_t, IGestureFunction, GestureKindHash> mGestureHandlers;
  int32_t mRecentGesture = 0;
};

} // namespace canvas
} // namespace plugkit
