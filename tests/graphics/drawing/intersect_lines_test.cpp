// Where two lines cross, as the vector-image drawing code asks it.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/drawing/IntersectLines.h"

using namespace plugkit::canvas;

TEST(IntersectLines, ParameterAlongTheSecondLine) {
  EXPECT_FLOAT_EQ(IntersectLines({0, 0}, {1, 0}, {0.5f, -1}, {0.5f, 1}), 0.5f);
  EXPECT_FLOAT_EQ(IntersectLines({0, 0}, {1, 1}, {0, 4}, {4, 0}), 0.5f);
  EXPECT_FLOAT_EQ(IntersectLines({0, 0}, {1, 0}, {3, 2}, {3, 1}), 2.0f);     // beyond p4
  EXPECT_FLOAT_EQ(IntersectLines({0, 0}, {1, 0}, {3, -1}, {3, -2}), -1.0f);  // before p3

  for (const float r : {IntersectLines({0, 0}, {1, 0}, {0, 1}, {5, 1}),     // parallel
                        IntersectLines({0, 0}, {2, 2}, {1, 1}, {3, 3}),     // the same line
                        IntersectLines({0, 0}, {0, 0}, {1, 1}, {3, 4})}) {  // a point, no direction
    EXPECT_TRUE(std::isnan(r));
    EXPECT_TRUE(std::signbit(r));
    EXPECT_FALSE(r >= 0.0f);
    EXPECT_FALSE(r < 1.0f);
  }
}
