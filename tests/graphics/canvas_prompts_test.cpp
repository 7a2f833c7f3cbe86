#include <gtest/gtest.h>

#include "canvas_fixture.h"

using namespace plugkit;
using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

std::vector<std::string> Captions(const IPopupMenu& m) {
  std::vector<std::string> out;
  for (const IPopupMenuItem* item : m.Items) out.push_back(item->Caption.Get());
  return out;
}

struct Prompts : CanvasFixture {
  ProbeControl* gain = Add("gain", IBox(10, 10, 50, 50), RecordingDelegate::kGain);
  ProbeControl* mode = Add("mode", IBox(60, 10, 100, 50), RecordingDelegate::kMode);
  ProbeControl* steps = Add("steps", IBox(110, 10, 150, 50), RecordingDelegate::kSteps);
  ProbeControl* free = Add("free", IBox(160, 10, 200, 50));

  Prompts() {
    for (ProbeControl* c : {gain, mode, steps, free}) c->SetNoValuePrompt(false);
    Forget();
  }
};

} // namespace

TEST(ICanvasPrompt, AListParameterIsOfferedItsDisplayTexts) {
  Prompts p;
  p.mode->StoreValue(0.5, 0);
  p.canvas.nativePick = 2;
  p.canvas.PromptParameterValue(p.mode, IBox(60, 10, 100, 50), 0);

  const IPopupMenu& menu = p.canvas.PromptMenu();
  EXPECT_EQ(Captions(menu), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_FALSE(menu.ItemAt(0)->HasFlag(EPopupItemFlag::Marked));
  EXPECT_TRUE(menu.ItemAt(1)->HasFlag(EPopupItemFlag::Marked));  // the current value, 1
  EXPECT_FALSE(menu.ItemAt(2)->HasFlag(EPopupItemFlag::Marked));
  EXPECT_STREQ(menu.Heading.Get(), "Mode");
  const Log want = {"native menu 3 items at 60,10,100,50", "menu choice 2 0 mode", "set 1 1"};
  EXPECT_EQ(p.log, want);
  EXPECT_EQ(p.canvas.MenuRequester(), nullptr);

  // Nothing chosen reaches the control as no menu.
  p.Forget();
  p.canvas.nativePick = -1;
  p.canvas.PromptParameterValue(p.mode, IBox(), 0);
  EXPECT_EQ(p.log.back(), "menu choice -9 0 mode");
}

// A menu needs display texts to offer. An on/off switch with texts gets the
// menu; a list without any gets the text entry (a deliberate choice: an empty
// menu would offer nothing), as does a switch without texts.
TEST(ICanvasPrompt, DisplayTextsDecideBetweenMenuAndTextEntry) {
  struct Case {
    IParamKind kind;
    std::vector<const char*> captions;
    double max;
    double value;
    Log want;
  } cases[] = {
      {IParamKind::OnOff, {"Off", "On"}, 1, 1, {"native menu 2 items at 110,10,150,50", "menu choice -9 0 steps"}},
      {IParamKind::ListChoice, {}, 3, 2, {"text field 2 7 110,10,150,50 '2'"}},
      {IParamKind::OnOff, {}, 1, 1, {"text field 2 7 110,10,150,50 '1'"}},
  };
  for (const Case& c : cases) {
    Prompts p;
    IParam* param = p.delegate.GetParam(RecordingDelegate::kSteps);
    param->SetKind(c.kind);
    param->Configure("Switch", 0.0, 0.0, c.max, 1.0, "", IParamFlag::Quantised);
    for (size_t i = 0; i < c.captions.size(); ++i) ASSERT_TRUE(param->AddCaption(static_cast<double>(i), c.captions[i]));
    param->Set(c.value);

    p.canvas.PromptParameterValue(p.steps, IBox(110, 10, 150, 50), 0);
    EXPECT_EQ(p.log, c.want) << static_cast<int>(c.kind) << " with " << c.captions.size() << " texts";
    if (c.captions.empty()) continue;
    const IPopupMenu& menu = p.canvas.PromptMenu();
    EXPECT_EQ(Captions(menu), (std::vector<std::string>{"Off", "On"}));
    EXPECT_FALSE(menu.ItemAt(0)->HasFlag(EPopupItemFlag::Marked));
    EXPECT_TRUE(menu.ItemAt(1)->HasFlag(EPopupItemFlag::Marked));
    EXPECT_STREQ(menu.Heading.Get(), "Switch");
  }
}

TEST(ICanvasPrompt, ANativeMenuMayAnswerLaterAndOnlyOnce) {
  Prompts p;
  p.mode->StoreValue(0.5, 0);
  p.canvas.nativeAnswersLater = true;
  p.canvas.PromptParameterValue(p.mode, IBox(), 0);
  EXPECT_EQ(p.log, (Log{"native menu 3 items at 0,0,0,0"}));
  EXPECT_EQ(p.canvas.MenuRequester(), p.mode);

  p.canvas.PromptMenu().ReportChoice(0);
  p.canvas.DeliverMenuResult(&p.canvas.PromptMenu());
  p.canvas.DeliverMenuResult(&p.canvas.PromptMenu());
  EXPECT_EQ(p.log, (Log{"native menu 3 items at 0,0,0,0", "menu choice 0 0 mode", "set 1 0"}));
}

TEST(ICanvasPrompt, TheRebuiltMenuKeepsNothingOfItsLastShowing) {
  Prompts p;
  p.canvas.PromptMenu().Completion = [&](IPopupMenu*) { p.log.push_back("stale completion"); };
  p.canvas.PromptMenu().Numbering = 2;
  p.canvas.nativePick = 0;
  p.canvas.PromptParameterValue(p.mode, IBox(), 0);
  EXPECT_EQ(p.canvas.PromptMenu().Numbering, 0);
  for (const std::string& line : p.log) EXPECT_NE(line, "stale completion");
}

TEST(ICanvasPrompt, OtherParametersGetATextEntryWithTheirValue) {
  Prompts p;
  p.gain->StoreValue(0.5, 0);
  p.canvas.PromptParameterValue(p.gain, IBox(20, 22, 40, 38), 0);
  EXPECT_EQ(p.log, (Log{"text field 0 7 20,22,40,38 '50'"}));
  EXPECT_EQ(p.canvas.EditedControl(), p.gain);
  EXPECT_EQ(p.canvas.EditedValueIndex(), 0);
  EXPECT_TRUE(p.gain->Changed());

  p.Forget();
  p.gain->SetPromptShowsLabel(true);
  p.gain->SetEntryLimit(12);
  p.canvas.PromptParameterValue(p.gain, IBox(20, 22, 40, 38), 0);
  EXPECT_EQ(p.log, (Log{"text field 0 12 20,22,40,38 '50 %'"}));

  // A slot without a parameter, or one the delegate does not know, is not
  // prompted for.
  p.Forget();
  p.canvas.CancelTextEntry();
  p.canvas.PromptParameterValue(p.free, IBox(), 0);
  p.canvas.PromptParameterValue(p.gain, IBox(), 3);
  p.free->SetParamIndexAt(0, 9);
  p.canvas.PromptParameterValue(p.free, IBox(), 0);
  p.canvas.PromptParameterValue(nullptr, IBox(), 0);
  EXPECT_TRUE(p.log.empty());
  EXPECT_EQ(p.canvas.EditedControl(), nullptr);
}

TEST(ICanvasPrompt, CommittedTextIsParsedIntoTheParameter) {
  struct Case {
    int32_t param;
    const char* text;
    const char* set;
  };
  const Case cases[] = {
      {RecordingDelegate::kGain, "75", "set 0 0.75"},
      {RecordingDelegate::kGain, "250", "set 0 1"},
      {RecordingDelegate::kSteps, "7.5", "set 2 1"},  // rounded to the step, clamped to 5
      {RecordingDelegate::kSteps, "2.4", "set 2 0.4"},
      {RecordingDelegate::kSteps, "nonsense", "set 2 0"},
      {RecordingDelegate::kMode, "C", "set 1 1"},  // a list takes its display texts
      {RecordingDelegate::kMode, "B", "set 1 0.5"},
      {RecordingDelegate::kMode, "c", "set 1 0"},  // not one of them: the first choice
  };
  for (const Case& c : cases) {
    Prompts p;
    ProbeControl* control = c.param == RecordingDelegate::kGain   ? p.gain
                            : c.param == RecordingDelegate::kMode ? p.mode
                                                                  : p.steps;
    control->StoreValue(0.6, 0);
    p.canvas.OpenTextEntry(control, control->TextStyle(), IBox(), "", 0);
    p.Forget();
    p.canvas.CommitTextEntry(c.text);
    EXPECT_EQ(p.log, (Log{c.set})) << c.text;
    EXPECT_EQ(p.canvas.EditedControl(), nullptr);
  }
}

TEST(ICanvasPrompt, TextForASlotWithoutParameterGoesToTheControl) {
  Prompts p;
  p.canvas.OpenTextEntry(p.free, p.free->TextStyle(), IBox(), "old", -1);
  p.Forget();
  p.canvas.CommitTextEntry("hello");
  p.canvas.CommitTextEntry("again");  // nothing is open any more
  p.canvas.CommitTextEntry(nullptr);
  EXPECT_EQ(p.log, (Log{"text -1 'hello' free"}));

  // A cancelled entry commits nothing.
  p.canvas.OpenTextEntry(p.free, p.free->TextStyle(), IBox(), "old", -1);
  p.canvas.CancelTextEntry();
  p.Forget();
  p.canvas.CommitTextEntry("late");
  EXPECT_TRUE(p.log.empty());
}

TEST(ICanvasPrompt, TheInWindowEntryIsPlacedStyledAndStarted) {
  Prompts p;
  auto* entry = new EntryOverlay(p.log);
  p.canvas.InstallTextEntryControl(entry);
  entry->MarkClean();
  entry->SetPointerOver(true);
  ITextStyle style;
  style.TextColour = IArgb(255, 1, 2, 3);
  style.EntryTextColour = IArgb(255, 9, 8, 7);
  p.Forget();

  p.canvas.OpenTextEntry(p.gain, style, IBox(20, 22, 40, 38), "50", 0);
  EXPECT_EQ(p.log, (Log{"entry edits 0 '50'"}));  // no platform text field
  EXPECT_EQ(entry->Bounds(), IBox(20, 22, 40, 38));
  EXPECT_EQ(entry->HitBounds(), IBox(20, 22, 40, 38));
  EXPECT_FALSE(entry->PointerOver());
  EXPECT_EQ(entry->TextStyle().TextColour, IArgb(255, 9, 8, 7));
  EXPECT_TRUE(entry->Changed());
  EXPECT_EQ(p.canvas.EditedControl(), p.gain);
}

// The in-window entry ends an edit through the canvas, like the native field.
TEST(ICanvasPrompt, TheInWindowEntryCommitsThroughTheCanvas) {
  Prompts p;
  auto* entry = new EntryOverlay(p.log);
  p.canvas.InstallTextEntryControl(entry);
  p.gain->StoreValue(0.5, 0);
  p.Forget();
  p.canvas.PromptParameterValue(p.gain, IBox(20, 22, 40, 38), 0);
  ASSERT_EQ(p.log, (Log{"entry edits 0 '50'"}));

  entry->GraphicsRef()->CommitTextEntry("75");
  EXPECT_EQ(p.log.back(), "set 0 0.75");
  EXPECT_EQ(p.gain->ValueAt(0), 0.75);
  EXPECT_EQ(p.canvas.EditedControl(), nullptr);
}

TEST(ICanvasMenu, TheInWindowMenuShowsTheRequestAndAnswersThroughTheCanvas) {
  Prompts p;
  auto* overlay = new MenuOverlay(p.log);
  p.canvas.InstallPopupMenuControl(overlay);
  p.Forget();

  IPopupMenu menu{"One", "Two"};
  EXPECT_TRUE(p.canvas.OpenPopupMenu(p.gain, menu, IBox(5, 6, 7, 8), 0, false));
  EXPECT_EQ(p.log, (Log{"overlay menu at 5,6,7,8"}));
  EXPECT_EQ(overlay->menu, &menu);
  EXPECT_EQ(overlay->area, IBox(0, 0, 250, 160));

  // While it is still showing another request is refused and changes nothing.
  p.Forget();
  IPopupMenu second{"Three"};
  EXPECT_FALSE(p.canvas.OpenPopupMenu(p.free, second, IBox(), -1, true));
  EXPECT_TRUE(p.log.empty());
  EXPECT_EQ(overlay->menu, &menu);
  EXPECT_EQ(p.canvas.MenuRequester(), p.gain);
  EXPECT_EQ(p.canvas.MenuValueIndex(), 0);
  EXPECT_FALSE(p.canvas.MenuIsContext());

  // The answer goes to the control that asked for this menu, once.
  menu.ReportChoice(1);
  p.canvas.DeliverMenuResult(&menu);
  p.canvas.DeliverMenuResult(&menu);
  EXPECT_EQ(p.log, (Log{"menu choice 1 0 gain", "set 0 0.01"}));  // item 1 read as the value 1 of 0..100

  // Answered but not closed yet: a new menu could not be shown, so it is
  // still refused.
  EXPECT_FALSE(p.canvas.OpenPopupMenu(p.free, second, IBox(), 0, false));
  EXPECT_EQ(p.canvas.MenuRequester(), nullptr);

  // A placement area already given is kept.
  overlay->closed = true;
  overlay->area = IBox(0, 0, 100, 100);
  EXPECT_TRUE(p.canvas.OpenPopupMenu(p.free, menu, IBox(), 0, false));
  EXPECT_EQ(overlay->area, IBox(0, 0, 100, 100));
}

// A request that waits for its answer, in the editor or from a native menu
// that answers later, holds the canvas' menu: other prompts, context menus
// and requests are refused, the menu is not rebuilt under the presentation
// and the answer reaches the first requester.
TEST(ICanvasMenu, AWaitingRequestRefusesEveryOther) {
  for (const bool inWindow : {true, false}) {
    Prompts p;
    MenuOverlay* overlay = inWindow ? new MenuOverlay(p.log) : nullptr;
    if (overlay) p.canvas.InstallPopupMenuControl(overlay);
    p.canvas.nativeAnswersLater = true;
    p.free->contextItems = {"x"};
    p.mode->StoreValue(0.5, 0);
    p.canvas.PromptParameterValue(p.mode, IBox(60, 10, 100, 50), 0);
    ASSERT_EQ(p.canvas.MenuRequester(), p.mode) << inWindow;
    p.Forget();

    IPopupMenu other{"Other"};
    EXPECT_FALSE(p.canvas.OpenPopupMenu(p.gain, other, IBox(), 0, false));
    p.canvas.OpenContextMenuForControl(p.free, 1, 2);
    p.canvas.PromptParameterValue(p.mode, IBox(), 0);
    EXPECT_TRUE(p.log.empty()) << inWindow;
    EXPECT_EQ(Captions(p.canvas.PromptMenu()), (std::vector<std::string>{"A", "B", "C"})) << inWindow;
    EXPECT_EQ(p.canvas.MenuRequester(), p.mode);
    EXPECT_TRUE(p.canvas.MenuRequestPending());

    p.canvas.PromptMenu().ReportChoice(2);
    p.canvas.DeliverMenuResult(&p.canvas.PromptMenu());
    EXPECT_EQ(p.log, (Log{"menu choice 2 0 mode", "set 1 1"})) << inWindow;
    if (overlay) overlay->closed = true;
    EXPECT_FALSE(p.canvas.MenuRequestPending()) << inWindow;
  }
}

TEST(ICanvasMenu, ContextMenusAnswerWithTheItemIndex) {
  Prompts p;
  p.free->contextItems = {"a", "b", "c"};
  p.canvas.nativePick = 2;
  p.canvas.OpenContextMenuForControl(p.free, 3, 4);
  p.canvas.nativePick = -1;
  p.canvas.OpenContextMenuForControl(p.free, 3, 4);
  p.canvas.OpenContextMenuForControl(p.gain, 3, 4);  // no items: no menu
  p.canvas.OpenContextMenuForControl(nullptr, 3, 4);
  const Log want = {"native menu 3 items at 3,4,3,4", "context choice 2 free", "native menu 3 items at 3,4,3,4",
                    "context choice -1 free"};
  EXPECT_EQ(p.log, want);
}

// A native menu answers with the submenu that holds the chosen item; the
// requester reads the submenu's PickedIndex.
TEST(ICanvasMenu, AChoiceInANativeSubmenuArrivesWithTheSubmenusIndex) {
  struct Case {
    bool isContext;
    Log want;
  } cases[] = {
      {false, {"native menu 2 items at 0,0,0,0", "menu choice 2 0 gain", "set 0 0.02"}},
      {true, {"native menu 2 items at 0,0,0,0", "context choice 2 gain"}},
  };
  for (const Case& c : cases) {
    Prompts p;
    IPopupMenu menu{"More", "Last"};
    menu.ItemAt(0)->SetChild(new IPopupMenu{"x", "y", "z"});
    p.canvas.nativeSubmenuOf = 0;
    p.canvas.nativePick = 2;
    EXPECT_TRUE(p.canvas.OpenPopupMenu(p.gain, menu, IBox(), c.isContext ? -1 : 0, c.isContext));
    EXPECT_EQ(p.log, c.want) << c.isContext;
    EXPECT_EQ(menu.PickedIndex, -1);
    EXPECT_EQ(menu.ItemAt(0)->Child->PickedIndex, 2);
  }
}

TEST(ICanvasMenu, AMenuOpeningDuringADragEndsTheDragFirst) {
  Prompts p;
  p.Press(Event(20, 20));
  p.Drag(Event(21, 22, 0, false, 1, 2));
  p.Forget();
  p.canvas.nativePick = 1;
  p.canvas.PromptParameterValue(p.mode, IBox(), 0);
  const Log want = {"release 21,22 gain", "end 0", "native menu 3 items at 0,0,0,0", "menu choice 1 0 mode",
                    "set 1 0.5"};
  EXPECT_EQ(p.log, want);
  EXPECT_TRUE(p.delegate.GesturesBalanced());
  EXPECT_EQ(p.canvas.CaptureCount(), 0);
}
