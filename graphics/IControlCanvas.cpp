#include "graphics/IControl.h"

#include "core/IParam.h"
#include "graphics/ICanvas.h"

// The parts of IControl that reach into the owning canvas: the value prompt,
// host pushes (refused during a drag), the update of sibling controls after a
// user change, and the automation mark. A control that has not been adopted
// (GraphicsRef null) skips every canvas step.

namespace plugkit::canvas {

namespace {

// The prompt box for a parameter without display texts: 40 x 16 around the
// control's centre, just large enough for a short number.
constexpr float kPromptHalfWidth = 20.0f;
constexpr float kPromptHalfHeight = 8.0f;

} // namespace

void IControl::OnPointerPress(float x, float y, const IPointerMods& mods) {
  if (!mods.Right) return;
  const int32_t idx = ValueIndexAt(x, y);
  if (idx < 0 || mNoValuePrompt) return;
  const IParam* param = ParamAt(idx);
  if (!param) return;
  IBox box = mBounds;
  if (param->CaptionCount() == 0) {
    const float cx = mBounds.MidX();
    const float cy = mBounds.MidY();
    box = IBox(cx - kPromptHalfWidth, cy - kPromptHalfHeight, cx + kPromptHalfWidth, cy + kPromptHalfHeight);
  }
  if (mGraphics) mGraphics->PromptParameterValue(this, box, idx);
  MarkChanged(false, -1);
}

void IControl::TakeValueFromDelegate(double value, int32_t idx) {
  const Slot* slot = SlotAt(idx);
  // While the user drags this control, the host's echo of older values must
  // not make it jump back.
  if (!slot || CapturedByCanvas() || value == slot->Bound.Value) return;
  StoreValue(value, idx);
  MarkChanged(false, -1);
}

bool IControl::CapturedByCanvas() const { return mGraphics && mGraphics->IsCaptured(this); }

void IControl::UpdateOtherControls(int32_t paramIndex, double value) {
  if (mGraphics) mGraphics->UpdateControlsBoundTo(paramIndex, value, this);
}

void IControl::RenderAutomationMark(ICanvas& canvas) {
  if (!mAutomationMark) return;
  canvas.FloodCircle(mAutomationMarkColour, mBounds.Right - 5.0f, mBounds.Top + 5.0f, 2.0f, &mComposite);
}

} // namespace plugkit::canvas
