// Fills and modes in NanoVG's terms, without a drawing context.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/drawing/GradientSpan.h"
#include "graphics/drawing/NanoVGMapping.h"
#include "nanovg.h"

using namespace plugkit::canvas;

TEST(NanoVGMapping, EnumerationsMapByName) {
  // NanoVG's joins live in its cap enumeration (miter is 4, not 0) and its Xor
  // follows Lighter and Copy: a cast would pick the wrong value.
  struct { ELineCap cap; int nvg; } caps[] = {
      {ELineCap::Butt, NVG_BUTT}, {ELineCap::Round, NVG_ROUND}, {ELineCap::Square, NVG_SQUARE}};
  for (const auto& c : caps) {
    int out = -1;
    EXPECT_TRUE(NanoVGCapOf(c.cap, out));
    EXPECT_EQ(out, c.nvg);
  }
  struct { ELineJoin join; int nvg; } joins[] = {
      {ELineJoin::Miter, NVG_MITER}, {ELineJoin::Round, NVG_ROUND}, {ELineJoin::Bevel, NVG_BEVEL}};
  for (const auto& j : joins) {
    int out = -1;
    EXPECT_TRUE(NanoVGJoinOf(j.join, out));
    EXPECT_EQ(out, j.nvg);
  }
  int untouched = 77;
  EXPECT_FALSE(NanoVGCapOf(static_cast<ELineCap>(3), untouched));
  EXPECT_FALSE(NanoVGJoinOf(static_cast<ELineJoin>(-1), untouched));
  EXPECT_EQ(untouched, 77);

  struct { ECompositeMode mode; int op; } ops[] = {
      {ECompositeMode::SourceOver, NVG_SOURCE_OVER},         {ECompositeMode::SourceIn, NVG_SOURCE_IN},
      {ECompositeMode::SourceOut, NVG_SOURCE_OUT},           {ECompositeMode::SourceAtop, NVG_ATOP},
      {ECompositeMode::DestinationOver, NVG_DESTINATION_OVER}, {ECompositeMode::DestinationIn, NVG_DESTINATION_IN},
      {ECompositeMode::DestinationOut, NVG_DESTINATION_OUT}, {ECompositeMode::DestinationAtop, NVG_DESTINATION_ATOP},
      {ECompositeMode::Xor, NVG_XOR}};
  for (const auto& o : ops) {
    const INanoVGComposite c = NanoVGCompositeOf(o.mode);
    EXPECT_EQ(c.How, INanoVGComposite::EHow::Operation);
    EXPECT_EQ(c.Operation, o.op) << static_cast<int>(o.mode);
  }
  const INanoVGComposite add = NanoVGCompositeOf(ECompositeMode::AlphaAdd);
  EXPECT_EQ(add.How, INanoVGComposite::EHow::BlendFactors);
  EXPECT_EQ(add.Factors[0], NVG_SRC_ALPHA);
  EXPECT_EQ(add.Factors[1], NVG_DST_ALPHA);
  EXPECT_EQ(add.Factors[2], NVG_SRC_ALPHA);
  EXPECT_EQ(add.Factors[3], NVG_DST_ALPHA);
  EXPECT_EQ(NanoVGCompositeOf(static_cast<ECompositeMode>(10)).How, INanoVGComposite::EHow::Unchanged);
}

TEST(GradientSpan, UsesFirstAndLastStopWithOpacity) {
  IFill fill = IFill::MakeAxial(0, 0, 0, 1);
  fill.AddStop(IArgb(255, 255, 0, 0), 0.0f);
  fill.AddStop(IArgb(255, 0, 255, 0), 0.5f);  // no effect: NanoVG has two colours
  fill.AddStop(IArgb(128, 0, 0, 255), 1.0f);
  const IGradientSpan span = MeasureGradientSpan(fill, 0.5f);
  EXPECT_EQ(span.Shape, ESpanShape::Linear);
  EXPECT_FLOAT_EQ(span.Inner.R, 1.0f);
  EXPECT_FLOAT_EQ(span.Inner.A, 0.5f);
  EXPECT_FLOAT_EQ(span.Outer.B, 1.0f);
  EXPECT_FLOAT_EQ(span.Outer.G, 0.0f);
  EXPECT_NEAR(span.Outer.A, 128.0f / 255.0f * 0.5f, 1e-6);
  // Channels outside 0..255 are clamped when they become colours.
  const IColourF wild = ColourWithOpacity(IArgb(300, -5, 256, 10), 2.0f);
  EXPECT_FLOAT_EQ(wild.A, 1.0f);
  EXPECT_FLOAT_EQ(wild.R, 0.0f);
  EXPECT_FLOAT_EQ(wild.G, 1.0f);
}

TEST(GradientSpan, AxialRunsBetweenTheMappedPoints) {
  IFill identity(EFillKind::Axial);
  identity.AddStop(IArgb(), 0);
  IGradientSpan span = MeasureGradientSpan(identity, 1.0f);
  EXPECT_EQ(span.Shape, ESpanShape::Linear);
  EXPECT_FLOAT_EQ(span.StartX, 0.0f);
  EXPECT_FLOAT_EQ(span.StartY, 0.0f);
  EXPECT_FLOAT_EQ(span.EndX, 0.0f);
  EXPECT_FLOAT_EQ(span.EndY, 1.0f);

  span = MeasureGradientSpan(IFill::MakeAxial(10, 20, 110, 20), 1.0f);
  EXPECT_NEAR(span.StartX, 10.0f, 1e-3);
  EXPECT_NEAR(span.StartY, 20.0f, 1e-3);
  EXPECT_NEAR(span.EndX, 110.0f, 1e-3);
  EXPECT_NEAR(span.EndY, 20.0f, 1e-3);
}

TEST(GradientSpan, RadialRadiusFollowsItsOwnAxis) {
  // Pattern space is user space turned by 90 degrees and shrunk to a tenth
  // around (50, 40): the unit circle there is a circle of radius 10 here.
  IFill fill(EFillKind::Circular);
  fill.AddStop(IArgb(255, 255, 255, 255), 0);
  fill.AddStop(IArgb(255, 0, 0, 0), 1);
  const double c = 0.0, s = 0.1;
  fill.Mapping = IAffine(c, -s, s, c, -(c * 50 + s * 40), -(-s * 50 + c * 40));
  IGradientSpan span = MeasureGradientSpan(fill, 1.0f);
  EXPECT_EQ(span.Shape, ESpanShape::Radial);
  EXPECT_NEAR(span.StartX, 50.0f, 1e-3);
  EXPECT_NEAR(span.StartY, 40.0f, 1e-3);
  EXPECT_NEAR(span.Radius, 10.0f, 1e-3);  // D / det alone would be 0 here

  // An unscaled, unrotated radial fill is the unit circle at the origin.
  fill.Mapping = IAffine();
  EXPECT_NEAR(MeasureGradientSpan(fill, 1.0f).Radius, 1.0f, 1e-6);
}

TEST(GradientSpan, DegenerateFillsFallBackToStopZero) {
  // No stops at all: stop 0 (opaque black) for both ends, no index -1.
  IFill none(EFillKind::Axial);
  none.Stops[0].Colour = IArgb(255, 9, 9, 9);
  IGradientSpan span = MeasureGradientSpan(none, 1.0f);
  EXPECT_FLOAT_EQ(span.Outer.R, 9.0f / 255.0f);
  EXPECT_FLOAT_EQ(span.Inner.R, 9.0f / 255.0f);

  // A mapping that cannot be inverted has no direction: flat stop 0.
  IFill singular(EFillKind::Circular);
  singular.AddStop(IArgb(255, 255, 0, 0), 0);
  singular.AddStop(IArgb(255, 0, 0, 255), 1);
  singular.Mapping = IAffine(1, 2, 2, 4, 0, 0);
  span = MeasureGradientSpan(singular, 1.0f);
  EXPECT_EQ(span.Shape, ESpanShape::Flat);
  EXPECT_FLOAT_EQ(span.Outer.R, 1.0f);
  EXPECT_FLOAT_EQ(span.Outer.B, 0.0f);
}
