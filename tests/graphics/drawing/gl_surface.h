#pragma once
// Test helpers for drawing with pixels: an off-screen OpenGL context and a
// NanoVG canvas without a platform.
//
// GlSurface opens a hidden window with the editor's pixel format (RGBA, 32
// colour, 24 depth and 8 stencil bits, double-buffered), makes a WGL context
// current on it and loads the OpenGL entry points, as the editor window does.
// It needs a display (tools/test runs an Xvfb); Failure() says why it could
// not be made.
//
// PixelCanvas is the NanoVG back-end with null platform operations. Open()
// creates its NanoVG context and main framebuffer; Pixels() reads the main
// framebuffer back with glReadPixels, top row first, as premultiplied RGBA;
// WindowPixelAt reads what a paint copied to the window.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/drawing/ICanvasNanoVG.h"
#include "tests/graphics/null_canvas.h"

namespace plugkit::canvas::test {

class GlSurface {
public:
  GlSurface();
  ~GlSurface();
  GlSurface(const GlSurface&) = delete;
  GlSurface& operator=(const GlSurface&) = delete;

  bool Ready() const { return mReady; }
  const std::string& Failure() const { return mFailure; }
  // Makes this surface's context current again (after a test released it).
  bool MakeCurrent();
  // The WGL context (HGLRC) and its window's device context (HDC).
  void* Context() const { return mContext; }
  void* Dc() const { return mDc; }

private:
  void* mWindow = nullptr;
  void* mDc = nullptr;
  void* mContext = nullptr;
  bool mReady = false;
  std::string mFailure;
};

// One surface for the whole test program, made on first use and kept to the
// end (a context per test would only slow the tests down).
GlSurface& SharedSurface();

// Base of the tests that draw: each fails at once, saying why, when no
// surface could be made.
class PixelTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(SharedSurface().Ready()) << SharedSurface().Failure(); }
};

// Makes the shared surface current again when a test that switches contexts
// ends, however it ends.
struct SurfaceRestorer {
  ~SurfaceRestorer() { SharedSurface().MakeCurrent(); }
};

struct Rgba {
  int R = 0, G = 0, B = 0, A = 0;
};

// Whether every channel is within tolerance of the expected value.
bool Near(const Rgba& actual, const Rgba& expected, int tolerance = 3);
std::string Text(const Rgba& c);

// Opaque colours the tests draw with, and the pixels they read back as.
constexpr IArgb kRed(255, 255, 0, 0);
constexpr IArgb kGreen(255, 0, 255, 0);
constexpr IArgb kBlue(255, 0, 0, 255);

// Premultiplied pixels as read back.
constexpr Rgba kClearPixel{0, 0, 0, 0};
constexpr Rgba kRedPixel{255, 0, 0, 255};
constexpr Rgba kGreenPixel{0, 255, 0, 255};
constexpr Rgba kBluePixel{0, 0, 255, 255};

// Checks the pixel at device position (x, y) of a PixelCanvas.
#define EXPECT_PIXEL(pixelCanvas, x, y, expected, tolerance)                                 \
  do {                                                                                       \
    const ::plugkit::canvas::test::Rgba actual_ = (pixelCanvas).PixelAt(x, y);               \
    EXPECT_TRUE(::plugkit::canvas::test::Near(actual_, expected, tolerance))                 \
        << "pixel " << (x) << "," << (y) << " is " << ::plugkit::canvas::test::Text(actual_) \
        << ", expected " << ::plugkit::canvas::test::Text(expected);                         \
  } while (0)

class PixelCanvas : public NullPlatform<ICanvasNanoVG> {
public:
  PixelCanvas(int32_t width, int32_t height, float drawScale = 1.0f)
      : NullPlatform(nullptr, width, height, 60, drawScale) {}
  // The same for an editor with a plug-in side.
  PixelCanvas(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, float drawScale = 1.0f)
      : NullPlatform(delegate, width, height, 60, drawScale) {}

  // Context and main framebuffer; false when either could not be made.
  bool Open();

  // One paint of the whole surface: draw runs between StartPaint and
  // FinishPaint, inside a region paint clipped to the editor's bounds.
  template <class F> void Paint(F&& draw) {
    StartPaint();
    StartRegionPaint(IBox(0.0f, 0.0f, static_cast<float>(Width()), static_cast<float>(Height())));
    draw();
    FinishRegionPaint(IBox());
    FinishPaint();
  }

  // The main framebuffer's pixels, top row first; empty without one.
  std::vector<Rgba> Pixels();
  // The pixel at device position (x, y), counted from the top left.
  Rgba PixelAt(int32_t x, int32_t y);
  // The same pixel of the window's framebuffer: what the last FinishPaint
  // copied there (the test surface's window is 64 by 64 pixels).
  Rgba WindowPixelAt(int32_t x, int32_t y);
};

// A PixelCanvas whose context is surface's, current only between
// BindGlContext and UnbindGlContext (nested calls count), after which the
// thread's previous context (or none) is current again: as the editor
// window binds its own. With refuseBind set a bind answers false and
// changes nothing, as for an editor whose window is gone. Make the surface
// current before Open, and bind around every paint.
class BoundCanvas : public PixelCanvas {
public:
  BoundCanvas(GlSurface& surface, int32_t width, int32_t height, float drawScale = 1.0f)
      : PixelCanvas(width, height, drawScale), mSurface(surface) {}
  bool BindGlContext() override;
  void UnbindGlContext() override;

  bool refuseBind = false;

private:
  GlSurface& mSurface;
  int mDepth = 0;
  void* mSavedDc = nullptr;
  void* mSavedContext = nullptr;
};

} // namespace plugkit::canvas::test
