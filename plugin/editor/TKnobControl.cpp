#include "plugin/editor/TKnobControl.h"

#include <algorithm>
#include <cmath>

#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/records/IFill.h"
#include "graphics/records/IPathOptions.h"

#include "graphics/records/IDropShadow.h"
#include "graphics/records/ILayer.h"

using namespace plugkit;
using namespace plugkit::canvas;

namespace {

constexpr IArgb kTrackColour{255, 130, 130, 130};
constexpr IArgb kValueColour{255, 240, 240, 240};
constexpr IArgb kRimColour{255, 0, 0, 0};
constexpr IArgb kRingColour{255, 140, 140, 140};
constexpr IArgb kFaceTop{255, 70, 80, 85};
constexpr IArgb kFaceBottom{255, 49, 56, 60};

} // namespace

TKnobControl::TKnobControl(const IBox& bounds, int32_t paramIdx, const char* label, const ITextStyle& labelStyle,
                           const ITextStyle& valueStyle, float arcOrigin)
    : IControl(bounds, paramIdx), LabelStyle(labelStyle), ValueStyle(valueStyle), ArcOrigin(arcOrigin) {
  if (label) Label.Assign(label);
  SetNoValuePrompt(false);
}

TKnobControl::~TKnobControl() {
  delete BodyLayer;
  BodyLayer = nullptr;
}

// ---- Layout ----

IBox TKnobControl::LayOutParts(const IBox& bounds) {
  IBox out = bounds;
  const float cx = 0.5f * (bounds.Left + bounds.Right);
  ICanvas* g = GraphicsRef();

  LabelBox = IBox();
  if (!Label.IsEmpty()) {
    IBox text;
    if (g) g->MeasureTextBox(LabelStyle, Label.Get(), text);
    const float w = std::max(1.0f, text.Width());
    const float th = text.Height();
    float h = th + LabelGap;
    if (h <= 0.0f) h = w;
    const float top = bounds.Top + th / 2.0f - h / 2.0f;
    LabelBox = IBox(cx - w / 2.0f, top, cx - w / 2.0f + w, top + h);
  }
  if (LabelBox.Height() != 0.0f) out.Top = bounds.Top + LabelBox.Height();

  IBox value;
  if (g && !ValueText.IsEmpty()) g->MeasureTextBox(ValueStyle, ValueText.Get(), value);
  const float hw = value.Width() * ValueBoxScale;
  const float vh = value.Height();
  const float ox = out.MidX();
  switch (ValueStyle.VerticalAlign) {
    case ETextVAlign::Upper:
      ValueBox = IBox(ox - hw, out.Top, ox + hw, out.Top + vh);
      KnobBox = IBox(out.Left, out.Top + vh, out.Right, out.Bottom);
      break;
    case ETextVAlign::Centre: {
      const float oy = out.MidY();
      ValueBox = IBox(ox - hw, oy - vh / 2.0f, ox + hw, oy + vh / 2.0f);
      KnobBox = out;
      break;
    }
    case ETextVAlign::Lower:
      ValueBox = IBox(ox - hw, out.Bottom - vh, ox + hw, out.Bottom);
      KnobBox = IBox(out.Left, out.Top, out.Right, out.Bottom - vh);
      break;
  }
  return out;
}

void TKnobControl::OnBoundsChange() {
  SetHitBounds(LayOutParts(Bounds()));
  SetPointerOver(false);
  if (BodyLayer) BodyLayer->Invalid = true;
  MarkChanged(false, -1);
}

// ---- Value text ----

void TKnobControl::RefreshValueText() {
  if (const IParam* param = ParamAt(0)) param->FormatWithLabel(ValueText);
}

void TKnobControl::OnBind() { RefreshValueText(); }

void TKnobControl::MarkChanged(bool triggerAction, int32_t) {
  IControl::MarkChanged(triggerAction, -1);
  RefreshValueText();
}

// ---- Pointer ----

void TKnobControl::OnPointerPress(float x, float y, const IPointerMods& mods) {
  ICanvas* g = GraphicsRef();
  if (ValueBox.Contains(x, y)) {
    const IParam* param = ParamAt(0);
    if (g && param) {
      IStringBuffer text;
      param->FormatValue(param->Value(), false, text, true);
      g->OpenTextEntry(this, ValueStyle, ValueBox, text.Get(), 0);
    }
  } else if (KnobBox.Contains(x, y)) {
    Captured = true;
    if (HidesPointer && g) g->SetPointerHidden(true, true);
    IControl::OnPointerPress(x, y, mods);
  }
  MarkChanged(false, -1);
}

void TKnobControl::OnPointerRelease(float, float, const IPointerMods&) {
  // Only a press on the body hid the pointer; showing it again also puts it
  // back where it was pressed, which must not happen after a press elsewhere.
  const bool wasCaptured = Captured;
  Captured = false;
  if (wasCaptured && HidesPointer)
    if (ICanvas* g = GraphicsRef()) g->SetPointerHidden(false, true);
  MarkChanged(true, -1);
}

void TKnobControl::OnPointerDrag(float x, float y, float dX, float dY, const IPointerMods& mods) {
  if (!KnobBox.Contains(x, y)) return;
  double gearing = DragScale;
  if (mods.Shift || mods.Ctrl) gearing *= 10.0;
  const IBox& b = Bounds();
  const double span = DragAxis == 0 ? b.Top - b.Bottom : b.Right - b.Left;
  // A knob without extent has no scale to move along.
  if (span == 0.0 || gearing == 0.0) return;
  StoreValue(ValueAt(0) + ((dY - dX) / span) / gearing, 0);
  MarkChanged(true, -1);
}

void TKnobControl::OnWheelTurn(float, float, const IPointerMods& mods, float delta) {
  double step = (mods.Shift || mods.Ctrl) ? 0.001 : 0.01;
  if (const IParam* param = ParamAt(0))
    if (param->Kind() == IParamKind::Integer && param->Max() > param->Min()) step = 1.0 / (param->Max() - param->Min());
  StoreValue(ValueAt(0) + delta * step, 0);
  MarkChanged(true, -1);
}

void TKnobControl::OnPointerDoublePress(float x, float y, const IPointerMods&) {
  if (KnobBox.Contains(x, y)) ResetValueToDefault(ValueIndexAt(x, y));
}

void TKnobControl::OnPointerHover(float x, float y, const IPointerMods&) {
  if (ICanvas* g = GraphicsRef())
    g->ChangePointerShape(ValueBox.Contains(x, y) ? EPointerShape::Hand : EPointerShape::Arrow);
}

void TKnobControl::OnPointerGone() {
  if (ICanvas* g = GraphicsRef()) g->ChangePointerShape(EPointerShape::Arrow);
  if (PointerOver()) {
    SetPointerOver(false);
    MarkChanged(false, -1);
  }
}

// ---- Drawing ----

TKnobControl::IDial TKnobControl::Dial() const {
  const IBox& k = KnobBox;
  IDial d;
  d.Cx = 0.5f * (k.Left + k.Right);
  d.Cy = 0.5f * (k.Top + k.Bottom);
  d.Radius = std::min(k.Right - k.Left, k.Bottom - k.Top) / 2.0f - ArcWidth / 2.0f;
  const float side = std::max(1.0f, 2.0f * (d.Radius - BodyGap));
  const float left = d.Cx - side / 2.0f;
  const float top = d.Cy - side / 2.0f;
  d.BodyBox = IBox(left, top, left + side, top + side);
  return d;
}

void TKnobControl::PaintBodyLayer(ICanvas& g, const IBox& box) {
  const IComposite* blend = &Composite();
  g.FloodOvalInBox(kRimColour, box, blend);
  g.FloodOvalInBox(kRingColour, IBox(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 3), blend);
  // The ring shows one pixel above the face and is hidden below it: a light
  // upper edge and a dark lower one.
  const IBox face(box.Left + 2, box.Top + 3, box.Right - 2, box.Bottom - 2);
  const float mx = face.MidX();
  IFill fill = IFill::MakeAxial(mx, face.Top, mx, face.Bottom);
  fill.AddStop(kFaceTop, 0.0f);
  fill.AddStop(kFaceBottom, 1.0f);
  g.ShapeReset();
  g.ShapeAddOvalInBox(face);
  g.ShapeFill(fill, IFillOptions(), blend);
}

void TKnobControl::PaintBody(ICanvas& g, const IBox& bodyBox) {
  if (!g.ValidateLayer(BodyLayer)) {
    delete BodyLayer;
    BodyLayer = nullptr;
    if (!g.BeginLayer(this, Bounds())) {
      // No layer can be made here: the body goes straight into the frame.
      PaintBodyLayer(g, bodyBox);
      return;
    }
    PaintBodyLayer(g, bodyBox);
    BodyLayer = g.UnstackLayer();
    g.CastLayerShadow(BodyLayer, IDropShadow(IFill(kRimColour), 5.0f, 0.0f, 2.0f, 0.5f, true));
    // Finishing the layer lifted the clip of the region being drawn; the
    // rest of the knob must stay inside it.
    g.ShapeClipBox(g.RegionClip());
  }
  g.PaintLayer(BodyLayer, nullptr);
}

void TKnobControl::Render(ICanvas& g) {
  const IDial d = Dial();
  const IComposite* blend = &Composite();
  PaintBody(g, d.BodyBox);

  const float a = static_cast<float>(ValueAt(0)) * (ArcEnd - ArcStart) + ArcStart;
  // A knob too small for its arc width has no ring to draw.
  if (d.Radius > 0.0f) {
    g.OutlineArc(kTrackColour, d.Cx, d.Cy, d.Radius, ArcStart, ArcEnd, blend, ArcWidth);
    g.OutlineArc(kValueColour, d.Cx, d.Cy, d.Radius, std::min(ArcOrigin, a), std::max(ArcOrigin, a), blend, ArcWidth);
  }
  g.OutlineRadialSegment(kValueColour, d.Cx, d.Cy, a, d.Radius * NeedleStart, d.Radius * NeedleEnd, blend,
                         NeedleWidth);

  if (LabelBox.Height() != 0.0f && !Label.IsEmpty()) g.RenderTextRun(LabelStyle, Label.Get(), LabelBox, blend);
  if (!ValueText.IsEmpty()) g.RenderTextRun(ValueStyle, ValueText.Get(), ValueBox, blend);
}
