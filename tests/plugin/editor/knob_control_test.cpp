#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/IParam.h"
#include "plugin/editor/TEditorStyles.h"
#include "plugin/editor/TKnobControl.h"
#include "tests/plugin/editor/editor_fixture.h"

using namespace plugkit::canvas;
using namespace tessivo_editor;
using namespace tessivo_editor_test;

namespace {

constexpr double kPi = 3.14159265358979;

// Stands where the editor's background lies (control 0, which pointer
// searches pass over).
class Backdrop : public IControl {
public:
  Backdrop() : IControl(IBox(0, 0, 250, 160)) {}
  void Render(ICanvas&) override {}
};

// One knob adopted by a canvas whose delegate is a fresh Tessivo object.
struct KnobFixture {
  explicit KnobFixture(int32_t param = Coarse, IBox bounds = IBox(10, 45, 90, 139), float origin = 0.0f,
                       const char* label = "Coarse") {
    HostCalls().clear();
    canvas.AttachBackground(new Backdrop());
    knob = new TKnobControl(bounds, param, label, kKnobLabelText, kKnobValueText, origin);
    canvas.AdoptControl(knob);
    if (param >= 0) canvas.UpdateControlsBoundTo(param, plugin.GetParam(param)->ReadNormalised(), nullptr);
  }
  double Value() const { return knob->ValueAt(0); }

  Tessivo plugin{&RecordingHost};
  EditorCanvas canvas{&plugin};
  TKnobControl* knob = nullptr;
};

// The knob's parts follow the measured label and value text: the label on
// top (its box taller than the text by the gap), the value text at the
// bottom, the body between; the label takes no pointer input.
TEST(KnobControl, LaysOutLabelBodyAndValueFromTheMeasuredText) {
  KnobFixture f;
  const TKnobControl& k = *f.knob;
  EXPECT_STREQ(k.ValueText.Get(), "0 Semi");

  const float tw = EditorCanvas::TextWidth(kKnobLabelText, "Coarse"), th = 19.0f;
  const float h = th + 4.0f;
  EXPECT_EQ(k.LabelBox, IBox(50 - tw / 2, 45 + th / 2 - h / 2, 50 + tw / 2, 45 + th / 2 + h / 2));
  const float hw = EditorCanvas::TextWidth(kKnobValueText, "0 Semi") * 0.66f;
  EXPECT_EQ(k.ValueBox, IBox(50 - hw, 139 - 14, 50 + hw, 139));
  EXPECT_EQ(k.KnobBox, IBox(10, 45 + h, 90, 139 - 14));
  EXPECT_EQ(k.HitBounds(), IBox(10, 45 + h, 90, 139));
  EXPECT_FALSE(k.CoversPoint(50, 50));  // on the label

  // The value text sits where the value style's vertical alignment says.
  struct Case {
    ETextVAlign align;
    IBox value, body;
  } cases[] = {
      {ETextVAlign::Upper, IBox(50 - hw, 68, 50 + hw, 82), IBox(10, 82, 90, 139)},
      {ETextVAlign::Centre, IBox(50 - hw, 103.5f - 7, 50 + hw, 103.5f + 7), IBox(10, 68, 90, 139)},
  };
  for (const Case& c : cases) {
    f.knob->ValueStyle.VerticalAlign = c.align;
    f.knob->OnBoundsChange();
    EXPECT_EQ(k.ValueBox, c.value);
    EXPECT_EQ(k.KnobBox, c.body);
  }

  // Without a label the body starts at the top.
  KnobFixture bare(Mix, IBox(0, 0, 60, 60), -135.0f, nullptr);
  EXPECT_TRUE(bare.knob->LabelBox.IsEmpty());
  EXPECT_EQ(bare.knob->KnobBox.Top, 0.0f);
  EXPECT_STREQ(bare.knob->ValueText.Get(), "100 %");
}

// Needle and value arc for a table of values; the track always spans the
// 270 degrees open at the bottom.
TEST(KnobControl, DrawsTrackValueArcAndNeedleAtTheValuesAngle) {
  struct Case {
    float origin;
    double value;
    float needle, arcFrom, arcTo;
  } cases[] = {
      {0.0f, 0.0, -135.0f, -135.0f, 0.0f},   {0.0f, 0.25, -67.5f, -67.5f, 0.0f},
      {0.0f, 0.5, 0.0f, 0.0f, 0.0f},         {0.0f, 1.0, 135.0f, 0.0f, 135.0f},
      {-135.0f, 0.0, -135.0f, -135.0f, -135.0f}, {-135.0f, 0.75, 67.5f, -135.0f, 67.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "origin " << c.origin << " value " << c.value);
    KnobFixture f(Coarse, IBox(10, 45, 90, 139), c.origin);
    f.knob->StoreValue(c.value, 0);
    f.canvas.calls.clear();
    f.canvas.PaintOne(*f.knob);

    const IBox& k = f.knob->KnobBox;
    const float cx = k.MidX(), cy = k.MidY();
    const float r = std::fmin(k.Width(), k.Height()) / 2 - 1.0f;
    const auto arcs = f.canvas.Of("arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].colour, IArgb(255, 130, 130, 130));
    EXPECT_EQ(arcs[0].n, (std::vector<float>{cx, cy, r, -135.0f, 135.0f, 2.0f}));
    EXPECT_EQ(arcs[1].colour, IArgb(255, 240, 240, 240));
    EXPECT_FLOAT_EQ(arcs[1].n[3], c.arcFrom);
    EXPECT_FLOAT_EQ(arcs[1].n[4], c.arcTo);

    const auto needle = f.canvas.Of("segment");
    ASSERT_EQ(needle.size(), 1u);
    const double rad = (c.needle - 90.0) * kPi / 180.0;
    EXPECT_NEAR(needle[0].n[0], cx + 0.1 * r * std::cos(rad), 1e-3);
    EXPECT_NEAR(needle[0].n[1], cy + 0.1 * r * std::sin(rad), 1e-3);
    EXPECT_NEAR(needle[0].n[2], cx + 0.7 * r * std::cos(rad), 1e-3);
    EXPECT_NEAR(needle[0].n[3], cy + 0.7 * r * std::sin(rad), 1e-3);
    EXPECT_FLOAT_EQ(needle[0].n[4], 2.5f);

    // Label and value text in their boxes and styles.
    const auto texts = f.canvas.Of("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Coarse");
    EXPECT_EQ(texts[0].box, f.knob->LabelBox);
    EXPECT_EQ(texts[0].fontSize, 19.0f);
    EXPECT_EQ(texts[1].box, f.knob->ValueBox);
    EXPECT_EQ(texts[1].fontSize, 14.0f);
  }
}

// The body: a black rim, a grey ring and a gradient face, inside a square
// of side 2 x (radius - gap) centred on the dial; the radius comes from the
// narrower side, and a tiny knob still gets a 1-pixel body but no arcs.
TEST(KnobControl, BodyGeometryAndTinyKnobs) {
  struct Case {
    IBox bounds;
    float radius, side;
    size_t arcs;
  } cases[] = {
      {IBox(0, 0, 40, 100), 19.0f, 32.0f, 2u},  // narrower than high: radius from the width
      {IBox(0, 0, 2, 2), 0.0f, 1.0f, 0u},       // radius 0: no arcs
  };
  for (const Case& c : cases) {
    KnobFixture f(Mix, c.bounds, -135.0f, nullptr);
    f.knob->ValueText.Assign("");
    f.knob->OnBoundsChange();
    const TKnobControl::IDial d = f.knob->Dial();
    EXPECT_FLOAT_EQ(d.Radius, c.radius);
    EXPECT_FLOAT_EQ(d.BodyBox.Width(), c.side);
    EXPECT_FLOAT_EQ(d.BodyBox.MidX(), d.Cx);
    f.canvas.calls.clear();
    f.canvas.PaintOne(*f.knob);
    EXPECT_EQ(f.canvas.Of("arc").size(), c.arcs);
  }

  KnobFixture f;
  f.canvas.calls.clear();
  const TKnobControl::IDial d = f.knob->Dial();
  f.knob->PaintBodyLayer(f.canvas, d.BodyBox);
  const IBox& b = d.BodyBox;
  const auto ovals = f.canvas.Of("flood oval");
  ASSERT_EQ(ovals.size(), 2u);
  EXPECT_EQ(ovals[0].box, b);
  EXPECT_EQ(ovals[0].colour, IArgb(255, 0, 0, 0));
  EXPECT_EQ(ovals[1].box, IBox(b.Left + 2, b.Top + 2, b.Right - 2, b.Bottom - 3));
  EXPECT_EQ(ovals[1].colour, IArgb(255, 140, 140, 140));
  const auto face = f.canvas.Of("shape oval");
  ASSERT_EQ(face.size(), 1u);
  EXPECT_EQ(face[0].box, IBox(b.Left + 2, b.Top + 3, b.Right - 2, b.Bottom - 2));
  const auto fill = f.canvas.Of("shape fill");
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(fill[0].fill.Kind, EFillKind::Axial);
  ASSERT_EQ(fill[0].fill.StopCount, 2);
  EXPECT_EQ(fill[0].fill.Stops[0].Colour, IArgb(255, 70, 80, 85));
  EXPECT_EQ(fill[0].fill.Stops[1].Colour, IArgb(255, 49, 56, 60));
  // The gradient runs from the face's top (position 0) to its bottom (1).
  const IAffine& m = fill[0].fill.Mapping;
  double x = b.MidX(), y = b.Top + 3;
  m.Map(x, y);
  EXPECT_NEAR(y, 0.0, 1e-4);
  x = b.MidX(), y = b.Bottom - 2;
  m.Map(x, y);
  EXPECT_NEAR(y, 1.0, 1e-4);
}

// The body is drawn into a layer once, shadowed, and then only painted; the
// region's clip, lifted when the layer is finished, is applied again before
// the arcs. A move or a scale change rebuilds the layer.
TEST(KnobControl, BodyIsCachedInAShadowedLayer) {
  KnobFixture f(Mix);
  f.canvas.layers = true;
  f.canvas.calls.clear();
  f.canvas.PaintOne(*f.knob);

  std::vector<std::string> ops;
  for (const DrawCall& c : f.canvas.calls) ops.push_back(c.op);
  const std::vector<std::string> expected = {
      "region",     "new layer",  "clip",        "shape reset", "flood oval", "flood oval",
      "shape reset", "shape oval", "shape fill", "clip",        "shape reset", "clip",
      "image",      "arc",        "arc",         "segment",     "text",        "text"};
  EXPECT_EQ(ops, expected);
  const auto clips = f.canvas.Of("clip");
  const IBox region = f.canvas.Of("region")[0].box;
  EXPECT_TRUE(clips[1].box.IsEmpty());
  EXPECT_EQ(clips[2].box, region);
  EXPECT_FALSE(region.IsEmpty());
  ASSERT_EQ(f.canvas.shadows.size(), 1u);
  const IDropShadow& shadow = f.canvas.shadows[0];
  EXPECT_EQ(shadow.Fill.Stops[0].Colour, IArgb(255, 0, 0, 0));
  EXPECT_EQ(shadow.BlurSize, 5.0f);
  EXPECT_EQ(shadow.OffsetX, 0.0f);
  EXPECT_EQ(shadow.OffsetY, 2.0f);
  EXPECT_EQ(shadow.Opacity, 0.5f);
  EXPECT_TRUE(shadow.KeepContent);
  EXPECT_EQ(f.canvas.Of("image")[0].box, f.knob->BodyLayer->Box);

  // Kept while nothing changes.
  f.canvas.calls.clear();
  f.canvas.PaintOne(*f.knob);
  EXPECT_TRUE(f.canvas.Of("new layer").empty());
  EXPECT_TRUE(f.canvas.Of("flood oval").empty());
  EXPECT_EQ(f.canvas.Of("image").size(), 1u);

  // Rebuilt after a move, and after a draw-scale change.
  f.knob->Relocate(20, 45);
  f.canvas.calls.clear();
  f.canvas.PaintOne(*f.knob);
  EXPECT_EQ(f.canvas.Of("new layer").size(), 1u);
  ASSERT_TRUE(f.canvas.ApplySize(250, 160, 1.5f));
  f.canvas.calls.clear();
  f.canvas.PaintOne(*f.knob);
  EXPECT_EQ(f.canvas.Of("new layer").size(), 1u);
  EXPECT_EQ(f.canvas.shadows.size(), 3u);
}

// A drag on the body: the pointer is hidden in place, each step moves the
// value by dY / (control height x 4) (a tenth with Shift) and reaches the
// host between the begin and end of the gesture.
TEST(KnobControl, DragStepsGoToTheHostBetweenBeginAndEnd) {
  KnobFixture f(Mix);
  f.knob->StoreValue(0.5, 0);
  f.canvas.Press(50, 100);
  EXPECT_TRUE(f.knob->Captured);
  EXPECT_EQ(f.canvas.pointerCalls, (std::vector<std::string>{"hide kept"}));

  f.canvas.Drag(50, 100, 0, -10);
  EXPECT_NEAR(f.Value(), 0.5 + 10.0 / (94 * 4), 1e-12);
  f.canvas.Drag(50, 100, 0, -10, true);
  EXPECT_NEAR(f.Value(), 0.5 + 10.0 / (94 * 4) + 10.0 / (94 * 40), 1e-12);
  EXPECT_NEAR(f.plugin.GetParam(Mix)->ReadNormalised(), f.Value(), 1e-9);

  // A drag far past the end is clamped before it reaches the host.
  f.canvas.Drag(50, 100, 0, -1000);
  EXPECT_EQ(f.Value(), 1.0);
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 100.0);
  EXPECT_FLOAT_EQ(HostCalls().back().opt, 1.0f);

  // Outside the body the drag does nothing.
  f.canvas.Drag(50, 130, 0, 500);
  EXPECT_EQ(f.Value(), 1.0);

  f.canvas.Release(50, 100);
  EXPECT_FALSE(f.knob->Captured);
  EXPECT_EQ(f.canvas.pointerCalls, (std::vector<std::string>{"hide kept", "show kept"}));
  const std::vector<std::string> trail = HostTrail();
  ASSERT_GE(trail.size(), 3u);
  EXPECT_EQ(trail.front(), "begin 2");
  EXPECT_EQ(trail.back(), "end 2");
  for (size_t i = 1; i + 1 < trail.size(); ++i) EXPECT_EQ(trail[i], "automate 2");
}

// The wheel: 0.01 per notch (0.001 with Ctrl), whole steps on integer
// parameters whatever the modifiers.
TEST(KnobControl, WheelStepsByParameterKind) {
  struct Case {
    int32_t param;
    bool ctrl;
    float notches;
    double step;
  } cases[] = {
      {Coarse, false, 1, 1.0 / 24}, {Coarse, true, 1, 1.0 / 24}, {Fine, false, -2, -2.0 / 200},
      {Mix, false, 1, 0.01},        {Mix, true, -3, -0.003},
  };
  for (const Case& c : cases) {
    KnobFixture f(c.param);
    f.knob->StoreValue(0.5, 0);
    IPointerMods mods;
    mods.Ctrl = c.ctrl;
    EXPECT_TRUE(f.canvas.HandleWheel(50, 100, mods, c.notches));
    EXPECT_NEAR(f.Value(), 0.5 + c.step, 1e-12) << c.param;
    EXPECT_NEAR(f.plugin.GetParam(c.param)->ReadNormalised(), 0.5 + c.step, 1e-9);
  }
}

// A double press restores the default only on the body, and tells the host.
TEST(KnobControl, DoublePressOnTheBodyRestoresTheDefault) {
  KnobFixture f(Mix);
  f.plugin.GetParam(Mix)->Set(30.0);
  f.knob->StoreValue(0.3, 0);
  const IPointerEvent onValueText = Pointer(50, 135);
  f.canvas.HandleDoublePress(onValueText);
  EXPECT_EQ(f.Value(), 0.3);
  EXPECT_TRUE(HostCalls().empty());

  const IPointerEvent onBody = Pointer(50, 100);
  EXPECT_TRUE(f.canvas.HandleDoublePress(onBody));
  EXPECT_EQ(f.Value(), 1.0);
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 100.0);
  EXPECT_EQ(HostTrail(), (std::vector<std::string>{"automate 2"}));
}

// A press on the value text opens a text entry with the display text and
// leaves the pointer alone; the typed value reaches the parameter.
TEST(KnobControl, PressOnTheValueTextOpensATextEntry) {
  KnobFixture f(Coarse);
  f.canvas.Press(50, 135);
  f.canvas.Release(50, 135);
  EXPECT_TRUE(f.canvas.pointerCalls.empty());
  ASSERT_EQ(f.canvas.textFields.size(), 1u);
  EXPECT_EQ(f.canvas.textFields[0].param, Coarse);
  EXPECT_EQ(f.canvas.textFields[0].text, "0");
  EXPECT_EQ(f.canvas.textFields[0].box, f.knob->ValueBox);

  f.canvas.CommitTextEntry("-5");
  EXPECT_EQ(f.plugin.GetParam(Coarse)->Value(), -5.0);
  EXPECT_STREQ(f.knob->ValueText.Get(), "-5 Semi");

  // Unbound, the press opens nothing.
  KnobFixture unbound(-1, IBox(10, 45, 90, 139));
  unbound.knob->ValueBox = IBox(10, 125, 90, 139);
  unbound.canvas.Press(50, 135);
  EXPECT_TRUE(unbound.canvas.textFields.empty());
}

// The hand over the value text, the arrow elsewhere and when the pointer leaves.
TEST(KnobControl, PointerShapeFollowsTheValueText) {
  KnobFixture f;
  f.canvas.SetMouseOverTracking(true);
  f.canvas.HandlePointerHover(50, 135, IPointerMods());
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Hand);
  f.canvas.HandlePointerHover(50, 100, IPointerMods());
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Arrow);
  f.canvas.HandlePointerHover(50, 135, IPointerMods());
  f.canvas.HandlePointerLeave();
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Arrow);
}

// Host values move the needle and the value text.
TEST(KnobControl, HostValuesRefreshTheValueText) {
  KnobFixture f(Fine);
  f.plugin.GetParam(Fine)->Set(-40);
  f.knob->TakeValueFromDelegate(f.plugin.GetParam(Fine)->ReadNormalised(), 0);
  EXPECT_STREQ(f.knob->ValueText.Get(), "-40 Cents");
  EXPECT_DOUBLE_EQ(f.Value(), 0.3);
}

} // namespace
