#include "graphics/controls/ICornerResizerControl.h"

#include <cmath>
#include <cstdint>

#include "graphics/ICanvas.h"

namespace plugkit::canvas {

ICornerResizerControl::ICornerResizerControl(const IBox& editorBounds, float size)
    : IControl(IBox(editorBounds.Right - size + 1.0f, editorBounds.Bottom - size + 1.0f, editorBounds.Right - 1.0f,
                    editorBounds.Bottom - 1.0f)),
      mSize(size),
      mInitialBounds(editorBounds) {}

ICornerResizerControl::~ICornerResizerControl() = default;

void ICornerResizerControl::OnScaleChange() {
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  const float w = static_cast<float>(canvas->Width());
  const float h = static_cast<float>(canvas->Height());
  const float side = mSize / canvas->DrawScale();
  const IBox box(w - side, h - side, w, h);
  SetBounds(box);
  SetHitBounds(box);
  SetPointerOver(false);
  OnBoundsChange();
}

void ICornerResizerControl::OnPointerPress(float, float, const IPointerMods&) {
  if (ICanvas* canvas = GraphicsRef()) canvas->SetResizing(true);
}

namespace {

// A box edge as a whole pixel count; nothing that is not a number.
int32_t WholeSide(float v) { return std::isfinite(v) ? static_cast<int32_t>(std::trunc(v)) : 0; }

} // namespace

void ICornerResizerControl::OnPointerDoublePress(float, float, const IPointerMods&) {
  if (ICanvas* canvas = GraphicsRef())
    canvas->ApplySize(WholeSide(mInitialBounds.Width()), WholeSide(mInitialBounds.Height()), 1.0f);
}

void ICornerResizerControl::OnPointerHover(float, float, const IPointerMods&) {
  if (!mCursorSet) {
    if (ICanvas* canvas = GraphicsRef()) {
      mPreviousCursor = canvas->ChangePointerShape(EPointerShape::SizeNWSE);
      mCursorSet = true;
    }
  }
  const bool was = PointerOver();
  SetPointerOver(true);
  if (!was) MarkChanged(false, -1);
}

void ICornerResizerControl::OnPointerGone() {
  if (mCursorSet) {
    if (ICanvas* canvas = GraphicsRef()) canvas->ChangePointerShape(mPreviousCursor);
    mCursorSet = false;
  }
  const bool was = PointerOver();
  SetPointerOver(false);
  if (was) MarkChanged(false, -1);
}

void ICornerResizerControl::Render(ICanvas& canvas) {
  const IBox& b = Bounds();
  const IArgb colour = PointerOver() || canvas.Resizing() ? kActiveColour : kRestColour;
  canvas.FloodTriangle(colour, b.Left, b.Bottom, b.Right, b.Top, b.Right, b.Bottom);
}

} // namespace plugkit::canvas
