#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "graphics/ICanvas.h"
#include "graphics/controls/ICornerResizerControl.h"
#include "graphics/controls/IPanelControl.h"
#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/controls/ITextEntryControl.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TEditorStyles.h"
#include "plugin/editor/TKnobControl.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/plugin/editor/editor_fixture.h"

using namespace plugkit::canvas;
using namespace tessivo_editor;
using namespace tessivo_editor_test;

namespace {

// The product installs both editor function objects; the layout runs
// through the delegate as the platform layer runs it.
TEST(EditorLayout, ConstructorInstallsFactoryAndLayout) {
  Tessivo plugin(nullptr);
  EXPECT_TRUE(plugin.HasGraphicsFactory());
  EXPECT_TRUE(plugin.HasEditorLayout());
  EditorCanvas canvas(&plugin);
  plugin.RunEditorLayout(&canvas);
  EXPECT_NE(plugin.PresetStrip(), nullptr);
  EXPECT_NE(plugin.AboutBox(), nullptr);
  plugin.RunEditorLayout(nullptr);  // nothing to fill
  plugin.OnEditorHidden();
  EXPECT_EQ(plugin.PresetStrip(), nullptr);
  EXPECT_EQ(plugin.AboutBox(), nullptr);
}

// The product's controls in drawing order: three knobs, the preset strip,
// the about box last (over everything).
TEST(EditorLayout, ControlsInOrderWithTheirPlaces) {
  EditorFixture f;
  const ICanvas& g = f.canvas;
  EXPECT_TRUE(g.MouseOverTracking());
  EXPECT_EQ(f.canvas.fonts,
            (std::vector<std::string>{"Roboto-Regular Roboto-Regular.ttf", "forkawesome forkawesome-webfont.ttf"}));
  EXPECT_EQ(f.canvas.vectorRequests, (std::vector<std::string>{"corvathlogo.svg px 72"}));

  // The background panel first; the corner handle, the in-window menu and
  // the text entry are the canvas' special controls, not list entries.
  const int32_t n = g.ControlCount();
  ASSERT_EQ(n, 6);
  auto* background = dynamic_cast<IPanelControl*>(g.ControlAt(0));
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->Bounds(), IBox(0, 0, 250, 160));
  EXPECT_EQ(background->Pattern().Stops[0].Colour, IArgb(255, 47, 54, 58));
  ASSERT_NE(dynamic_cast<ICornerResizerControl*>(g.CornerResizer()), nullptr);
  EXPECT_EQ(g.ResizeMode(), EResizeMode::Scale);
  EXPECT_FALSE(g.RelayoutOnResize());
  EXPECT_NE(dynamic_cast<IPopupMenuControl*>(g.PopupMenuControl()), nullptr);
  EXPECT_NE(dynamic_cast<ITextEntryControl*>(g.TextEntryControl()), nullptr);
  struct Knob {
    IBox bounds;
    int32_t param;
    const char* label;
    float origin;
  } knobs[] = {
      {IBox(10, 45, 90, 139), Coarse, "Coarse", 0.0f},
      {IBox(85, 45, 165, 139), Fine, "Fine", 0.0f},
      {IBox(160, 45, 240, 139), Mix, "Mix", -135.0f},
  };
  for (int32_t i = 0; i < 3; ++i) {
    auto* knob = dynamic_cast<TKnobControl*>(g.ControlAt(n - 5 + i));
    ASSERT_NE(knob, nullptr) << i;
    EXPECT_EQ(knob->Bounds(), knobs[i].bounds);
    EXPECT_EQ(knob->ParamIndexAt(0), knobs[i].param);
    EXPECT_STREQ(knob->Label.Get(), knobs[i].label);
    EXPECT_EQ(knob->ArcOrigin, knobs[i].origin);
    EXPECT_TRUE(knob->LabelStyle == kKnobLabelText);
    EXPECT_TRUE(knob->ValueStyle == kKnobValueText);
    EXPECT_FALSE(knob->NoValuePrompt());
  }
  auto* strip = dynamic_cast<TPresetControl*>(g.ControlAt(n - 2));
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip, f.plugin.PresetStrip());
  EXPECT_EQ(strip->Bounds(), IBox(0, 0, 250, 30));
  EXPECT_EQ(strip->ParamIndexAt(0), -1);
  EXPECT_TRUE(strip->TitleStyle == kPresetTitleText);
  EXPECT_TRUE(strip->IconStyle == kPresetIconText);
  auto* about = dynamic_cast<TAboutBox*>(g.ControlAt(n - 1));
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about, f.plugin.AboutBox());
  EXPECT_EQ(about->Bounds(), IBox(0, 0, 250, 160));
  EXPECT_EQ(about->FadeStep, 0.05f);
  EXPECT_TRUE(about->Logo.IsLoaded());
  EXPECT_TRUE(about->Concealed());
}

// The corner handle covers the last 20 pixels of the editor, and keeps
// that size in device pixels when the editor is scaled.
TEST(EditorLayout, CornerHandleAtTheEditorsCorner) {
  EditorFixture f;
  const IControl* handle = f.canvas.CornerResizer();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->Bounds(), IBox(230, 140, 250, 160));
  ASSERT_TRUE(f.canvas.ApplySize(250, 160, 2.0f));
  EXPECT_EQ(handle->Bounds(), IBox(240, 150, 250, 160));
}

// The strip opens on the current preset's title, even one that a host thread
// chose and no editor tick has shown yet, and follows preset changes (redrawn
// each time).
TEST(EditorLayout, StripShowsTheCurrentPresetsTitle) {
  Tessivo plugin(nullptr);
  std::thread([&] { plugin.ApplyPreset(3); }).join();
  EXPECT_STREQ(plugin.PresetTitle(), "");
  EditorCanvas canvas(&plugin);
  plugin.RunEditorLayout(&canvas);
  EXPECT_STREQ(plugin.PresetTitle(), "Down 3 Semitones");

  plugin.PresetStrip()->MarkClean();
  ASSERT_TRUE(plugin.ApplyPreset(5));
  EXPECT_TRUE(plugin.PresetStrip()->Changed());
  canvas.calls.clear();
  canvas.PaintOne(*plugin.PresetStrip());
  EXPECT_EQ(canvas.Of("text").back().text, "Octave up");
  plugin.OnEditorHidden();
  // Without the editor, preset changes still keep the title.
  ASSERT_TRUE(plugin.ApplyPreset(1));
  EXPECT_STREQ(plugin.PresetTitle(), "Light Detune");
}

// A preset change reaches the knobs of the open editor.
TEST(EditorLayout, KnobsFollowPresetChanges) {
  EditorFixture f;
  auto* coarse = dynamic_cast<TKnobControl*>(f.canvas.ControlAt(f.canvas.ControlCount() - 5));
  ASSERT_NE(coarse, nullptr);
  // The delegate pushes to the graphics it owns; the fixture's canvas is
  // lent, so the push is made the way the delegate makes it.
  EXPECT_EQ(coarse->ValueAt(0), 0.5);
  ASSERT_TRUE(f.plugin.ApplyPreset(6));
  f.SyncControls();
  EXPECT_STREQ(coarse->ValueText.Get(), "-12 Semi");
  EXPECT_EQ(coarse->ValueAt(0), 0.0);
  ASSERT_TRUE(f.plugin.ApplyPreset(5));
  f.SyncControls();
  EXPECT_STREQ(coarse->ValueText.Get(), "12 Semi");
  EXPECT_EQ(coarse->ValueAt(0), 1.0);
}

} // namespace
