// Vector images drawn through the path operations, with parsed images built
// by hand so each test shows exactly the shapes it is about.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "graphics/drawing/SvgFill.h"
#include "nanosvg.h"
#include "tests/graphics/drawing/path_recorder.h"

using namespace plugkit::canvas;
using plugkit::canvas::test::PathRecorder;
using Lines = std::vector<std::string>;

namespace {

// Builds parsed images; owns every record it hands out.
class SvgBuilder {
public:
  ~SvgBuilder() {
    for (NSVGgradient* g : mGradients) std::free(g);
  }

  NSVGimage* Image(float width, float height) {
    mImage.width = width;
    mImage.height = height;
    mImage.shapes = nullptr;
    return &mImage;
  }

  // A shape appended to the image, visible, filled black, without stroke.
  NSVGshape& Shape() {
    NSVGshape& s = mShapes.emplace_back();
    std::memset(&s, 0, sizeof s);
    s.fill.type = NSVG_PAINT_COLOR;
    s.fill.color = 0xFF000000u;
    s.opacity = 1.0f;
    s.flags = NSVG_FLAGS_VISIBLE;
    s.miterLimit = 4.0f;
    NSVGshape** link = &mImage.shapes;
    while (*link) link = &(*link)->next;
    *link = &s;
    return s;
  }

  // A closed square path of straight cubic segments, appended to shape.
  void Square(NSVGshape& shape, float l, float t, float r, float b) {
    std::vector<float>& pts = mPoints.emplace_back();
    const float corners[5][2] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    pts.insert(pts.end(), {l, t});
    for (int i = 1; i < 5; ++i) {
      const float* a = corners[i - 1];
      const float* z = corners[i];
      pts.insert(pts.end(), {a[0] + (z[0] - a[0]) / 3, a[1] + (z[1] - a[1]) / 3, a[0] + 2 * (z[0] - a[0]) / 3,
                             a[1] + 2 * (z[1] - a[1]) / 3, z[0], z[1]});
    }
    NSVGpath& p = mPaths.emplace_back();
    std::memset(&p, 0, sizeof p);
    p.pts = pts.data();
    p.npts = static_cast<int>(pts.size() / 2);
    p.closed = 1;
    p.bounds[0] = l;
    p.bounds[1] = t;
    p.bounds[2] = r;
    p.bounds[3] = b;
    NSVGpath** link = &shape.paths;
    while (*link) link = &(*link)->next;
    *link = &p;
  }

  NSVGgradient* Gradient(int stops) {
    const size_t size = sizeof(NSVGgradient) + sizeof(NSVGgradientStop) * static_cast<size_t>(stops - 1);
    auto* g = static_cast<NSVGgradient*>(std::calloc(1, size));
    g->nstops = stops;
    g->xform[0] = g->xform[3] = 1.0f;
    mGradients.push_back(g);
    return g;
  }

private:
  NSVGimage mImage{};
  std::deque<NSVGshape> mShapes;
  std::deque<NSVGpath> mPaths;
  std::deque<std::vector<float>> mPoints;
  std::vector<NSVGgradient*> mGradients;
};

// Only the lines that say how a sub-path is filled or drawn.
Lines Kept(const Lines& log, const std::vector<std::string>& prefixes) {
  Lines out;
  for (const std::string& line : log)
    for (const std::string& p : prefixes)
      if (line.compare(0, p.size(), p) == 0) out.push_back(line);
  return out;
}

} // namespace

TEST(SvgShapes, ImageFitsTheBoxAtItsTopLeft) {
  SvgBuilder svg;
  NSVGimage* image = svg.Image(100, 50);
  svg.Square(svg.Shape(), 0, 0, 100, 50);
  PathRecorder canvas;
  // Scale min(200 / 100, 200 / 50) = 2: the image spans (0, 0) to (200, 100).
  canvas.PaintVectorImage(IVectorImage{image}, IBox(0, 0, 200, 200));
  const Lines moves = Kept(canvas.log, {"move", "fill"});
  EXPECT_EQ(moves, (Lines{"move 0,0", "fill #255/0/0/0 rule2"}));
  EXPECT_EQ(canvas.log[canvas.log.size() - 5], "cubic 133.333,100 66.667,100 0,100");
  EXPECT_EQ(canvas.SavedTransformCount(), 0);
  EXPECT_TRUE(canvas.Transform().IsIdentity());

  // Turned by 90 degrees around the centre of a 100 by 100 box.
  canvas.log.clear();
  canvas.PaintVectorImageTurned(IVectorImage{image}, 50, 50, 100, 100, 90.0);
  EXPECT_EQ(Kept(canvas.log, {"move"}), (Lines{"move 100,0"}));
}

TEST(SvgShapes, ImagesWithoutSizeOrDataDrawNothing) {
  SvgBuilder svg;
  NSVGimage* image = svg.Image(0, 50);
  svg.Square(svg.Shape(), 0, 0, 10, 10);
  PathRecorder canvas;
  canvas.PaintVectorImage(IVectorImage{image}, IBox(0, 0, 200, 200));
  image->width = 10;
  image->height = -1;
  canvas.PaintVectorImage(IVectorImage{image}, IBox(0, 0, 200, 200));
  canvas.PaintVectorImage(IVectorImage{}, IBox(0, 0, 200, 200));
  canvas.PaintVectorImageTurned(IVectorImage{}, 0, 0, 10, 10, 0.0);
  canvas.DrawSvgShapes(nullptr, nullptr);
  EXPECT_TRUE(canvas.log.empty());
  EXPECT_EQ(canvas.SavedTransformCount(), 0);
}

TEST(SvgShapes, InnerPathOfARingIsAHole) {
  SvgBuilder svg;
  NSVGimage* image = svg.Image(10, 10);
  NSVGshape& ring = svg.Shape();
  svg.Square(ring, 0, 0, 10, 10);
  svg.Square(ring, 3, 3, 7, 7);
  PathRecorder canvas;
  canvas.DrawSvgShapes(image, nullptr);
  EXPECT_EQ(Kept(canvas.log, {"reset", "move", "close", "direction", "fill", "stroke"}),
            (Lines{"reset", "move 0,0", "close", "direction 0", "move 3,3", "close", "direction 1",
                   "fill #255/0/0/0 rule2"}));
}

TEST(SvgShapes, FillKeepsThePathForTheStrokeAndInvisibleShapesAreSkipped) {
  SvgBuilder svg;
  NSVGimage* image = svg.Image(10, 10);
  NSVGshape& hidden = svg.Shape();
  hidden.flags = 0;
  svg.Square(hidden, 0, 0, 1, 1);
  NSVGshape& both = svg.Shape();
  both.fill.color = 0xFF332211u;  // R 0x11, G 0x22, B 0x33; its alpha byte is not used
  both.opacity = 0.5f;
  both.stroke.type = NSVG_PAINT_COLOR;
  both.stroke.color = 0x00FFFFFFu;
  both.strokeWidth = 3;
  both.strokeLineCap = NSVG_CAP_ROUND;
  both.strokeLineJoin = NSVG_JOIN_BEVEL;
  both.miterLimit = 7;
  both.strokeDashCount = 2;
  both.strokeDashArray[0] = 4;
  both.strokeDashArray[1] = 1;
  both.strokeDashOffset = 2;
  svg.Square(both, 2, 2, 8, 8);
  PathRecorder canvas;
  canvas.DrawSvgShapes(image, nullptr);
  EXPECT_EQ(Kept(canvas.log, {"reset", "move", "fill", "stroke"}),
            (Lines{"reset", "move 2,2", "fill #128/17/34/51 rule2 keep", "stroke 3 #128/255/255/255 dash 4x2"}));
  EXPECT_EQ(canvas.lastStroke.Cap, ELineCap::Round);
  EXPECT_EQ(canvas.lastStroke.Join, ELineJoin::Bevel);
  EXPECT_FLOAT_EQ(canvas.lastStroke.MiterLimit, 7.0f);
  EXPECT_FLOAT_EQ(canvas.lastStroke.Dash.Offset, 2.0f);
  EXPECT_FALSE(canvas.lastStroke.PreserveShape);
}

TEST(SvgFill, GradientsKeepSixteenOpaqueStopsAndTheirTransform) {
  SvgBuilder svg;
  NSVGgradient* g = svg.Gradient(20);
  for (int i = 0; i < 20; ++i) {
    g->stops[i].color = 0x80000000u | static_cast<unsigned>(i);  // half-transparent red ramp
    g->stops[i].offset = i / 19.0f;
  }
  g->spread = NSVG_SPREAD_REFLECT;
  const float xform[6] = {1, 2, 3, 4, 5, 6};
  std::memcpy(g->xform, xform, sizeof xform);
  NSVGpaint paint{};
  paint.type = NSVG_PAINT_RADIAL_GRADIENT;
  paint.gradient = g;
  const IFill fill = FillFromSvgPaint(paint, 0.25f);
  EXPECT_EQ(fill.Kind, EFillKind::Circular);
  EXPECT_EQ(fill.EdgeMode, 2);
  ASSERT_EQ(fill.StopCount, 16);
  EXPECT_EQ(fill.Stops[15].Colour, IArgb(255, 15, 0, 0));  // opaque; the opacity does not reach it
  EXPECT_FLOAT_EQ(fill.Stops[15].Position, 15 / 19.0f);
  EXPECT_EQ(fill.Mapping.XX, 1.0);
  EXPECT_EQ(fill.Mapping.YX, 2.0);
  EXPECT_EQ(fill.Mapping.TY, 6.0);

  paint.type = NSVG_PAINT_LINEAR_GRADIENT;
  g->spread = NSVG_SPREAD_REPEAT;
  EXPECT_EQ(FillFromSvgPaint(paint, 1).Kind, EFillKind::Axial);
  EXPECT_EQ(FillFromSvgPaint(paint, 1).EdgeMode, 3);

  NSVGpaint none{};
  none.type = NSVG_PAINT_NONE;
  EXPECT_EQ(FillFromSvgPaint(none, 2.0f).Stops[0].Colour, IArgb(255, 0, 0, 0));  // opacity clamped
  NSVGpaint colour{};
  colour.type = NSVG_PAINT_COLOR;
  colour.color = 0x00030201u;
  EXPECT_EQ(FillFromSvgPaint(colour, -1.0f).Stops[0].Colour, IArgb(0, 1, 2, 3));
}
