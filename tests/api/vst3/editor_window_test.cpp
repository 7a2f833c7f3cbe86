// The product's editor opened through its VST 3 view in a real window on the
// test display, as a host opens it, with the editor's own pixels read back
// from its drawing context: the three knobs are there, at scale 1 and at
// the host's content scale 2, and removing the view closes the window; and
// in the window it has when the host refuses the sizes content scales 2, 3
// and 4 ask.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/platform/ICanvasWin.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/PlugFrame.h"

namespace vst3test {
namespace {

using plugkit::canvas::ICanvasWin;

struct Rgba {
  int r, g, b, a;
};

// The editor's main framebuffer, top row first.
std::vector<Rgba> EditorPixels(ICanvasWin& editor, int& width, int& height) {
  width = editor.SurfaceWidth();
  height = editor.SurfaceHeight();
  std::vector<Rgba> pixels;
  if (!editor.MainFramebuffer() || width <= 0 || height <= 0) return pixels;
  std::vector<unsigned char> rows(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  editor.BindGlContext();
  nvgluBindFramebuffer(editor.MainFramebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  nvgluBindFramebuffer(nullptr);
  editor.UnbindGlContext();
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rows[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
      pixels.push_back({p[0], p[1], p[2], p[3]});
    }
  return pixels;
}

// Light pixels (the dials and arcs) inside each knob's box, at draw scale
// times screen scale k.
std::vector<int> LitPixelsPerKnob(const std::vector<Rgba>& pixels, int width, int k) {
  const struct {
    int left, top, right, bottom;
  } knobs[] = {{10, 45, 90, 139}, {85, 45, 165, 139}, {160, 45, 240, 139}};
  std::vector<int> lit;
  for (const auto& box : knobs) {
    int count = 0;
    for (int y = box.top * k; y < box.bottom * k; ++y)
      for (int x = box.left * k; x < box.right * k; ++x)
        if (pixels[static_cast<size_t>(y * width + x)].r > 150) ++count;
    lit.push_back(count);
  }
  return lit;
}

TEST(VST3EditorWindow, TheViewShowsTheKnobsAtEitherScale) {
  ParentWindow parent;
  ASSERT_TRUE(parent.Handle());
  Held<TProbe> plugin(new TProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  IPtr<IPlugView> view(plugin->createView("editor"), false);
  ASSERT_TRUE(view);
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(parent.Handle(), "HWND"), kResultOk);
  auto* editor = dynamic_cast<ICanvasWin*>(plugin->EditorGraphics());
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PumpUntil("the first frame", [&] { return editor->PaintedFrames() >= 1; }));

  int width = 0, height = 0;
  std::vector<Rgba> pixels = EditorPixels(*editor, width, height);
  ASSERT_EQ(width, 250);
  ASSERT_EQ(height, 160);
  // The background in the bottom left corner is dark; every knob is lit.
  const Rgba corner = pixels[static_cast<size_t>(157 * width + 3)];
  EXPECT_LT(corner.r, 90);
  for (int lit : LitPixelsPerKnob(pixels, width, 1)) EXPECT_GT(lit, 50);

  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  ASSERT_FALSE(frame->Requests().empty());
  EXPECT_EQ(frame->Requests().back().rect.getWidth(), 500);
  const uint32_t painted = editor->PaintedFrames();
  ASSERT_TRUE(PumpUntil("a frame at scale 2", [&] { return editor->PaintedFrames() > painted; }));
  pixels = EditorPixels(*editor, width, height);
  ASSERT_EQ(width, 500);
  ASSERT_EQ(height, 320);
  for (int lit : LitPixelsPerKnob(pixels, width, 2)) EXPECT_GT(lit, 200);

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
  view->setFrame(nullptr);
  view = nullptr;
  plugin->terminate();
}

// Pixels that differ by more than tolerance in a colour channel.
int DifferentPixels(const std::vector<Rgba>& a, const std::vector<Rgba>& b, int tolerance) {
  int count = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (std::abs(a[i].r - b[i].r) > tolerance || std::abs(a[i].g - b[i].g) > tolerance ||
        std::abs(a[i].b - b[i].b) > tolerance)
      ++count;
  return count;
}

// The host's container keeps 250 x 160 and refuses the size each content
// scale asks for: the editor's window stays 250 x 160 inside it, at 2 with
// half the draw scale, at 3 and 4, where even the smallest draw scale would
// leave it larger, at the largest screen scale that fits; it is drawn whole,
// as it looked at scale 1, and getSize answers the size it has.
TEST(VST3EditorWindow, ARefusedResizeDrawsTheEditorInTheWindowItHas) {
  ParentWindow parent;
  ParentWindow container(parent.Handle(), 250, 160);
  ASSERT_TRUE(container.Handle());
  Held<TProbe> plugin(new TProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  IPtr<IPlugView> view(plugin->createView("editor"), false);
  ASSERT_TRUE(view);
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  frame->SetGrants(false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(container.Handle(), "HWND"), kResultOk);
  auto* editor = dynamic_cast<ICanvasWin*>(plugin->EditorGraphics());
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PumpUntil("the first paint", [&] { return editor->PaintedFrames() >= 1; }));
  int width = 0, height = 0;
  const std::vector<Rgba> atScale1 = EditorPixels(*editor, width, height);
  ASSERT_EQ(width, 250);
  ASSERT_EQ(height, 160);

  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  // Each new scale asks the host for the size it gives at the draw scale the
  // editor has (1, then the 0.5 of the first fit), unless that size fits.
  const struct {
    int32_t scale;
    int32_t askedWidth;  // 0: nothing to ask
  } steps[] = {{2, 500}, {3, 375}, {4, 500}, {2, 0}};
  for (const auto& step : steps) {
    SCOPED_TRACE("content scale " + std::to_string(step.scale));
    const size_t requests = frame->Requests().size();
    ASSERT_EQ(scaling->setContentScaleFactor(static_cast<float>(step.scale)), kResultOk);
    const size_t asked = requests + (step.askedWidth > 0 ? 1 : 0);
    ASSERT_EQ(frame->Requests().size(), asked);
    if (step.askedWidth > 0) {
      EXPECT_EQ(frame->Requests().back().rect.getWidth(), step.askedWidth);
    }
    EXPECT_EQ(WindowSize(container.Handle()), "250x160");
    EXPECT_EQ(WindowSize(parent.Handle()), "600x400");
    EXPECT_EQ(WindowSize(static_cast<HWND>(editor->NativeWindowHandle()), true), "250x160");
    EXPECT_FLOAT_EQ(static_cast<float>(editor->ScreenScale()) * editor->DrawScale(), 1.0f);
    ViewRect rect;
    ASSERT_EQ(view->getSize(&rect), kResultOk);
    EXPECT_EQ(rect.getWidth(), 250);
    EXPECT_EQ(rect.getHeight(), 160);

    const uint32_t painted = editor->PaintedFrames();
    ASSERT_TRUE(PumpUntil("a repaint", [&] { return editor->PaintedFrames() > painted; }));
    const std::vector<Rgba> refused = EditorPixels(*editor, width, height);
    ASSERT_EQ(width, 250);
    ASSERT_EQ(height, 160);
    for (int lit : LitPixelsPerKnob(refused, width, 1)) EXPECT_GT(lit, 50);
    // Fonts and images are rasterised for the new scale, so a few edge pixels
    // may differ; an editor drawn at any other size would differ everywhere.
    EXPECT_LT(DifferentPixels(atScale1, refused, 64), 250 * 160 / 50);
    // The ticks that follow leave the scale the fit gave alone: the editor
    // goes idle in the window it has, and asks the host nothing more.
    EXPECT_TRUE(PumpUntil("the editor's ticks to go idle", [&] { return editor->TicksIdle(); }));
    EXPECT_EQ(WindowSize(static_cast<HWND>(editor->NativeWindowHandle()), true), "250x160");
    EXPECT_EQ(frame->Requests().size(), asked);
  }

  scaling = nullptr;
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  view = nullptr;
  plugin->terminate();
}

} // namespace
} // namespace vst3test
