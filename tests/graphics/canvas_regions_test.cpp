#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "canvas_fixture.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

std::vector<IBox> Boxes(const IBoxList& list) { return std::vector<IBox>(list.begin(), list.end()); }

// Lines of the log that are paint brackets, clips or draws.
Log PaintLines(const Log& log) {
  Log out;
  for (const std::string& line : log)
    if (line.rfind("clip", 0) == 0 || line.rfind("draw", 0) == 0 || line.find("paint") != std::string::npos)
      out.push_back(line);
  return out;
}

void CleanAll(ICanvas& canvas) {
  canvas.VisitAllControls([](IControl& c) { c.MarkClean(); });
}

} // namespace

TEST(ICanvasControls, AttachingLinksAndNotifiesInOrder) {
  CanvasFixture f;
  auto* knob = new ProbeControl(f.log, "knob", IBox(10, 10, 20, 20));
  knob->SetControlId(7);
  knob->SetCluster("group");
  EXPECT_EQ(f.canvas.AdoptControl(knob), knob);
  EXPECT_EQ(f.log, (Log{"bind knob", "bounds knob", "scale knob", "listed knob"}));
  EXPECT_EQ(knob->DelegateRef(), &f.delegate);
  EXPECT_EQ(knob->GraphicsRef(), &f.canvas);
  EXPECT_EQ(knob->ControlId(), -1);
  EXPECT_STREQ(knob->Cluster(), "");

  f.Forget();
  auto* back = new ProbeControl(f.log, "back", IBox(0, 0, 250, 160));
  back->SetControlId(3);
  EXPECT_EQ(f.canvas.AttachBackground(back), back);
  EXPECT_EQ(f.log, (Log{"bind back", "bounds back", "scale back"}));  // never listed
  EXPECT_EQ(f.canvas.ControlAt(0), back);
  EXPECT_EQ(f.canvas.ControlAt(1), knob);
  EXPECT_TRUE(back->IgnorePointer());
  EXPECT_EQ(back->ControlId(), 3);
  EXPECT_EQ(f.canvas.AdoptControl(nullptr), nullptr);
}

TEST(ICanvasControls, ASecondSpecialControlIsDeletedAndTheFirstKept) {
  CanvasFixture f;
  const int before = ProbeControl::alive;
  auto* first = new ProbeControl(f.log, "first", IBox(231, 141, 249, 159));
  EXPECT_EQ(f.canvas.AttachCornerResizer(first, EResizeMode::Scale, false), first);
  EXPECT_EQ(f.canvas.AttachCornerResizer(new ProbeControl(f.log, "second", IBox()), EResizeMode::Size, true), first);
  EXPECT_EQ(ProbeControl::alive, before + 1);
  EXPECT_EQ(f.canvas.ResizeMode(), EResizeMode::Scale);
  EXPECT_FALSE(f.canvas.RelayoutOnResize());
  EXPECT_EQ(f.canvas.ControlCount(), 0);  // special controls stay out of the list

  auto* menu = new MenuOverlay(f.log);
  EXPECT_EQ(f.canvas.InstallPopupMenuControl(menu), menu);
  EXPECT_EQ(f.canvas.InstallPopupMenuControl(new MenuOverlay(f.log)), menu);
  auto* entry = new EntryOverlay(f.log);
  EXPECT_EQ(f.canvas.InstallTextEntryControl(entry), entry);
  EXPECT_EQ(f.canvas.InstallTextEntryControl(new EntryOverlay(f.log)), entry);
  EXPECT_EQ(menu->GraphicsRef(), &f.canvas);
  EXPECT_EQ(entry->DelegateRef(), &f.delegate);
}

TEST(ICanvasControls, VisitingCoversTheListThenTheSpecialControls) {
  CanvasFixture f;
  f.canvas.InstallPopupMenuControl(new MenuOverlay(f.log));
  f.canvas.InstallTextEntryControl(new EntryOverlay(f.log));
  f.canvas.AttachCornerResizer(new ProbeControl(f.log, "corner", IBox(1, 1, 2, 2)), EResizeMode::Scale, false);
  ProbeControl* a = f.Add("a", IBox(0, 0, 1, 1));
  ProbeControl* b = f.Add("b", IBox(0, 0, 1, 1));

  std::vector<IControl*> seen;
  f.canvas.VisitControls([&](IControl& c) { seen.push_back(&c); });
  EXPECT_EQ(seen, (std::vector<IControl*>{a, b}));
  seen.clear();
  f.canvas.VisitAllControls([&](IControl& c) { seen.push_back(&c); });
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[2], f.canvas.CornerResizer());
  EXPECT_EQ(seen[3], f.canvas.TextEntryControl());
  EXPECT_EQ(seen[4], f.canvas.PopupMenuControl());
}

TEST(ICanvasControls, UpdatesReachOtherControlsAtTheirFirstBoundSlot) {
  CanvasFixture f;
  ProbeControl* origin = f.Add("origin", IBox(0, 0, 10, 10), RecordingDelegate::kGain);
  ProbeControl* twin = f.Add("twin", IBox(0, 0, 10, 10), RecordingDelegate::kGain);
  ProbeControl* multi = f.Add("multi", IBox(0, 0, 10, 10), RecordingDelegate::kSteps);
  multi->AddBoundValue(RecordingDelegate::kGain, 0.0);
  multi->AddBoundValue(RecordingDelegate::kGain, 0.0);
  ProbeControl* other = f.Add("other", IBox(0, 0, 10, 10), RecordingDelegate::kMode);

  f.canvas.UpdateControlsBoundTo(RecordingDelegate::kGain, 0.25, origin);
  EXPECT_EQ(origin->ValueAt(0), 0.0);
  EXPECT_EQ(twin->ValueAt(0), 0.25);
  EXPECT_EQ(multi->ValueAt(1), 0.25);
  EXPECT_EQ(multi->ValueAt(2), 0.0);
  EXPECT_EQ(other->ValueAt(0), 0.0);
}

TEST(ICanvasControls, RemovingEveryControlForgetsEveryReference) {
  CanvasFixture f;
  f.canvas.InstallPopupMenuControl(new MenuOverlay(f.log));
  ProbeControl* knob = f.Add("knob", IBox(10, 10, 50, 50), RecordingDelegate::kGain);
  ProbeControl* edited = f.Add("edited", IBox(60, 10, 90, 50));
  f.canvas.SetMouseOverTracking(true);
  f.canvas.HandlePointerHover(70, 20, IPointerMods());
  f.canvas.OpenTextEntry(edited, edited->TextStyle(), IBox(60, 10, 90, 30), "x", -1);
  f.canvas.PromptMenu().AppendItem("item");
  f.canvas.OpenPopupMenu(knob, f.canvas.PromptMenu(), IBox(), 0, false);
  static_cast<MenuOverlay*>(f.canvas.PopupMenuControl())->open = false;  // still waiting, not taking points
  f.Press(Event(20, 20, 5));  // a touch drags the knob
  ASSERT_FALSE(f.delegate.GesturesBalanced());
  ASSERT_NE(f.canvas.MenuRequester(), nullptr);
  ASSERT_NE(f.canvas.EditedControl(), nullptr);
  ASSERT_NE(f.canvas.MouseOverControl(), nullptr);

  const int before = ProbeControl::alive;
  f.Forget();
  f.canvas.RemoveEveryControl();
  EXPECT_EQ(ProbeControl::alive, before - 2);
  EXPECT_EQ(f.canvas.ControlCount(), 0);
  EXPECT_EQ(f.canvas.PopupMenuControl(), nullptr);
  EXPECT_EQ(f.canvas.MenuRequester(), nullptr);
  EXPECT_EQ(f.canvas.EditedControl(), nullptr);
  EXPECT_EQ(f.canvas.MouseOverControl(), nullptr);
  EXPECT_EQ(f.canvas.MouseOverIndex(), -1);
  EXPECT_EQ(f.canvas.CaptureCount(), 0);
  EXPECT_TRUE(f.delegate.GesturesBalanced());
  EXPECT_EQ(f.log, (Log{"end 0"}));  // no release reaches a control being removed

  // Late answers find nobody to hand them to.
  f.canvas.DeliverMenuResult(&f.canvas.PromptMenu());
  f.canvas.CommitTextEntry("late");
  f.canvas.RemoveEveryControl();
  for (const std::string& line : f.log) EXPECT_EQ(line.find("knob"), std::string::npos) << line;
}

TEST(ICanvasDirty, CollectionGrowsEachWantingControlByAMargin) {
  CanvasFixture f;
  ProbeControl* a = f.Add("a", IBox(10, 10, 20, 20));
  ProbeControl* b = f.Add("b", IBox(30, 40, 50, 60));
  ProbeControl* hidden = f.Add("hidden", IBox());  // empty bounds: wants drawing, covers nothing
  CleanAll(f.canvas);

  IBoxList boxes;
  EXPECT_FALSE(f.canvas.CollectDirtyBoxes(boxes));
  EXPECT_EQ(boxes.Count(), 0);

  a->MarkChanged(false, -1);
  hidden->MarkChanged(false, -1);
  EXPECT_TRUE(f.canvas.CollectDirtyBoxes(boxes));
  EXPECT_EQ(Boxes(boxes), (std::vector<IBox>{IBox(9.25f, 9.25f, 20.75f, 20.75f)}));

  // An animation keeps a control wanting redraws while it runs.
  boxes.Clear();
  b->LaunchAnimation([](IControl*) {}, 1000);
  EXPECT_TRUE(f.canvas.RunDisplayTick(boxes));
  EXPECT_EQ(boxes.Count(), 3 - 1);
  EXPECT_FALSE(a->Changed());
  boxes.Clear();
  EXPECT_TRUE(f.canvas.CollectDirtyBoxes(boxes));
  EXPECT_EQ(Boxes(boxes), (std::vector<IBox>{IBox(29.25f, 39.25f, 50.75f, 60.75f)}));
}

TEST(ICanvasDirty, ATickRunsTheHandlerAndAnimationsBeforeCollecting) {
  CanvasFixture f;
  ProbeControl* a = f.Add("a", IBox(10, 10, 20, 20));
  CleanAll(f.canvas);
  f.canvas.SetTickHandler([&] { f.log.push_back("tick"); });
  // A step that ends itself: the canvas runs a copy, so clearing is safe.
  a->LaunchAnimation(
      [&](IControl* c) {
        f.log.push_back("step");
        c->OnAnimationDone();
      },
      10);
  IBoxList boxes;
  EXPECT_TRUE(f.canvas.RunDisplayTick(boxes));
  EXPECT_EQ(f.log.back(), "step");
  EXPECT_EQ(f.log[f.log.size() - 2], "tick");
  EXPECT_EQ(boxes.Count(), 1);  // OnAnimationDone marked it changed
  EXPECT_FALSE(a->WantsRedraw());
  boxes.Clear();
  EXPECT_FALSE(f.canvas.RunDisplayTick(boxes));
}

// Deferred actions run in order when the owner asks, including one queued by
// another; the controls' removal drops whatever still waits.
TEST(ICanvasDeferred, ActionsRunInOrderAndGoWithTheControls) {
  CanvasFixture f;
  ProbeControl* a = f.Add("a", IBox(10, 10, 20, 20));
  f.canvas.DeferAction([&] {
    f.log.push_back("first");
    f.canvas.DeferAction([&] { f.log.push_back("queued by first"); });
  });
  f.canvas.DeferAction([&] { f.log.push_back("second"); });
  f.canvas.DeferAction(nullptr);
  f.Forget();
  f.canvas.RunDeferredActions();
  EXPECT_EQ(f.log, (Log{"first", "second", "queued by first"}));
  EXPECT_FALSE(f.canvas.HasDeferredActions());

  f.Forget();
  f.canvas.DeferAction([&f, a] { f.log.push_back("uses a"); a->MarkClean(); });
  f.canvas.RemoveEveryControl();
  EXPECT_FALSE(f.canvas.HasDeferredActions());
  f.canvas.RunDeferredActions();
  EXPECT_EQ(f.log, Log{});
}

TEST(ICanvasPaint, AnEmptyListDrawsNothing) {
  CanvasFixture f;
  f.Add("a", IBox(10, 10, 20, 20));
  f.Forget();
  IBoxList boxes;
  f.canvas.PaintRegions(boxes);
  EXPECT_TRUE(f.log.empty());
}

TEST(ICanvasPaint, BoxesSnapToDevicePixelsAndClipEachControl) {
  CanvasFixture f;
  f.Add("a", IBox(10, 10, 20, 20));
  f.canvas.ApplyScreenScale(2);
  CleanAll(f.canvas);
  f.Forget();

  IBoxList boxes;
  boxes.Add(IBox(9.25f, 9.25f, 20.75f, 20.75f));
  f.canvas.PaintRegions(boxes);
  EXPECT_EQ(Boxes(boxes), (std::vector<IBox>{IBox(9, 9, 21, 21)}));
  EXPECT_EQ(f.log, (Log{"start paint", "clip 9,9,21,21", "draw a", "finish paint"}));

  // A dirty box over part of the control clips it to the overlap.
  f.Forget();
  boxes.Clear();
  boxes.Add(IBox(15, 0, 100, 12));
  f.canvas.PaintRegions(boxes);
  EXPECT_EQ(PaintLines(f.log), (Log{"start paint", "clip 15,9,21,12", "draw a", "finish paint"}));
}

// At draw scale 1.5 the snapped edges fall between logical pixels; the two
// overlapping boxes are cut into pieces that share no area, and each control
// is clipped once into each piece it covers with area.
TEST(ICanvasPaint, OverlappingBoxesAtAFractionalDensityArePaintedOncePerPiece) {
  CanvasFixture f;
  f.Add("a", IBox(10, 10, 20, 20));
  f.Add("b", IBox(16, 16, 30, 30));
  ASSERT_TRUE(f.canvas.ApplySize(f.canvas.Width(), f.canvas.Height(), 1.5f));
  ASSERT_FLOAT_EQ(f.canvas.PixelDensity(), 1.5f);
  f.Forget();

  IBoxList boxes;
  ASSERT_TRUE(f.canvas.CollectDirtyBoxes(boxes));
  ASSERT_EQ(Boxes(boxes), (std::vector<IBox>{IBox(9.25f, 9.25f, 20.75f, 20.75f), IBox(15.25f, 15.25f, 30.75f, 30.75f)}));
  f.canvas.PaintRegions(boxes);

  // Snapped outwards to device pixels: 9.25 x 1.5 = 13.875 -> 13, 20.75 x
  // 1.5 = 31.125 -> 32; 15.25 -> 22; 30.75 -> 47 (all in device pixels).
  const float d = 1.5f;
  const IBox a(13 / d, 13 / d, 32 / d, 32 / d);
  const IBox b(22 / d, 22 / d, 47 / d, 47 / d);
  // The smaller box, a, is split around the corner it shares with b.
  const IBox aLeft(a.Left, b.Top, b.Left, a.Bottom);
  const IBox aTop(a.Left, a.Top, a.Right, b.Top);
  EXPECT_EQ(Boxes(boxes), (std::vector<IBox>{aLeft, b, aTop}));
  for (const IBox& piece : boxes)
    for (const float edge : {piece.Left, piece.Top, piece.Right, piece.Bottom})
      EXPECT_NEAR(edge * d, std::round(edge * d), 1e-4) << edge;

  const Log want = {"start paint",
                    "clip " + BoxText(aLeft),
                    "draw a",
                    "clip " + BoxText(IBox(b.Left, b.Top, a.Right, a.Bottom)),
                    "draw a",
                    "clip " + BoxText(b),
                    "draw b",
                    "clip " + BoxText(aTop),
                    "draw a",
                    "finish paint"};
  EXPECT_EQ(PaintLines(f.log), want);
}

TEST(ICanvasPaint, ControlsAreDrawnInOrderIntoEveryBoxTheyMeet) {
  CanvasFixture f;
  f.canvas.InstallPopupMenuControl(new MenuOverlay(f.log));
  f.canvas.InstallTextEntryControl(new EntryOverlay(f.log));
  f.canvas.AttachCornerResizer(new ProbeControl(f.log, "corner", IBox(240, 150, 250, 160)), EResizeMode::Scale,
                               false);
  f.canvas.AttachBackground(new ProbeControl(f.log, "back", IBox(0, 0, 250, 160)));
  f.Add("left", IBox(10, 10, 20, 20));
  f.Add("right", IBox(200, 10, 210, 20));
  f.Add("over", IBox(0, 0, 250, 160));
  f.canvas.PopupMenuControl()->SetBounds(IBox(100, 100, 120, 120));
  f.canvas.PopupMenuControl()->SetConcealed(false);
  f.canvas.TextEntryControl()->SetBounds(IBox(100, 100, 120, 120));
  f.Forget();

  IBoxList boxes;
  boxes.Add(IBox(0, 0, 100, 50));
  boxes.Add(IBox(100, 100, 250, 160));
  f.canvas.PaintRegions(boxes);
  const Log want = {"start paint",
                    "clip 0,0,100,50",
                    "draw back",
                    "clip 9,9,21,21",
                    "draw left",
                    "clip 0,0,100,50",
                    "draw over",
                    "clip 100,100,250,160",
                    "draw back",
                    "clip 100,100,250,160",
                    "draw over",
                    "clip 239,149,250,160",
                    "draw corner",
                    "clip 100,100,121,121",
                    "draw overlay entry",
                    "clip 100,100,121,121",
                    "draw overlay menu",
                    "finish paint"};
  EXPECT_EQ(PaintLines(f.log), want);
}

TEST(ICanvasPaint, ConcealedAndEmptyControlsAreSkippedButNotTheBackground) {
  CanvasFixture f;
  ProbeControl* back = new ProbeControl(f.log, "back", IBox(0, 0, 250, 160));
  f.canvas.AttachBackground(back);
  back->SetConcealed(true);
  f.Add("concealed", IBox(10, 10, 20, 20))->SetConcealed(true);
  f.Add("empty", IBox());
  f.Add("flat", IBox(30, 30, 30, 60));
  f.Add("outside", IBox(200, 100, 220, 120));
  f.Forget();

  IBoxList boxes;
  boxes.Add(IBox(-1, -1, 100, 100));  // reaches over the origin, where empty bounds would grow to
  f.canvas.PaintRegions(boxes);
  EXPECT_EQ(PaintLines(f.log), (Log{"start paint", "clip -1,-1,100,100", "draw back", "finish paint"}));

  // Drawing one control directly follows the same rules.
  f.Forget();
  f.canvas.PaintControl(nullptr, IBox(0, 0, 10, 10), 1.0f);
  f.canvas.PaintControl(f.canvas.ControlAt(2), IBox(-5, -5, 5, 5), 1.0f);
  f.canvas.PaintControl(back, IBox(), 1.0f);
  EXPECT_TRUE(f.log.empty());
}

TEST(ICanvasDrawing, GridAndRadialSegmentUseTheSegmentPrimitive) {
  CanvasFixture f;
  f.canvas.OutlineGrid(IArgb(), IBox(0.5f, 0, 10.5f, 10), 4.0f, 1.0f);
  EXPECT_EQ(f.log, (Log{"segment 4,0 4,10", "segment 8,0 8,10"}));

  f.Forget();
  f.canvas.OutlineRadialSegment(IArgb(), 50, 50, 90.0f, 10, 20);
  ASSERT_EQ(f.log.size(), 1u);
  EXPECT_EQ(f.log[0], "segment 60,50 70,50");
}

TEST(ICanvasDrawing, RotatedTextIsPlacedByItsRotatedBox) {
  ITextStyle style;
  IBox text(0, 0, 40, 10);
  double dx = 7, dy = 9;
  ICanvas::ComputeRotatedTextOffset(style, IBox(100, 100, 200, 200), text, dx, dy);
  EXPECT_EQ(text, IBox(0, 0, 40, 10));  // upright text is left alone
  EXPECT_EQ(dx, 7);
  EXPECT_EQ(dy, 9);

  style.RotationDegrees = 90.0f;
  style.HorizontalAlign = ETextHAlign::Left;
  style.VerticalAlign = ETextVAlign::Lower;
  ICanvas::ComputeRotatedTextOffset(style, IBox(100, 100, 200, 200), text, dx, dy);
  EXPECT_NEAR(text.Left, -10, 1e-4);
  EXPECT_NEAR(text.Right, 0, 1e-4);
  EXPECT_NEAR(text.Top, 0, 1e-4);
  EXPECT_NEAR(text.Bottom, 40, 1e-4);
  EXPECT_NEAR(dx, 110, 1e-4);
  EXPECT_NEAR(dy, 160, 1e-4);
}
