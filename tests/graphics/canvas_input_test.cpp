#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "canvas_fixture.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The lines of the log that bracket a press: gestures, presses and releases.
Log PressLines(const Log& log) {
  Log out;
  for (const std::string& line : log)
    for (const char* prefix : {"begin", "end", "press", "right press", "release"})
      if (line.rfind(prefix, 0) == 0) {
        out.push_back(line);
        break;
      }
  return out;
}

IKeyStroke Key(const char* text) {
  IKeyStroke key;
  key.SetText(text);
  return key;
}

// Two knobs bound to parameters and a free control, over a background.
struct Editor : CanvasFixture {
  ProbeControl* back = new ProbeControl(log, "back", IBox(0, 0, 250, 160));
  ProbeControl* gain = nullptr;
  ProbeControl* steps = nullptr;
  ProbeControl* free = nullptr;

  Editor() {
    canvas.AttachBackground(back);
    gain = Add("gain", IBox(10, 10, 50, 50), RecordingDelegate::kGain);
    steps = Add("steps", IBox(60, 10, 100, 50), RecordingDelegate::kSteps);
    free = Add("free", IBox(110, 10, 150, 50));
    Forget();
  }
};

} // namespace

TEST(ICanvasInput, APressDragAndReleaseGoToTheControlUnderThePointer) {
  Editor e;
  e.Press(Event(20, 30));
  e.Drag(Event(25, 40, 0, false, 5, 10));
  e.Drag(Event(25, 40, 0, false, 0, 0));  // no movement: not passed on
  e.Drag(Event(80, 40, 0, false, 55, 0));  // still the captured knob, wherever the pointer is
  e.Release(Event(80, 45));
  const Log want = {"begin 0", "press 20,30 gain", "drag 25,40 gain", "drag 80,40 gain", "release 80,45 gain",
                    "end 0"};
  EXPECT_EQ(e.log, want);
  EXPECT_EQ(e.canvas.CaptureCount(), 0);

  // Without a capture drags and releases reach nobody; a press on nothing
  // captures nothing.
  e.Forget();
  e.Drag(Event(25, 40, 0, false, 5, 10));
  e.Release(Event(25, 40));
  e.Press(Event(200, 100));
  EXPECT_TRUE(e.log.empty());
  EXPECT_EQ(e.canvas.CaptureCount(), 0);
}

TEST(ICanvasInput, TwoTouchesEachDragTheirOwnKnob) {
  Editor e;
  const IPointerEvent down[] = {Event(20, 20, 1), Event(70, 20, 2)};
  e.canvas.HandlePointerDown(down, 2);
  EXPECT_TRUE(e.canvas.IsCaptured(e.gain));
  EXPECT_TRUE(e.canvas.IsCaptured(e.steps));
  EXPECT_FALSE(e.canvas.IsCaptured(e.free));
  e.Forget();

  e.Drag(Event(72, 30, 2, false, 2, 10));
  EXPECT_EQ(e.log, (Log{"drag 72,30 steps"}));

  const IPointerEvent up[] = {Event(21, 21, 1), Event(72, 30, 2)};
  e.canvas.HandlePointerUp(up, 2);
  EXPECT_EQ(e.canvas.CaptureCount(), 0);
  EXPECT_TRUE(e.delegate.GesturesBalanced());
}

TEST(ICanvasInput, AUserDragCommitsValuesBetweenTheGestureBrackets) {
  Editor e;
  e.gain->SetChangeAction(nullptr);
  e.Press(Event(20, 30));
  e.gain->SetValueFromPointer(20, 30, false, e.gain->Bounds(), 0);  // what a knob does on a drag
  e.Release(Event(20, 30));
  const Log want = {"begin 0", "press 20,30 gain", "set 0 0.5", "release 20,30 gain", "end 0"};
  EXPECT_EQ(e.log, want);

  // A host value pushed during the drag is refused; after it, taken.
  e.Press(Event(20, 30));
  e.gain->TakeValueFromDelegate(0.9, 0);
  EXPECT_EQ(e.gain->ValueAt(0), 0.5);
  e.Release(Event(20, 30));
  e.gain->TakeValueFromDelegate(0.9, 0);
  EXPECT_EQ(e.gain->ValueAt(0), 0.9);
}

TEST(ICanvasInput, APressBeginsOneGesturePerBoundParameterInSlotOrder) {
  using D = RecordingDelegate;
  struct Case {
    std::vector<int32_t> slots;  // the parameter of each slot of the pressed control
    std::vector<int32_t> gestures;
  } cases[] = {
      {{D::kGain, D::kSteps}, {D::kGain, D::kSteps}},
      {{D::kSteps, D::kGain, D::kSteps}, {D::kSteps, D::kGain}},  // bound twice: one gesture
      {{D::kGain, D::kGain}, {D::kGain}},
      {{-1, 9, D::kMode}, {D::kMode}},  // unbound and unknown slots have none
      {{-1, -1}, {}},
  };
  for (const Case& c : cases) {
    Editor e;
    e.free->SetParamIndexAt(0, c.slots[0]);
    for (size_t i = 1; i < c.slots.size(); ++i) ASSERT_TRUE(e.free->AddBoundValue(c.slots[i]));
    e.Press(Event(120, 20));
    e.Release(Event(121, 21));

    Log want;
    for (const int32_t param : c.gestures) want.push_back(Fmt("begin %g", param));
    want.push_back("press 120,20 free");
    want.push_back("release 121,21 free");
    for (const int32_t param : c.gestures) want.push_back(Fmt("end %g", param));
    EXPECT_EQ(e.log, want) << c.slots.size() << " slots, first " << c.slots[0];
    EXPECT_TRUE(e.delegate.GesturesBalanced());
  }
}

// A host may answer a gesture by calling the editor back in ways that drop
// the pointer's binding, or delete the pressed control outright. Nothing
// further begins, the begun gesture is ended, and the control is not
// pressed (no release could follow).
TEST(ICanvasInput, AHostThatDropsTheBindingWhileAGestureBeginsStopsThePress) {
  struct Case {
    const char* what;
    std::function<void(Editor&)> hostCall;
  } cases[] = {
      {"removes every control", [](Editor& e) { e.canvas.RemoveEveryControl(); }},
      {"applies a size", [](Editor& e) { e.canvas.ApplySize(300, 200, 1.0f); }},
      {"releases every pointer", [](Editor& e) { e.canvas.ReleaseAllCaptures(); }},
  };
  for (const Case& c : cases) {
    Editor e;
    ASSERT_TRUE(e.gain->AddBoundValue(RecordingDelegate::kSteps));
    bool first = true;
    e.delegate.onBegin = [&](int32_t) {
      if (first) c.hostCall(e);
      first = false;
    };
    const IPointerEvent down[] = {Event(20, 20, 1), Event(70, 20, 2)};
    e.canvas.HandlePointerDown(down, 2);
    // The second pointer of the list is still looked up afresh: where the
    // controls survived it presses as usual.
    Log want = {"begin 0", "end 0"};
    if (e.canvas.ControlCount() > 0) {
      want.push_back("begin 2");
      want.push_back("press 70,20 steps");
    }
    EXPECT_EQ(PressLines(e.log), want) << c.what;
    EXPECT_EQ(e.canvas.CaptureCount(), e.canvas.ControlCount() > 0 ? 1 : 0) << c.what;

    const IPointerEvent up[] = {Event(20, 20, 1), Event(70, 20, 2)};
    e.canvas.HandlePointerUp(up, 2);
    EXPECT_EQ(e.canvas.CaptureCount(), 0) << c.what;
    EXPECT_TRUE(e.delegate.GesturesBalanced()) << c.what;
  }
}

// The control hears of its release while still bound, so it keeps refusing
// host values; the gestures end after it, the binding goes last.
TEST(ICanvasInput, TheReleaseComesFirstThenTheGestureEndsThenTheBindingGoes) {
  Editor e;
  auto bound = [&](const char* when) {
    e.log.push_back(std::string(when) + (e.canvas.IsCaptured(e.gain) ? " bound" : " free"));
  };
  e.gain->onRelease = [&] {
    bound("release");
    e.gain->TakeValueFromDelegate(0.9, 0);  // host automation arriving meanwhile
  };
  e.delegate.onEnd = [&](int32_t) { bound("end"); };
  e.Press(Event(20, 20));
  e.Release(Event(20, 22));
  const Log want = {"begin 0", "press 20,20 gain", "release 20,22 gain", "release bound", "end 0", "end bound"};
  EXPECT_EQ(e.log, want);
  EXPECT_EQ(e.gain->ValueAt(0), 0.0);
  EXPECT_EQ(e.canvas.CaptureCount(), 0);

  // A release that drops every binding itself (as opening a menu does) is
  // not delivered twice, and its gesture ends once.
  e.Forget();
  e.delegate.onEnd = nullptr;
  e.gain->onRelease = [&] { e.canvas.ReleaseAllCaptures(); };
  e.Press(Event(20, 20));
  e.Release(Event(20, 20));
  EXPECT_EQ(e.log, (Log{"begin 0", "press 20,20 gain", "release 20,20 gain", "end 0"}));
  EXPECT_TRUE(e.delegate.GesturesBalanced());
  EXPECT_EQ(e.canvas.CaptureCount(), 0);
}

// A user change reaches every sibling bound to the same parameter, except one
// that another pointer holds: its drag is not disturbed.
TEST(ICanvasInput, ASiblingHeldByAnotherPointerRefusesTheUpdate) {
  Editor e;
  ProbeControl* twin = e.Add("twin", IBox(10, 60, 50, 100), RecordingDelegate::kGain);
  e.Press(Event(20, 70, 7));
  e.gain->TakeValueFromUser(0.8, 0);
  EXPECT_EQ(twin->ValueAt(0), 0.0);
  EXPECT_EQ(e.delegate.GetParam(RecordingDelegate::kGain)->Value(), 80.0);

  e.Release(Event(20, 70, 7));
  e.gain->TakeValueFromUser(0.6, 0);
  EXPECT_EQ(twin->ValueAt(0), 0.6);
}

TEST(ICanvasInput, RightPresses) {
  // A control that cannot tell which value is under the point is pressed, and
  // the rest of the list is ignored.
  {
    Editor e;
    e.gain->valueIndex = -1;
    const IPointerEvent down[] = {Event(20, 20, 0, true), Event(70, 20, 1)};
    e.canvas.HandlePointerDown(down, 2);
    EXPECT_EQ(e.log, (Log{"right press 20,20 gain"}));
    e.Release(Event(20, 20, 0, true));
    EXPECT_EQ(e.log.back(), "release 20,20 gain");  // no gesture began, so none ends
    EXPECT_TRUE(e.delegate.GesturesBalanced());
  }
  // A bound control with nothing for its context menu: no menu, no gesture,
  // no press.
  {
    Editor e;
    e.Press(Event(20, 20, 0, true));
    EXPECT_TRUE(e.log.empty());
    EXPECT_EQ(e.canvas.CaptureCount(), 0);
  }
  // With items the canvas' own menu opens at the point, as a context menu.
  {
    Editor e;
    e.gain->contextItems = {"Learn", "Forget"};
    e.canvas.nativePick = 1;
    e.Press(Event(20, 25, 0, true));
    EXPECT_EQ(e.log, (Log{"native menu 2 items at 20,25,20,25", "context choice 1 gain"}));
  }
}

// The right button pressed inside a left drag (the event carries both
// buttons) opens no context menu, prompts nothing and leaves the drag going.
TEST(ICanvasInput, ARightPressDuringADragLeavesTheDragGoing) {
  Editor e;
  e.gain->contextItems = {"Learn"};
  e.Press(Event(20, 20));
  e.Drag(Event(22, 24, 0, false, 2, 4));
  e.Forget();
  IPointerEvent both = Event(22, 24, 0, true);
  both.Mods.Left = true;
  e.Press(both);
  EXPECT_TRUE(e.log.empty());
  EXPECT_TRUE(e.canvas.IsCaptured(e.gain));
  e.Drag(Event(23, 26, 0, false, 1, 2));
  e.Release(Event(23, 26));
  EXPECT_EQ(e.log, (Log{"drag 23,26 gain", "release 23,26 gain", "end 0"}));
  EXPECT_TRUE(e.delegate.GesturesBalanced());
}

TEST(ICanvasInput, ASecondButtonOfAPressedPointerBeginsNothing) {
  Editor e;
  e.Press(Event(20, 20));
  IPointerEvent both = Event(20, 20);
  both.Mods.Shift = true;  // e.g. another button while the first is held
  e.Press(both);
  e.Release(Event(20, 20));
  const Log want = {"begin 0", "press 20,20 gain", "press 20,20 gain", "release 20,20 gain", "end 0"};
  EXPECT_EQ(e.log, want);
}

TEST(ICanvasInput, DoublePresses) {
  // An ordinary control gets the double press; every capture is dropped, and
  // a second pointer's drag is released and its gesture ended.
  {
    Editor e;
    e.Press(Event(70, 20, 3));
    e.Forget();
    EXPECT_TRUE(e.canvas.HandleDoublePress(Event(20, 20)));
    const Log want = {"double 20,20 gain", "release 70,20 steps", "end 2"};
    EXPECT_EQ(e.log, want);
    EXPECT_EQ(e.canvas.CaptureCount(), 0);
    EXPECT_TRUE(e.delegate.GesturesBalanced());
  }
  // A control that takes double presses as presses gets a press with its
  // gesture, balanced by the release.
  {
    Editor e;
    e.gain->SetDoubleAsPress(true);
    e.canvas.HandleDoublePress(Event(20, 20));
    e.Release(Event(20, 20));
    EXPECT_EQ(e.log, (Log{"begin 0", "press 20,20 gain", "release 20,20 gain", "end 0"}));
  }
  {
    Editor e;
    EXPECT_FALSE(e.canvas.HandleDoublePress(Event(200, 100)));
    EXPECT_FALSE(e.canvas.HandleDoublePress(Event(kNaN, 20)));
    EXPECT_TRUE(e.log.empty());
  }
}

TEST(ICanvasInput, WheelAndDropGoToTheControlUnderThePointer) {
  Editor e;
  EXPECT_TRUE(e.canvas.HandleWheel(70, 20, IPointerMods(), 2.0f));
  EXPECT_TRUE(e.canvas.HandleFileDrop(120, 20, "C:\\a.fxp"));
  EXPECT_FALSE(e.canvas.HandleWheel(200, 100, IPointerMods(), 1.0f));  // only the background is there
  EXPECT_FALSE(e.canvas.HandleWheel(20, 20, IPointerMods(), std::numeric_limits<float>::infinity()));
  EXPECT_EQ(e.log, (Log{"wheel 2 steps", "drop C:\\a.fxp free"}));
}

TEST(ICanvasInput, KeysGoToTheControlUnderThePointerThenTheKeyHandler) {
  Editor e;
  std::vector<std::pair<std::string, bool>> handled;
  bool handlerAnswer = true;
  e.canvas.SetKeyHandler([&](const IKeyStroke& key, bool isUp) {
    handled.emplace_back(key.Text, isUp);
    return handlerAnswer;
  });

  e.gain->handlesKeys = true;
  EXPECT_TRUE(e.canvas.OnKeyDown(20, 20, Key("a")));
  EXPECT_TRUE(handled.empty());

  EXPECT_TRUE(e.canvas.OnKeyUp(70, 20, Key("b")));  // the control declines
  EXPECT_TRUE(e.canvas.OnKeyDown(200, 100, Key("c")));  // over the background
  EXPECT_TRUE(e.canvas.OnKeyDown(kNaN, 0, Key("d")));  // pointer position unknown
  EXPECT_EQ(e.log, (Log{"key a gain", "keyup b steps"}));
  EXPECT_EQ(handled, (std::vector<std::pair<std::string, bool>>{{"b", true}, {"c", false}, {"d", false}}));

  handlerAnswer = false;
  EXPECT_FALSE(e.canvas.OnKeyDown(200, 100, Key("e")));
  e.canvas.SetKeyHandler(nullptr);
  EXPECT_FALSE(e.canvas.OnKeyUp(200, 100, Key("f")));
}

// The rule is by index, not by the background's flags: a plain control
// adopted first takes the pointer but never a key.
TEST(ICanvasInput, AKeyOverTheControlAtIndexZeroGoesToTheKeyHandler) {
  CanvasFixture f;
  ProbeControl* first = f.Add("first", IBox(0, 0, 250, 160));
  ProbeControl* knob = f.Add("knob", IBox(10, 10, 50, 50));
  first->handlesKeys = true;
  knob->handlesKeys = true;
  std::vector<std::pair<std::string, bool>> handled;
  f.canvas.SetKeyHandler([&](const IKeyStroke& key, bool isUp) {
    handled.emplace_back(key.Text, isUp);
    return true;
  });
  ASSERT_EQ(f.canvas.ControlUnderPointer(100, 100, false, false, 0), first);
  f.Forget();

  EXPECT_TRUE(f.canvas.OnKeyDown(100, 100, Key("a")));
  EXPECT_TRUE(f.canvas.OnKeyUp(100, 100, Key("b")));
  EXPECT_TRUE(f.canvas.OnKeyDown(20, 20, Key("c")));
  EXPECT_EQ(f.log, (Log{"key c knob"}));
  EXPECT_EQ(handled, (std::vector<std::pair<std::string, bool>>{{"a", false}, {"b", true}}));
}

TEST(ICanvasInput, HoverFollowsThePointerAndLeavingForgetsIt) {
  Editor e;
  e.canvas.HandlePointerHover(20, 20, IPointerMods());
  EXPECT_TRUE(e.log.empty());  // hover tracking is off until the layout turns it on

  e.canvas.SetMouseOverTracking(true);
  e.canvas.HandlePointerHover(20, 20, IPointerMods());
  e.canvas.HandlePointerHover(21, 20, IPointerMods());
  e.canvas.HandlePointerHover(70, 20, IPointerMods());
  EXPECT_EQ(e.canvas.MouseOverControl(), e.steps);
  EXPECT_EQ(e.canvas.MouseOverIndex(), 2);
  e.canvas.HandlePointerHover(200, 100, IPointerMods());  // the background never hovers
  const Log want = {"hover 20,20 gain", "hover 21,20 gain", "gone gain", "hover 70,20 steps", "gone steps"};
  EXPECT_EQ(e.log, want);
  EXPECT_EQ(e.canvas.MouseOverControl(), nullptr);
  EXPECT_EQ(e.canvas.MouseOverIndex(), -1);

  e.canvas.HandlePointerHover(20, 20, IPointerMods());
  e.canvas.ChangePointerShape(EPointerShape::Hand);
  e.Forget();
  e.canvas.HandlePointerLeave();
  EXPECT_EQ(e.log, (Log{"gone back", "gone gain", "gone steps", "gone free"}));
  EXPECT_EQ(e.canvas.MouseOverControl(), nullptr);
  EXPECT_EQ(e.canvas.PointerShape(), EPointerShape::Arrow);
}

TEST(ICanvasInput, TheSearchSkipsControlsThatDoNotTakeThePointer) {
  Editor e;
  ProbeControl* top = e.Add("top", IBox(0, 0, 250, 160));
  EXPECT_EQ(e.canvas.ControlUnderPointer(20, 20, false, false, 0), top);
  top->SetConcealed(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(20, 20, false, false, 0), e.gain);
  e.gain->SetIgnorePointer(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(20, 20, false, false, 0), nullptr);

  e.steps->SetInactive(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(70, 20, false, false, 0), nullptr);
  e.steps->SetPointerWhenInactive(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(70, 20, false, false, 0), e.steps);
  e.canvas.SetMouseOverTracking(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(70, 20, false, true, 0), nullptr);
  e.steps->SetHoverWhenInactive(true);
  EXPECT_EQ(e.canvas.ControlUnderPointer(70, 20, false, true, 0), e.steps);

  // The special controls come first: an editing entry and an open menu take
  // every point; the corner resizer takes its own box.
  auto* corner = new ProbeControl(e.log, "corner", IBox(230, 140, 250, 160));
  e.canvas.AttachCornerResizer(corner, EResizeMode::Scale, false);
  EXPECT_EQ(e.canvas.ControlUnderPointer(240, 150, false, false, 0), corner);
  auto* entry = new EntryOverlay(e.log);
  e.canvas.InstallTextEntryControl(entry);
  entry->editing = true;
  EXPECT_EQ(e.canvas.ControlUnderPointer(120, 20, false, false, 0), entry);
  auto* menu = new MenuOverlay(e.log);
  e.canvas.InstallPopupMenuControl(menu);
  menu->open = true;
  EXPECT_EQ(e.canvas.ControlUnderPointer(120, 20, false, true, 0), menu);
  EXPECT_EQ(e.canvas.MouseOverIndex(), -1);
}

TEST(ICanvasInput, WhileATextEntryIsOpenOnlyTheEntryTakesDrags) {
  Editor e;
  e.Press(Event(20, 20, 1));  // a touch still holds the knob
  auto* entry = new EntryOverlay(e.log);
  e.canvas.InstallTextEntryControl(entry);
  e.canvas.OpenTextEntry(e.free, e.free->TextStyle(), IBox(110, 10, 150, 30), "x", -1);
  e.Press(Event(120, 20));  // marks text in the entry
  e.Forget();
  e.Drag(Event(25, 25, 1, false, 5, 5));
  e.Drag(Event(130, 20, 0, false, 10, 0));
  EXPECT_EQ(e.log, (Log{"drag 130,20 overlay entry"}));
}

TEST(ICanvasInput, PositionsThatAreNotNumbersAreIgnored) {
  Editor e;
  e.Press(Event(kNaN, 20));
  EXPECT_TRUE(e.log.empty());
  e.Press(Event(20, 20));
  e.Drag(Event(20, kNaN, 0, false, 1, 1));
  e.Release(Event(kNaN, kNaN));  // still ends the press, at the last position seen
  EXPECT_EQ(e.log, (Log{"begin 0", "press 20,20 gain", "release 20,20 gain", "end 0"}));
}

TEST(ICanvasCornerDrag, ScaleModeFollowsThePointerAndTellsControlsAtTheEnd) {
  Editor e;
  auto* corner = new ProbeControl(e.log, "corner", IBox(231, 141, 249, 159));
  e.canvas.AttachCornerResizer(corner, EResizeMode::Scale, false);
  e.canvas.window = &e;
  e.Forget();

  e.Press(Event(250 - 5, 160 - 5));
  e.canvas.SetResizing(true);  // what the resizer's press does
  EXPECT_FLOAT_EQ(e.canvas.ResizeStartX(), 245.0f);
  e.Drag(Event(367.5f, 193.75f, 0, false, 1, 1));
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.25f);  // min(1.25, 1.5)
  EXPECT_EQ(e.canvas.Width(), 250);
  EXPECT_EQ(e.canvas.CaptureCount(), 0);  // the size change dropped the resizer's capture

  // Two pointers at once are not a corner drag.
  const IPointerEvent two[] = {Event(400, 300, 0, false, 1, 1), Event(10, 10, 1, false, 1, 1)};
  e.canvas.HandlePointerDrag(two, 2);
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.25f);

  e.Forget();
  e.Release(Event(300, 200));
  EXPECT_FALSE(e.canvas.Resizing());
  EXPECT_EQ(e.log, (Log{"scale back", "scale gain", "scale steps", "scale free", "scale corner"}));
  EXPECT_TRUE(e.gain->Changed());
}

TEST(ICanvasCornerDrag, SizeModeSetsTheLogicalSize) {
  Editor e;
  e.canvas.AttachCornerResizer(new ProbeControl(e.log, "corner", IBox(231, 141, 249, 159)), EResizeMode::Size,
                               false);
  e.Press(Event(240, 150));
  e.canvas.SetResizing(true);
  e.Drag(Event(300.9f, 200.2f, 0, false, 1, 1));
  EXPECT_EQ(e.canvas.Width(), 300);
  EXPECT_EQ(e.canvas.Height(), 200);
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.0f);
  e.Release(Event(300, 200));
  EXPECT_FALSE(e.canvas.Resizing());
}

TEST(ICanvasCornerDrag, ADragFromTheOriginLeavesTheScaleAlone) {
  Editor e;
  e.canvas.AttachCornerResizer(new ProbeControl(e.log, "corner", IBox(0, 0, 20, 20)), EResizeMode::Scale, false);
  e.Press(Event(0, 0));
  e.canvas.SetResizing(true);
  e.Drag(Event(0, 0, 0, false, 1, 0));  // 0 / 0 on both axes
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.0f);
  e.Drag(Event(10, 0, 0, false, 10, 0));  // 0 / 0 and 10 / 0
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.0f);
  e.Release(Event(10, 0));

  // A press on the left edge: the vertical ratio alone decides.
  e.Press(Event(0, 100));
  e.canvas.SetResizing(true);
  e.Drag(Event(30, 150, 0, false, 30, 50));
  EXPECT_FLOAT_EQ(e.canvas.DrawScale(), 1.5f);
}
