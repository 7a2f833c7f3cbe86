#pragma once
// ICornerResizerControl: the drag handle in the editor's bottom-right corner,
// attached with ICanvas::AttachCornerResizer (the canvas keeps it apart from
// the control list and holds at most one).
//
// A press starts the canvas' corner drag (the canvas resizes or rescales
// the editor while the pointer moves and ends the drag on release); a double
// press brings the editor back to the size it had when the handle was made,
// at draw scale 1; hovering shows the diagonal resize pointer. The handle
// keeps its size in device pixels whatever the draw scale: it re-places
// itself on every OnScaleChange from the canvas' current size and scale.
//
// UI thread only; owned by the canvas once attached.

#include "graphics/IControl.h"
#include "graphics/records/EPointerShape.h"
#include "graphics/records/IArgb.h"
#include "graphics/records/IBox.h"

namespace plugkit {
namespace canvas {

class ICornerResizerControl : public IControl {
public:
  static constexpr IArgb kActiveColour{255, 0, 0, 0};  // hovered or dragging
  static constexpr IArgb kRestColour{10, 0, 0, 0};

  // editorBounds: the editor's box {0, 0, width, height} at draw scale 1;
  // size: side of the handle square in logical pixels at draw scale 1.
  ICornerResizerControl(const IBox& editorBounds, float size);
  // Leaves the pointer shape alone: it may run while the canvas itself is
  // being destroyed, when no canvas operation may be called.
  ~ICornerResizerControl() override;

  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerDoublePress(float x, float y, const IPointerMods& mods) override;
  void OnPointerHover(float x, float y, const IPointerMods& mods) override;
  void OnPointerGone() override;
  void OnScaleChange() override;
  void Render(ICanvas& canvas) override;

  float Size() const { return mSize; }
  bool CursorSet() const { return mCursorSet; }
  EPointerShape PreviousCursor() const { return mPreviousCursor; }
  const IBox& InitialBounds() const { return mInitialBounds; }

private:
  float mSize;
  bool mCursorSet = false;
  EPointerShape mPreviousCursor = EPointerShape::Arrow;
  IBox mInitialBounds;
};

} // namespace canvas
} // namespace plugkit
