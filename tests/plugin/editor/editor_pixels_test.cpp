// The product's editor drawn by the real back-end: the layout on a NanoVG
// canvas in an off-screen OpenGL context, its pixels read back, checked at
// known places and written out as a picture (tessivo_editor.png beside the
// test program).
#if defined(TESSIVO_EDITOR_PIXELS)

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/IParam.h"
#include "core/ModuleResources.h"
#include "graphics/resources/ITypefaceBlob.h"
#include "graphics/resources/PlatformFont.h"
#include "graphics/records/IBoxList.h"
#include "plugin/Tessivo.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TKnobControl.h"
#include "tests/graphics/drawing/gl_surface.h"
#include "tests/plugin/editor/png_file.h"


using namespace plugkit;
using namespace plugkit::canvas;
using plugkit::canvas::test::Rgba;

namespace {

// A font read from the program's embedded resources, as the Windows layer
// registers the plug-in's own.
class ResourceFont : public PlatformFont {
public:
  explicit ResourceFont(const char* file) : mFile(file) {}
  std::unique_ptr<ITypefaceBlob> LoadTypefaceBlob() override {
    auto blob = std::make_unique<ITypefaceBlob>();
    IStringBuffer location;
    int32_t size = 0;
    if (FindResourceOrFile(mFile.c_str(), "ttf", location, nullptr) == kLocationResource)
      if (const unsigned char* bytes = LoadResourceBytes(location.Get(), "ttf", size, nullptr))
        if (blob->AssignBytes(bytes, size)) blob->LoadFace(0);
    return blob;
  }

private:
  std::string mFile;
};

class EditorPixels : public test::PixelCanvas {
public:
  explicit EditorPixels(Tessivo& plugin) : PixelCanvas(&plugin, 250, 160) {}
  PlatformFont* OpenFontResource(const char*, const char* file) override { return new ResourceFont(file); }

  // One display frame of the whole editor.
  void Frame() {
    IBoxList boxes;
    RunDisplayTick(boxes);
    IBoxList all;
    all.Add(IBox(0, 0, 250, 160));
    PaintRegions(all);
  }
  bool WritePicture(const char* name) {
    const std::vector<Rgba> pixels = Pixels();
    std::vector<unsigned char> bytes;
    for (const Rgba& p : pixels) bytes.insert(bytes.end(), {static_cast<unsigned char>(p.R),
                                                            static_cast<unsigned char>(p.G),
                                                            static_cast<unsigned char>(p.B),
                                                            static_cast<unsigned char>(p.A)});
    return !pixels.empty() && tessivo_editor_test::WritePng(name, SurfaceWidth(), SurfaceHeight(), bytes.data());
  }
};

struct PixelFixture {
  PixelFixture() {
    if (!test::SharedSurface().Ready()) return;
    canvas = std::make_unique<EditorPixels>(plugin);
    if (!canvas->Open()) return;
    plugin.ApplyPreset(3);
    plugin.RunEditorLayout(canvas.get());
    for (int32_t i = 0; i < plugin.ParamCount(); ++i)
      canvas->UpdateControlsBoundTo(i, plugin.GetParam(i)->ReadNormalised(), nullptr);
    ready = true;
  }
  ~PixelFixture() {
    plugin.OnEditorHidden();
    if (canvas) canvas->OnSurfaceDestroyed();
  }
  TKnobControl& Knob(int32_t param) { return *dynamic_cast<TKnobControl*>(canvas->ControlAt(1 + param)); }
  // One frame, its pixels read back once.
  void Frame() {
    canvas->Frame();
    pixels = canvas->Pixels();
  }
  Rgba At(float x, float y) const {
    const size_t i = static_cast<size_t>(y) * 250 + static_cast<size_t>(x);
    return i < pixels.size() ? pixels[i] : Rgba();
  }
  // The point at radius fraction f of knob param's dial along angle degrees.
  Rgba OnDial(int32_t param, float degrees, float f) {
    const TKnobControl::IDial d = Knob(param).Dial();
    const double a = (degrees - 90.0) * 3.14159265358979 / 180.0;
    return At(static_cast<float>(d.Cx + f * d.Radius * std::cos(a)), static_cast<float>(d.Cy + f * d.Radius * std::sin(a)));
  }

  Tessivo plugin{nullptr};
  std::unique_ptr<EditorPixels> canvas;
  std::vector<Rgba> pixels;
  bool ready = false;
};

const Rgba kBackground{47, 54, 58, 255};
const Rgba kStrip{27, 31, 33, 255};
const Rgba kLight{240, 240, 240, 255};
const Rgba kTrack{130, 130, 130, 255};

TEST(EditorPixels, TheEditorAsTheProducerSeesIt) {
  PixelFixture f;
  if (!f.ready) GTEST_SKIP() << "no OpenGL surface: " << test::SharedSurface().Failure();
  f.Frame();
  EXPECT_TRUE(f.canvas->WritePicture("tessivo_editor.png"));

  EXPECT_TRUE(test::Near(f.At(3, 157), kBackground)) << test::Text(f.At(3, 157));
  EXPECT_TRUE(test::Near(f.At(27, 2), kStrip)) << test::Text(f.At(27, 2));
  // "Down 3 Semitones": Coarse -3 (needle left of the top), Fine 0 (needle
  // straight up), Mix 100 % (value arc over the whole track).
  const float coarseAngle = static_cast<float>(f.Knob(Coarse).ValueAt(0)) * 270.0f - 135.0f;
  EXPECT_TRUE(test::Near(f.OnDial(Coarse, coarseAngle, 0.5f), kLight, 40)) << test::Text(f.OnDial(Coarse, coarseAngle, 0.5f));
  EXPECT_TRUE(test::Near(f.OnDial(Fine, 0.0f, 0.5f), kLight, 40));
  EXPECT_TRUE(test::Near(f.OnDial(Fine, -90.0f, 1.0f), kTrack, 40)) << test::Text(f.OnDial(Fine, -90.0f, 1.0f));
  EXPECT_TRUE(test::Near(f.OnDial(Mix, -90.0f, 1.0f), kLight, 40)) << test::Text(f.OnDial(Mix, -90.0f, 1.0f));
  // The body's face lies between the gradient's two colours.
  const Rgba face = f.OnDial(Fine, 180.0f, 0.4f);
  EXPECT_GE(face.R, 45);
  EXPECT_LE(face.R, 75);
  // Some text in the strip's title box.
  int lit = 0;
  for (int x = 60; x < 190; ++x)
    for (int y = 5; y < 25; ++y)
      if (f.At(static_cast<float>(x), static_cast<float>(y)).R > 150) ++lit;
  EXPECT_GT(lit, 50);
}

// The about box, shown, covers the editor with its shade and draws the logo.
TEST(EditorPixels, TheAboutBoxWithTheLogo) {
  PixelFixture f;
  if (!f.ready) GTEST_SKIP() << "no OpenGL surface: " << test::SharedSurface().Failure();
  ASSERT_TRUE(f.plugin.OnAboutRequest());
  for (int i = 0; i < 21; ++i) f.Frame();
  EXPECT_TRUE(f.canvas->WritePicture("tessivo_about.png"));
  ASSERT_TRUE(f.plugin.AboutBox()->Logo.IsLoaded());
  // Shade: (14, 16, 18) at alpha 220 over the background.
  const Rgba shade = f.At(3, 157);
  EXPECT_LT(shade.R, 25);
  int marked = 0;
  for (int x = 78; x < 171; ++x)
    for (int y = 82; y < 115; ++y)
      if (!test::Near(f.At(static_cast<float>(x), static_cast<float>(y)), shade, 10)) ++marked;
  EXPECT_GT(marked, 100);
}

} // namespace

#endif
