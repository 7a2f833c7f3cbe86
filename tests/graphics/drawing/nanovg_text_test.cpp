// Fonts and text of the NanoVG back-end, with the Roboto font the plug-ins
// carry, and the logo they carry drawn as a vector image.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "graphics/resources/PlatformFont.h"
#include "graphics/resources/SharedCaches.h"
#include "tests/graphics/drawing/gl_surface.h"
#include "tests/graphics/resources/font_bytes.h"
#include "tests/graphics/resources/font_surgery.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

class NanoVGText : public PixelTest {};

ITextStyle Style(float size, ETextHAlign h, ETextVAlign v, IArgb colour = kRed) {
  ITextStyle style;
  style.SetFontName("Roboto-Regular");
  style.FontSize = size;
  style.HorizontalAlign = h;
  style.VerticalAlign = v;
  style.TextColour = colour;
  return style;
}

} // namespace

// Fonts whose parts lie outside their bytes (only the check of what the
// rasteriser reads finds that; their names and metrics read fine) are
// refused each time, kept nowhere, and the canvas goes on with its fonts.
TEST_F(NanoVGText, FontIsReadOncePerProcessAndRefusedFontsReportFailure) {
  const std::vector<uint8_t> roboto = EmbeddedFont("roboto-regular.TTF");
  ASSERT_FALSE(roboto.empty());
  BytesFont font(roboto);
  PixelCanvas first(40, 40);
  ASSERT_TRUE(first.Open());
  EXPECT_TRUE(first.AddBackendFont("Roboto-Regular", &font));
  {
    PixelCanvas second(40, 40);
    ASSERT_TRUE(second.Open());
    EXPECT_TRUE(second.AddBackendFont("Roboto-Regular", &font));  // from the shared cache
    IBox box(0, 0, 40, 40);
    EXPECT_GT(second.MeasureTextRun(Style(10, ETextHAlign::Left, ETextVAlign::Upper), "Hi", box), 0.0f);
  }
  EXPECT_EQ(font.loads, 1);

  const int32_t cached = TypefaceBlobCache().Count();
  for (const DamagedFont& d : DamagedCopies(roboto)) {
    SCOPED_TRACE(d.Name);
    BytesFont damaged(d.File);
    ASSERT_TRUE(damaged.LoadTypefaceBlob()->Info.Data) << "the reader finds the face";
    EXPECT_FALSE(first.AddBackendFont("Damaged", &damaged));
    EXPECT_FALSE(first.AddBackendFont("Damaged", &damaged));
    EXPECT_EQ(damaged.loads, 3) << "read again each time: nothing was kept";
    EXPECT_EQ(TypefaceBlobCache().Count(), cached);
    IBox box(0, 0, 40, 40);
    ITextStyle style = Style(10, ETextHAlign::Left, ETextVAlign::Upper);
    style.SetFontName("Damaged");
    EXPECT_EQ(first.MeasureTextRun(style, "Hi", box), 0.0f) << "the stash holds no font of that name";
  }
  // The canvas measures and draws with what it had.
  IBox box(0, 0, 40, 40);
  EXPECT_GT(first.MeasureTextRun(Style(10, ETextHAlign::Left, ETextVAlign::Upper), "Hi", box), 0.0f);
  const ITextStyle large = Style(30, ETextHAlign::Centre, ETextVAlign::Centre);
  first.Paint([&] { first.RenderTextRun(large, "H", IBox(0, 0, 40, 40)); });
  int lit = 0;
  for (const Rgba& p : first.Pixels()) lit += p.A > 0;
  EXPECT_GT(lit, 50);

  BytesFont nothing({});
  EXPECT_FALSE(first.AddBackendFont("Nothing", &nothing));
  EXPECT_FALSE(first.AddBackendFont("Missing", nullptr));
  EXPECT_FALSE(first.AddBackendFont(nullptr, &font));
}

// A font with CFF outlines draws through the same rasteriser.
TEST_F(NanoVGText, FontWithCffOutlinesDraws) {
  BytesFont cff(JoinFont(SmallCffFont()));
  PixelCanvas canvas(40, 40);
  ASSERT_TRUE(canvas.Open());
  ASSERT_TRUE(canvas.AddBackendFont("CffBox", &cff));
  ITextStyle style = Style(20, ETextHAlign::Left, ETextVAlign::Upper);
  style.SetFontName("CffBox");
  canvas.Paint([&] { canvas.RenderTextRun(style, "A", IBox(0, 0, 40, 40)); });
  // The box: 500 x 700 units from (100, 0), at 20 pixels for the 1000
  // units from the ascender (800) to the descender (-200): x 2 .. 12 and,
  // below the top of the line, y 2 .. 16.
  EXPECT_PIXEL(canvas, 7, 10, kRedPixel, 0);
  EXPECT_PIXEL(canvas, 7, 0, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 14, 10, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 7, 18, kClearPixel, 0);
}

TEST_F(NanoVGText, MeasuredBoxIsOneLineHighAtTheAnchor) {
  BytesFont font(EmbeddedFont("ROBOTO-REGULAR.ttf"));
  PixelCanvas canvas(200, 60);
  ASSERT_TRUE(canvas.Open());
  ASSERT_TRUE(canvas.AddBackendFont("Roboto-Regular", &font));

  // This NanoVG sizes fonts by pixel height (ascender - descender), so a
  // line is exactly the font size high.
  IBox centred(0, 0, 200, 60);
  const float width = canvas.MeasureTextRun(Style(20, ETextHAlign::Centre, ETextVAlign::Centre), "Tessivo", centred);
  EXPECT_GT(width, 20.0f);
  EXPECT_FLOAT_EQ(width, centred.Width());
  EXPECT_NEAR(centred.Height(), 20.0f, 0.01f);
  // Horizontally the box follows the glyphs' outlines (side bearings and
  // the rasteriser's padding), so it sits within a pixel or so of the anchor.
  EXPECT_NEAR(centred.MidX(), 100.0f, 1.5f);
  EXPECT_NEAR(centred.MidY(), 30.0f, 0.01f);

  IBox corner(10, 5, 200, 60);
  canvas.MeasureTextRun(Style(20, ETextHAlign::Left, ETextVAlign::Upper), "Tessivo", corner);
  EXPECT_NEAR(corner.Left, 10.0f, 1.5f);
  EXPECT_NEAR(corner.Top, 5.0f, 0.01f);
  IBox right(0, 0, 150, 60);
  canvas.MeasureTextRun(Style(20, ETextHAlign::Right, ETextVAlign::Lower), "Tessivo", right);
  EXPECT_NEAR(right.Right, 150.0f, 1.5f);
  EXPECT_NEAR(right.Bottom, 60.0f, 0.01f);

  // A font the stash does not hold measures nothing.
  ITextStyle unknown = Style(20, ETextHAlign::Centre, ETextVAlign::Centre);
  unknown.SetFontName("NoSuchFont");
  IBox none(0, 0, 200, 60);
  EXPECT_EQ(canvas.MeasureTextRun(unknown, "Tessivo", none), 0.0f);
  EXPECT_TRUE(none.IsEmpty());
}

TEST_F(NanoVGText, TextIsDrawnInItsColourInsideItsBox) {
  BytesFont font(EmbeddedFont("Roboto-Regular.ttf"));
  PixelCanvas canvas(120, 40);
  ASSERT_TRUE(canvas.Open());
  ASSERT_TRUE(canvas.AddBackendFont("Roboto-Regular", &font));
  const ITextStyle style = Style(30, ETextHAlign::Centre, ETextVAlign::Centre);
  const IBox layout(0, 0, 120, 40);
  IBox measured = layout;
  canvas.MeasureTextRun(style, "HIH", measured);
  ITextStyle unknown = style;
  unknown.SetFontName("NoSuchFont");
  canvas.Paint([&] {
    canvas.RenderTextRun(style, "HIH", layout);
    canvas.RenderTextRun(unknown, "HIH", IBox(0, 0, 120, 40));
  });

  const std::vector<Rgba> pixels = canvas.Pixels();
  int solid = 0, touched = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const Rgba& p = pixels[y * 120 + x];
      if (p.A == 0) continue;
      ++touched;
      if (p.A == 255) ++solid;
      // Premultiplied red: no green or blue, red as strong as the coverage.
      ASSERT_EQ(p.G, 0) << x << "," << y;
      ASSERT_EQ(p.B, 0) << x << "," << y;
      ASSERT_NEAR(p.R, p.A, 1) << x << "," << y;
      ASSERT_GE(x + 1, measured.Left) << "left of the text box";
      ASSERT_LE(x, measured.Right) << "right of the text box";
      ASSERT_GE(y + 1, measured.Top) << "above the text box";
      ASSERT_LE(y, measured.Bottom) << "below the text box";
    }
  EXPECT_GT(solid, 30);  // the stems of H, I and H at 30 pixels are solid
  EXPECT_GT(touched, solid);
  EXPECT_PIXEL(canvas, 2, 2, kClearPixel, 0);
}

TEST_F(NanoVGText, TurnedTextStaysInsideItsTurnedBox) {
  BytesFont font(EmbeddedFont("Roboto-Regular.ttf"));
  PixelCanvas canvas(60, 120);
  ASSERT_TRUE(canvas.Open());
  ASSERT_TRUE(canvas.AddBackendFont("Roboto-Regular", &font));
  ITextStyle style = Style(20, ETextHAlign::Centre, ETextVAlign::Centre);
  style.RotationDegrees = 90.0f;
  const IBox layout(0, 0, 60, 120);
  IBox measured = layout;
  canvas.MeasureTextRun(style, "HIHIH", measured);
  EXPECT_NEAR(measured.Width(), 20.0f, 0.01f);  // a line high, now across
  EXPECT_GT(measured.Height(), 40.0f);
  canvas.Paint([&] { canvas.RenderTextRun(style, "HIHIH", layout); });
  const std::vector<Rgba> pixels = canvas.Pixels();
  int touched = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 60; ++x) {
      if (pixels[y * 60 + x].A == 0) continue;
      ++touched;
      ASSERT_GE(x + 1, measured.Left) << x << "," << y;
      ASSERT_LE(x, measured.Right) << x << "," << y;
      ASSERT_GE(y + 1, measured.Top) << x << "," << y;
      ASSERT_LE(y, measured.Bottom) << x << "," << y;
    }
  EXPECT_GT(touched, 50);
}

TEST_F(NanoVGText, EmbeddedLogoIsDrawnWithItsHolesAndColours) {
  PixelCanvas canvas(408, 80);
  ASSERT_TRUE(canvas.Open());
  const IVectorImage logo = canvas.FetchVectorImage("CorvathLogo.svg", "px", 72.0f);
  ASSERT_TRUE(logo.IsLoaded());
  EXPECT_EQ(canvas.FetchVectorImage("CorvathLogo.svg", "px", 72.0f).Image, logo.Image);  // parsed once
  const Rgba ink{0xf0, 0xf0, 0xf0, 255};
  const Rgba orange{0xe2, 0x67, 0x3a, 255};
  canvas.Paint([&] { canvas.PaintVectorImage(logo, IBox(0, 0, 408, 80)); });
  EXPECT_PIXEL(canvas, 150, 40, ink, 0);     // a straight bar (x 146.29 .. 155.29)
  EXPECT_PIXEL(canvas, 104, 14, ink, 0);     // the ring around (104.29, 40), radii 21 .. 30
  EXPECT_PIXEL(canvas, 104, 40, kClearPixel, 0);  // the ring's hole
  EXPECT_PIXEL(canvas, 14, 40, ink, 0);      // the open ring around (40, 40)
  EXPECT_PIXEL(canvas, 40, 40, kClearPixel, 0);
  EXPECT_PIXEL(canvas, 66, 40, kClearPixel, 0);   // its opening on the right
  EXPECT_PIXEL(canvas, 273, 54, orange, 0);  // the bar across the hollow of the A
  EXPECT_PIXEL(canvas, 5, 5, kClearPixel, 0);

  // At half size in a taller box: fitted by width, from the box's top left.
  PixelCanvas half(408, 80);
  ASSERT_TRUE(half.Open());
  half.Paint([&] { half.PaintVectorImage(logo, IBox(0, 40, 204, 400)); });
  EXPECT_PIXEL(half, 75, 60, ink, 0);      // the bar, now at x 73.1 .. 77.6, y 45 .. 75
  EXPECT_PIXEL(half, 52, 60, kClearPixel, 0);   // the ring's hole
  EXPECT_PIXEL(half, 75, 30, kClearPixel, 0);   // above the box
  EXPECT_PIXEL(half, 150, 60, kClearPixel, 0);  // beyond the image's width
}
