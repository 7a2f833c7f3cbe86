// Layers: snapping to device pixels, the stack and its draw targets,
// ownership, validation, painting, and the shadow mask.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "graphics/IShadowBlur.h"
#include "tests/graphics/imaging_canvas.h"

namespace plugkit::canvas::test {
namespace {

TEST(LayerSnap, SnapsOutwardsAndCountsThePixelsOfTheSnappedBox) {
  struct {
    IBox box;
    float density;
    IBox snapped;
    int32_t w, h;
  } cases[] = {
      {{0, 0, 10, 10}, 1.0f, {0, 0, 10, 10}, 10, 10},
      {{0.3f, 0.3f, 10.5f, 10.7f}, 1.0f, {0, 0, 11, 11}, 11, 11},
      {{10, 20, 30, 40}, 2.0f, {10, 20, 30, 40}, 40, 40},
      // 15.75 device pixels wide: 16 of them. Rounding the logical width up
      // before scaling would ask for 17 while the box spans 16.
      {{0, 0, 10.5f, 10.5f}, 1.5f, {0, 0, 16 / 1.5f, 16 / 1.5f}, 16, 16},
      {{3, 3, 13, 13}, 0.75f, {2 / 0.75f, 2 / 0.75f, 10 / 0.75f, 10 / 0.75f}, 8, 8},
      {{-4.2f, -1, 2, 1}, 1.0f, {-5, -1, 2, 1}, 7, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(BoxText(c.box) + Fmt(" at %g", c.density));
    IBox snapped;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(ICanvas::SnapLayerBox(c.box, c.density, snapped, w, h));
    EXPECT_FLOAT_EQ(snapped.Left, c.snapped.Left);
    EXPECT_FLOAT_EQ(snapped.Top, c.snapped.Top);
    EXPECT_FLOAT_EQ(snapped.Right, c.snapped.Right);
    EXPECT_FLOAT_EQ(snapped.Bottom, c.snapped.Bottom);
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
  }
}

TEST(LayerSnap, RefusesBoxesWithoutPixelsOrBeyondReason) {
  const float nan = std::nanf("");
  struct {
    IBox box;
    float density;
  } cases[] = {
      {{5, 5, 5, 9}, 1.0f},         {{5, 9, 9, 5}, 1.0f},   {{0, 0, 10, 10}, 0.0f},
      {{0, 0, 10, 10}, -1.0f},      {{0, 0, 10, 10}, nan},  {{nan, 0, 10, 10}, 1.0f},
      {{0, 0, 20000, 10}, 1.0f},    {{0, 0, 1e30f, 10}, 1.0f},
  };
  for (const auto& c : cases) {
    IBox snapped(1, 2, 3, 4);
    int32_t w = -7, h = -7;
    EXPECT_FALSE(ICanvas::SnapLayerBox(c.box, c.density, snapped, w, h)) << BoxText(c.box);
    EXPECT_EQ(snapped, IBox(1, 2, 3, 4));
    EXPECT_EQ(w, -7);
  }
}

// At any density the snapped box lies on the device-pixel grid, covers the
// box asked for, and spans exactly the pixels counted, so an image of that
// size and a viewport made from the box agree.
TEST(LayerSnap, ImageAndBoxAgreeAtFractionalScales) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> position(-50.0f, 250.0f);
  std::uniform_real_distribution<float> extent(0.5f, 120.0f);
  for (float d : {0.5f, 0.75f, 1.0f, 1.1f, 1.25f, 1.5f, 1.75f, 2.0f, 2.5f, 3.0f}) {
    for (int i = 0; i < 500; ++i) {
      const float x = position(random), y = position(random);
      const IBox box(x, y, x + extent(random), y + extent(random));
      IBox s;
      int32_t w = 0, h = 0;
      ASSERT_TRUE(ICanvas::SnapLayerBox(box, d, s, w, h));
      ASSERT_NEAR((s.Right - s.Left) * d, w, 2e-3) << BoxText(box) << " at " << d;
      ASSERT_NEAR((s.Bottom - s.Top) * d, h, 2e-3) << BoxText(box) << " at " << d;
      ASSERT_NEAR(s.Left * d, std::round(s.Left * d), 2e-3);
      ASSERT_NEAR(s.Top * d, std::round(s.Top * d), 2e-3);
      // Covered, up to the thousandth of a device pixel let go as rounding.
      ASSERT_LE(s.Left, box.Left + 2e-3f / d);
      ASSERT_GE(s.Right, box.Right - 2e-3f / d);
    }
  }
}

class LayerTest : public ::testing::Test {
protected:
  void SetUp() override { baseline = TestBitmap::alive; }
  void TearDown() override {
    canvas.reset();
    EXPECT_EQ(TestBitmap::alive, baseline);
  }

  Log log;
  std::unique_ptr<ImagingCanvas> canvas = std::make_unique<ImagingCanvas>(log, 1.5f);
  int baseline = 0;
};

TEST_F(LayerTest, BeginAndUnstackRedirectDrawing) {
  ASSERT_TRUE(canvas->BeginLayer(nullptr, IBox(10, 20, 30, 40)));
  EXPECT_EQ(canvas->LayerDepth(), 1);
  EXPECT_EQ(log, (Log{"create 30x30 1 1.5", "switch 1", "reset transform 0", "clip 10,20,30,40", "reset path"}));
  log.clear();

  std::unique_ptr<ILayer> layer(canvas->UnstackLayer());
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(canvas->LayerDepth(), 0);
  EXPECT_EQ(log, (Log{"switch 0", "reset transform 0", "clip 0,0,0,0", "reset path"}));
  EXPECT_EQ(layer->Box, IBox(10, 20, 30, 40));
  EXPECT_EQ(layer->Image->PixelWidth, 30);
  EXPECT_EQ(layer->Image->ScreenScale, 1);
  EXPECT_EQ(layer->Image->DrawScale, 1.5f);
  EXPECT_EQ(layer->Control, nullptr);
  EXPECT_FALSE(layer->Invalid);

  // An empty stack answers null and still sends drawing back to the main
  // surface unclipped.
  log.clear();
  EXPECT_EQ(canvas->UnstackLayer(), nullptr);
  EXPECT_EQ(log, (Log{"switch 0", "reset transform 0", "clip 0,0,0,0", "reset path"}));
}

TEST_F(LayerTest, NoImageMeansNoLayer) {
  struct {
    const char* what;
    bool fail, empty;
    IBox box;
    Log expected;
  } cases[] = {
      {"back-end answers null", true, false, IBox(0, 0, 10, 10), {"create 15x15 1 1.5"}},
      {"back-end answers no pixels", false, true, IBox(0, 0, 10, 10), {"create 15x15 1 1.5"}},
      {"box without area", false, false, IBox(5, 5, 5, 20), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    log.clear();
    canvas->failLayers = c.fail;
    canvas->emptyLayers = c.empty;
    EXPECT_FALSE(canvas->BeginLayer(nullptr, c.box));
    EXPECT_EQ(canvas->LayerDepth(), 0);
    EXPECT_EQ(log, c.expected);  // drawing was never redirected
    EXPECT_EQ(TestBitmap::alive, baseline);
  }

  ILayer imageless;
  imageless.Box = IBox(0, 0, 10, 10);
  log.clear();
  EXPECT_FALSE(canvas->StackLayer(nullptr));
  EXPECT_FALSE(canvas->StackLayer(&imageless));
  EXPECT_EQ(canvas->LayerDepth(), 0);
  canvas->PaintLayer(&imageless);
  canvas->PaintLayer(nullptr);
  canvas->CastLayerShadow(&imageless, IDropShadow());
  EXPECT_FALSE(canvas->ValidateLayer(&imageless));
  EXPECT_FALSE(canvas->ValidateLayer(nullptr));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(canvas->shadowsApplied, 0);
}

// Layers made by BeginLayer belong to the stack until taken; layers stacked
// from outside stay with their owner, even when the canvas goes with them
// still stacked.
TEST_F(LayerTest, StackOwnsOnlyWhatItMade) {
  ILayer external(std::make_unique<TestBitmap>(4, 4, 1, 1.0f), nullptr, IBox(), IBox(0, 0, 4, 4));
  ASSERT_TRUE(canvas->BeginLayer(nullptr, IBox(0, 0, 10, 10)));
  ASSERT_TRUE(canvas->StackLayer(&external));
  ASSERT_TRUE(canvas->BeginLayer(nullptr, IBox(0, 0, 20, 20)));
  EXPECT_EQ(canvas->LayerDepth(), 3);
  EXPECT_EQ(TestBitmap::alive, baseline + 3);
  EXPECT_EQ(canvas->TopLayer()->Box, IBox(0, 0, 20, 20));

  std::unique_ptr<ILayer> taken(canvas->UnstackLayer());
  EXPECT_EQ(canvas->TopLayer(), &external);
  canvas.reset();  // the first layer is still stacked and goes with the canvas
  EXPECT_EQ(TestBitmap::alive, baseline + 2);
  ASSERT_NE(external.Image, nullptr);
  EXPECT_EQ(external.Image->PixelWidth, 4);
  taken.reset();
  external.Image.reset();
}

TEST_F(LayerTest, KeptLayerStaysValidUntilItsControlOrScaleChanges) {
  ProbeControl control(log, "knob", IBox(10, 10, 50, 50));
  auto build = [&] {
    EXPECT_TRUE(canvas->BeginLayer(&control, control.Bounds()));
    return std::unique_ptr<ILayer>(canvas->UnstackLayer());
  };
  std::unique_ptr<ILayer> layer = build();
  EXPECT_EQ(layer->ControlBounds, IBox(10, 10, 50, 50));
  EXPECT_TRUE(canvas->ValidateLayer(layer.get()));
  EXPECT_TRUE(canvas->ValidateLayer(layer.get()));

  control.SetBounds(IBox(11, 10, 51, 50));
  EXPECT_FALSE(canvas->ValidateLayer(layer.get()));
  EXPECT_EQ(layer->ControlBounds, IBox(11, 10, 51, 50));
  control.SetBounds(IBox(10, 10, 50, 50));
  EXPECT_FALSE(canvas->ValidateLayer(layer.get()));  // invalid until rebuilt
  control.SetBounds(IBox(11, 10, 51, 50));
  EXPECT_FALSE(canvas->ValidateLayer(layer.get()));

  layer = build();
  EXPECT_TRUE(canvas->ValidateLayer(layer.get()));
  canvas->ApplySize(250, 160, 2.0f);
  EXPECT_FALSE(canvas->ValidateLayer(layer.get()));
  layer = build();
  EXPECT_TRUE(canvas->ValidateLayer(layer.get()));
  canvas->ApplyScreenScale(2);
  EXPECT_FALSE(canvas->ValidateLayer(layer.get()));
  layer = build();
  EXPECT_TRUE(canvas->ValidateLayer(layer.get()));
}

TEST_F(LayerTest, PaintLayerDrawsItsImageAtItsBoxUntransformed) {
  ASSERT_TRUE(canvas->BeginLayer(nullptr, IBox(10, 20, 30, 40)));
  std::unique_ptr<ILayer> layer(canvas->UnstackLayer());
  log.clear();
  const IComposite half(ECompositeMode::SourceOver, 0.5f);
  canvas->PaintLayer(layer.get(), &half);
  EXPECT_EQ(log, (Log{"save transform", "reset transform 0", "image 30x30 10,20,30,40 from 0,0 blend 0 0.5",
                      "restore transform"}));
}

// ---- Shadows ----

TEST(ShadowKernel, MatchesTheGaussianTable) {
  struct {
    float spread;
    std::vector<uint8_t> taps;
    int64_t total;
  } cases[] = {
      {1.0f, {255}, 255},
      {0.2f, {255}, 255},
      {std::nanf(""), {255}, 255},
      {3.0f, {255, 155, 35}, 635},  // blur 2 at scale 1
      {2.5f, {255, 124, 14}, 531},  // 255 e^(-0.72), 255 e^(-2.88)
  };
  for (const auto& c : cases) {
    IShadowKernel kernel(c.spread);
    EXPECT_EQ(kernel.Taps, c.taps) << c.spread;
    EXPECT_EQ(kernel.Total, c.total) << c.spread;
  }
  EXPECT_EQ(IShadowKernel(1.0e9f).Taps.size(), static_cast<size_t>(IShadowKernel::kMaxTaps));
}

class ShadowTest : public LayerTest {
protected:
  // A layer of w x h pixels at the given scales.
  std::unique_ptr<ILayer> Layer(int32_t w, int32_t h, int32_t screenScale = 1, float drawScale = 1.0f) {
    return std::make_unique<ILayer>(std::make_unique<TestBitmap>(w, h, screenScale, drawScale), nullptr, IBox(),
                                    IBox(0, 0, static_cast<float>(w), static_cast<float>(h)));
  }
  // Pixels whose colour bytes are 1, 2, 3 and whose alpha (byte a) is
  // alpha(x, y) with y counted from the top; stored bottom row first when
  // bottomUp.
  std::vector<uint8_t> Pixels(int32_t w, int32_t h, int32_t a, bool bottomUp,
                              const std::function<uint8_t(int32_t, int32_t)>& alpha) {
    std::vector<uint8_t> p(static_cast<size_t>(w * h * 4));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* px = &p[static_cast<size_t>(((bottomUp ? h - 1 - y : y) * w + x) * 4)];
        for (int k = 0, c = 1; k < 4; ++k)
          if (k != a) px[k] = static_cast<uint8_t>(c++);
        px[a] = alpha(x, y);
      }
    return p;
  }
  uint8_t MaskAlpha(int32_t w, int32_t x, int32_t y, int32_t a) const {
    return canvas->mask[static_cast<size_t>((y * w + x) * 4 + a)];
  }
};

// Without blur the mask is the alpha channel itself, top row first whatever
// order the rows were read in; the colour bytes are left as read.
TEST_F(ShadowTest, NoBlurGivesTheAlphaTopRowFirst) {
  for (bool bottomUp : {true, false}) {
    for (int32_t a : {3, 0}) {
      SCOPED_TRACE(Fmt("bottom up %g alpha byte %g", bottomUp, a));
      canvas->bottomUp = bottomUp;
      canvas->alphaIndex = a;
      auto alpha = [](int32_t x, int32_t y) { return static_cast<uint8_t>(10 * y + x + 1); };
      canvas->layerPixels = Pixels(3, 2, a, bottomUp, alpha);
      auto layer = Layer(3, 2);
      canvas->CastLayerShadow(layer.get(), IDropShadow(IArgb(), 0.0f, 0, 2, 0.5f, true));
      ASSERT_EQ(canvas->mask.size(), 24u);
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(MaskAlpha(3, x, y, a), alpha(x, y)) << x << "," << y;
      EXPECT_EQ(canvas->mask[a == 0 ? 1 : 0], 1);  // a colour byte of the first pixel read
    }
  }
}

// One opaque pixel blurred by 2 at scale 1: the kernel (255, 155, 35) over
// 635 along the rows, then along the columns, with integer division.
TEST_F(ShadowTest, BlursAlongRowsThenColumns) {
  const int32_t taps[] = {255, 155, 35};
  auto tap = [&](int32_t d) { return std::abs(d) < 3 ? taps[std::abs(d)] : 0; };
  canvas->layerPixels = Pixels(7, 7, 3, true, [](int32_t x, int32_t y) { return x == 3 && y == 2 ? 255 : 0; });
  auto layer = Layer(7, 7);
  canvas->CastLayerShadow(layer.get(), IDropShadow(IArgb(), 2.0f, 0, 0, 1, true));
  ASSERT_EQ(canvas->shadowsApplied, 1);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 7; ++x) {
      const int32_t row = tap(x - 3) * 255 / 635;
      EXPECT_EQ(MaskAlpha(7, x, y, 3), tap(y - 2) * row / 635) << x << "," << y;
    }
}

// The blur follows the image's own scales: blur 1 on an image made at
// screen scale 2 and draw scale 1.5 reaches 3 pixels out, not 4.
TEST_F(ShadowTest, BlurWidthFollowsTheImageScale) {
  canvas->layerPixels = Pixels(11, 1, 3, false, [](int32_t x, int32_t) { return x == 5 ? 255 : 0; });
  canvas->bottomUp = false;
  auto layer = Layer(11, 1, 2, 1.5f);
  canvas->CastLayerShadow(layer.get(), IDropShadow(IArgb(), 1.0f, 0, 0, 1, true));
  ASSERT_EQ(canvas->mask.size(), 44u);
  EXPECT_GT(MaskAlpha(11, 2, 0, 3), 0);
  EXPECT_GT(MaskAlpha(11, 8, 0, 3), 0);
  EXPECT_EQ(MaskAlpha(11, 1, 0, 3), 0);
  EXPECT_EQ(MaskAlpha(11, 9, 0, 3), 0);
}

// A kernel far wider than the layer uses only the neighbours inside it.
TEST_F(ShadowTest, NarrowLayerWideBlur) {
  canvas->layerPixels = Pixels(1, 1, 3, true, [](int32_t, int32_t) { return 255; });
  auto layer = Layer(1, 1);
  canvas->CastLayerShadow(layer.get(), IDropShadow(IArgb(), 10.0f, 0, 0, 1, true));
  ASSERT_EQ(canvas->mask.size(), 4u);
  double total = 0;  // c = 11, k = 4.5 / 121
  for (int i = 0; i < 11; ++i) total += (i ? 2 : 1) * std::round(255 * std::exp(-i * i * 4.5 / 121));
  const int64_t once = static_cast<int64_t>(255 * 255 / static_cast<int64_t>(total));
  EXPECT_EQ(MaskAlpha(1, 0, 0, 3), 255 * once / static_cast<int64_t>(total));
}

TEST_F(ShadowTest, UnreadablePixelsCastNoShadow) {
  auto layer = Layer(3, 2);
  canvas->layerPixels.assign(23, 255);  // one byte short
  canvas->CastLayerShadow(layer.get(), IDropShadow());
  canvas->layerPixels.clear();
  canvas->CastLayerShadow(layer.get(), IDropShadow());
  canvas->layerPixels.assign(24, 255);
  canvas->alphaIndex = 4;  // no such byte
  canvas->CastLayerShadow(layer.get(), IDropShadow());
  EXPECT_EQ(canvas->shadowsApplied, 0);
}

} // namespace
} // namespace plugkit::canvas::test
