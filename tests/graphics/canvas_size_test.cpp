#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "canvas_fixture.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

bool Contains(const Log& log, const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); }

int IndexOf(const Log& log, const std::string& line) {
  const auto it = std::find(log.begin(), log.end(), line);
  return it == log.end() ? -1 : static_cast<int>(it - log.begin());
}

// An open editor whose gain knob a pointer holds pressed, with the log from
// then on.
void HoldTheGainKnob(CanvasFixture& f) {
  f.canvas.window = &f;
  f.Add("knob", IBox(10, 10, 50, 50), RecordingDelegate::kGain);
  f.Press(Event(20, 20));
  f.Forget();
}

} // namespace

TEST(ICanvasSize, ConstructionTakesTheConfiguredSizeAndScale) {
  Log log;
  RecordingDelegate delegate(log);
  RecordingCanvas canvas(&delegate, log, 1.5f);
  EXPECT_EQ(canvas.Width(), 250);
  EXPECT_EQ(canvas.Height(), 160);
  EXPECT_EQ(canvas.ScreenScale(), 1);
  EXPECT_FLOAT_EQ(canvas.DrawScale(), 1.5f);
  EXPECT_FLOAT_EQ(canvas.MinScale(), 0.75f);
  EXPECT_FLOAT_EQ(canvas.MaxScale(), 3.0f);
  EXPECT_EQ(canvas.MinWidth(), 125);
  EXPECT_EQ(canvas.MaxWidth(), 500);
  EXPECT_EQ(canvas.MinHeight(), 80);
  EXPECT_EQ(canvas.MaxHeight(), 320);
  EXPECT_EQ(canvas.FramesPerSecond(), 60);
  EXPECT_EQ(canvas.Delegate(), &delegate);
  EXPECT_EQ(canvas.PointerShape(), EPointerShape::Arrow);
  EXPECT_EQ(canvas.ControlCount(), 0);

  // A draw scale that is not a positive number starts the editor at 1.
  for (float bad : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    RecordingCanvas other(&delegate, log, bad);
    EXPECT_FLOAT_EQ(other.DrawScale(), 1.0f) << bad;
    EXPECT_FLOAT_EQ(other.MaxScale(), 2.0f) << bad;
  }
}

TEST(ICanvasSize, ApplySizeClampsToTheLimits) {
  struct Case {
    int32_t w, h;
    float s;
    int32_t wantW, wantH;
    float wantS;
  };
  const Case cases[] = {
      {1000, 10, 5.0f, 500, 80, 2.0f},
      {10, 1000, 0.1f, 125, 320, 0.5f},
      {300, 200, 1.25f, 300, 200, 1.25f},
      {-5, -5, -1.0f, 125, 80, 0.5f},
      {375, 240, std::numeric_limits<float>::infinity(), 250, 160, 1.0f},  // refused whole
  };
  for (const Case& c : cases) {
    CanvasFixture f;
    const bool accepted = std::isfinite(c.s);
    EXPECT_EQ(f.canvas.ApplySize(c.w, c.h, c.s), accepted);
    EXPECT_EQ(f.canvas.Width(), c.wantW) << c.w;
    EXPECT_EQ(f.canvas.Height(), c.wantH) << c.h;
    EXPECT_FLOAT_EQ(f.canvas.DrawScale(), c.wantS) << c.s;
  }
}

TEST(ICanvasSize, ANonFiniteDrawScaleChangesNothing) {
  CanvasFixture f;
  HoldTheGainKnob(f);
  // A saved editor size with a broken scale, or a corner drag dividing 0 by 0.
  EXPECT_FALSE(f.canvas.ApplySize(300, 200, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(f.canvas.ApplySize(300, 200, -std::numeric_limits<float>::infinity()));
  EXPECT_EQ(f.canvas.Width(), 250);
  EXPECT_FLOAT_EQ(f.canvas.DrawScale(), 1.0f);
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(f.canvas.CaptureCount(), 1);
}

TEST(ICanvasSize, AnUnchangedSizeDoesNothing) {
  CanvasFixture f;
  HoldTheGainKnob(f);
  EXPECT_TRUE(f.canvas.ApplySize(250, 160, 1.0f));
  // Values that clamp to the current ones are unchanged too.
  EXPECT_TRUE(f.canvas.ApplySize(250, 160, 1.0f + 1e-9f));
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(f.canvas.CaptureCount(), 1);
}

TEST(ICanvasSize, TheHostIsAskedForTheDevicePixelSize) {
  struct Case {
    float drawScale;
    int32_t factor;
    const char* request;
  };
  const Case cases[] = {
      {1.5f, 1, "host resize 375x240"},
      {0.7f, 1, "host resize 175x112"},
      {1.0f, 2, "host resize 500x320"},
  };
  for (const Case& c : cases) {
    Log log;
    RecordingDelegate delegate(log);
    RecordingCanvas canvas(&delegate, log, c.drawScale);
    canvas.window = &canvas;
    canvas.displayFactor = c.factor;
    canvas.ApplyScreenScale(c.factor);
    EXPECT_TRUE(Contains(log, c.request)) << c.request;
  }
}

TEST(ICanvasSize, ApplySizeResizesAskTheHostThenTheWindowThenTheControls) {
  CanvasFixture f;
  f.canvas.window = &f;
  ProbeControl* knob = f.Add("knob", IBox(10, 10, 50, 50));
  knob->MarkClean();
  f.delegate.acceptResize = false;
  f.Forget();

  ASSERT_TRUE(f.canvas.ApplySize(300, 200, 1.0f));
  const Log want = {"host resize 300x200", "resize window 0", "bounds knob", "rebuild"};
  EXPECT_EQ(f.log, want);
  EXPECT_TRUE(knob->Changed());

  f.delegate.acceptResize = true;
  f.Forget();
  f.canvas.ApplySize(320, 200, 1.0f);
  EXPECT_TRUE(Contains(f.log, "resize window 1"));
}

TEST(ICanvasSize, BeforeTheWindowExistsOnlyTheSizeIsKept) {
  CanvasFixture f;  // no window
  ProbeControl* knob = f.Add("knob", IBox(10, 10, 50, 50));
  knob->MarkClean();
  f.Forget();
  ASSERT_TRUE(f.canvas.ApplySize(375, 240, 1.5f));
  EXPECT_EQ(f.canvas.Width(), 375);
  EXPECT_FLOAT_EQ(f.canvas.DrawScale(), 1.5f);
  const Log want = {"bounds knob"};
  EXPECT_EQ(f.log, want);
  EXPECT_TRUE(knob->Changed());

  f.Forget();
  f.canvas.ApplyScreenScale(2);
  EXPECT_EQ(f.canvas.ScreenScale(), 2);
  EXPECT_EQ(f.log, (Log{"scale knob"}));
}

TEST(ICanvasSize, ApplyScreenScaleAlwaysResizesAndClampsBelowOne) {
  CanvasFixture f;
  f.canvas.window = &f;
  ProbeControl* knob = f.Add("knob", IBox(10, 10, 50, 50));
  knob->MarkClean();
  f.Forget();

  f.canvas.ApplyScreenScale(1);  // unchanged, still a full resize
  EXPECT_EQ(f.log, (Log{"host resize 250x160", "resize window 1", "scale knob", "rebuild"}));
  EXPECT_TRUE(knob->Changed());

  for (int32_t bad : {0, -3}) {
    f.canvas.ApplyScreenScale(bad);
    EXPECT_EQ(f.canvas.ScreenScale(), 1) << bad;
  }
  f.canvas.ApplyScreenScale(1000);
  EXPECT_EQ(f.canvas.ScreenScale(), ICanvas::kMaxScreenScale);
}

TEST(ICanvasSize, ASizeChangeDuringADragReleasesTheControlAndEndsItsGesture) {
  CanvasFixture f;
  HoldTheGainKnob(f);
  f.Drag(Event(22, 25, 0, false, 2, 5));
  f.Forget();

  f.canvas.ApplySize(300, 200, 1.0f);
  EXPECT_LT(IndexOf(f.log, "release 22,25 knob"), IndexOf(f.log, "end 0"));
  EXPECT_LT(IndexOf(f.log, "end 0"), IndexOf(f.log, "host resize 300x200"));
  EXPECT_EQ(f.canvas.CaptureCount(), 0);
  EXPECT_TRUE(f.delegate.GesturesBalanced());

  // The pointer's own release finds no capture left: nothing is ended twice.
  f.Forget();
  f.Release(Event(30, 30));
  EXPECT_TRUE(f.log.empty());
  EXPECT_TRUE(f.delegate.GesturesBalanced());
}

// Pointer positions are logical: a drag across a change of screen scale
// would jump by the change of units. The change ends it first, as a size
// change does, and a corner drag with it; the same scale again ends nothing.
TEST(ICanvasSize, AScreenScaleChangeDuringADragEndsItFirst) {
  CanvasFixture f;
  HoldTheGainKnob(f);
  f.Drag(Event(22, 25, 0, false, 2, 5));
  f.Forget();
  f.canvas.ApplyScreenScale(1);
  EXPECT_EQ(f.canvas.CaptureCount(), 1) << "an unchanged scale leaves the drag alone";

  f.canvas.SetResizing(true);
  f.canvas.displayFactor = 2;  // as a platform reports its new scale
  f.Forget();
  f.canvas.ApplyScreenScale(2);
  EXPECT_LT(IndexOf(f.log, "release 22,25 knob"), IndexOf(f.log, "end 0"));
  EXPECT_LT(IndexOf(f.log, "end 0"), IndexOf(f.log, "host resize 500x320"));
  EXPECT_EQ(f.canvas.CaptureCount(), 0);
  EXPECT_FALSE(f.canvas.Resizing());
  EXPECT_TRUE(f.delegate.GesturesBalanced());

  f.Forget();
  f.Drag(Event(24, 30, 0, false, 2, 5));
  f.Release(Event(24, 30));
  EXPECT_TRUE(f.log.empty()) << "the pointer's later moves and release reach nothing";
}

TEST(ICanvasSize, TheCornerResizerIsPlacedFirstAndTheLayoutRunsWhenAsked) {
  CanvasFixture f;
  f.Add("knob", IBox(10, 10, 50, 50));
  f.canvas.AttachCornerResizer(new ProbeControl(f.log, "corner", IBox(231, 141, 249, 159)), EResizeMode::Size, true);
  f.Forget();
  f.canvas.ApplySize(300, 200, 1.0f);
  const Log want = {"scale corner", "bounds knob", "bounds corner", "layout"};
  EXPECT_EQ(f.log, want);
}

TEST(ICanvasSize, DestructionDeletesEveryControl) {
  const int before = ProbeControl::alive;
  {
    CanvasFixture f;
    f.Add("a", IBox(0, 0, 10, 10));
    f.canvas.AttachBackground(new ProbeControl(f.log, "back", IBox(0, 0, 250, 160)));
    f.canvas.AttachCornerResizer(new ProbeControl(f.log, "corner", IBox(0, 0, 5, 5)), EResizeMode::Scale, false);
    EXPECT_EQ(ProbeControl::alive, before + 3);
  }
  EXPECT_EQ(ProbeControl::alive, before);
}
