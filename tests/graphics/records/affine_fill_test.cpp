#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/records/IAffine.h"
#include "graphics/records/IFill.h"

using namespace plugkit::canvas;

namespace {

void Map(const IAffine& m, double x, double y, double& ox, double& oy) {
  ox = x;
  oy = y;
  m.Map(ox, oy);
}

} // namespace

TEST(IAffine, RotationTurnsClockwiseOnScreenBeforeTheExistingTransform) {
  IAffine r;
  r.ApplyRotation(90.0f);
  EXPECT_NEAR(r.XX, 0.0, 1e-6);
  EXPECT_NEAR(r.YX, 1.0, 1e-12);
  EXPECT_NEAR(r.XY, -1.0, 1e-12);
  EXPECT_NEAR(r.YY, 0.0, 1e-6);
  double x, y;
  Map(r, 1, 0, x, y);  // right becomes down (y grows downwards)
  EXPECT_NEAR(x, 0.0, 1e-6);
  EXPECT_NEAR(y, 1.0, 1e-6);

  // On a translated transform the rotation happens first, about the origin of
  // the shape coordinates, so the translation is kept.
  IAffine t(1, 0, 0, 1, 100, 50);
  t.ApplyRotation(90.0f);
  Map(t, 1, 0, x, y);
  EXPECT_NEAR(x, 100.0, 1e-6);
  EXPECT_NEAR(y, 51.0, 1e-6);
}

TEST(IAffine, ComposeAppliesTheArgumentFirst) {
  const IAffine scale(2, 0, 0, 3, 0, 0);
  const IAffine move(1, 0, 0, 1, 10, 20);
  IAffine m = scale;
  m.Compose(move);  // move, then scale
  double x, y;
  Map(m, 1, 1, x, y);
  EXPECT_DOUBLE_EQ(x, 22.0);
  EXPECT_DOUBLE_EQ(y, 63.0);

  // A general pair: composing equals mapping by o, then by the original.
  const IAffine a(0.5, -1.25, 2.0, 0.75, 3.0, -4.0);
  const IAffine o(1.5, 0.25, -0.5, 2.0, -7.0, 9.0);
  IAffine c = a;
  c.Compose(o);
  double px = 3.5, py = -2.0, qx, qy;
  Map(o, px, py, qx, qy);
  Map(a, qx, qy, qx, qy);
  Map(c, px, py, px, py);
  EXPECT_NEAR(px, qx, 1e-12);
  EXPECT_NEAR(py, qy, 1e-12);
}

TEST(IAffine, InvertRoundTripsAndRefusesSingularTransforms) {
  const IAffine a(0.5, -1.25, 2.0, 0.75, 3.0, -4.0);
  IAffine inv;
  ASSERT_TRUE(a.Invert(inv));
  IAffine id = a;
  id.Compose(inv);
  EXPECT_NEAR(id.XX, 1.0, 1e-12);
  EXPECT_NEAR(id.YX, 0.0, 1e-12);
  EXPECT_NEAR(id.XY, 0.0, 1e-12);
  EXPECT_NEAR(id.YY, 1.0, 1e-12);
  EXPECT_NEAR(id.TX, 0.0, 1e-12);
  EXPECT_NEAR(id.TY, 0.0, 1e-12);

  const IAffine kept(9, 9, 9, 9, 9, 9);
  IAffine out = kept;
  EXPECT_FALSE(IAffine(1, 2, 2, 4, 0, 0).Invert(out));
  EXPECT_FALSE(IAffine(std::numeric_limits<double>::infinity(), 0, 0, 1, 0, 0).Invert(out));
  EXPECT_EQ(out.XX, kept.XX);
  EXPECT_EQ(out.TY, kept.TY);
}

TEST(IFill, ColourFillAndStopLimit) {
  const IFill flat(IArgb(128, 1, 2, 3));
  EXPECT_EQ(flat.Kind, EFillKind::Flat);
  EXPECT_EQ(flat.EdgeMode, 1);
  EXPECT_EQ(flat.StopCount, 1);
  EXPECT_EQ(flat.Stops[0].Colour, IArgb(128, 1, 2, 3));
  EXPECT_TRUE(flat.Mapping.IsIdentity());
  EXPECT_EQ(flat.Stops[15].Colour, IArgb(255, 0, 0, 0));

  IFill g(EFillKind::Circular);
  EXPECT_EQ(g.StopCount, 0);
  for (int k = 0; k < 16; ++k) EXPECT_TRUE(g.AddStop(IArgb(255, k, 0, 0), k / 15.0f));
  EXPECT_FALSE(g.AddStop(IArgb(255, 99, 99, 99), 1.0f));
  EXPECT_EQ(g.StopCount, 16);
  EXPECT_EQ(g.Stops[15].Colour, IArgb(255, 15, 0, 0));
}

TEST(IFill, AxialMappingSendsTheEndsToPatternZeroAndOne) {
  struct Case {
    float x1, y1, x2, y2;
  };
  const Case cases[] = {
      {0, 0, 0, 1}, {0, 0, 0, 100}, {10, 20, 110, 20}, {10, 20, -30, -40}, {5, 5, 5, -95}, {-3.5f, 7, 250, 160},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
    const IFill f = IFill::MakeAxial(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(f.Kind, EFillKind::Axial);
    double x, y;
    Map(f.Mapping, c.x1, c.y1, x, y);
    EXPECT_NEAR(x, 0.0, 1e-5);
    EXPECT_NEAR(y, 0.0, 1e-5);
    Map(f.Mapping, c.x2, c.y2, x, y);
    EXPECT_NEAR(x, 0.0, 1e-5);
    EXPECT_NEAR(y, 1.0, 1e-5);
    // The stored values are single-precision numbers.
    EXPECT_EQ(f.Mapping.XX, static_cast<double>(static_cast<float>(f.Mapping.XX)));
    EXPECT_EQ(f.Mapping.TY, static_cast<double>(static_cast<float>(f.Mapping.TY)));
  }
}

TEST(IFill, AxialSpanWithoutLengthKeepsTheIdentity) {
  const float inf = std::numeric_limits<float>::infinity();
  const float cases[][4] = {{4, 4, 4, 4}, {0, 0, 0, 0}, {-2.5f, 9, -2.5f, 9}, {0, 0, inf, 0}};
  for (const auto& c : cases) {
    IFill f(EFillKind::Axial);
    EXPECT_FALSE(f.SetAxialSpan(c[0], c[1], c[2], c[3]));
    EXPECT_TRUE(f.Mapping.IsIdentity());
    const IFill made = IFill::MakeAxial(c[0], c[1], c[2], c[3]);
    EXPECT_TRUE(made.Mapping.IsIdentity());
    EXPECT_TRUE(std::isfinite(made.Mapping.TX));
  }
  // A span replaced by a degenerate one does not keep the old mapping.
  IFill f = IFill::MakeAxial(0, 0, 10, 0);
  EXPECT_FALSE(f.Mapping.IsIdentity());
  EXPECT_FALSE(f.SetAxialSpan(1, 1, 1, 1));
  EXPECT_TRUE(f.Mapping.IsIdentity());
}
