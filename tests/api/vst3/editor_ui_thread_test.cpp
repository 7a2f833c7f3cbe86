// The x86_64 build of Tessivo.vst3 as a host meets it that builds instances
// on a loader thread: the factory's createInstance and initialize there, the
// controller, the view and every other host call on this thread, which pumps
// messages as a user-interface thread does. The editor's strip shows the
// current preset's title, program changes and automation from a third thread
// reach the open editor, and the about box opens; whether the loader ended
// or keeps a message loop of its own. The editor's pixels are read from its
// own drawing context: the module is built from these same sources, so its
// editor behind the window is an ICanvasWin this program knows.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/platform/GlEntryPoints.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/module_editor.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/hosts/vst2/Utf8Path.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PlugFrame.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"
#include "tests/support/host_thread.h"

namespace vst3test {
namespace {

using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::Rgba8;
using vst3host::PluginInstance;
using vst3host::PluginModule;

struct PixelBox {
  int left, top, right, bottom;
};
constexpr PixelBox kTitleBox{25, 0, 200, 29};
constexpr PixelBox kMixKnob{160, 45, 240, 139};

// The editor's picture at scale 1 (empty when there is none). This program's
// copy of the framebuffer calls needs the OpenGL entry points, which it
// loads in the editor's context.
std::vector<Rgba8> Picture(ICanvasWin& editor) {
  if (!editor.BindGlContext()) return {};
  const bool loaded = plugkit::gl::LoadGlEntryPoints();
  editor.UnbindGlContext();
  if (!loaded || editor.SurfaceWidth() != 250 || editor.SurfaceHeight() != 160) return {};
  return plugkit::canvas::test::ReadMainFramebuffer(editor);
}

// Bright pixels (text, dials, arcs) in a box of a 250-wide picture.
int LitPixels(const std::vector<Rgba8>& picture, const PixelBox& box) {
  int lit = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (picture[static_cast<size_t>(y * 250 + x)].R > 150) ++lit;
  return lit;
}

// Pixels of a box that differ between two pictures.
int Differences(const std::vector<Rgba8>& a, const std::vector<Rgba8>& b, const PixelBox& box) {
  int count = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      const size_t i = static_cast<size_t>(y * 250 + x);
      if (std::abs(a[i].R - b[i].R) > 40 || std::abs(a[i].G - b[i].G) > 40 || std::abs(a[i].B - b[i].B) > 40) ++count;
    }
  return count;
}

// The first control of type T in the editor, or null.
template <typename T>
T* ControlOf(ICanvasWin& editor) {
  for (int32_t i = 0; i < editor.ControlCount(); ++i)
    if (auto* control = dynamic_cast<T*>(editor.ControlAt(i))) return control;
  return nullptr;
}

TEST(VST3EditorUserInterfaceThread, AModuleInstanceBuiltOnALoaderShowsItsEditorWhereTheHostShowsIt) {
  std::string error;
  std::unique_ptr<PluginModule> module =
      PluginModule::Load(vst2host::ExecutableDirectory() + TESSIVO_VST3_TEST_MODULE, &error);
  ASSERT_TRUE(module) << error;
  vst3host::ClassRecord tessivo;
  ASSERT_TRUE(module->FindAudioClass(tessivo));
  IPtr<vst3host::HostApplication> host(new vst3host::HostApplication(), false);

  // The loader that ends first: a loader left pumping keeps the module loaded.
  for (bool loaderPumps : {false, true}) {
    SCOPED_TRACE(loaderPumps ? "the loader keeps pumping" : "the loader ended");
    IPtr<vst3host::ComponentHandler> handler(new vst3host::ComponentHandler(), false);
    ParentWindow parent;
    ASSERT_TRUE(parent.Handle());
    std::unique_ptr<PluginInstance> made;
    plugkit::test::HostThread loader(
        [&] { made = PluginInstance::Create(*module, tessivo.cid, host, &error); }, loaderPumps);
    ASSERT_TRUE(loader.WaitJobDone());
    ASSERT_TRUE(made) << error;
    if (!loaderPumps) loader.Stop();
    PluginInstance& plugin = *made;
    IEditController* controller = plugin.Controller();
    ASSERT_TRUE(plugin.SetComponentHandler(handler));

    IPtr<IPlugView> view(controller->createView(ViewType::kEditor), false);
    ASSERT_TRUE(view);
    IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
    ASSERT_EQ(view->setFrame(frame), kResultTrue);
    ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeHWND), kResultOk);
    HWND window = GetWindow(parent.Handle(), GW_CHILD);
    ASSERT_NE(window, nullptr);
    ICanvasWin* editor = ModuleEditor(window);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PumpUntil("the first paint", [&] { return editor->PaintedFrames() >= 1; }));

    // The strip shows "Default"; the next preset's title once its arrow is
    // clicked; "Default" again after the host's program change.
    std::vector<Rgba8> picture;
    EXPECT_TRUE(PumpUntil("a title in the strip", [&] {
      picture = Picture(*editor);
      return !picture.empty() && LitPixels(picture, kTitleBox) > 100;
    })) << "lit pixels in the title: " << (picture.empty() ? -1 : LitPixels(picture, kTitleBox));
    const std::vector<Rgba8> atDefault = picture;
    auto* strip = ControlOf<TPresetControl>(*editor);
    ASSERT_NE(strip, nullptr);
    const LPARAM next = MAKELPARAM(static_cast<int>(strip->NextBox.MidX()), static_cast<int>(strip->NextBox.MidY()));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, next);
    PostMessageA(window, WM_LBUTTONUP, 0, next);
    EXPECT_TRUE(PumpUntil("the next preset's title", [&] {
      picture = Picture(*editor);
      return !picture.empty() && LitPixels(picture, kTitleBox) > 100 &&
             Differences(picture, atDefault, kTitleBox) > 50;
    }));
    EXPECT_EQ(controller->getParamNormalized(2), 0.5) << "\"Light Detune\" mixes half and half";
    EXPECT_EQ(controller->setParamNormalized(Tessivo::kPresetParamId, 0.0), kResultOk);
    EXPECT_TRUE(PumpUntil("\"Default\" again", [&] {
      picture = Picture(*editor);
      return !picture.empty() && Differences(picture, atDefault, kTitleBox) < 10;
    }));

    // Mix automated to 0 from a third thread: the knob's arc goes out.
    const int mixLit = LitPixels(picture, kMixKnob);
    std::thread([controller] { controller->setParamNormalized(2, 0.0); }).join();
    EXPECT_TRUE(PumpUntil("the Mix knob to follow the automation", [&] {
      picture = Picture(*editor);
      return !picture.empty() && LitPixels(picture, kMixKnob) < mixLit / 2;
    })) << "lit pixels in the Mix knob: " << mixLit << ", then " << LitPixels(picture, kMixKnob);

    // "About..." from the strip's menu.
    auto* about = ControlOf<TAboutBox>(*editor);
    ASSERT_NE(about, nullptr);
    plugkit::canvas::IPopupMenu menu;
    for (int i = 0; i <= TPresetControl::kAbout; ++i) menu.AppendItem("item");
    menu.ReportChoice(TPresetControl::kAbout);
    strip->OnMenuChoice(&menu, TPresetControl::kActionMenuIndex);
    EXPECT_TRUE(PumpUntil("the about box", [&] { return !about->Concealed(); }));

    EXPECT_EQ(view->removed(), kResultOk);
    view->setFrame(nullptr);
    view = nullptr;
    plugin.SetComponentHandler(nullptr);
    loader.Stop();
    made.reset();
  }
}

} // namespace
} // namespace vst3test
