#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

#include "core/IParam.h"
#include "core/IPresetSlot.h"
#include "core/Timer.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/support/message_pump.h"

using namespace plugkit::canvas;
using namespace tessivo_editor_test;

namespace {

// The product's editor laid out on a recording canvas, with helpers to work
// its preset strip.
struct StripFixture : EditorFixture {
  StripFixture() : EditorFixture(true) { HostCalls().clear(); }
  TPresetControl& Strip() { return *plugin.PresetStrip(); }
  // The menus shown so far, as "overlay menu at <anchor>".
  std::vector<std::string> Menus() const { return Logged("overlay menu at "); }
  // Text entries opened so far, as "entry edits <param> '<text>'".
  std::vector<std::string> Entries() const { return Logged("entry edits "); }
  // Answers the menu shown last with item index (-1: dismissed); the menu
  // then closes.
  void Choose(int32_t index) {
    IPopupMenu* menu = menuProbe->menu;
    ASSERT_NE(menu, nullptr);
    menuProbe->open = false;
    menuProbe->closed = true;
    if (index < 0) {
      canvas.DeliverMenuResult(nullptr);
      return;
    }
    menu->ReportChoice(index);
    canvas.DeliverMenuResult(menu);
  }
  // Opens the action menu and picks item index.
  void Act(int32_t index) {
    canvas.Click(240, 10);
    Choose(index);
  }
  // Ends the open text entry with text (nothing committed for null).
  void Type(const char* text) {
    entryProbe->editing = false;
    if (text) canvas.CommitTextEntry(text);
    else canvas.CancelTextEntry();
  }
  // Waits for the strip's timer to hand its action to the canvas, then runs
  // it as the platform layer's display tick would.
  void Settle() {
    ASSERT_TRUE(plugkit::test::PumpUntil("the strip to hand over its action", [&] { return canvas.HasDeferredActions(); }));
    canvas.RunDeferredActions();
  }
};

std::string ScratchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("tessivo_strip_") + name)).string();
}

TEST(PresetControl, ZonesSplitTheStripAboveItsBottomRow) {
  StripFixture f;
  const TPresetControl& s = f.Strip();
  EXPECT_EQ(s.PrevBox, IBox(0, 0, 25, 29));
  EXPECT_EQ(s.TitleBox, IBox(25, 0, 200, 29));
  EXPECT_EQ(s.NextBox, IBox(200, 0, 225, 29));
  EXPECT_EQ(s.MenuBox, IBox(225, 0, 250, 29));
  EXPECT_EQ(s.ZoneAt(10, 29), TPresetControl::kNoZone);
  EXPECT_EQ(s.ZoneAt(249.9f, 28.9f), TPresetControl::kMenuZone);
}

// Previous and next wrap around the list; the host is told to re-read the
// program, and the strip shows the new title.
TEST(PresetControl, PreviousAndNextWrapAround) {
  struct Case {
    int32_t current;
    float x;
    int32_t expected;
  } cases[] = {{0, 10, 6}, {3, 10, 2}, {6, 210, 0}, {3, 210, 4}};
  for (const Case& c : cases) {
    StripFixture f;
    ASSERT_TRUE(f.plugin.ApplyPreset(c.current));
    HostCalls().clear();
    f.Strip().MarkClean();
    f.canvas.Click(c.x, 10);
    EXPECT_EQ(f.plugin.CurrentPreset(), c.expected);
    EXPECT_STREQ(f.plugin.PresetTitle(), f.plugin.PresetTitleAt(c.expected));
    EXPECT_EQ(HostTrail(), (std::vector<std::string>{"update display"}));
    EXPECT_TRUE(f.Strip().Changed());
    EXPECT_EQ(f.Strip().PressedZone, TPresetControl::kNoZone);
    EXPECT_FALSE(f.Strip().Pressed);
  }
}

// The second click of a quick pair arrives as a double click; it steps again.
TEST(PresetControl, DoubleClickOnAnArrowStepsTwice) {
  StripFixture f;
  f.canvas.Click(210, 10);
  const IPointerEvent e = Pointer(210, 10);
  EXPECT_TRUE(f.canvas.HandleDoublePress(e));
  f.canvas.HandlePointerUp(&e, 1);
  EXPECT_EQ(f.plugin.CurrentPreset(), 2);
}

TEST(PresetControl, PressInTheBottomRowDoesNothing) {
  StripFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(2));
  f.canvas.Press(10, 29.5f);
  f.canvas.calls.clear();
  f.canvas.PaintOne(f.Strip());
  EXPECT_EQ(f.canvas.Of("flood box").size(), 1u);  // the background only
  f.canvas.Release(10, 29.5f);
  EXPECT_EQ(f.plugin.CurrentPreset(), 2);
  EXPECT_TRUE(f.Menus().empty());
}

// The strip's background, the highlight of the pressed arrow, the three
// glyphs and the current title.
TEST(PresetControl, DrawsGlyphsTitleAndThePressedHighlight) {
  StripFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(3));
  f.canvas.Press(210, 10);
  f.canvas.calls.clear();
  f.canvas.PaintOne(f.Strip());
  const auto floods = f.canvas.Of("flood box");
  ASSERT_EQ(floods.size(), 2u);
  EXPECT_EQ(floods[0].box, IBox(0, 0, 250, 30));
  EXPECT_EQ(floods[0].colour, IArgb(255, 27, 31, 33));
  EXPECT_EQ(floods[1].box, f.Strip().NextBox);
  EXPECT_EQ(floods[1].colour, IArgb(255, 46, 49, 49));
  const auto texts = f.canvas.Of("text");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "\xEF\x81\x93");
  EXPECT_EQ(texts[0].box, f.Strip().PrevBox);
  EXPECT_EQ(texts[1].text, "\xEF\x81\x94");
  EXPECT_EQ(texts[2].text, "\xEF\x83\x97");
  EXPECT_EQ(texts[2].fontSize, 13.0f);
  EXPECT_EQ(texts[3].text, "Down 3 Semitones");
  EXPECT_EQ(texts[3].box, f.Strip().TitleBox);
  EXPECT_EQ(texts[3].fontSize, 18.0f);
  for (const DrawCall& c : f.canvas.calls) EXPECT_EQ(c.opacity, -1.0f) << c.op;
  f.canvas.Release(210, 10);
}

// The title opens the list of presets with the current one marked; a choice
// applies at once and never waits as an action.
TEST(PresetControl, PresetListAppliesTheChoice) {
  StripFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(2));
  HostCalls().clear();
  f.canvas.Click(100, 10);
  EXPECT_EQ(f.Menus(), (std::vector<std::string>{"overlay menu at 25,29,25,29"}));
  const IPopupMenu& list = *f.menuProbe->menu;
  ASSERT_EQ(list.ItemCount(), 7);
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_STREQ(list.ItemAt(i)->Caption.Get(), f.plugin.PresetTitleAt(i));
    EXPECT_EQ(list.ItemAt(i)->Options, i == 2 ? FlagBits(EPopupItemFlag::Marked) : 0);
  }
  f.Choose(5);
  EXPECT_EQ(f.plugin.CurrentPreset(), 5);
  EXPECT_EQ(f.plugin.GetParam(Coarse)->Value(), 12.0);
  EXPECT_EQ(HostTrail(), (std::vector<std::string>{"update display"}));
  EXPECT_EQ(f.Strip().PendingAction, -1);
  EXPECT_EQ(f.Strip().DeferTimer, nullptr);

  // Dismissed: only the press ends.
  f.canvas.Click(100, 10);
  f.Choose(-1);
  EXPECT_EQ(f.plugin.CurrentPreset(), 5);
  EXPECT_FALSE(f.Strip().Pressed);
}

// Opening a menu takes the pointer's binding away with a release, but the
// pressed zone keeps its look until the menu answers, whatever the pointer
// does meanwhile.
TEST(PresetControl, AZoneThatOpenedAMenuStaysPressedUntilTheAnswer) {
  const struct {
    float x;
    int32_t zone;
    int32_t choice;
  } cases[] = {{240, TPresetControl::kMenuZone, -1}, {100, TPresetControl::kTitleZone, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zone);
    StripFixture f;
    f.canvas.Press(c.x, 10);
    ASSERT_EQ(f.Menus().size(), 1u);
    EXPECT_EQ(f.canvas.CaptureCount(), 0);
    f.Strip().OnPointerGone();  // the pointer moves onto the menu
    f.canvas.Release(c.x, 10);
    EXPECT_TRUE(f.Strip().Pressed);
    EXPECT_EQ(f.Strip().PressedZone, c.zone);
    f.canvas.calls.clear();
    f.canvas.PaintOne(f.Strip());
    EXPECT_EQ(f.canvas.Of("flood box").size(), c.zone == TPresetControl::kMenuZone ? 2u : 1u)
        << "the menu button shows its highlight, the title never does";
    f.Choose(c.choice);
    EXPECT_FALSE(f.Strip().Pressed);
    EXPECT_EQ(f.Strip().PressedZone, TPresetControl::kNoZone);
    EXPECT_EQ(f.plugin.CurrentPreset(), c.choice < 0 ? 0 : c.choice);
  }
}

TEST(PresetControl, ActionMenuItems) {
  StripFixture f;
  f.canvas.Click(240, 10);
  EXPECT_EQ(f.Menus(), (std::vector<std::string>{"overlay menu at 225,29,225,29"}));
  const IPopupMenu& menu = *f.menuProbe->menu;
  const char* captions[] = {"Restore Preset", "Modify Preset", "", "Save Preset...", "Load Preset...", "", "About..."};
  ASSERT_EQ(menu.ItemCount(), 7);
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_STREQ(menu.ItemAt(i)->Caption.Get(), captions[i]);
    EXPECT_EQ(menu.ItemAt(i)->HasFlag(EPopupItemFlag::Divider), i == 2 || i == 5);
  }
  f.Choose(-1);
  EXPECT_EQ(f.Strip().PendingAction, -1);
}

// Actions run once the menu is gone, from the timer; a second choice within
// the delay replaces the first, and a list choice cancels a waiting action.
TEST(PresetControl, ActionsWaitForTheTimerAndTheLastChoiceWins) {
  StripFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(1));
  f.plugin.GetParam(Mix)->Set(10.0);
  f.Act(TPresetControl::kRestore);
  EXPECT_EQ(f.Strip().PendingAction, TPresetControl::kRestore);
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 10.0);  // not yet
  HostCalls().clear();
  f.Settle();
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 50.0);
  EXPECT_EQ(f.Strip().PendingAction, -1);
  // A restore is a preset load like any other: the host hears of it.
  EXPECT_EQ(HostTrail(), (std::vector<std::string>{"update display"}));

  // Restore, then Modify within the delay: only the rename runs, once.
  f.plugin.GetParam(Mix)->Set(10.0);
  f.Act(TPresetControl::kRestore);
  f.Act(TPresetControl::kModify);
  f.Settle();
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 10.0);
  EXPECT_EQ(f.Entries().size(), 1u);
  f.Type(nullptr);

  // Modify, then a list choice within the delay: the preset changes, no
  // rename opens.
  f.Act(TPresetControl::kModify);
  f.canvas.Click(100, 10);
  f.Choose(4);
  f.Settle();
  EXPECT_EQ(f.plugin.CurrentPreset(), 4);
  EXPECT_EQ(f.Entries().size(), 1u);
}

// Modify: a text entry over the title; the typed title and the present
// values go into the current preset. An empty title keeps the old one.
TEST(PresetControl, ModifyRenamesTheCurrentPreset) {
  StripFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(3));
  f.plugin.GetParam(Mix)->Set(25.0);
  f.Act(TPresetControl::kModify);
  f.Settle();
  EXPECT_EQ(f.Entries(), (std::vector<std::string>{"entry edits -1 'Down 3 Semitones'"}));
  EXPECT_EQ(f.entryProbe->Bounds(), f.Strip().TitleBox);
  EXPECT_EQ(f.entryProbe->TextStyle().FontSize, 18.0f);
  EXPECT_EQ(f.canvas.EditedControl(), &f.Strip());

  f.Strip().MarkClean();
  f.Type("Low Blend");
  EXPECT_STREQ(f.plugin.PresetTitle(), "Low Blend");
  EXPECT_STREQ(f.plugin.PresetTitleAt(3), "Low Blend");
  EXPECT_TRUE(f.Strip().Changed());
  f.plugin.GetParam(Mix)->Set(90.0);
  ASSERT_TRUE(f.plugin.ApplyPreset(3));
  EXPECT_EQ(f.plugin.GetParam(Mix)->Value(), 25.0);

  f.Act(TPresetControl::kModify);
  f.Settle();
  f.Type("");
  EXPECT_STREQ(f.plugin.PresetTitle(), "Low Blend");
  EXPECT_STREQ(f.plugin.PresetTitleAt(3), "Low Blend");
}

// Save and Load go through the file dialog; the file is the preset's ".fxp"
// file, and a cancelled dialog writes or reads nothing.
TEST(PresetControl, SaveAndLoadThroughTheFileDialog) {
  StripFixture f;
  const std::string path = ScratchPath("save.fxp");
  std::remove(path.c_str());
  ASSERT_TRUE(f.plugin.ApplyPreset(4));
  f.plugin.GetParam(Fine)->Set(-20.0);

  f.canvas.dialogAnswer = "";
  f.Act(TPresetControl::kSave);
  f.Settle();
  ASSERT_EQ(f.canvas.dialogs.size(), 1u);
  EXPECT_EQ(f.canvas.dialogs[0].file, "Up 3 Semitones.fxp");
  EXPECT_EQ(f.canvas.dialogs[0].folder, "");
  EXPECT_EQ(f.canvas.dialogs[0].action, 1);
  EXPECT_EQ(f.canvas.dialogs[0].filter, "VST Preset (*.fxp)|*.fxp|All Files (*.*)|*.*");
  EXPECT_FALSE(std::filesystem::exists(path));

  f.canvas.dialogAnswer = path;
  f.Act(TPresetControl::kSave);
  f.Settle();
  ASSERT_TRUE(std::filesystem::exists(path));

  // Load into another preset: values and title come from the file.
  ASSERT_TRUE(f.plugin.ApplyPreset(0));
  HostCalls().clear();
  f.Act(TPresetControl::kLoad);
  f.Settle();
  ASSERT_EQ(f.canvas.dialogs.size(), 3u);
  EXPECT_EQ(f.canvas.dialogs[2].file, "");
  EXPECT_EQ(f.canvas.dialogs[2].action, 0);
  EXPECT_EQ(f.plugin.GetParam(Coarse)->Value(), 3.0);
  EXPECT_EQ(f.plugin.GetParam(Fine)->Value(), -20.0);
  EXPECT_STREQ(f.plugin.PresetTitle(), "Up 3 Semitones");
  EXPECT_EQ(f.plugin.CurrentPreset(), 0);

  f.plugin.GetParam(Fine)->Set(0.0);
  f.canvas.dialogAnswer = "";
  f.Act(TPresetControl::kLoad);
  f.Settle();
  EXPECT_EQ(f.plugin.GetParam(Fine)->Value(), 0.0);
  std::remove(path.c_str());

  // An empty title proposes ".fxp".
  f.plugin.GetPreset(2)->SetTitle("");
  ASSERT_TRUE(f.plugin.ApplyPreset(2));
  f.Act(TPresetControl::kSave);
  f.Settle();
  EXPECT_EQ(f.canvas.dialogs.back().file, ".fxp");
}

TEST(PresetControl, AboutShowsTheAboutBoxWhenThereIsOne) {
  StripFixture f;
  ASSERT_NE(f.plugin.AboutBox(), nullptr);
  EXPECT_TRUE(f.plugin.AboutBox()->Concealed());
  f.Act(TPresetControl::kAbout);
  f.Settle();
  EXPECT_FALSE(f.plugin.AboutBox()->Concealed());
  EXPECT_TRUE(f.plugin.AboutBox()->Fading);

  TAboutBox* box = f.plugin.AboutBox();
  f.plugin.SetEditorControls(f.plugin.PresetStrip(), nullptr);
  box->OnBind();
  f.Act(TPresetControl::kAbout);
  f.Settle();
  EXPECT_TRUE(box->Concealed());
}

// A waiting action goes with the strip: closed before its timer fired, no
// timer is left running and nothing runs; closed after the timer handed the
// action to the canvas, the canvas drops it.
TEST(PresetControl, ClosingTheEditorStopsAWaitingAction) {
  {
    StripFixture f;
    const int32_t before = plugkit::Timer::RunningCount();
    f.Act(TPresetControl::kModify);
    EXPECT_EQ(plugkit::Timer::RunningCount(), before + 1);
    f.plugin.OnEditorHidden();
    f.canvas.RemoveEveryControl();
    EXPECT_EQ(plugkit::Timer::RunningCount(), before);
    // A timer of three times the delay proves the strip's would have fired.
    ASSERT_TRUE(plugkit::test::PumpTimerTicks(3 * TPresetControl::kDeferMs));
    EXPECT_FALSE(f.canvas.HasDeferredActions());
    EXPECT_TRUE(f.Entries().empty());
  }
  {
    StripFixture f;
    f.Act(TPresetControl::kModify);
    ASSERT_TRUE(plugkit::test::PumpUntil("the strip to hand over its action", [&] { return f.canvas.HasDeferredActions(); }));
    f.plugin.OnEditorHidden();
    f.canvas.RemoveEveryControl();
    EXPECT_FALSE(f.canvas.HasDeferredActions());
    f.canvas.RunDeferredActions();
    EXPECT_TRUE(f.Entries().empty());
  }
}

} // namespace
