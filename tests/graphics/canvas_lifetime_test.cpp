// The canvas' lifetime across its own calls: a canvas disposed of from inside
// one (a host that closes the editor while the editor's code runs) ends what
// was in progress at once, answers nothing more, and is deleted when the
// outermost call returns, before its delegate lets go of its hold.
#include <gtest/gtest.h>

#include <vector>

#include "canvas_fixture.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

// Counts the holds of the editor's calls; at each release it notes how many
// probe controls are alive, to show what went before it.
class HoldingDelegate : public RecordingDelegate {
public:
  using RecordingDelegate::RecordingDelegate;
  void HoldForEditorCall() override { ++holds; }
  void ReleaseEditorHold() override {
    --holds;
    controlsAtRelease.push_back(ProbeControl::alive);
  }
  int holds = 0;
  std::vector<int> controlsAtRelease;
};

TEST(ICanvasLifetime, ADisposeInsideACallWaitsForTheOutermostOneAndEndsWhatWasGoingOn) {
  Log log;
  HoldingDelegate delegate{log};
  const int before = ProbeControl::alive;

  // Outside every call the canvas goes at once.
  auto* quiet = new RecordingCanvas(&delegate, log);
  quiet->AdoptControl(new ProbeControl(log, "quiet", IBox(0, 0, 10, 10)));
  ICanvas::Dispose(quiet);
  EXPECT_EQ(ProbeControl::alive, before);
  EXPECT_EQ(delegate.holds, 0);

  auto* canvas = new RecordingCanvas(&delegate, log);
  canvas->nativeAnswersLater = true;
  auto* knob = new ProbeControl(log, "knob", IBox(10, 10, 50, 50), RecordingDelegate::kGain);
  auto* strip = new ProbeControl(log, "strip", IBox(60, 10, 90, 20));
  canvas->AdoptControl(knob);
  canvas->AdoptControl(strip);
  IPopupMenu menu;
  menu.AppendItem("one");
  {
    ICanvas::ICallScope outer(canvas);
    {
      ICanvas::ICallScope inner(canvas);
      EXPECT_EQ(delegate.holds, 2);
      ASSERT_TRUE(canvas->OpenPopupMenu(strip, menu, IBox(60, 20, 60, 20), 0, false));
      const IPointerEvent e = Event(20, 20);
      canvas->HandlePointerDown(&e, 1);
      ASSERT_TRUE(canvas->IsCaptured(knob));
      canvas->DeferAction([&log] { log.push_back("deferred ran"); });
      log.clear();

      ICanvas::Dispose(canvas);
      EXPECT_EQ(log, Log{"end 0"}) << "the gesture ends at the close, without a release";
      EXPECT_EQ(canvas->CaptureCount(), 0);
      EXPECT_FALSE(canvas->HasDeferredActions());
      canvas->RunDeferredActions();
      menu.ReportChoice(0);
      canvas->DeliverMenuResult(&menu);  // the native menu answering late
      EXPECT_EQ(ProbeControl::alive, before + 2) << "the controls live while the call runs";
    }
    EXPECT_EQ(ProbeControl::alive, before + 2) << "and while an outer one does";
    EXPECT_EQ(delegate.holds, 1);
    knob->Say("still here");
  }
  EXPECT_EQ(ProbeControl::alive, before) << "the outermost call deleted the canvas";
  EXPECT_EQ(delegate.holds, 0);
  EXPECT_EQ(delegate.controlsAtRelease.back(), before) << "the canvas went before the delegate's last hold";
  EXPECT_EQ(CountOf(log, "deferred ran"), 0);
  EXPECT_EQ(CountOf(log, "menu choice 0 0 strip"), 0);
  EXPECT_EQ(CountOf(log, "still here knob"), 1);
  EXPECT_TRUE(delegate.GesturesBalanced());
}

} // namespace
