// Bitmaps of the NanoVG back-end: decoding, drawing in place, shifted,
// stretched, turned and at another scale, fetching and caching, and images
// that must draw nothing.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/resources/APIBitmap.h"
#include "tests/graphics/drawing/gl_surface.h"
#include "tests/graphics/drawing/png_bytes.h"
#include "tests/support/written_file.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;
using plugkit::test::WrittenFile;

namespace {


// 4 by 4 pixels: the top two rows red on the left and blue on the right, the
// bottom two green on the left and blue on the right.
std::vector<uint8_t> QuadrantPng() {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const Rgba& c = x >= 2 ? kBluePixel : y < 2 ? kRedPixel : kGreenPixel;
      rgba.insert(rgba.end(), {static_cast<uint8_t>(c.R), static_cast<uint8_t>(c.G), static_cast<uint8_t>(c.B), 255});
    }
  return EncodePng(4, 4, rgba);
}

class NanoVGImages : public PixelTest {};

// Counts the decodes the canvas's fetching asks for.
class CountingCanvas : public PixelCanvas {
public:
  using PixelCanvas::PixelCanvas;
  int decodes = 0;
  APIBitmap* DecodeImageSource(const char* location, int32_t scale, int32_t kind, const char* ext) override {
    ++decodes;
    return PixelCanvas::DecodeImageSource(location, scale, kind, ext);
  }
};

// The quadrant image drawn 1:1 at (0, 0) shows its four colours.
void ExpectQuadrants(PixelCanvas& canvas) {
  EXPECT_PIXEL(canvas, 0, 0, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 3, 0, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 0, 3, kGreenPixel, 0);
}

} // namespace

TEST_F(NanoVGImages, DecodedBitmapIsDrawnUnstretchedShiftedStretchedAndTurned) {
  PixelCanvas canvas(100, 40);
  ASSERT_TRUE(canvas.Open());
  const std::vector<uint8_t> png = QuadrantPng();
  std::unique_ptr<APIBitmap> one(canvas.DecodeImageBytes(png.data(), static_cast<int32_t>(png.size()), 1));
  std::unique_ptr<APIBitmap> two(canvas.DecodeImageBytes(png.data(), static_cast<int32_t>(png.size()), 2));
  ASSERT_TRUE(one && two);
  EXPECT_EQ(one->PixelWidth, 4);
  EXPECT_EQ(one->PixelHeight, 4);
  const IImageHandle image = IImageHandle::Of(one.get(), 1, false, "quadrants");
  const IImageHandle doubled = IImageHandle::Of(two.get(), 1, false, "quadrants");
  EXPECT_EQ(doubled.Width, 2);
  const IComposite half(ECompositeMode::SourceOver, 0.5f);
  canvas.Paint([&] {
    canvas.PaintImage(image, IBox(10, 10, 14, 14), 0, 0);
    canvas.PaintImage(image, IBox(20, 10, 22, 14), 2, 0);     // shifted: the right half shows
    canvas.PaintImage(image, IBox(30, 10, 32, 12), 0, 0);     // the box only clips
    canvas.PaintImageStretched(image, IBox(40, 10, 48, 18));  // twice as large
    canvas.PaintImageTurned(image, 60, 20, 180.0);            // upside down around (60, 20)
    canvas.PaintImage(doubled, IBox(70, 10, 80, 20), 0, 0);   // 4 pixels at scale 2 span 2 units
    canvas.PaintImage(image, IBox(90, 10, 94, 14), 0, 0, &half);
  });
  EXPECT_PIXEL(canvas, 10, 10, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 12, 10, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 10, 12, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 14, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 20, 10, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 21, 13, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 22, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 31, 11, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 32, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 30, 12, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 40, 10, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 46, 10, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 40, 16, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 48, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 61, 21, kRedPixel, 3);
  EXPECT_PIXEL(canvas, 58, 21, kBluePixel, 3);
  EXPECT_PIXEL(canvas, 61, 18, kGreenPixel, 3);
  EXPECT_PIXEL(canvas, 70, 10, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 71, 10, kBluePixel, 0);
  EXPECT_PIXEL(canvas, 70, 11, kGreenPixel, 0);
  EXPECT_PIXEL(canvas, 72, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 90, 10, (Rgba{128, 0, 0, 128}), 2);
}

TEST_F(NanoVGImages, ImagesWithoutPixelsDrawNothing) {
  PixelCanvas canvas(40, 20);
  ASSERT_TRUE(canvas.Open());
  const unsigned char garbage[] = "not an image at all";
  EXPECT_EQ(canvas.DecodeImageBytes(garbage, sizeof garbage, 1), nullptr);
  EXPECT_EQ(canvas.DecodeImageBytes(nullptr, 10, 1), nullptr);
  EXPECT_EQ(canvas.DecodeImageSource("no such file.png", 1, 1, "png"), nullptr);

  // NanoVG draws image 0 as a white box; a bitmap without an image must not.
  APIBitmap noImage(0, 4, 4, 1, 1.0f);
  const IImageHandle empty = IImageHandle::Of(&noImage, 1, false, "");
  const std::vector<uint8_t> png = QuadrantPng();
  std::unique_ptr<APIBitmap> real(canvas.DecodeImageBytes(png.data(), static_cast<int32_t>(png.size()), 1));
  IImageHandle sizeless = IImageHandle::Of(real.get(), 1, false, "");
  sizeless.Width = 0;
  canvas.Paint([&] {
    canvas.PaintImage(empty, IBox(0, 0, 40, 20), 0, 0);
    canvas.PaintImageStretched(empty, IBox(0, 0, 40, 20));
    canvas.PaintImageTurned(empty, 20, 10, 45.0);
    canvas.PaintImage(IImageHandle(), IBox(0, 0, 40, 20), 0, 0);
    canvas.PaintImageStretched(IImageHandle(), IBox(0, 0, 40, 20));
    canvas.PaintImageTurned(IImageHandle(), 20, 10, 45.0);
    canvas.PaintImageStretched(sizeless, IBox(0, 0, 40, 20));
  });
  for (const Rgba& p : canvas.Pixels()) ASSERT_TRUE(Near(p, kClearPixel, 0)) << Text(p);
}

TEST_F(NanoVGImages, ExtensionsArePngAndJpegInAnyCase) {
  PixelCanvas canvas(10, 10);
  struct { const char* ext; bool ok; } cases[] = {{"png", true},   {"PNG", true},  {"jpg", true},  {"JPEG", true},
                                                  {"xpngx", true}, {"gif", false}, {"", false},    {nullptr, false},
                                                  {"bmp", false}};
  for (const auto& c : cases) EXPECT_EQ(canvas.IsImageExtensionSupported(c.ext), c.ok) << (c.ext ? c.ext : "null");
}

TEST_F(NanoVGImages, FetchedFileIsDecodedOncePerScaleAndRedrawnForAnother) {
  const char* name = "drawing_test_quadrants.png";
  const std::vector<uint8_t> png = QuadrantPng();
  std::FILE* file = std::fopen(name, "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(png.data(), 1, png.size(), file);
  std::fclose(file);

  {
    CountingCanvas canvas(40, 20);
    ASSERT_TRUE(canvas.Open());
    const IImageHandle first = canvas.FetchImage(name, 2, true, 1);
    ASSERT_TRUE(first.IsLoaded());
    EXPECT_EQ(first.Width, 4);
    EXPECT_EQ(first.FrameCount, 2);
    EXPECT_TRUE(first.FramesSideBySide);
    EXPECT_EQ(canvas.FetchImage(name, 1, false, 1).Api, first.Api);
    EXPECT_EQ(canvas.decodes, 1);

    // Only the plain file exists: at scale 2 it is redrawn at 8 by 8 pixels
    // once and cached under scale 2; the plain bitmap is not decoded again.
    const IImageHandle sharp = canvas.FetchImage(name, 1, false, 2);
    ASSERT_TRUE(sharp.IsLoaded());
    EXPECT_NE(sharp.Api, first.Api);
    EXPECT_EQ(sharp.Api->PixelWidth, 8);
    EXPECT_EQ(sharp.Width, 4);
    EXPECT_EQ(canvas.FetchImage(name, 1, false, 2).Api, sharp.Api);
    EXPECT_EQ(canvas.decodes, 1);
    EXPECT_EQ(canvas.ImageCache()->Count(), 2);

    canvas.Paint([&] { canvas.PaintImage(sharp, IBox(0, 0, 4, 4), 0, 0); });
    EXPECT_PIXEL(canvas, 0, 0, kRedPixel, 0);
    EXPECT_PIXEL(canvas, 3, 0, kBluePixel, 0);
    EXPECT_PIXEL(canvas, 0, 3, kGreenPixel, 0);

    EXPECT_FALSE(canvas.FetchImage("drawing_test_quadrants.gif", 1, false, 1).IsLoaded());
    EXPECT_FALSE(canvas.FetchImage("no_such_image.png", 1, false, 1).IsLoaded());
    EXPECT_EQ(canvas.ImageCache()->Count(), 2);

    // The cache goes with the context.
    canvas.OnSurfaceDestroyed();
    EXPECT_EQ(canvas.ImageCache()->Count(), 0);
  }
  std::remove(name);
}

// A fetch in the middle of a paint that has to redraw the image at another
// scale does so off to the side: what the paint draws afterwards lands
// exactly where it would have without the fetch, in the caller's transform,
// clip, frame and (when one is open) layer.
TEST_F(NanoVGImages, FetchThatRedrawsMidPaintLeavesThePaintWhole) {
  WrittenFile art("drawing_test_midpaint.png", QuadrantPng());  // 1x art only
  ASSERT_TRUE(art.Written());
  struct FetchCase {
    const char* name;
    int32_t screenScale;
    float drawScale;
    int32_t fetchScale;  // 0: the screen scale
    bool inLayer;
  };
  const FetchCase cases[] = {
      {"screen scale 2", 2, 1.0f, 0, false},
      {"draw scale 1.5, fetched for scale 2", 1, 1.5f, 2, false},
      {"both, inside an open layer", 2, 1.5f, 0, true},
  };
  for (const FetchCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int32_t wanted = c.fetchScale > 0 ? c.fetchScale : c.screenScale;
    const auto paint = [&](bool fetch) {
      PixelCanvas canvas(40, 40, c.drawScale);
      canvas.ApplyScreenScale(c.screenScale);
      EXPECT_TRUE(canvas.Open());
      std::unique_ptr<ILayer> layer;
      canvas.Paint([&] {
        if (c.inLayer) {
          ASSERT_TRUE(canvas.BeginLayer(nullptr, IBox(2, 2, 38, 38)));
        }
        canvas.ShapeClipBox(IBox(4, 4, 30, 36));
        canvas.ShapeTranslate(10, 6);
        if (fetch) {
          const IImageHandle image = canvas.FetchImage(art.Name(), 1, false, c.fetchScale);
          ASSERT_TRUE(image.IsLoaded());
          EXPECT_EQ(image.Api->ScreenScale, wanted) << "redrawn for the wanted scale";
        }
        canvas.FloodBox(kRed, IBox(0, 0, 10, 10));      // at (10 .. 20, 6 .. 16)
        canvas.FloodBox(kGreen, IBox(15, 15, 30, 40));  // cut by the clip
        if (c.inLayer) {
          layer.reset(canvas.UnstackLayer());
          canvas.PaintLayer(layer.get());
        }
      });
      return canvas.Pixels();
    };
    const std::vector<Rgba> expected = paint(false);
    const std::vector<Rgba> actual = paint(true);
    ASSERT_EQ(actual.size(), expected.size());
    const float d = static_cast<float>(c.screenScale) * c.drawScale;
    const int32_t side = static_cast<int32_t>(40 * d);
    ASSERT_EQ(expected.size(), static_cast<size_t>(side) * side);
    // The reference itself shows both boxes, cut where the clip says.
    const auto at = [&](const std::vector<Rgba>& p, float x, float y) {
      return p[static_cast<size_t>(y * d) * side + static_cast<size_t>(x * d)];
    };
    EXPECT_TRUE(Near(at(expected, 15, 10), kRedPixel, 0)) << Text(at(expected, 15, 10));
    EXPECT_TRUE(Near(at(expected, 29, 30), kGreenPixel, 0)) << Text(at(expected, 29, 30));
    EXPECT_TRUE(Near(at(expected, 31, 30), kClearPixel, 0)) << Text(at(expected, 31, 30));
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < actual.size(); ++i)
      if (!Near(actual[i], expected[i], 0) && differing++ == 0) first = i;
    EXPECT_EQ(differing, 0u) << "first at " << first % side << "," << first / side << ": "
                             << Text(actual[first]) << " instead of " << Text(expected[first]);
  }
}

// An image dropped from the cache while a paint still uses it keeps its
// pixels until that paint is done; outside a paint it goes at once.
TEST_F(NanoVGImages, UncachedImageLivesUntilThePaintThatDrewItEnds) {
  WrittenFile art("drawing_test_uncached.png", QuadrantPng());
  ASSERT_TRUE(art.Written());
  PixelCanvas canvas(20, 10);
  ASSERT_TRUE(canvas.Open());
  const auto width = [&](int image) {
    int w = 0, h = 0;
    nvgImageSize(canvas.Context(), image, &w, &h);
    return w;
  };

  IImageHandle image = canvas.FetchImage(art.Name(), 1, false, 1);
  ASSERT_TRUE(image.IsLoaded());
  const int drawn = image.Api->BackendImage;
  canvas.Paint([&] {
    canvas.PaintImage(image, IBox(0, 0, 4, 4), 0, 0);
    canvas.UncacheImage(image.Api);
    EXPECT_EQ(width(drawn), 4) << "kept for the frame that drew it";
  });
  ExpectQuadrants(canvas);
  EXPECT_EQ(width(drawn), 0) << "released when the paint ended";
  EXPECT_EQ(canvas.ImageCache()->Count(), 0);

  image = canvas.FetchImage(art.Name(), 1, false, 1);
  ASSERT_TRUE(image.IsLoaded());
  const int idle = image.Api->BackendImage;
  canvas.UncacheImage(image.Api);
  EXPECT_EQ(width(idle), 0) << "released at once between paints";
}

// Between paints the thread may have another context current (or none): a
// fetch that has to redraw binds the editor's own and leaves the thread as
// it found it.
TEST_F(NanoVGImages, FetchBetweenPaintsBindsTheEditorsContext) {
  WrittenFile art("drawing_test_unbound.png", QuadrantPng());
  ASSERT_TRUE(art.Written());
  SurfaceRestorer restore;
  BoundCanvas canvas(SharedSurface(), 20, 10);
  ASSERT_TRUE(canvas.Open());
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  const IImageHandle sharp = canvas.FetchImage(art.Name(), 1, false, 2);
  const bool leftUnbound = wglGetCurrentContext() == nullptr;
  ASSERT_TRUE(SharedSurface().MakeCurrent());
  EXPECT_TRUE(leftUnbound);
  ASSERT_TRUE(sharp.IsLoaded());
  EXPECT_EQ(sharp.Api->PixelWidth, 8);
  EXPECT_EQ(sharp.Api->ScreenScale, 2);
  canvas.Paint([&] { canvas.PaintImage(sharp, IBox(0, 0, 4, 4), 0, 0); });
  ExpectQuadrants(canvas);
}

// A picture wider or taller than the driver's largest texture (film strips
// of knob frames side by side pass it easily at scale 2) yields the empty
// handle and is not cached; one exactly that long loads.
TEST_F(NanoVGImages, ImageBeyondTheLargestTextureIsNotLoaded) {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  ASSERT_GT(limit, 0);
  const int32_t beyond = std::max<int32_t>(20000, limit + 1);
  struct SizeCase {
    int32_t width, height;
    bool loads;
  } cases[] = {{beyond, 1, false}, {1, beyond, false}, {limit, 1, true}};
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const std::vector<uint8_t> white(static_cast<size_t>(c.width) * c.height * 4, 0xFF);
    WrittenFile art("drawing_test_long.png", EncodePng(c.width, c.height, white));
    ASSERT_TRUE(art.Written());
    PixelCanvas canvas(10, 10);
    ASSERT_TRUE(canvas.Open());
    const IImageHandle image = canvas.FetchImage(art.Name(), 1, false, 1);
    EXPECT_EQ(image.IsLoaded(), c.loads);
    EXPECT_EQ(canvas.ImageCache()->Count(), c.loads ? 1 : 0);
    if (c.loads) {
      EXPECT_EQ(image.Width, c.width);
    }
  }
}

TEST_F(NanoVGImages, NameWithoutADotIsItsOwnExtension) {
  struct DotlessCase {
    const char* name;
    bool loads;
  } cases[] = {{"drawing_test_quadrants_png", true}, {"drawing_test_quadrants_gif", false}};
  for (const DotlessCase& c : cases) {
    SCOPED_TRACE(c.name);
    WrittenFile art(c.name, QuadrantPng());
    ASSERT_TRUE(art.Written());
    PixelCanvas canvas(10, 10);
    ASSERT_TRUE(canvas.Open());
    const IImageHandle image = canvas.FetchImage(c.name, 1, false, 1);
    EXPECT_EQ(image.IsLoaded(), c.loads);
    if (!image.IsLoaded()) continue;
    canvas.Paint([&] { canvas.PaintImage(image, IBox(0, 0, 4, 4), 0, 0); });
    ExpectQuadrants(canvas);
  }
}
