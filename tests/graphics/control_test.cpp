#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/records/DefaultConstants.h"
#include "graphics/records/IPopupMenu.h"
#include "tests/graphics/control_fixture.h"
#include "tests/graphics/pointer_events.h"
#include "tests/support/wait.h"

namespace plugkit::canvas::control_test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A delegate and a control bound to its "Gain" parameter, adopted by hand
// (no canvas): DelegateRef set, GraphicsRef null.
class ControlValues : public ::testing::Test {
protected:
  void SetUp() override { control.SetDelegateRef(&delegate); }

  RecordingDelegate delegate;
  ProbeControl control{IBox(10, 20, 110, 120), RecordingDelegate::kGain};
};

TEST(IControlFields, StartAsDocumented) {
  ProbeControl c(IBox(1, 2, 3, 4), 5);
  EXPECT_EQ(c.ControlId(), -1);
  EXPECT_EQ(c.Bounds(), IBox(1, 2, 3, 4));
  EXPECT_EQ(c.HitBounds(), c.Bounds());
  EXPECT_STREQ(c.Cluster(), "");
  EXPECT_EQ(c.TextStyle(), kStandardText);
  EXPECT_EQ(c.Composite().Mode, ECompositeMode::SourceOver);
  EXPECT_EQ(c.Composite().Opacity, 1.0f);
  EXPECT_EQ(c.EntryLimit(), 7);
  EXPECT_TRUE(c.Changed());
  EXPECT_TRUE(c.NoValuePrompt());
  EXPECT_FALSE(c.Concealed() || c.Inactive() || c.DoubleAsPress() || c.HoverWhenInactive() ||
               c.PointerWhenInactive() || c.IgnorePointer() || c.TakesMidi() || c.AllowsSecondTouch() ||
               c.PromptShowsLabel() || c.PointerOver() || c.AutomationMark());
  EXPECT_EQ(c.AutomationMarkColour(), IArgb(255, 255, 0, 0));
  EXPECT_EQ(c.BoundValueCount(), 1);
  EXPECT_EQ(c.ParamIndexAt(0), 5);
  EXPECT_EQ(c.ValueAt(0), 0.0);
  EXPECT_EQ(c.DelegateRef(), nullptr);
  EXPECT_EQ(c.GraphicsRef(), nullptr);
  EXPECT_FALSE(c.AnimationStep());
  EXPECT_EQ(c.AnimationFraction(), 0.0);
  // An inert control has no parameter to reach.
  EXPECT_EQ(c.ParamAt(0), nullptr);
}

TEST(IControlFields, SlotsOutsideTheRangeAreIgnored) {
  ProbeControl c(IBox(), 2);
  EXPECT_EQ(c.BoundValueAt(1).ParamIndex, -1);
  EXPECT_EQ(c.ParamIndexAt(-1), -1);
  EXPECT_FALSE(c.SetParamIndexAt(1, 3));
  c.StoreValue(0.5, 1);
  c.StoreValue(0.5, -1);
  EXPECT_EQ(c.ValueAt(0), 0.0);

  ASSERT_TRUE(c.AddBoundValue(3, 0.25));
  ASSERT_TRUE(c.AddBoundValue(-1));
  EXPECT_EQ(c.BoundValueCount(), 3);
  EXPECT_EQ(c.ParamIndexAt(1), 3);
  EXPECT_EQ(c.ValueAt(1), 0.25);
  EXPECT_EQ(c.FirstSlotBoundTo(3), 1);
  EXPECT_EQ(c.FirstSlotBoundTo(-1), -1);  // unbound slots are bound to nothing
  EXPECT_EQ(c.FirstSlotBoundTo(9), -1);
  EXPECT_TRUE(c.SetParamIndexAt(2, 2));
  EXPECT_EQ(c.FirstSlotBoundTo(2), 0);
}

TEST_F(ControlValues, MarkChangedClampsWhatItCommits) {
  struct Case {
    double stored;
    double committed;
  } cases[] = {{1.7, 1.0}, {-0.3, 0.0}, {0.4, 0.4}, {1.0, 1.0}, {std::numeric_limits<double>::infinity(), 1.0}};
  for (const Case& k : cases) {
    control.StoreValue(k.stored, 0);
    EXPECT_EQ(control.ValueAt(0), k.stored);  // StoreValue itself does not clamp
    control.MarkClean();
    control.MarkChanged(false, 0);
    EXPECT_EQ(control.ValueAt(0), k.committed) << k.stored;
    EXPECT_TRUE(control.Changed());
  }
  // Without the trigger nothing reaches the host.
  EXPECT_TRUE(delegate.calls.empty());
}

TEST_F(ControlValues, ASingleSlotTakesEveryIndexAsZero) {
  EXPECT_EQ(control.ValueIndexAt(-50, 9999), 0);
  control.StoreValue(0.3, 0);
  control.MarkChanged(true, 7);
  control.MarkChanged(true, -1);
  const std::vector<HostCall> want = {{"set", RecordingDelegate::kGain, 0.3}, {"set", RecordingDelegate::kGain, 0.3}};
  EXPECT_EQ(delegate.calls, want);

  control.StoreValue(0.9, 0);
  delegate.calls.clear();
  delegate.GetParam(RecordingDelegate::kGain)->Set(10.0);
  control.ResetValueToDefault(4);
  EXPECT_EQ(control.ValueAt(0), 0.5);
  EXPECT_EQ(delegate.calls, (std::vector<HostCall>{{"set", RecordingDelegate::kGain, 0.5}}));
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kGain)->Value(), 50.0);
}

TEST_F(ControlValues, UserChangesReachTheParameterAndTheAction) {
  int actions = 0;
  control.SetChangeAction([&](IControl* c) {
    EXPECT_EQ(c, &control);
    ++actions;
  });
  control.TakeValueFromUser(0.25, 0);
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kGain)->Value(), 25.0);
  EXPECT_EQ(actions, 1);
  ASSERT_EQ(delegate.editorChanges.size(), 1u);
  EXPECT_EQ(delegate.editorChanges[0].source, IChangeSource::UI);

  // The same value again is no change.
  control.TakeValueFromUser(0.25, 0);
  EXPECT_EQ(actions, 1);
  EXPECT_EQ(delegate.calls.size(), 1u);
}

TEST_F(ControlValues, DelegatePushesNeverCallTheHostBack) {
  int actions = 0;
  control.SetChangeAction([&](IControl*) { ++actions; });
  control.MarkClean();
  control.TakeValueFromDelegate(0.6, 0);
  EXPECT_EQ(control.ValueAt(0), 0.6);
  EXPECT_TRUE(control.Changed());
  EXPECT_EQ(actions, 0);
  EXPECT_TRUE(delegate.calls.empty());
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kGain)->Value(), 50.0);

  // An unchanged value does not even mark the control for drawing.
  control.MarkClean();
  control.TakeValueFromDelegate(0.6, 0);
  EXPECT_FALSE(control.Changed());
  // Out-of-range pushes are clamped on commit, and a slot that does not
  // exist is left alone.
  control.TakeValueFromDelegate(3.0, 0);
  EXPECT_EQ(control.ValueAt(0), 1.0);
  control.TakeValueFromDelegate(0.1, 1);
  EXPECT_EQ(control.ValueAt(0), 1.0);
}

// No NaN may reach a parameter or the host, whichever way it comes in; the
// slot falls back to the last number it held.
TEST_F(ControlValues, NaNNeverLeavesTheControl) {
  control.TakeValueFromUser(0.3, 0);
  delegate.calls.clear();

  control.StoreValue(kNaN, 0);
  control.MarkChanged(true, 0);
  EXPECT_EQ(control.ValueAt(0), 0.3);

  control.TakeValueFromUser(kNaN, 0);
  EXPECT_EQ(control.ValueAt(0), 0.3);
  control.TakeValueFromDelegate(kNaN, 0);
  EXPECT_EQ(control.ValueAt(0), 0.3);

  control.SetValueFromPointer(std::nanf(""), 50, true, IBox(10, 20, 110, 120), 0);
  EXPECT_EQ(control.ValueAt(0), 0.3);
  // A track without extent divides zero by zero.
  control.SetValueFromPointer(15, 15, false, IBox(10, 10, 20, 10), 0);
  EXPECT_EQ(control.ValueAt(0), 0.3);

  for (const HostCall& call : delegate.calls) EXPECT_FALSE(std::isnan(call.value));
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kGain)->Value(), 30.0);

  // Several NaNs in a row still fall back to the last number.
  control.StoreValue(kNaN, 0);
  control.StoreValue(kNaN, 0);
  control.MarkChanged(false, -1);
  EXPECT_EQ(control.ValueAt(0), 0.3);
}

TEST_F(ControlValues, SetValueFromPointerMapsTheTrack) {
  const IBox track(0, 0, 100, 100);
  struct Case {
    float x, y;
    bool horizontal;
    double lo, hi, want;
  } cases[] = {
      {50, 25, false, 0.0, 1.0, 0.75},    // 25 % from the top of a vertical track
      {25, 50, true, 0.0, 1.0, 0.25},
      {-40, 500, true, 0.0, 1.0, 0.0},    // the point is clamped into the track
      {140, -9, false, 0.0, 1.0, 1.0},
      {33.3333f, 0, true, 0.0, 1.0, 0.333},  // rounded to 0.001
      {90, 0, true, 0.2, 0.6, 0.6},       // then limited to [lo, hi]
      {5, 0, true, 0.2, 0.6, 0.2},
  };
  for (const Case& k : cases) {
    control.SetValueFromPointer(k.x, k.y, k.horizontal, track, 0, k.lo, k.hi);
    EXPECT_NEAR(control.ValueAt(0), k.want, 1e-9) << k.x << "," << k.y;
  }
  EXPECT_EQ(delegate.calls.size(), std::size(cases));  // every step is a committed user change
}

// A track that cannot map a position to a value gives none: nothing reaches
// the slot, the host or the change action, whatever the slot held before.
TEST_F(ControlValues, ATrackWithoutExtentDoesNothing) {
  int actions = 0;
  control.SetChangeAction([&actions](IControl*) { ++actions; });
  const struct {
    IBox track;
    bool horizontal;
    float x, y;
  } cases[] = {
      {IBox(10, 10, 20, 10), false, 15, 15},   // no height
      {IBox(10, 10, 10, 90), true, 10, 50},    // no width
      {IBox(10, 90, 20, 10), false, 15, 50},   // upside down
      {IBox(20, 10, 10, 90), true, 15, 50},    // right to left
      {IBox(0, 0, 100, 100), true, std::nanf(""), 50},
      {IBox(0, 0, 100, 100), false, 50, std::nanf("")},
  };
  control.TakeValueFromUser(0.3, 0);
  delegate.calls.clear();
  actions = 0;
  for (const auto& c : cases) {
    control.SetValueFromPointer(c.x, c.y, c.horizontal, c.track, 0);
    EXPECT_EQ(control.ValueAt(0), 0.3) << c.track.Left << "," << c.track.Top << " " << c.horizontal;
    EXPECT_EQ(delegate.calls.size(), 0u) << c.track.Left << "," << c.track.Top << " " << c.horizontal;
  }
  EXPECT_EQ(actions, 0);
  // The position across the axis does not matter.
  control.SetValueFromPointer(std::nanf(""), 25, false, IBox(0, 0, 100, 100), 0);
  EXPECT_NEAR(control.ValueAt(0), 0.75, 1e-9);
  EXPECT_EQ(actions, 1);
}

TEST_F(ControlValues, DefaultsAndMenuChoicesAreNormalisedThroughTheParameter) {
  ProbeControl mode(IBox(0, 0, 10, 10), RecordingDelegate::kMode);
  mode.SetDelegateRef(&delegate);
  mode.ResetValueToDefault(-1);
  EXPECT_EQ(mode.ValueAt(0), 0.5);  // default 1 of 0..2

  IPopupMenu menu{"A", "B", "C"};
  menu.PickedIndex = 2;
  mode.OnMenuChoice(&menu, 0);  // refused while NoValuePrompt is set (the default)
  EXPECT_EQ(mode.ValueAt(0), 0.5);

  mode.SetNoValuePrompt(false);
  mode.OnMenuChoice(nullptr, 0);
  mode.OnMenuChoice(&menu, -1);
  EXPECT_EQ(mode.ValueAt(0), 0.5);
  mode.OnMenuChoice(&menu, 0);
  EXPECT_EQ(mode.ValueAt(0), 1.0);
  menu.PickedIndex = 7;  // beyond the range: clamped to the maximum
  mode.StoreValue(0.0, 0);
  mode.OnMenuChoice(&menu, 0);
  EXPECT_EQ(mode.ValueAt(0), 1.0);
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kMode)->Value(), 2.0);

  // A slot without a parameter takes no menu value and resets to nothing.
  ProbeControl loose(IBox(0, 0, 10, 10), -1);
  loose.SetDelegateRef(&delegate);
  loose.SetNoValuePrompt(false);
  loose.StoreValue(0.4, 0);
  loose.OnMenuChoice(&menu, 0);
  loose.ResetValueToDefault(0);
  EXPECT_EQ(loose.ValueAt(0), 0.4);
}

TEST(IControlSlots, SeveralSlotsAreAddressedOneByOneOrAllTogether) {
  RecordingDelegate delegate;
  ProbeControl c(IBox(0, 0, 10, 10), RecordingDelegate::kGain);
  c.SetDelegateRef(&delegate);
  ASSERT_TRUE(c.AddBoundValue(RecordingDelegate::kLevel));
  ASSERT_TRUE(c.AddBoundValue(-1));
  EXPECT_EQ(c.ValueIndexAt(5, 5), -1);

  c.StoreValue(0.2, 0);
  c.StoreValue(1.5, 1);
  c.StoreValue(0.7, 2);
  c.MarkChanged(true, 1);
  EXPECT_EQ(delegate.calls, (std::vector<HostCall>{{"set", RecordingDelegate::kLevel, 1.0}}));
  EXPECT_EQ(c.ValueAt(0), 0.2);

  delegate.calls.clear();
  c.MarkChanged(true, -1);  // every slot with a parameter, in order
  EXPECT_EQ(delegate.calls, (std::vector<HostCall>{{"set", RecordingDelegate::kGain, 0.2},
                                                   {"set", RecordingDelegate::kLevel, 1.0}}));
  delegate.calls.clear();
  c.MarkChanged(true, 3);  // no such slot
  EXPECT_TRUE(delegate.calls.empty());

  c.ResetValueToDefault(-1);
  EXPECT_EQ(c.ValueAt(0), 0.5);
  EXPECT_EQ(c.ValueAt(1), 0.0);
  EXPECT_EQ(c.ValueAt(2), 0.7);  // unbound: keeps its value

  c.SetValueFromPointer(0, 0, true, IBox(0, 0, 10, 10), -1);
  EXPECT_EQ(c.ValueAt(0), 0.0);
  EXPECT_EQ(c.ValueAt(1), 0.0);
  EXPECT_EQ(c.ValueAt(2), 0.0);
}

TEST(IControlGeometry, RelocateMovesTheHitAreaAlong) {
  ProbeControl c(IBox(10, 10, 30, 20));
  c.SetHitBounds(IBox(12, 11, 28, 19));
  c.SetPointerOver(true);
  c.Relocate(100, 50);
  EXPECT_EQ(c.Bounds(), IBox(100, 50, 120, 60));
  EXPECT_EQ(c.HitBounds(), IBox(102, 51, 118, 59));
  EXPECT_FALSE(c.PointerOver());
  c.Relocate(-5, -7);
  EXPECT_EQ(c.Bounds(), IBox(0, 0, 20, 10));

  c.SetExtent(40, -3);
  EXPECT_EQ(c.Bounds(), IBox(0, 0, 40, 0));
  EXPECT_EQ(c.HitBounds(), c.Bounds());
}

// OnBoundsChange may reshape the hit area from the new bounds. Relocate keeps
// the size the hook gave it and places it at the offset from Bounds it had
// before the move, so the move is applied once, not on top of the hook's.
TEST(IControlGeometry, RelocateKeepsWhatOnBoundsChangeDid) {
  struct Shrinking : ProbeControl {
    using ProbeControl::ProbeControl;
    void OnBoundsChange() override {
      ++calls;
      SetHitBounds(Bounds().Grown(-2));  // 16 x 16 at (12, 12) after a move to (10, 10)
    }
    int calls = 0;
  };
  struct Case {
    IBox hitBefore;
    IBox want;
  } cases[] = {
      {IBox(0, 0, 20, 20), IBox(10, 10, 26, 26)},  // no offset: at the new corner
      {IBox(2, 3, 18, 19), IBox(12, 13, 28, 29)},  // offset (2, 3) kept
      {IBox(-4, 5, 6, 9), IBox(6, 15, 22, 31)},    // outside Bounds is kept too
  };
  for (const Case& k : cases) {
    Shrinking c(IBox(0, 0, 20, 20));
    c.SetHitBounds(k.hitBefore);
    c.Relocate(10, 10);
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(c.Bounds(), IBox(10, 10, 30, 30));
    EXPECT_EQ(c.HitBounds(), k.want) << k.hitBefore.Left << "," << k.hitBefore.Top;
  }
}

TEST(IControlGeometry, CoversPointUsesTheHitArea) {
  ProbeControl c(IBox(10, 10, 20, 20));
  struct Case {
    float x, y;
    bool in;
  } cases[] = {{10, 10, true}, {19.9f, 19.9f, true}, {20, 15, false}, {15, 20, false}, {9.9f, 15, false}};
  for (const Case& k : cases) EXPECT_EQ(c.CoversPoint(k.x, k.y), k.in) << k.x << "," << k.y;

  c.SetHitBounds(IBox());
  EXPECT_FALSE(c.CoversPoint(0, 0));
  EXPECT_FALSE(c.CoversPoint(15, 15));
}

TEST(IControlState, ConcealInactiveAndHoverMarkTheControl) {
  ProbeControl c(IBox(0, 0, 10, 10));
  c.MarkClean();
  c.SetInactive(true);
  EXPECT_EQ(c.Composite().Opacity, 0.25f);
  EXPECT_TRUE(c.Inactive() && c.Changed());
  c.SetInactive(false);
  EXPECT_EQ(c.Composite().Opacity, 1.0f);

  c.MarkClean();
  c.SetConcealed(true);
  EXPECT_TRUE(c.Concealed() && c.Changed());

  c.MarkClean();
  c.OnPointerHover(1, 1, IPointerMods());
  EXPECT_TRUE(c.PointerOver() && c.Changed());
  c.MarkClean();
  c.OnPointerHover(2, 2, IPointerMods());  // already over: nothing to redraw
  EXPECT_FALSE(c.Changed());
  c.OnPointerGone();
  EXPECT_TRUE(!c.PointerOver() && c.Changed());
  c.MarkClean();
  c.OnPointerGone();
  EXPECT_FALSE(c.Changed());
}

TEST(IControlAnimation, StepsUntilTheStepEndsIt) {
  ProbeControl c(IBox(0, 0, 10, 10));
  int steps = 0, ends = 0;
  const auto step = [&](IControl* self) {
    ++steps;
    if (self->AnimationFraction() > 1.0) self->OnAnimationDone();
  };
  c.SetAnimationEndAction([&](IControl*) { ++ends; });

  c.LaunchAnimation(step, 60000);
  c.MarkClean();
  EXPECT_TRUE(c.WantsRedraw());  // an animation always wants drawing
  const double f = c.AnimationFraction();
  EXPECT_GE(f, 0.0);
  EXPECT_LT(f, 0.5);
  IControlFunction copy = c.AnimationStep();
  copy(&c);
  EXPECT_TRUE(c.AnimationStep());
  EXPECT_EQ(ends, 0);

  // A short animation is over once its time has passed.
  c.LaunchAnimation(step, 2);
  EXPECT_TRUE(::plugkit::test::WaitUntil("the 2 ms animation's time to pass", [&] { return c.AnimationFraction() > 1.0; }));
  EXPECT_GT(c.AnimationFraction(), 1.0);
  c.MarkClean();
  copy = c.AnimationStep();
  copy(&c);
  EXPECT_FALSE(c.AnimationStep());
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(steps, 2);
  EXPECT_TRUE(c.Changed());  // the last frame is drawn
  c.MarkClean();
  EXPECT_FALSE(c.WantsRedraw());
  EXPECT_EQ(c.AnimationFraction(), 0.0);

  // A zero length cannot divide by zero.
  c.LaunchAnimation(step, 0);
  EXPECT_TRUE(std::isfinite(c.AnimationFraction()));
}

TEST(IControlGestures, OnlyRegisteredKindsAreHandled) {
  ProbeControl c(IBox(0, 0, 10, 10));
  IGestureEvent pinch;
  pinch.Kind = 3;
  EXPECT_FALSE(c.OnTouchGesture(pinch));
  EXPECT_EQ(c.RecentGesture(), 0);

  float seenScale = 0;
  ASSERT_TRUE(c.SetGestureHandler(3, [&](IControl*, const IGestureEvent& g) { seenScale = g.Scale; }));
  pinch.Scale = 1.5f;
  EXPECT_TRUE(c.OnTouchGesture(pinch));
  EXPECT_EQ(seenScale, 1.5f);
  EXPECT_EQ(c.RecentGesture(), 3);

  IGestureEvent other;
  other.Kind = -3;
  EXPECT_FALSE(c.OnTouchGesture(other));
  ASSERT_TRUE(c.SetGestureHandler(3, nullptr));
  EXPECT_FALSE(c.OnTouchGesture(pinch));
}

TEST(IControlInput, DoublePressResetsToTheDefault) {
  RecordingDelegate delegate;
  ProbeControl c(IBox(0, 0, 10, 10), RecordingDelegate::kGain);
  c.SetDelegateRef(&delegate);
  c.StoreValue(0.9, 0);
  c.OnPointerDoublePress(5, 5, IPointerMods());
  EXPECT_EQ(c.ValueAt(0), 0.5);
  EXPECT_EQ(delegate.calls, (std::vector<HostCall>{{"set", RecordingDelegate::kGain, 0.5}}));
}

// ---- With a canvas: sibling updates, drags, prompts and drawing ----

// A control that follows vertical drags over its own bounds, as a fader does.
class FaderControl : public ProbeControl {
public:
  using ProbeControl::ProbeControl;
  void OnPointerDrag(float x, float y, float, float, const IPointerMods&) override {
    SetValueFromPointer(x, y, false, Bounds(), 0);
  }
};

class ControlsOnCanvas : public ::testing::Test {
protected:
  template <typename T = ProbeControl>
  T* Adopt(const IBox& bounds, int32_t paramIndex) {
    return static_cast<T*>(canvas.AdoptControl(new T(bounds, paramIndex)));
  }

  RecordingDelegate delegate;
  RecordingCanvas canvas{&delegate};
};

TEST_F(ControlsOnCanvas, AUserChangeUpdatesEveryOtherControlOfTheParameter) {
  auto* origin = Adopt(IBox(0, 0, 10, 10), RecordingDelegate::kGain);
  auto* twin = Adopt(IBox(20, 0, 30, 10), RecordingDelegate::kGain);
  auto* pair = Adopt(IBox(40, 0, 50, 10), RecordingDelegate::kLevel);
  ASSERT_TRUE(pair->AddBoundValue(RecordingDelegate::kGain));
  auto* other = Adopt(IBox(60, 0, 70, 10), RecordingDelegate::kLevel);
  ASSERT_TRUE(origin && twin && pair && other);
  EXPECT_EQ(origin->GraphicsRef(), &canvas);
  EXPECT_EQ(origin->DelegateRef(), &delegate);

  origin->TakeValueFromUser(0.8, 0);
  EXPECT_EQ(delegate.calls, (std::vector<HostCall>{{"set", RecordingDelegate::kGain, 0.8}}));
  EXPECT_TRUE(origin->pushes.empty());
  ASSERT_EQ(twin->pushes.size(), 1u);
  EXPECT_EQ(twin->ValueAt(0), 0.8);
  ASSERT_EQ(pair->pushes.size(), 1u);
  EXPECT_EQ(pair->pushes[0].ParamIndex, 1);  // the slot that carries the parameter
  EXPECT_EQ(pair->ValueAt(1), 0.8);
  EXPECT_EQ(pair->ValueAt(0), 0.0);
  EXPECT_TRUE(other->pushes.empty());
  // Those updates are pushes: they never came back to the host.
  EXPECT_EQ(delegate.calls.size(), 1u);
}

// The whole path of a drag: gesture begin, one value per step, gesture end,
// and host values refused while the control is held.
TEST_F(ControlsOnCanvas, ADragIsBracketedByAGestureAndIgnoresHostValues) {
  auto* fader = Adopt<FaderControl>(IBox(0, 0, 10, 100), RecordingDelegate::kGain);
  ASSERT_TRUE(fader);

  IPointerEvent e = test::Pointer(5, 50);
  canvas.HandlePointerDown(&e, 1);
  EXPECT_TRUE(canvas.IsCaptured(fader));
  e = test::Pointer(5, 25, 0, -25);
  canvas.HandlePointerDrag(&e, 1);
  EXPECT_EQ(fader->ValueAt(0), 0.75);

  // The host echoes an older value mid-drag: the control keeps the user's.
  fader->MarkClean();
  fader->TakeValueFromDelegate(0.2, 0);
  EXPECT_EQ(fader->ValueAt(0), 0.75);
  EXPECT_FALSE(fader->Changed());

  e = test::Pointer(5, 10, 0, -15);
  canvas.HandlePointerDrag(&e, 1);
  canvas.HandlePointerUp(&e, 1);
  EXPECT_FALSE(canvas.IsCaptured(fader));

  const std::vector<HostCall> want = {{"begin", RecordingDelegate::kGain, 0.0},
                                      {"set", RecordingDelegate::kGain, 0.75},
                                      {"set", RecordingDelegate::kGain, 0.9},
                                      {"end", RecordingDelegate::kGain, 0.0}};
  EXPECT_EQ(delegate.calls, want);
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kGain)->Value(), 90.0);

  // Released: host values take effect again.
  fader->TakeValueFromDelegate(0.1, 0);
  EXPECT_EQ(fader->ValueAt(0), 0.1);
  EXPECT_EQ(delegate.calls.size(), want.size());
}

TEST_F(ControlsOnCanvas, ARightPressAsksForTheValue) {
  IPointerMods right;
  right.Right = true;
  auto* gain = Adopt(IBox(100, 50, 160, 80), RecordingDelegate::kGain);
  ASSERT_TRUE(gain);

  gain->OnPointerPress(130, 60, right);  // NoValuePrompt is on by default
  EXPECT_TRUE(canvas.textFields.empty());

  gain->SetNoValuePrompt(false);
  gain->OnPointerPress(130, 60, IPointerMods());  // only the right button prompts
  EXPECT_TRUE(canvas.textFields.empty());
  gain->MarkClean();
  gain->OnPointerPress(130, 60, right);
  ASSERT_EQ(canvas.textFields.size(), 1u);
  // No display texts: a 40 x 16 box around the control's centre.
  EXPECT_EQ(canvas.textFields[0].box, IBox(110, 57, 150, 73));
  EXPECT_EQ(canvas.textFields[0].paramIndex, RecordingDelegate::kGain);
  EXPECT_EQ(canvas.EditedControl(), gain);
  EXPECT_TRUE(gain->Changed());

  // With display texts the prompt is a menu over the whole control; its
  // answer comes back through OnMenuChoice.
  ASSERT_TRUE(delegate.GetParam(RecordingDelegate::kMode)->AddCaption(0, "Low"));
  ASSERT_TRUE(delegate.GetParam(RecordingDelegate::kMode)->AddCaption(1, "Mid"));
  ASSERT_TRUE(delegate.GetParam(RecordingDelegate::kMode)->AddCaption(2, "High"));
  auto* mode = Adopt(IBox(0, 0, 40, 20), RecordingDelegate::kMode);
  ASSERT_TRUE(mode);
  mode->SetNoValuePrompt(false);
  mode->OnPointerPress(10, 10, right);
  ASSERT_EQ(canvas.menus.size(), 1u);
  EXPECT_EQ(canvas.menus[0].anchor, mode->Bounds());
  canvas.menus[0].menu->PickedIndex = 2;
  canvas.DeliverMenuResult(canvas.menus[0].menu);
  EXPECT_EQ(mode->ValueAt(0), 1.0);
  EXPECT_EQ(delegate.GetParam(RecordingDelegate::kMode)->Value(), 2.0);

  // A slot without a parameter has nothing to prompt for.
  auto* loose = Adopt(IBox(0, 0, 40, 20), -1);
  loose->SetNoValuePrompt(false);
  loose->OnPointerPress(10, 10, right);
  EXPECT_EQ(canvas.menus.size(), 1u);
  EXPECT_EQ(canvas.textFields.size(), 1u);
}

TEST_F(ControlsOnCanvas, TheAutomationMarkIsASmallCircleInTheCorner) {
  ProbeControl c(IBox(10, 20, 50, 60));
  c.RenderAutomationMark(canvas);
  EXPECT_TRUE(canvas.circles.empty());
  c.SetAutomationMark(true);
  c.SetInactive(true);
  c.RenderAutomationMark(canvas);
  ASSERT_EQ(canvas.circles.size(), 1u);
  const RecordingCanvas::Circle& dot = canvas.circles[0];
  EXPECT_EQ(dot.colour, IArgb(255, 255, 0, 0));
  EXPECT_EQ(dot.cx, 45.0f);
  EXPECT_EQ(dot.cy, 25.0f);
  EXPECT_EQ(dot.r, 2.0f);
  EXPECT_EQ(dot.opacity, 0.25f);  // drawn with the control's blend
}

} // namespace
} // namespace plugkit::canvas::control_test
