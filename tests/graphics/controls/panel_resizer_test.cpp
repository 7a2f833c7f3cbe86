// The background panel and the corner resizer, driven through the canvas.

#include <gtest/gtest.h>

#include "graphics/controls/ICornerResizerControl.h"
#include "graphics/controls/IPanelControl.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/controls/stock_fixture.h"

namespace plugkit::canvas::test {
namespace {

TEST(PanelControl, FillsWithThePatternOrItsFirstStopAndFramesOnRequest) {
  StockFixture f;
  IFill gradient = IFill::MakeAxial(0, 0, 0, 160);
  gradient.AddStop(IArgb(255, 10, 20, 30), 0.0f);
  gradient.AddStop(IArgb(255, 90, 80, 70), 1.0f);
  IPanelControl panel(IBox(0, 0, 250, 160), gradient);

  // Without shapes the first stop floods the box, gradient or not.
  panel.Render(f.canvas);
  EXPECT_EQ(f.canvas.draws, (std::vector<std::string>{"flood 0,0,250,160 (255,10,20,30)"}));

  f.canvas.draws.clear();
  f.canvas.shapes = true;
  panel.SetDrawFrame(true);
  panel.Render(f.canvas);
  EXPECT_EQ(f.canvas.draws, (std::vector<std::string>{"shape box 0,0,250,160",
                                                      "shape fill kind 1 stops 2 (255,10,20,30)",
                                                      "outline 0,0,250,160 (255,240,240,240) w1"}));

  // A colour is a one-stop flat fill.
  f.canvas.draws.clear();
  IPanelControl plain(IBox(1, 2, 3, 4), IArgb(255, 47, 54, 58));
  plain.Render(f.canvas);
  EXPECT_EQ(f.canvas.draws, (std::vector<std::string>{"shape box 1,2,3,4", "shape fill kind 0 stops 1 (255,47,54,58)"}));
}

TEST(PanelControl, LetsThePointerThroughToTheControlsBehind) {
  StockFixture f;
  f.Add("knob", IBox(10, 10, 50, 50));
  f.canvas.AdoptControl(new IPanelControl(IBox(0, 0, 250, 160), kArgbBlack));
  f.Forget();
  f.Press(20, 20);
  EXPECT_TRUE(f.Has("press 20,20 knob"));
}

// The product's handle: 20 pixels in the corner of a 250 x 160 editor.
struct ResizerFixture : StockFixture {
  ICornerResizerControl* handle = nullptr;
  ResizerFixture() {
    canvas.window = this;  // a window is open: size changes reach the host
    handle = static_cast<ICornerResizerControl*>(
        canvas.AttachCornerResizer(new ICornerResizerControl(IBox(0, 0, 250, 160), 20.0f), EResizeMode::Scale, false));
  }
};

TEST(CornerResizerControl, CoversItsPixelSizeInTheCornerAtEveryScale) {
  ICornerResizerControl loose(IBox(0, 0, 250, 160), 20.0f);
  EXPECT_EQ(loose.Bounds(), IBox(231, 141, 249, 159));  // before adoption

  ResizerFixture f;
  EXPECT_EQ(f.handle->Bounds(), IBox(230, 140, 250, 160));
  f.canvas.ApplySize(250, 160, 2.0f);
  EXPECT_EQ(f.handle->Bounds(), IBox(240, 150, 250, 160));
  EXPECT_EQ(f.handle->HitBounds(), IBox(240, 150, 250, 160));
  f.canvas.ApplySize(250, 160, 0.5f);
  EXPECT_EQ(f.handle->Bounds(), IBox(210, 120, 250, 160));
}

TEST(CornerResizerControl, DragScalesWithinLimitsAndAsksTheHost) {
  struct Case {
    float x, y;
    float scale;
    const char* request;
  };
  // Pressed at (240, 150); the scale follows the smaller of the two ratios.
  const Case cases[] = {
      {300, 187.5f, 1.25f, "host resize 312x200"},
      {480, 300, 2.0f, "host resize 500x320"},
      {960, 600, 2.0f, "host resize 500x320"},  // limit
      {120, 75, 0.5f, "host resize 125x80"},
      {24, 15, 0.5f, "host resize 125x80"},     // limit
      {480, 75, 0.5f, "host resize 125x80"},
      {360, 300, 1.5f, "host resize 375x240"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Fmt("to %g,%g", c.x, c.y));
    ResizerFixture f;
    f.Press(240, 150);
    EXPECT_TRUE(f.canvas.Resizing());
    f.Forget();
    f.Drag(c.x, c.y);
    EXPECT_FLOAT_EQ(f.canvas.DrawScale(), c.scale);
    EXPECT_EQ(f.canvas.Width(), 250);  // the logical size stays
    EXPECT_EQ(f.canvas.Height(), 160);
    EXPECT_TRUE(f.Has(c.request));

    // The release ends the drag; the handle sits in the new corner.
    f.Release(c.x, c.y);
    EXPECT_FALSE(f.canvas.Resizing());
    const float side = 20.0f / c.scale;
    EXPECT_EQ(f.handle->Bounds(), IBox(250 - side, 160 - side, 250, 160));
  }
}

TEST(CornerResizerControl, DoublePressRestoresTheInitialSizeAtScaleOne) {
  ResizerFixture f;
  f.canvas.ApplySize(500, 320, 1.5f);
  ASSERT_EQ(f.canvas.Width(), 500);
  f.Forget();
  const IBox& b = f.handle->Bounds();
  EXPECT_TRUE(f.canvas.HandleDoublePress(Event(b.MidX(), b.MidY())));
  EXPECT_EQ(f.canvas.Width(), 250);
  EXPECT_EQ(f.canvas.Height(), 160);
  EXPECT_FLOAT_EQ(f.canvas.DrawScale(), 1.0f);
  EXPECT_TRUE(f.Has("host resize 250x160"));
  EXPECT_EQ(f.canvas.CaptureCount(), 0);
}

TEST(CornerResizerControl, HoverShowsTheResizePointerOnceAndLeavingRestoresIt) {
  ResizerFixture f;
  f.canvas.ChangePointerShape(EPointerShape::Hand);
  f.Hover(245, 155);
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::SizeNWSE);
  f.Hover(246, 156);  // a second hover must not take the resize pointer as the one to restore
  EXPECT_EQ(f.handle->PreviousCursor(), EPointerShape::Hand);
  EXPECT_TRUE(f.handle->PointerOver());

  f.Hover(100, 100);
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Hand);
  EXPECT_FALSE(f.handle->CursorSet());
  EXPECT_FALSE(f.handle->PointerOver());
}

TEST(CornerResizerControl, DrawsDarkWhileHoveredOrDragged) {
  ResizerFixture f;
  const auto drawn = [&] {
    f.canvas.draws.clear();
    f.handle->Render(f.canvas);
    return f.canvas.draws;
  };
  EXPECT_EQ(drawn(), (std::vector<std::string>{"triangle 230,160 250,140 250,160 (10,0,0,0)"}));
  f.Hover(245, 155);
  EXPECT_EQ(drawn(), (std::vector<std::string>{"triangle 230,160 250,140 250,160 (255,0,0,0)"}));
  f.Hover(10, 10);
  f.Press(245, 155);
  EXPECT_EQ(drawn(), (std::vector<std::string>{"triangle 230,160 250,140 250,160 (255,0,0,0)"}));
}

} // namespace
} // namespace plugkit::canvas::test
