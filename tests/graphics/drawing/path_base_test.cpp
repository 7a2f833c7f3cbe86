// The path base's geometry, transforms and clipping, seen through a canvas
// that records what it would hand to a back-end.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/graphics/drawing/path_recorder.h"

using namespace plugkit::canvas;
using plugkit::canvas::test::PathRecorder;
using Lines = std::vector<std::string>;

namespace {

struct ShapeCase {
  const char* name;
  std::function<void(PathRecorder&)> build;
  Lines expected;
};

} // namespace

TEST(PathBase, ShapeBuildersTraceTheirOutlines) {
  const IBox box(1, 2, 11, 12);
  const Lines plainBox = {"move 1,2", "line 11,2", "line 11,12", "line 1,12", "close"};
  const std::vector<ShapeCase> cases = {
      {"triangle", [](PathRecorder& c) { c.ShapeAddTriangle(0, 0, 10, 0, 5, 8); },
       {"move 0,0", "line 10,0", "line 5,8", "close"}},
      {"box", [&](PathRecorder& c) { c.ShapeAddBox(box); }, plainBox},
      {"rounded box with radius 0 is the box", [&](PathRecorder& c) { c.ShapeAddRoundedBox(box, 0); }, plainBox},
      {"negative radii are a plain box", [&](PathRecorder& c) { c.ShapeAddRoundedBoxCorners(box, -1, -2, 0, -3); },
       plainBox},
      // A zero corner is sharp (an arc of radius 0 at the corner); a negative
      // one is sharp too rather than an arc mirrored out of the box.
      {"mixed corners",
       [](PathRecorder& c) { c.ShapeAddRoundedBoxCorners(IBox(0, 0, 100, 50), 10, 0, -5, 20); },
       {"move 0,10", "arc 10,10 r10 270..360 d0", "arc 100,0 r0 0..90 d0", "arc 80,30 r20 90..180 d0",
        "arc 0,50 r0 180..270 d0", "close"}},
      {"circle", [](PathRecorder& c) { c.ShapeAddCircle(5, 6, 4); },
       {"move 5,2", "arc 5,6 r4 0..360 d0", "close"}},
      {"negative circle", [](PathRecorder& c) { c.ShapeAddCircle(5, 6, -4); }, {}},
      // The oval is the unit circle under a transform: its top point lands at
      // (cx, cy - ry), and turned by 90 degrees clockwise at (cx + ry, cy).
      {"oval", [](PathRecorder& c) { c.ShapeAddOval(50, 40, 20, 10, 0); },
       {"move 50,30", "arc 50,40 r1 0..360 d0", "close"}},
      {"turned oval", [](PathRecorder& c) { c.ShapeAddOval(50, 40, 20, 10, 90); },
       {"move 60,40", "arc 50,40 r1 0..360 d0", "close"}},
      {"flat oval", [](PathRecorder& c) { c.ShapeAddOval(50, 40, 0, 10, 0); }, {}},
      {"oval in box", [](PathRecorder& c) { c.ShapeAddOvalInBox(IBox(0, 0, 40, 20)); },
       {"move 20,0", "arc 20,10 r1 0..360 d0", "close"}},
      {"polygon", [](PathRecorder& c) {
         const float x[] = {0, 4, 2}, y[] = {0, 0, 3};
         c.ShapeAddPolygon(x, y, 3);
       },
       {"move 0,0", "line 4,0", "line 2,3", "close"}},
      {"polygon of no points", [](PathRecorder& c) {
         const float x[] = {1}, y[] = {1};
         c.ShapeAddPolygon(x, y, 0);
         c.ShapeAddPolygon(x, y, -3);
         c.ShapeAddPolygon(nullptr, y, 1);
       },
       {}},
  };
  for (const ShapeCase& shape : cases) {
    PathRecorder canvas;
    shape.build(canvas);
    EXPECT_EQ(canvas.log, shape.expected) << shape.name;
    EXPECT_EQ(canvas.SavedTransformCount(), 0) << shape.name;
    EXPECT_TRUE(canvas.Transform().IsIdentity()) << shape.name;
  }
}

TEST(PathBase, PrimitivesStrokeOrFillOncePerShape) {
  const IArgb c(255, 1, 2, 3);
  const std::vector<ShapeCase> cases = {
      {"segment", [&](PathRecorder& p) { p.OutlineSegment(c, 1, 2, 3, 4, nullptr, 2); },
       {"reset", "move 1,2", "line 3,4", "stroke 2 #255/1/2/3"}},
      {"pixel", [&](PathRecorder& p) { p.PlotPixel(c, 3, 4); },
       {"reset", "move 3,4", "line 4,4", "line 4,5", "line 3,5", "close", "fill #255/1/2/3 rule0"}},
      {"pie", [&](PathRecorder& p) { p.FloodPie(c, 10, 10, 5, 0, 90); },
       {"reset", "move 10,10", "arc 10,10 r5 0..90 d0", "close", "fill #255/1/2/3 rule0"}},
      {"arc is open", [&](PathRecorder& p) { p.OutlineArc(c, 10, 10, 5, 0, 90); },
       {"reset", "arc 10,10 r5 0..90 d0", "stroke 1 #255/1/2/3"}},
      {"grid", [&](PathRecorder& p) { p.OutlineGrid(c, IBox(0, 0, 10, 10), 4, 1); },
       {"reset", "move 4,0", "line 4,10", "move 8,0", "line 8,10", "stroke 1 #255/1/2/3"}},
      {"grid of fine steps strokes nothing", [&](PathRecorder& p) { p.OutlineGrid(c, IBox(0, 0, 10, 10), 1, 0.5f); },
       {"reset", "stroke 1 #255/1/2/3"}},
      {"plot", [&](PathRecorder& p) {
         const float y[] = {0, 1, 0.5f};
         p.OutlinePlot(c, IBox(0, 0, 100, 50), y, 3, nullptr);
       },
       {"reset", "move 0,50", "line 50,0", "line 100,25", "stroke 1 #255/1/2/3"}},
      {"plot with x values", [&](PathRecorder& p) {
         const float y[] = {0, 1, 0.5f}, x[] = {0.5f, 0.1f, 0.2f};
         p.OutlinePlot(c, IBox(0, 0, 100, 50), y, 3, x);
       },
       {"reset", "move 0,50", "line 10,0", "line 20,25", "stroke 1 #255/1/2/3"}},
      {"plot without points", [&](PathRecorder& p) {
         const float y[] = {0.5f};
         p.OutlinePlot(c, IBox(0, 0, 100, 50), y, 0, nullptr);
         p.OutlinePlot(c, IBox(0, 0, 100, 50), nullptr, 3, nullptr);
       },
       {"reset", "reset"}},
      {"polygons without points", [&](PathRecorder& p) {
         const float v[] = {1};
         p.FloodPolygon(c, v, v, 0);
         p.OutlinePolygon(c, v, v, -1);
       },
       {"reset", "reset"}},
      {"dashed segment", [&](PathRecorder& p) { p.OutlineDashedSegment(c, 0, 0, 10, 0, nullptr, 1, 3); },
       {"reset", "move 0,0", "line 10,0", "stroke 1 #255/1/2/3 dash 3x1"}},
      {"dash of no length", [&](PathRecorder& p) {
         p.OutlineDashedSegment(c, 0, 0, 10, 0, nullptr, 1, 0);
         p.OutlineDashedBox(c, IBox(0, 0, 5, 5), nullptr, 1, -2);
       },
       {"reset", "reset"}},
  };
  for (const ShapeCase& shape : cases) {
    PathRecorder canvas;
    shape.build(canvas);
    EXPECT_EQ(canvas.log, shape.expected) << shape.name;
  }
}

TEST(PathBase, DashesAsGeometryAlternateEqualPieces) {
  PathRecorder canvas;
  // Length 10, dash 2: five pieces, dashes over [0, 0.2] and [0.4, 0.6]; the
  // loop ends before the fifth piece.
  canvas.ShapeAddDashedSegment(0, 0, 10, 0, 2);
  EXPECT_EQ(canvas.log, (Lines{"move 0,0", "line 2,0", "move 4,0", "line 6,0", "move 8,0"}));

  canvas.log.clear();
  canvas.ShapeAddDashedSegment(0, 0, 0, 10, 10.0f / 6.0f);
  EXPECT_EQ(canvas.log, (Lines{"move 0,0", "line 0,1.667", "move 0,3.333", "line 0,5", "move 0,6.667",
                               "line 0,8.333", "move 0,10"}));

  canvas.log.clear();
  canvas.ShapeAddDashedBox(IBox(0, 0, 10, 4), 2);
  EXPECT_EQ(canvas.log, (Lines{"move 0,0", "line 2,0", "move 4,0", "line 6,0", "move 8,0", "line 10,0", "move 10,0",
                               "line 10,2", "move 10,4", "line 8,4", "move 6,4", "line 4,4", "move 2,4", "line 0,4",
                               "move 0,4", "line 0,2", "move 0,0"}));

  // A dash far finer than the segment is capped, not looped over for ages.
  canvas.log.clear();
  canvas.ShapeAddDashedSegment(0, 0, 1.0e9f, 0, 1.0e-3f);
  EXPECT_LE(canvas.log.size(), 65536u + 1u);
  canvas.log.clear();
  canvas.ShapeAddDashedBox(IBox(0, 0, 1.0e9f, 1.0e9f), 1.0e-3f);
  EXPECT_LE(canvas.log.size(), 8u * 65536u + 1u);
}

TEST(PathBase, TransformsApplyInShapeCoordinates) {
  PathRecorder canvas;
  canvas.ShapeTranslate(10, 5);
  canvas.ShapeScale(2);
  canvas.ShapeMoveTo(1, 1);  // scaled first, then moved
  canvas.ShapeResetTransform(false);
  canvas.ShapeRotate(90);
  canvas.ShapeMoveTo(1, 0);  // clockwise on screen: right becomes down
  canvas.ShapeResetTransform(false);
  canvas.ShapeSkew(45, 0);
  canvas.ShapeMoveTo(0, 1);
  canvas.ShapeResetTransform(false);
  canvas.ShapeSkew(0, 45);
  canvas.ShapeMoveTo(1, 0);
  canvas.ShapeResetTransform(false);
  canvas.ShapeTranslate(10, 0);
  canvas.ShapeApplyTransform(IAffine(2, 0, 0, 2, 0, 0));  // applies before the translation
  canvas.ShapeMoveTo(1, 1);
  canvas.ShapeScaleXY(1, 3);
  canvas.ShapeMoveTo(1, 1);
  EXPECT_EQ(canvas.log, (Lines{"move 12,7", "move 0,1", "move 1,1", "move 1,1", "move 12,2", "move 12,6"}));
}

TEST(PathBase, SaveStackRestoresAndEmpties) {
  PathRecorder canvas;
  canvas.ShapeTranslate(5, 0);
  canvas.ShapeSaveTransform();
  canvas.ShapeScale(3);
  canvas.ShapeSaveTransform();
  EXPECT_EQ(canvas.SavedTransformCount(), 2);
  canvas.ShapeRestoreTransform();
  canvas.ShapeRestoreTransform();
  EXPECT_EQ(canvas.Transform().XX, 1.0);
  EXPECT_EQ(canvas.Transform().TX, 5.0);

  // An empty stack leaves the transform alone.
  canvas.ShapeRestoreTransform();
  EXPECT_EQ(canvas.Transform().TX, 5.0);

  canvas.ShapeSaveTransform();
  canvas.ShapeResetTransform(false);
  EXPECT_EQ(canvas.SavedTransformCount(), 1);
  EXPECT_TRUE(canvas.Transform().IsIdentity());
  canvas.ShapeTranslate(1, 1);
  canvas.ShapeResetTransform(true);
  EXPECT_EQ(canvas.SavedTransformCount(), 0);
  EXPECT_TRUE(canvas.Transform().IsIdentity());
}

TEST(PathBase, RegionPaintStartsFromACleanState) {
  PathRecorder canvas;
  canvas.ShapeTranslate(3, 3);
  canvas.ShapeSaveTransform();  // never restored
  canvas.logTransforms = true;
  canvas.StartRegionPaint(IBox(10, 20, 30, 40));
  EXPECT_EQ(canvas.log, (Lines{"reset", "transform identity", "clip 10,20,30,40", "transform identity"}));
  EXPECT_EQ(canvas.SavedTransformCount(), 0);
  EXPECT_TRUE(canvas.Transform().IsIdentity());
  EXPECT_EQ(canvas.Region(), IBox(10, 20, 30, 40));
}

TEST(PathBase, ClipBoxStaysInsideTheRegion) {
  struct ClipCase {
    IBox region, box;
    const char* clip;
  };
  const IBox region(10, 10, 100, 100);
  const ClipCase cases[] = {
      {region, IBox(), "clip 10,10,100,100"},                 // all zero: the whole region
      {region, IBox(50, 50, 200, 200), "clip 50,50,100,100"},  // the overlap
      {region, IBox(0, 0, 10, 50), "clip 10,10,10,50"},         // touching the left edge: zero width
      {region, IBox(20, 0, 30, 10), "clip 20,10,30,10"},        // touching the top edge: zero height
      {region, IBox(0, 0, 5, 5), "clip 0,0,0,0"},               // outside: empty
      {IBox(), IBox(1, 1, 2, 2), "clip 0,0,0,0"},               // no region: empty
  };
  for (const ClipCase& c : cases) {
    PathRecorder canvas;
    canvas.StartRegionPaint(c.region);
    canvas.ShapeScale(4);  // the clip ignores the shape transform
    canvas.log.clear();
    canvas.logTransforms = true;
    canvas.ShapeClipBox(c.box);
    EXPECT_EQ(canvas.log, (Lines{"transform identity", c.clip, "transform 4,0,0,4,0,0"}));
  }
}

TEST(PathBase, PixelDensityIsScreenTimesDrawScale) {
  PathRecorder canvas(1.5f);
  EXPECT_FLOAT_EQ(canvas.PixelDensity(), 1.5f);
  EXPECT_TRUE(canvas.CanDrawShapes());
}
