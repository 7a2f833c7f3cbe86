// Layers of the NanoVG back-end: drawn in logical coordinates, kept across
// paints, read back, placed exactly at fractional draw scales, shadowed, and
// dropped when a control leaves one open. Where their objects go:
// nanovg_contexts_test.cpp.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "core/IHeapBlock.h"
#include "graphics/IControl.h"
#include "tests/graphics/drawing/gl_surface.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

const Rgba kBlack{0, 0, 0, 255};

class NanoVGLayers : public PixelTest {};


// A layer over box holding a red square, made inside a paint.
std::unique_ptr<ILayer> RedSquareLayer(PixelCanvas& canvas, const IBox& box, const IBox& square) {
  std::unique_ptr<ILayer> layer;
  canvas.Paint([&] {
    if (!canvas.BeginLayer(nullptr, box)) return;
    canvas.FloodBox(kRed, square);
    layer.reset(canvas.UnstackLayer());
  });
  return layer;
}

// A control that draws what it is given.
class DrawingControl : public IControl {
public:
  DrawingControl(const IBox& bounds, std::function<void(ICanvas&, const IBox&)> draw)
      : IControl(bounds, -1), mDraw(std::move(draw)) {}
  void Render(ICanvas& g) override { mDraw(g, Bounds()); }

private:
  std::function<void(ICanvas&, const IBox&)> mDraw;
};

} // namespace

TEST_F(NanoVGLayers, LayerKeepsItsDrawingUntilPainted) {
  PixelCanvas canvas(60, 40);
  ASSERT_TRUE(canvas.Open());
  std::unique_ptr<ILayer> layer = RedSquareLayer(canvas, IBox(10, 10, 30, 30), IBox(15, 15, 25, 25));
  ASSERT_TRUE(layer && layer->Image);
  EXPECT_EQ(layer->Image->PixelWidth, 20);
  EXPECT_PIXEL(canvas, 20, 20, kClearPixel, 0);  // drawn into the layer, not the window's picture

  canvas.Paint([&] {
    canvas.FloodBox(kBlue, IBox(0, 0, 5, 5));
    canvas.PaintLayer(layer.get());
  });
  EXPECT_PIXEL(canvas, 20, 20, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 15, 15, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 25, 20, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 12, 12, kClearPixel, 0);  // the layer's own pixels start transparent
  EXPECT_PIXEL(canvas, 2, 2, kBluePixel, 0);
}

TEST_F(NanoVGLayers, ReadBackGivesRgbaRowsBottomFirst) {
  PixelCanvas canvas(20, 20);
  ASSERT_TRUE(canvas.Open());
  std::unique_ptr<ILayer> layer = RedSquareLayer(canvas, IBox(0, 0, 3, 2), IBox(0, 0, 3, 1));
  ASSERT_TRUE(layer);
  plugkit::IHeapBlock pixels;
  canvas.ReadLayerPixels(*layer, pixels);
  ASSERT_EQ(pixels.Size(), 24);
  const uint8_t* p = pixels.As<uint8_t>();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p[4 * i + 3], 0) << "bottom row comes first and is empty";
    EXPECT_EQ(p[12 + 4 * i + 0], 255);
    EXPECT_EQ(p[12 + 4 * i + 3], 255) << "alpha is byte 3";
  }
}

TEST_F(NanoVGLayers, LayerLandsOnItsOwnPixelsAtFractionalScale) {
  // At draw scale 1.5 the box (10.3 .. 20.7) snaps to device pixels 15 .. 31.
  PixelCanvas canvas(40, 40, 1.5f);
  ASSERT_TRUE(canvas.Open());
  std::unique_ptr<ILayer> layer;
  canvas.Paint([&] {
    ASSERT_TRUE(canvas.BeginLayer(nullptr, IBox(10.3f, 10.3f, 20.7f, 20.7f)));
    canvas.FloodBox(kRed, IBox(0, 0, 40, 40));      // clipped to the layer
    canvas.FloodBox(kGreen, IBox(12, 12, 14, 14));  // device pixels 18 .. 20
    layer.reset(canvas.UnstackLayer());
    canvas.PaintLayer(layer.get());
  });
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->Image->PixelWidth, 17);
  for (int i : {15, 31}) {
    EXPECT_PIXEL(canvas, i, 25, kRedPixel, 0);
    EXPECT_PIXEL(canvas, 25, i, kRedPixel, 0);
  }
  for (int i : {14, 32}) {
    EXPECT_PIXEL(canvas, i, 25, kClearPixel, 0);
    EXPECT_PIXEL(canvas, 25, i, kClearPixel, 0);
  }
  EXPECT_PIXEL(canvas, 18, 18, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 20, 20, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 17, 19, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 21, 19, kRedPixel, 0);
}

TEST_F(NanoVGLayers, DrawingAfterAReadBackKeepsTheLayersClipAndTransform) {
  // At draw scale 2 the layer over (10 .. 30) spans device pixels 20 .. 60.
  PixelCanvas canvas(40, 40, 2.0f);
  ASSERT_TRUE(canvas.Open());
  std::unique_ptr<ILayer> layer;
  plugkit::IHeapBlock readBack;
  canvas.Paint([&] {
    ASSERT_TRUE(canvas.BeginLayer(nullptr, IBox(10, 10, 30, 30)));
    canvas.FloodBox(kRed, IBox(10, 10, 20, 20));
    canvas.ShapeTranslate(5, 0);
    canvas.ReadLayerPixels(*canvas.TopLayer(), readBack);
    canvas.FloodBox(kGreen, IBox(-10, 0, 40, 40));  // the whole layer, and only it
    canvas.FloodBox(kBlue, IBox(10, 10, 15, 15));   // moved to (15 .. 20, 10 .. 15)
    layer.reset(canvas.UnstackLayer());
    canvas.PaintLayer(layer.get());
  });
  ASSERT_EQ(readBack.Size(), 40 * 40 * 4);
  const uint8_t* top = readBack.As<uint8_t>() + 39 * 40 * 4;  // rows come bottom first
  EXPECT_EQ(top[0], 255) << "what was drawn before the read is in it";
  EXPECT_EQ(top[3], 255);

  const std::vector<Rgba> pixels = canvas.Pixels();
  ASSERT_EQ(pixels.size(), 80u * 80u);
  int green = 0, blue = 0, strays = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) {
      const Rgba& p = pixels[static_cast<size_t>(y) * 80 + x];
      const bool inLayer = x >= 20 && x < 60 && y >= 20 && y < 60;
      if (Near(p, kGreenPixel, 0)) ++green;
      else if (Near(p, kBluePixel, 0)) ++blue;
      else if (inLayer || !Near(p, kClearPixel, 0)) ++strays;
    }
  EXPECT_EQ(blue, 10 * 10);
  EXPECT_EQ(green, 40 * 40 - 10 * 10);
  EXPECT_EQ(strays, 0);
  EXPECT_PIXEL(canvas, 30, 20, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 29, 20, kGreenPixel, 0);
}

TEST_F(NanoVGLayers, PaintThatLeavesALayerOpenStillReachesTheWindow) {
  PixelCanvas canvas(40, 20);
  ASSERT_TRUE(canvas.Open());
  canvas.Paint([&] {
    canvas.FloodBox(kBlue, IBox(0, 0, 10, 10));
    ASSERT_TRUE(canvas.BeginLayer(nullptr, IBox(20, 0, 30, 10)));  // never unstacked
    canvas.FloodBox(kRed, IBox(20, 0, 30, 10));
  });
  EXPECT_EQ(canvas.LayerDepth(), 0);
  EXPECT_PIXEL(canvas, 5, 5, kBluePixel, 0);
  EXPECT_TRUE(Near(canvas.WindowPixelAt(5, 5), kBluePixel, 0)) << Text(canvas.WindowPixelAt(5, 5));
  EXPECT_TRUE(Near(canvas.WindowPixelAt(25, 5), kClearPixel, 0)) << "the dropped layer was never painted";

  // Later paints draw where they should and reach the window as well.
  canvas.Paint([&] { canvas.FloodBox(kGreen, IBox(10, 0, 20, 10)); });
  EXPECT_TRUE(Near(canvas.WindowPixelAt(15, 5), kGreenPixel, 0)) << Text(canvas.WindowPixelAt(15, 5));
  EXPECT_TRUE(Near(canvas.WindowPixelAt(5, 5), kBluePixel, 0)) << Text(canvas.WindowPixelAt(5, 5));
}

// The controls of one paint: a background, a control that draws, begins a
// layer and never ends it, and a control filling 20 x 20 pixels with green.
// Only what the second drew after beginning its layer is lost, on every
// paint.
TEST_F(NanoVGLayers, ControlThatLeavesALayerOpenLosesOnlyItsOwnDrawing) {
  PixelCanvas canvas(60, 20);
  ASSERT_TRUE(canvas.Open());
  canvas.AttachBackground(
      new DrawingControl(IBox(0, 0, 60, 20), [](ICanvas& g, const IBox& b) { g.FloodBox(kRed, b); }));
  canvas.AdoptControl(new DrawingControl(IBox(0, 0, 20, 20), [](ICanvas& g, const IBox& b) {
    g.FloodBox(kBlue, b);
    if (g.BeginLayer(nullptr, b)) g.FloodBox(IArgb(255, 255, 255, 255), b);
  }));
  canvas.AdoptControl(
      new DrawingControl(IBox(40, 0, 60, 20), [](ICanvas& g, const IBox& b) { g.FloodBox(kGreen, b); }));
  for (int paint = 0; paint < 2; ++paint) {
    SCOPED_TRACE(paint);
    IBoxList boxes;
    boxes.Add(IBox(0, 0, 60, 20));
    canvas.PaintRegions(boxes);
    EXPECT_EQ(canvas.LayerDepth(), 0);
    int green = 0, blue = 0, red = 0;
    for (const Rgba& p : canvas.Pixels()) {
      green += Near(p, kGreenPixel, 0);
      blue += Near(p, kBluePixel, 0);
      red += Near(p, kRedPixel, 0);
    }
    EXPECT_EQ(green, 400) << "the control after the one that left its layer open";
    EXPECT_EQ(blue, 400) << "what that one drew before its layer";
    EXPECT_EQ(red, 400);
    EXPECT_TRUE(Near(canvas.WindowPixelAt(50, 10), kGreenPixel, 0)) << Text(canvas.WindowPixelAt(50, 10));
  }
}

TEST_F(NanoVGLayers, ShadowGoesBeneathOrReplacesTheContent) {
  // A red square (10 .. 25) in a layer over (10 .. 40); the shadow is its
  // unblurred alpha moved by (10, 10): black over (20 .. 35).
  struct ShadowCase {
    const char* name;
    bool keep;
    float opacity;
    Rgba content, overlap, shadowOnly;
  };
  const ShadowCase cases[] = {
      {"beneath", true, 1.0f, kRedPixel, kRedPixel, kBlack},
      {"alone", false, 1.0f, kClearPixel, kBlack, kBlack},
      {"half", true, 0.5f, kRedPixel, kRedPixel, (Rgba{0, 0, 0, 128})},
  };
  for (const ShadowCase& c : cases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(60, 60);
    ASSERT_TRUE(canvas.Open());
    std::unique_ptr<ILayer> layer = RedSquareLayer(canvas, IBox(10, 10, 40, 40), IBox(10, 10, 25, 25));
    ASSERT_TRUE(layer);
    canvas.CastLayerShadow(layer.get(), IDropShadow(IFill(IArgb(255, 0, 0, 0)), 0.0f, 10, 10, c.opacity, c.keep));
    canvas.Paint([&] { canvas.PaintLayer(layer.get()); });
    EXPECT_PIXEL(canvas, 15, 15, c.content, 2);
    EXPECT_PIXEL(canvas, 22, 22, c.overlap, 2);
    EXPECT_PIXEL(canvas, 30, 30, c.shadowOnly, 2);
    EXPECT_PIXEL(canvas, 30, 15, kClearPixel, 0);
    EXPECT_PIXEL(canvas, 37, 37, kClearPixel, 0);
  }
}

TEST_F(NanoVGLayers, BlurredShadowFadesAtItsEdge) {
  PixelCanvas canvas(60, 60);
  ASSERT_TRUE(canvas.Open());
  std::unique_ptr<ILayer> layer = RedSquareLayer(canvas, IBox(0, 0, 60, 60), IBox(10, 10, 30, 30));
  ASSERT_TRUE(layer);
  canvas.CastLayerShadow(layer.get(), IDropShadow(IFill(IArgb(255, 0, 0, 0)), 2.0f, 15, 15, 1.0f, false));
  canvas.Paint([&] { canvas.PaintLayer(layer.get()); });
  EXPECT_PIXEL(canvas, 35, 35, kBlack, 2);  // deep inside the moved square
  const Rgba edge = canvas.PixelAt(45, 35);  // one pixel past its right edge
  EXPECT_GT(edge.A, 0);
  EXPECT_LT(edge.A, 255);
  EXPECT_PIXEL(canvas, 50, 35, kClearPixel, 0);  // beyond the blur's reach
  EXPECT_PIXEL(canvas, 20, 20, kClearPixel, 0);  // the content itself is gone
}

TEST_F(NanoVGLayers, NoLayerWithoutFramebufferAndDrawingGoesOn) {
  PixelCanvas canvas(40, 20);
  ASSERT_TRUE(canvas.Open());
  EXPECT_EQ(canvas.CreateLayerImage(0, 5, 1, 1.0f), nullptr);
  EXPECT_EQ(canvas.CreateLayerImage(5, -1, 1, 1.0f), nullptr);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  canvas.Paint([&] {
    canvas.FloodBox(kBlue, IBox(0, 0, 10, 10));
    EXPECT_FALSE(canvas.BeginLayer(nullptr, IBox(nan, 0, 10, 10)));
    // Making a layer image mid-paint leaves the frame being drawn alone.
    std::unique_ptr<APIBitmap> spare(canvas.CreateLayerImage(5, 5, 1, 1.0f));
    EXPECT_TRUE(spare);
    canvas.FloodBox(kRed, IBox(10, 0, 20, 10));
  });
  EXPECT_PIXEL(canvas, 5, 5, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 15, 5, kRedPixel, 0);
}
