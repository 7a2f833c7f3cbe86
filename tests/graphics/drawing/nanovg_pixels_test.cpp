// The NanoVG back-end drawn into its main framebuffer and read back. Expected
// pixels come from the geometry (full, no or partial coverage at chosen
// points) and from the compositing rules, with premultiplied colours.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/records/IPathOptions.h"
#include "tests/graphics/drawing/gl_surface.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

class NanoVGPixels : public PixelTest {};

} // namespace

TEST_F(NanoVGPixels, FillsCoverWholePixelsInsideAndPartOnTheirEdges) {
  PixelCanvas canvas(100, 80);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.FloodBox(kRed, IBox(10, 10, 30, 30));
    canvas.FloodCircle(kGreen, 60, 40, 15.5f);
    canvas.FloodBox(kBlue, IBox(40.5f, 60, 50, 70));  // its left column is half covered
  });
  EXPECT_PIXEL(canvas, 20, 20, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 10, 10, kRedPixel, 0);  // left and top edges are inside
  EXPECT_PIXEL(canvas, 29, 29, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 30, 20, kClearPixel, 0);      // right and bottom edges are outside
  EXPECT_PIXEL(canvas, 20, 30, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 9, 20, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 60, 40, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 60, 22, kClearPixel, 0);
  // Pixel (75, 40) has its centre (75.5, 40.5) about 15.5 from the circle's
  // centre: on the rim, half covered.
  EXPECT_PIXEL(canvas, 75, 40, (Rgba{0, 128, 0, 128}), 40);
  EXPECT_PIXEL(canvas, 40, 65, (Rgba{0, 0, 128, 128}), 6);
  EXPECT_PIXEL(canvas, 45, 65, kBluePixel, 0);
}

TEST_F(NanoVGPixels, StrokesCoverTheirWidthAndDashesLeaveGaps) {
  PixelCanvas canvas(100, 80);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.OutlineSegment(kRed, 10, 20, 90, 20, nullptr, 4);            // rows 18 to 21
    canvas.OutlineBox(kGreen, IBox(10, 40, 40, 70), nullptr, 2);        // columns 9 and 10 on the left
    canvas.OutlineDashedSegment(kBlue, 0, 75, 100, 75, nullptr, 2, 10);  // dashes over [0, 10], [20, 30] ...
  });
  EXPECT_PIXEL(canvas, 50, 18, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 50, 21, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 50, 16, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 50, 23, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 5, 20, kClearPixel, 0);  // butt caps end at the end points
  EXPECT_PIXEL(canvas, 9, 55, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 10, 55, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 25, 55, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 5, 75, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 15, 75, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 25, 75, kBluePixel, 0);
}

TEST_F(NanoVGPixels, GradientsRunFromFirstToLastStop) {
  PixelCanvas canvas(100, 80);
  ASSERT_TRUE(canvas.Open());
  IFill linear = IFill::MakeAxial(0, 0, 100, 0);
  linear.AddStop(kRed, 0);
  linear.AddStop(kGreen, 0.5f);  // NanoVG gradients have two colours: no green
  linear.AddStop(kBlue, 1);
  // Pattern space turned by 90 degrees and shrunk to a tenth around (50, 45):
  // a radial gradient of radius 10 there, white in the middle.
  IFill radial(EFillKind::Circular);
  radial.AddStop(IArgb(255, 255, 255, 255), 0);
  radial.AddStop(IArgb(255, 0, 0, 0), 1);
  radial.Mapping = IAffine(0, -0.1, 0.1, 0, -4.5, 5);
  const IComposite half(ECompositeMode::SourceOver, 0.5f);
  canvas.Paint([&] {
    canvas.ShapeAddBox(IBox(0, 0, 100, 10));
    canvas.ShapeFill(linear, IFillOptions());
    canvas.ShapeAddBox(IBox(0, 10, 100, 20));
    canvas.ShapeFill(linear, IFillOptions(), &half);
    canvas.ShapeAddBox(IBox(30, 25, 70, 65));
    canvas.ShapeFill(radial, IFillOptions());
  });
  // Pixel centres at x + 0.5 along a 100-pixel run.
  const auto along = [](int x) { return (x + 0.5) / 100.0; };
  for (int x : {0, 25, 75, 99}) {
    const double t = along(x);
    const Rgba expected{static_cast<int>(std::lround(255 * (1 - t))), 0, static_cast<int>(std::lround(255 * t)), 255};
    EXPECT_PIXEL(canvas, x, 5, expected, 3);
    const Rgba halfExpected{expected.R / 2, 0, expected.B / 2, 128};
    EXPECT_PIXEL(canvas, x, 15, halfExpected, 3);
  }
  for (int x : {50, 55, 58}) {
    const double d = std::hypot(x + 0.5 - 50.0, 45.5 - 45.0);
    const int grey = static_cast<int>(std::lround(255 * (1 - d / 10.0)));
    EXPECT_PIXEL(canvas, x, 45, (Rgba{grey, grey, grey, 255}), 4);
  }
  EXPECT_PIXEL(canvas, 65, 45, (Rgba{0, 0, 0, 255}), 0);  // beyond the radius: the last stop
}

TEST_F(NanoVGPixels, FillRulesMakeHolesAndStrokesCanKeepTheirPath) {
  // An outer box (0 .. 30) and an inner one (10 .. 20), both traced the same
  // way round; the rule decides whether the inner one is a hole.
  struct RuleCase {
    const char* name;
    EFillRule rule;
    int32_t innerDirection;  // -1: none given
    Rgba centre;
  };
  const RuleCase cases[] = {
      {"solid", EFillRule::Solid, -1, kRedPixel},
      {"hole", EFillRule::Hole, -1, kClearPixel},
      {"directions: hole", EFillRule::KeepDirections, 1, kClearPixel},
      {"directions: solid", EFillRule::KeepDirections, 0, kRedPixel},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(40, 40);
    ASSERT_TRUE(canvas.Open());
    canvas.Paint([&] {
      canvas.ShapeAddBox(IBox(0, 0, 30, 30));
      if (c.innerDirection >= 0) canvas.ShapeSetDirection(0);
      canvas.ShapeAddBox(IBox(10, 10, 20, 20));
      if (c.innerDirection >= 0) canvas.ShapeSetDirection(c.innerDirection);
      IFillOptions options;
      options.Rule = c.rule;
      canvas.ShapeFill(kRed, options);
    });
    EXPECT_PIXEL(canvas, 5, 5, kRedPixel, 0);
    EXPECT_PIXEL(canvas, 15, 15, c.centre, 0);
  }

  PixelCanvas canvas(40, 40);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    IStrokeOptions keep;
    keep.PreserveShape = true;
    canvas.ShapeAddBox(IBox(5, 5, 15, 15));
    canvas.ShapeStroke(kRed, 2, keep);
    canvas.ShapeFill(kBlue, IFillOptions());  // the same box
    canvas.ShapeAddBox(IBox(25, 25, 35, 35));
    canvas.ShapeStroke(kRed, 2, IStrokeOptions());
    canvas.ShapeFill(kBlue, IFillOptions());  // no path left
  });
  EXPECT_PIXEL(canvas, 10, 10, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 30, 30, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 25, 30, kRedPixel, 0);
}

TEST_F(NanoVGPixels, CompositeModesFollowTheirBlendRules) {
  // Red (the destination) covers x 0..60, blue (the source) x 40..100. Pixel
  // 20 sees only red (the source never reaches it), 50 both, 80 only blue.
  struct ModeCase {
    const char* name;
    IComposite blend;
    Rgba both, sourceOnly;
  };
  const ModeCase cases[] = {
      {"source over", {ECompositeMode::SourceOver, 1}, kBluePixel, kBluePixel},
      {"source in", {ECompositeMode::SourceIn, 1}, kBluePixel, kClearPixel},
      {"source out", {ECompositeMode::SourceOut, 1}, kClearPixel, kBluePixel},
      {"source atop", {ECompositeMode::SourceAtop, 1}, kBluePixel, kClearPixel},
      {"destination over", {ECompositeMode::DestinationOver, 1}, kRedPixel, kBluePixel},
      {"destination in", {ECompositeMode::DestinationIn, 1}, kRedPixel, kClearPixel},
      {"destination out", {ECompositeMode::DestinationOut, 1}, kClearPixel, kClearPixel},
      {"destination atop", {ECompositeMode::DestinationAtop, 1}, kRedPixel, kBluePixel},
      {"xor", {ECompositeMode::Xor, 1}, kClearPixel, kBluePixel},
      // Source x source alpha plus destination x destination alpha.
      {"alpha add", {ECompositeMode::AlphaAdd, 1}, (Rgba{255, 0, 255, 255}), kBluePixel},
      {"half opacity", {ECompositeMode::SourceOver, 0.5f}, (Rgba{128, 0, 128, 255}), (Rgba{0, 0, 128, 128})},
      // An unknown mode keeps the state every draw leaves behind: source over.
      {"unknown", {static_cast<ECompositeMode>(10), 1}, kBluePixel, kBluePixel},
  };
  for (const ModeCase& c : cases) {
    PixelCanvas canvas(100, 20);
    ASSERT_TRUE(canvas.Open());
    canvas.Paint([&] {
      canvas.FloodBox(kRed, IBox(0, 0, 60, 20));
      canvas.FloodBox(kBlue, IBox(40, 0, 100, 20), &c.blend);
    });
    SCOPED_TRACE(c.name);
    EXPECT_PIXEL(canvas, 20, 10, kRedPixel, 0);
    EXPECT_PIXEL(canvas, 50, 10, c.both, 2);
    EXPECT_PIXEL(canvas, 80, 10, c.sourceOnly, 2);
  }
}

TEST_F(NanoVGPixels, DrawingStaysInsideRegionAndClipBox) {
  PixelCanvas canvas(50, 40, 2.0f);  // 100 by 80 device pixels
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.StartRegionPaint(IBox(10, 10, 20, 20));
    canvas.FloodBox(kRed, IBox(0, 0, 50, 40));
    canvas.StartRegionPaint(IBox(25, 10, 45, 30));
    canvas.ShapeClipBox(IBox(30, 15, 60, 60));  // cut to the region
    canvas.ShapeScale(3);                       // the clip ignores the shape transform
    canvas.FloodBox(kGreen, IBox(0, 0, 50, 40));
  });
  EXPECT_PIXEL(canvas, 30, 30, kRedPixel, 0);  // logical (15, 15)
  EXPECT_PIXEL(canvas, 19, 30, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 40, 30, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 70, 40, kGreenPixel, 0);  // logical (35, 20)
  EXPECT_PIXEL(canvas, 55, 40, kClearPixel, 0);        // inside the region, outside the clip
  EXPECT_PIXEL(canvas, 70, 62, kClearPixel, 0);        // below the region
}

TEST_F(NanoVGPixels, MainFramebufferKeepsWhatWasNotRepainted) {
  PixelCanvas canvas(40, 40);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] { canvas.FloodBox(kRed, IBox(0, 0, 40, 40)); });
  canvas.StartPaint();
  canvas.StartRegionPaint(IBox(0, 0, 10, 10));
  canvas.FloodBox(kBlue, IBox(0, 0, 40, 40));
  canvas.FinishPaint();
  EXPECT_PIXEL(canvas, 5, 5, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 30, 30, kRedPixel, 0);

  // A rebuilt main framebuffer starts transparent, whatever memory it got.
  canvas.RebuildBackBuffer();
  ASSERT_NE(canvas.MainFramebuffer(), nullptr);
  for (const Rgba& p : canvas.Pixels()) ASSERT_TRUE(Near(p, kClearPixel, 0)) << Text(p);
}

TEST_F(NanoVGPixels, PaintWithoutMainFramebufferDrawsNothingLater) {
  PixelCanvas canvas(40, 40);
  ASSERT_NE(canvas.OnSurfaceCreated(), nullptr);
  EXPECT_EQ(canvas.MainFramebuffer(), nullptr);
  canvas.Paint([&] { canvas.FloodBox(kRed, IBox(0, 0, 40, 40)); });  // skipped, nothing queued
  canvas.RebuildBackBuffer();
  canvas.Paint([&] { canvas.PlotPixel(kBlue, 0, 0); });
  EXPECT_PIXEL(canvas, 0, 0, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 20, 20, kClearPixel, 0);

  // Closing and opening again gives a working surface.
  canvas.OnSurfaceDestroyed();
  EXPECT_EQ(canvas.Context(), nullptr);
  EXPECT_EQ(canvas.MainFramebuffer(), nullptr);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] { canvas.FloodBox(kGreen, IBox(0, 0, 40, 40)); });
  EXPECT_PIXEL(canvas, 20, 20, kGreenPixel, 0);
}

TEST(NanoVGWithoutContext, EveryOperationIsAHarmlessFailure) {
  // No OpenGL at all: nothing here may reach NanoVG.
  PixelCanvas canvas(40, 40);
  canvas.RebuildBackBuffer();
  EXPECT_EQ(canvas.MainFramebuffer(), nullptr);
  EXPECT_EQ(canvas.GetBackendContext(), nullptr);
  EXPECT_STREQ(canvas.GetBackendName(), "NanoVG | GL2");
  canvas.Paint([&] {
    canvas.FloodBox(kRed, IBox(0, 0, 40, 40));
    canvas.OutlineCircle(kRed, 10, 10, 5);
    canvas.OutlineDashedBox(kRed, IBox(0, 0, 40, 40), nullptr, 1, 3);
    canvas.ShapeClipBox(IBox(1, 1, 2, 2));
    canvas.ShapeQuadTo(1, 2, 3, 4);
    canvas.ShapeCubicTo(1, 2, 3, 4, 5, 6);
    canvas.ShapeSetDirection(1);
    canvas.ShapeStroke(IFill::MakeAxial(0, 0, 1, 1), 2, IStrokeOptions());
  });
  IBox box(0, 0, 40, 40);
  EXPECT_EQ(canvas.MeasureTextRun(ITextStyle(), "text", box), 0.0f);
  canvas.RenderTextRun(ITextStyle(), "text", box);
  EXPECT_FALSE(canvas.AddBackendFont("Roboto-Regular", nullptr));
  EXPECT_EQ(canvas.CreateLayerImage(10, 10, 1, 1.0f), nullptr);
  EXPECT_FALSE(canvas.FetchImage("image.png", 1, false, 0).IsLoaded());
  EXPECT_EQ(canvas.PixelAlphaIndex(), 3);
  EXPECT_TRUE(canvas.LayerRowsBottomUp());
  canvas.OnSurfaceDestroyed();
}
