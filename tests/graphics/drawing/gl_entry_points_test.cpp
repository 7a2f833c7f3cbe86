// The OpenGL entry-point loader.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "graphics/platform/GlEntryPoints.h"
#include "tests/graphics/drawing/gl_surface.h"

using namespace plugkit;
using plugkit::canvas::test::SharedSurface;

TEST(GlEntryPoints, LoadsEveryLaterFunctionAndRefusesWithoutAContext) {
  ASSERT_TRUE(SharedSurface().Ready()) << SharedSurface().Failure();
  gl::IGlEntryPointReport report;
  EXPECT_TRUE(gl::LoadGlEntryPoints(&report));
  EXPECT_EQ(report.Found, gl::GlEntryPointCount());
  EXPECT_EQ(report.Missing, 0);
  EXPECT_EQ(report.FirstMissing, nullptr);
  EXPECT_TRUE(gl::GlEntryPointsReady());

  // The renderer's 28 functions of OpenGL 1.3 to 2.0 and the 10 framebuffer
  // functions, each once.
  EXPECT_EQ(gl::GlEntryPointCount(), 38);
  std::set<std::string> names;
  for (int32_t i = 0; i < gl::GlEntryPointCount(); ++i) names.insert(gl::GlEntryPointName(i));
  EXPECT_EQ(names.size(), 38u);
  EXPECT_EQ(names.count("glGenFramebuffers"), 1u);
  EXPECT_EQ(names.count("glUseProgram"), 1u);
  EXPECT_EQ(gl::GlEntryPointName(38), nullptr);
  EXPECT_EQ(gl::GlEntryPointName(-1), nullptr);

  // Without a current context nothing can be resolved: a reported failure
  // that keeps the set loaded before.
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_FALSE(gl::LoadGlEntryPoints(&report));
  EXPECT_EQ(report.Found, 0);
  EXPECT_STREQ(report.FirstMissing, "no current OpenGL context");
  EXPECT_TRUE(gl::GlEntryPointsReady());
  ASSERT_TRUE(SharedSurface().MakeCurrent());
}
