#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/records/IBox.h"

using plugkit::canvas::IBox;

namespace {

struct BoxPairCase {
  const char* name;
  IBox a, b;
  IBox unionAB, intersectAB;
  bool touches;
};

// Expected results written out by hand from the box conventions (left/top
// inside, right/bottom outside; the all-zero box is "no box").
const BoxPairCase kPairs[] = {
    {"empty with box", {}, {1, 2, 3, 4}, {1, 2, 3, 4}, {}, true},
    {"box with empty", {1, 2, 3, 4}, {}, {1, 2, 3, 4}, {}, true},
    {"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, {0, 0, 20, 20}, {5, 5, 10, 10}, false},
    {"contained", {0, 0, 10, 10}, {2, 2, 5, 5}, {0, 0, 10, 10}, {2, 2, 5, 5}, false},
    {"abut right edge", {0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 20, 10}, {10, 0, 10, 10}, true},
    {"abut left edge (no overlap this way round)", {10, 0, 20, 10}, {0, 0, 10, 10}, {0, 0, 20, 10}, {}, true},
    {"gap", {0, 0, 10, 10}, {11, 0, 20, 10}, {0, 0, 20, 10}, {}, false},
    {"stacked meeting", {0, 0, 10, 5}, {0, 5, 10, 9}, {0, 0, 10, 9}, {0, 5, 10, 5}, true},
    {"stacked with gap", {0, 0, 10, 5}, {0, 6, 10, 9}, {0, 0, 10, 9}, {}, false},
    {"stacked, left edges differ", {0, 0, 10, 5}, {1, 5, 10, 9}, {0, 0, 10, 9}, {1, 5, 10, 5}, false},
    {"same columns overlapping", {0, 0, 10, 6}, {0, 4, 10, 9}, {0, 0, 10, 9}, {0, 4, 10, 6}, true},
    {"crossing", {10, 10, 20, 20}, {5, 13, 25, 16}, {5, 10, 25, 20}, {10, 13, 20, 16}, false},
    {"negative coordinates", {-10, -10, -2, -2}, {-5, -5, 5, 5}, {-10, -10, 5, 5}, {-5, -5, -2, -2}, false},
};

} // namespace

TEST(IBox, PairOperations) {
  for (const auto& c : kPairs) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.a.Union(c.b), c.unionAB);
    EXPECT_EQ(c.a.Intersect(c.b), c.intersectAB);
    EXPECT_EQ(c.a.Touches(c.b), c.touches);
    EXPECT_EQ(c.b.Touches(c.a), c.touches);
  }
}

TEST(IBox, EmptinessIsAllFieldsZeroNotZeroArea) {
  EXPECT_TRUE(IBox().IsEmpty());
  EXPECT_TRUE(IBox(0, 0, 0, 0).IsEmpty());
  EXPECT_FALSE(IBox(5, 5, 5, 5).IsEmpty());   // zero size but somewhere
  EXPECT_FALSE(IBox(0, 0, 0, 1).IsEmpty());
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(IBox(nan, 0, 0, 0).IsEmpty());
  // A zero-size box at (5, 5) is a real operand of Union, not "no box".
  EXPECT_EQ(IBox(5, 5, 5, 5).Union(IBox(10, 10, 12, 12)), IBox(5, 5, 12, 12));
}

TEST(IBox, ContainsTakesLeftTopEdgesButNotRightBottom) {
  const IBox b(0, 0, 10, 5);
  EXPECT_TRUE(b.Contains(0, 0));
  EXPECT_TRUE(b.Contains(9.99f, 4.99f));
  EXPECT_FALSE(b.Contains(10, 2));
  EXPECT_FALSE(b.Contains(2, 5));
  EXPECT_FALSE(b.Contains(-0.01f, 2));
  // The controls' unset boxes are empty: not even the origin is in one.
  EXPECT_FALSE(IBox().Contains(0, 0));
}

TEST(IBox, InsideNeedsTwoRealBoxes) {
  EXPECT_TRUE(IBox(2, 2, 5, 5).Inside(IBox(0, 0, 10, 10)));
  EXPECT_TRUE(IBox(0, 0, 10, 10).Inside(IBox(0, 0, 10, 10)));
  EXPECT_FALSE(IBox(0, 0, 11, 10).Inside(IBox(0, 0, 10, 10)));
  EXPECT_FALSE(IBox().Inside(IBox(-1, -1, 1, 1)));
  EXPECT_FALSE(IBox(-1, -1, 1, 1).Inside(IBox()));
  EXPECT_EQ(IBox(1, 2, 3, 4).Grown(0.75f), IBox(0.25f, 1.25f, 3.75f, 4.75f));
}
