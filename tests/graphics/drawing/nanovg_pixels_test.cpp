// The NanoVG back-end drawn into its main framebuffer and read back. Expected
// pixels come from the geometry (full, no or partial coverage at chosen
// points) and from the compositing rules, with premultiplied colours.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/IPathOptions.h"
#include "tests/graphics/drawing/gl_surface.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

const IArgb kRed(255, 255, 0, 0);
const IArgb kGreen(255, 0, 255, 0);
const IArgb kBlue(255, 0, 0, 255);
const Rgba kClear{0, 0, 0, 0};
const Rgba kOpaqueRed{255, 0, 0, 255};
const Rgba kOpaqueGreen{0, 255, 0, 255};
const Rgba kOpaqueBlue{0, 0, 255, 255};

class NanoVGPixels : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(SharedSurface().Ready()) << SharedSurface().Failure(); }
};

#define EXPECT_PIXEL(canvas, x, y, expected, tolerance)                                                   \
  do {                                                                                                  \
    const Rgba actual_ = (canvas).PixelAt(x, y);                                                        \
    EXPECT_TRUE(Near(actual_, expected, tolerance))                                                     \
        << "pixel " << (x) << "," << (y) << " is " << Text(actual_) << ", expected " << Text(expected); \
  } while (0)

} // namespace

TEST_F(NanoVGPixels, FillsCoverWholePixelsInsideAndPartOnTheirEdges) {
  PixelCanvas canvas(100, 80);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.FloodBox(kRed, IBox(10, 10, 30, 30));
    canvas.FloodCircle(kGreen, 60, 40, 15.5f);
    canvas.FloodBox(kBlue, IBox(40.5f, 60, 50, 70));  // its left column is half covered
  });
  EXPECT_PIXEL(canvas, 20, 20, kOpaqueRed, 0);
  EXPECT_PIXEL(canvas, 10, 10, kOpaqueRed, 0);  // left and top edges are inside
  EXPECT_PIXEL(canvas, 29, 29, kOpaqueRed, 0);
  EXPECT_PIXEL(canvas, 30, 20, kClear, 0);      // right and bottom edges are outside
  EXPECT_PIXEL(canvas, 20, 30, kClear, 0);
  EXPECT_PIXEL(canvas, 9, 20, kClear, 0);
  EXPECT_PIXEL(canvas, 60, 40, kOpaqueGreen, 0);
  EXPECT_PIXEL(canvas, 60, 22, kClear, 0);
  // Pixel (75, 40) has its centre (75.5, 40.5) about 15.5 from the circle's
  // centre: on the rim, half covered.
  EXPECT_PIXEL(canvas, 75, 40, (Rgba{0, 128, 0, 128}), 40);
  EXPECT_PIXEL(canvas, 40, 65, (Rgba{0, 0, 128, 128}), 6);
  EXPECT_PIXEL(canvas, 45, 65, kOpaqueBlue, 0);
}

TEST_F(NanoVGPixels, StrokesCoverTheirWidthAndDashesLeaveGaps) {
  PixelCanvas canvas(100, 80);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.OutlineSegment(kRed, 10, 20, 90, 20, nullptr, 4);            // rows 18 to 21
    canvas.OutlineBox(kGreen, IBox(10, 40, 40, 70), nullptr, 2);        // columns 9 and 10 on the left
    canvas.OutlineDashedSegment(kBlue, 0, 75, 100, 75, nullptr, 2, 10);  // dashes over [0, 10], [20, 30] ...
  });
  EXPECT_PIXEL(canvas, 50, 18, kOpaqueRed, 0);
  EXPECT_PIXEL(canvas, 50, 21, kOpaqueRed, 0);
  EXPECT_PIXEL(canvas, 50, 16, kClear, 0);
  EXPECT_PIXEL(canvas, 50, 23, kClear, 0);
  EXPECT_PIXEL(canvas, 5, 20, kClear, 0);  // butt caps end at the end points
  EXPECT_PIXEL(canvas, 9, 55, kOpaqueGreen, 0);
  EXPECT_PIXEL(canvas, 10, 55, kOpaqueGreen, 0);
  EXPECT_PIXEL(canvas, 25, 55, kClear, 0);
  EXPECT_PIXEL(canvas, 5, 75, kOpaqueBlue, 0);
  EXPECT_PIXEL(canvas, 15, 75, kClear, 0);
  EXPECT_PIXEL(canvas, 25, 75, kOpaqueBlue, 0);
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

TEST_F(NanoVGPixels, CompositeModesFollowTheirBlendRules) {
  // Red (the destination) covers x 0..60, blue (the source) x 40..100. Pixel
  // 20 sees only red (the source never reaches it), 50 both, 80 only blue.
  struct ModeCase {
    const char* name;
    IComposite blend;
    Rgba both, sourceOnly;
  };
  const ModeCase cases[] = {
      {"source over", {ECompositeMode::SourceOver, 1}, kOpaqueBlue, kOpaqueBlue},
      {"source in", {ECompositeMode::SourceIn, 1}, kOpaqueBlue, kClear},
      {"source out", {ECompositeMode::SourceOut, 1}, kClear, kOpaqueBlue},
      {"source atop", {ECompositeMode::SourceAtop, 1}, kOpaqueBlue, kClear},
      {"destination over", {ECompositeMode::DestinationOver, 1}, kOpaqueRed, kOpaqueBlue},
      {"destination in", {ECompositeMode::DestinationIn, 1}, kOpaqueRed, kClear},
      {"destination out", {ECompositeMode::DestinationOut, 1}, kClear, kClear},
      {"destination atop", {ECompositeMode::DestinationAtop, 1}, kOpaqueRed, kOpaqueBlue},
      {"xor", {ECompositeMode::Xor, 1}, kClear, kOpaqueBlue},
      // Source x source alpha plus destination x destination alpha.
      {"alpha add", {ECompositeMode::AlphaAdd, 1}, (Rgba{255, 0, 255, 255}), kOpaqueBlue},
      {"half opacity", {ECompositeMode::SourceOver, 0.5f}, (Rgba{128, 0, 128, 255}), (Rgba{0, 0, 128, 128})},
      // An unknown mode keeps the state every draw leaves behind: source over.
      {"unknown", {static_cast<ECompositeMode>(10), 1}, kOpaqueBlue, kOpaqueBlue},
  };
  for (const ModeCase& c : cases) {
    PixelCanvas canvas(100, 20);
    ASSERT_TRUE(canvas.Open());
    canvas.Paint([&] {
      canvas.FloodBox(kRed, IBox(0, 0, 60, 20));
      canvas.FloodBox(kBlue, IBox(40, 0, 100, 20), &c.blend);
    });
    SCOPED_TRACE(c.name);
    EXPECT_PIXEL(canvas, 20, 10, kOpaqueRed, 0);
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
  EXPECT_PIXEL(canvas, 30, 30, kOpaqueRed, 0);  // logical (15, 15)
  EXPECT_PIXEL(canvas, 19, 30, kClear, 0);
  EXPECT_PIXEL(canvas, 40, 30, kClear, 0);
  EXPECT_PIXEL(canvas, 70, 40, kOpaqueGreen, 0);  // logical (35, 20)
  EXPECT_PIXEL(canvas, 55, 40, kClear, 0);        // inside the region, outside the clip
  EXPECT_PIXEL(canvas, 70, 62, kClear, 0);        // below the region
}

TEST_F(NanoVGPixels, MainFramebufferKeepsWhatWasNotRepainted) {
  PixelCanvas canvas(40, 40);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] { canvas.FloodBox(kRed, IBox(0, 0, 40, 40)); });
  canvas.StartPaint();
  canvas.StartRegionPaint(IBox(0, 0, 10, 10));
  canvas.FloodBox(kBlue, IBox(0, 0, 40, 40));
  canvas.FinishPaint();
  EXPECT_PIXEL(canvas, 5, 5, kOpaqueBlue, 0);
  EXPECT_PIXEL(canvas, 30, 30, kOpaqueRed, 0);

  // A rebuilt main framebuffer starts transparent, whatever memory it got.
  canvas.RebuildBackBuffer();
  ASSERT_NE(canvas.MainFramebuffer(), nullptr);
  for (const Rgba& p : canvas.Pixels()) ASSERT_TRUE(Near(p, kClear, 0)) << Text(p);
}

TEST_F(NanoVGPixels, PaintWithoutMainFramebufferDrawsNothingLater) {
  PixelCanvas canvas(40, 40);
  ASSERT_NE(canvas.OnSurfaceCreated(), nullptr);
  EXPECT_EQ(canvas.MainFramebuffer(), nullptr);
  canvas.Paint([&] { canvas.FloodBox(kRed, IBox(0, 0, 40, 40)); });  // skipped, nothing queued
  canvas.RebuildBackBuffer();
  canvas.Paint([&] { canvas.PlotPixel(kBlue, 0, 0); });
  EXPECT_PIXEL(canvas, 0, 0, kOpaqueBlue, 0);
  EXPECT_PIXEL(canvas, 20, 20, kClear, 0);

  // Closing and opening again gives a working surface.
  canvas.OnSurfaceDestroyed();
  EXPECT_EQ(canvas.Context(), nullptr);
  EXPECT_EQ(canvas.MainFramebuffer(), nullptr);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] { canvas.FloodBox(kGreen, IBox(0, 0, 40, 40)); });
  EXPECT_PIXEL(canvas, 20, 20, kOpaqueGreen, 0);
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
