#include <gtest/gtest.h>
#include "core/TraceCall.h"
TEST(Smoke, Runs) { plugkit::TraceCall("x", 1, "%d", 1); EXPECT_EQ(1, 1); }
