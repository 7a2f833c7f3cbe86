#pragma once
// TKnobControl: the product's rotary knob, one per parameter. From top to
// bottom: the label, a round body with a soft shadow under a 270-degree track
// arc, a value arc and a needle, and the parameter's value text.
//
// Input: a vertical drag on the body (KnobBox) moves the value, four control
// heights for the whole range (forty with Shift or Ctrl), with the pointer
// hidden and held in place; the wheel steps it (anywhere the canvas delivers
// it); a double press on the body restores the default; a press on the value
// text opens a text entry whose result the canvas parses into the parameter.
// The label takes no pointer input (HitBounds leaves it out).
//
// The body is painted once into a layer that the knob owns and reused until
// the canvas reports it stale (bounds, screen scale or draw scale changed).
//
// Ownership: created by the editor layout and adopted by the canvas, which
// deletes it. Threads: user-interface thread only.

#include <cstdint>

#include "core/IStringBuffer.h"
#include "graphics/IControl.h"
#include "graphics/records/IBox.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit::canvas {
class ILayer;
}

class TKnobControl : public plugkit::canvas::IControl {
public:
  using IBox = plugkit::canvas::IBox;
  using ICanvas = plugkit::canvas::ICanvas;
  using IPointerMods = plugkit::canvas::IPointerMods;
  using ITextStyle = plugkit::canvas::ITextStyle;

  // label may be null (no label). arcOrigin: where the value arc starts, in
  // degrees clockwise from straight up (-135 unipolar, 0 bipolar).
  TKnobControl(const IBox& bounds, int32_t paramIdx, const char* label, const ITextStyle& labelStyle,
               const ITextStyle& valueStyle, float arcOrigin);
  ~TKnobControl() override;

  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerRelease(float x, float y, const IPointerMods& mods) override;
  void OnPointerDrag(float x, float y, float dX, float dY, const IPointerMods& mods) override;
  void OnPointerDoublePress(float x, float y, const IPointerMods& mods) override;
  void OnWheelTurn(float x, float y, const IPointerMods& mods, float delta) override;
  void OnPointerHover(float x, float y, const IPointerMods& mods) override;
  void OnPointerGone() override;
  void OnBoundsChange() override;
  void OnBind() override;
  void Render(ICanvas& canvas) override;
  // The base commit (every slot), then the value text follows the parameter.
  void MarkChanged(bool triggerAction, int32_t idx) override;

  // Places LabelBox, ValueBox and KnobBox inside bounds from the measured
  // label and value text; answers the part below the label.
  IBox LayOutParts(const IBox& bounds);
  // The body: rim, ring and gradient face, into the current draw target.
  void PaintBodyLayer(ICanvas& canvas, const IBox& box);

  // Geometry of the knob face for the current KnobBox.
  struct IDial {
    float Cx, Cy, Radius;
    IBox BodyBox;
  };
  IDial Dial() const;

  ITextStyle LabelStyle;
  ITextStyle ValueStyle;
  plugkit::IStringBuffer Label;
  plugkit::IStringBuffer ValueText;
  bool Captured = false;
  bool HidesPointer = true;
  float ArcOrigin;
  float ArcStart = -135.0f;
  float ArcEnd = 135.0f;
  float ArcWidth = 2.0f;
  float BodyGap = 3.0f;
  float NeedleStart = 0.1f;
  float NeedleEnd = 0.7f;
  float NeedleWidth = 2.5f;
  float ValueBoxScale = 0.66f;
  float LabelGap = 4.0f;
  IBox KnobBox;
  IBox LabelBox;
  IBox ValueBox;
  double DragScale = 4.0;
  int32_t DragAxis = 0;
  // Owned; null until the first draw (and always null where the canvas has
  // no layers).
  plugkit::canvas::ILayer* BodyLayer = nullptr;

private:
  void RefreshValueText();
  // Paints the cached body, rebuilding it first when it cannot be reused.
  void PaintBody(ICanvas& canvas, const IBox& bodyBox);
};
