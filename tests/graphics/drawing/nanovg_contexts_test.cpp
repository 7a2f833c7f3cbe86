// Where the back-end's OpenGL objects go: a layer or image released between
// paints is deleted in its own editor's context, whatever context the thread
// has current (another editor's, the host's, none), or at that editor's next
// paint when its context cannot be bound; and once the context is gone no
// call reaches OpenGL at all.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGBitmap.h"
#include "graphics/resources/APIBitmap.h"
#include "tests/graphics/drawing/gl_call_trap.h"
#include "tests/graphics/drawing/gl_surface.h"
#include "tests/graphics/drawing/png_bytes.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

class NanoVGContexts : public PixelTest {};

// A layer over box filled with colour, made inside a paint of a canvas
// whose context is its own.
std::unique_ptr<ILayer> FilledLayer(BoundCanvas& canvas, const IBox& box, IArgb colour) {
  std::unique_ptr<ILayer> layer;
  if (!canvas.BindGlContext()) return layer;
  canvas.Paint([&] {
    if (!canvas.BeginLayer(nullptr, box)) return;
    canvas.FloodBox(colour, box);
    layer.reset(canvas.UnstackLayer());
  });
  canvas.UnbindGlContext();
  return layer;
}

// How many pixels of the canvas's picture are within 0 of colour after a
// paint of black with layer over it (none: black alone), in the canvas's
// own context.
int PaintedCount(BoundCanvas& canvas, ILayer* layer, const Rgba& colour) {
  if (!canvas.BindGlContext()) return -1;
  canvas.Paint([&] {
    canvas.FloodBox(IArgb(255, 0, 0, 0), IBox(0, 0, static_cast<float>(canvas.Width()),
                                              static_cast<float>(canvas.Height())));
    if (layer) canvas.PaintLayer(layer);
  });
  int n = 0;
  for (const Rgba& p : canvas.Pixels())
    if (Near(p, colour, 0)) ++n;
  canvas.UnbindGlContext();
  return n;
}

// The OpenGL texture of a layer made by the back-end.
GLuint TextureOf(const ILayer& layer) {
  const auto* bitmap = dynamic_cast<const ICanvasNanoVG::Bitmap*>(layer.Image.get());
  return bitmap && bitmap->Framebuffer() ? bitmap->Framebuffer()->texture : 0;
}

// Textures of a context standing for the host's: made in a fresh context,
// they take the same names as the first objects of any other fresh context.
class HostTextures {
public:
  explicit HostTextures(GlSurface& surface) : mSurface(surface) {
    if (!mSurface.MakeCurrent()) return;
    glGenTextures(kCount, mNames);
    const unsigned char pixel[4] = {1, 2, 3, 4};
    for (GLuint name : mNames) {
      glBindTexture(GL_TEXTURE_2D, name);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  // Whether every one is still there, checked in the host's context (left
  // current).
  bool Intact() {
    if (!mSurface.MakeCurrent()) return false;
    for (GLuint name : mNames)
      if (name == 0 || !glIsTexture(name)) return false;
    return true;
  }
  void MakeCurrent() { mSurface.MakeCurrent(); }

private:
  static constexpr int kCount = 64;
  GlSurface& mSurface;
  GLuint mNames[kCount] = {};
};

} // namespace

// Two editors, each with a context of its own and a kept blue layer; A's
// layer is released between paints while another context is current, or
// none, or while A's own cannot be bound. Its objects go in A's context
// (then, or at A's next paint), and B's pixels, the host's textures and
// whatever context was current stay as they were.
TEST_F(NanoVGContexts, LayerReleasedBetweenPaintsGoesInItsOwnEditorsContext) {
  SurfaceRestorer restore;
  enum class Current { OtherEditor, Host, None, OwnRefused };
  struct ReleaseCase {
    const char* name;
    Current current;
  };
  const ReleaseCase cases[] = {{"B's context current", Current::OtherEditor},
                               {"the host's context current", Current::Host},
                               {"no context current", Current::None},
                               {"A's context cannot be bound", Current::OwnRefused}};
  for (const ReleaseCase& c : cases) {
    SCOPED_TRACE(c.name);
    GlSurface surfaceA, surfaceB, hostSurface;
    ASSERT_TRUE(surfaceA.Ready() && surfaceB.Ready() && hostSurface.Ready());
    HostTextures host(hostSurface);
    ASSERT_TRUE(host.Intact());
    BoundCanvas a(surfaceA, 40, 20), b(surfaceB, 40, 20);
    ASSERT_TRUE(surfaceA.MakeCurrent() && a.Open());
    ASSERT_TRUE(surfaceB.MakeCurrent() && b.Open());
    std::unique_ptr<ILayer> layerA = FilledLayer(a, IBox(0, 0, 10, 10), kBlue);
    std::unique_ptr<ILayer> layerB = FilledLayer(b, IBox(0, 0, 10, 10), kBlue);
    ASSERT_TRUE(layerA && layerB);
    const GLuint textureA = TextureOf(*layerA);
    ASSERT_NE(textureA, 0u);
    ASSERT_EQ(textureA, TextureOf(*layerB)) << "fresh contexts name their objects alike";
    ASSERT_EQ(PaintedCount(b, layerB.get(), kBluePixel), 100) << "B before";
    // A decoded image of A's goes the same way.
    const std::vector<uint8_t> png = EncodePng(1, 1, {0, 0, 255, 255});
    std::unique_ptr<APIBitmap> imageA(a.DecodeImageBytes(png.data(), static_cast<int32_t>(png.size()), 1));
    ASSERT_TRUE(imageA);
    const GLuint imageTextureA = static_cast<GLuint>(nvglImageHandleGL2(a.Context(), imageA->BackendImage));
    ASSERT_NE(imageTextureA, 0u);

    HGLRC current = nullptr;
    switch (c.current) {
      case Current::OtherEditor: current = static_cast<HGLRC>(surfaceB.Context()); surfaceB.MakeCurrent(); break;
      case Current::Host: current = static_cast<HGLRC>(hostSurface.Context()); host.MakeCurrent(); break;
      case Current::None: wglMakeCurrent(nullptr, nullptr); break;
      case Current::OwnRefused:
        current = static_cast<HGLRC>(surfaceB.Context());
        surfaceB.MakeCurrent();
        a.refuseBind = true;
        break;
    }
    layerA.reset();
    imageA.reset();
    EXPECT_EQ(wglGetCurrentContext(), current) << "the thread's context is left as it was";

    EXPECT_EQ(PaintedCount(b, layerB.get(), kBluePixel), 100) << "B after A released a layer between paints";
    EXPECT_TRUE(host.Intact()) << "the host's textures";
    if (c.current == Current::OwnRefused) {
      ASSERT_TRUE(surfaceA.MakeCurrent());
      EXPECT_TRUE(glIsTexture(textureA)) << "nothing is deleted while A's context cannot be bound";
      EXPECT_TRUE(glIsTexture(imageTextureA));
      a.refuseBind = false;
      EXPECT_EQ(PaintedCount(a, nullptr, kBluePixel), 0);  // A's next paint
    }
    ASSERT_TRUE(surfaceA.MakeCurrent());
    EXPECT_FALSE(glIsTexture(textureA)) << "A's layer is gone from A's context";
    EXPECT_FALSE(glIsTexture(imageTextureA)) << "and so is A's image";
    ASSERT_TRUE(surfaceB.MakeCurrent());
    EXPECT_TRUE(glIsTexture(textureA)) << "B's own object of that name is not";
    layerB.reset();
    ASSERT_TRUE(surfaceA.MakeCurrent());
    a.OnSurfaceDestroyed();
    ASSERT_TRUE(surfaceB.MakeCurrent());
    b.OnSurfaceDestroyed();
  }
}

// Layers are freed while their context lives: one released inside a paint
// waits for the paint's end, one left on the stack goes with the surface.
// Once the context is gone (destroyed while current, or lost: its window
// went and it can no longer be made current) not one OpenGL call is made,
// neither by that step itself after a loss nor by freeing the layers and
// the back-end afterwards: the trap counts the calls beyond OpenGL 1.1, and
// the host's textures, current meanwhile and named like the editor's
// objects, would take any other.
TEST_F(NanoVGContexts, TeardownFreesLayersWhileTheContextLivesAndNeverCallsItAfter) {
  SurfaceRestorer restore;
  for (const bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "context lost" : "context destroyed");
    GlSurface editor, hostSurface;
    ASSERT_TRUE(editor.Ready() && hostSurface.Ready());
    HostTextures host(hostSurface);
    std::unique_ptr<ILayer> orphan, lateOrphan;
    std::unique_ptr<GlCallTrap> trap;
    {
      BoundCanvas canvas(editor, 40, 40);
      ASSERT_TRUE(editor.MakeCurrent() && canvas.Open());
      std::unique_ptr<ILayer> kept = FilledLayer(canvas, IBox(0, 0, 10, 10), kRed);
      std::unique_ptr<ILayer> queued = FilledLayer(canvas, IBox(0, 0, 10, 10), kRed);
      orphan = FilledLayer(canvas, IBox(0, 0, 10, 10), kRed);
      lateOrphan = FilledLayer(canvas, IBox(0, 0, 10, 10), kRed);
      ASSERT_TRUE(kept && queued && orphan && lateOrphan);
      ASSERT_TRUE(canvas.BindGlContext());
      canvas.Paint([&] {
        canvas.PaintLayer(kept.get());
        kept.reset();
        canvas.FloodBox(kBlue, IBox(20, 20, 30, 30));
      });
      EXPECT_PIXEL(canvas, 2, 2, kRedPixel, 0);
      EXPECT_PIXEL(canvas, 25, 25, kBluePixel, 0);
      // One left on the stack (begun between paints, never ended).
      EXPECT_TRUE(canvas.BeginLayer(nullptr, IBox(0, 0, 10, 10)));
      canvas.UnbindGlContext();
      // One deletion waits for a bind that is refused from here on.
      canvas.refuseBind = true;
      queued.reset();

      if (!lost) {
        ASSERT_TRUE(editor.MakeCurrent());
        canvas.OnSurfaceDestroyed();
      }
      host.MakeCurrent();
      trap = std::make_unique<GlCallTrap>();
      if (lost) canvas.OnSurfaceLost();
      EXPECT_EQ(canvas.LayerDepth(), 0);
      EXPECT_EQ(canvas.Context(), nullptr);
      orphan.reset();
    }
    lateOrphan.reset();
    EXPECT_EQ(trap->Calls(), 0) << "first: " << trap->FirstCalled();
    trap.reset();
    EXPECT_TRUE(host.Intact());
  }
}
